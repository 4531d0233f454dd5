#pragma once

// Runs Windows programs of the windows build under Wine for tests, on the display the test runs
// with (xvfb-run): a private prefix and one persistent wineserver per session; programs started
// with extra environment; UDP probes on 127.0.0.1. Everything is ended by stop_wine_session.
//
// A test executable links wine_harness and wine_harness_main, whose main() makes one session
// for the whole run (wine_session()); each test then starts what it needs:
//
//   WineProgram hub = start_windows_program(wine_session(), hub_exe(wine_session()), {"-noxinput"},
//                                           {{"WINEDLLOVERRIDES", "dinput8=n,b"}});
//   std::optional<int> status = wait_exit(hub, std::chrono::seconds(60));

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using EnvList = std::vector<std::pair<std::string, std::string>>;

struct WineSession {
  std::string windows_build; // folder with pedalon-hub.exe and standin/dinput8.dll
  std::string root;          // private temporary folder: prefix/ and log.txt
  std::string prefix;        // WINEPREFIX
  std::string log;           // stdout and stderr of every Wine process
};

// Makes the prefix and starts a persistent wineserver. On failure,
// returns false with the reason in `error` and has ended what it started.
bool start_wine_session(WineSession& session, const std::string& windows_build, std::string& error);

// Ends the wineserver (and so every Wine process of the prefix) and removes the prefix.
void stop_wine_session(WineSession& session);

// What the Wine processes wrote so far, for a failure message.
std::string wine_log(const WineSession& session);

// The session of this test run, made by wine_harness_main before the first test.
const WineSession& wine_session();

// pedalon-hub.exe of the session's windows build, copied with the stand-in dinput8.dll into a
// folder of the prefix.
std::string hub_exe(const WineSession& session);

struct WineProgram {
  pid_t pid = -1;
  std::optional<int> status; // set once the program has ended
};

// Starts `exe` (a host path) under Wine with these arguments. `extra_env` is added to the
// session's environment; a WINEDLLOVERRIDES there is appended to the session's own overrides.
WineProgram start_windows_program(const WineSession& session, const std::string& exe,
                                  const std::vector<std::string>& args,
                                  const EnvList& extra_env = {});

// The exit status once the program ended within `timeout`; none while it still runs.
std::optional<int> wait_exit(WineProgram& program, std::chrono::milliseconds timeout);

// Kills a program that still runs and reaps it.
void kill_program(WineProgram& program);

// A UDP socket bound to 127.0.0.1 that records what reaches it.
struct UdpProbe {
  int fd = -1;
  uint16_t port = 0;
};

struct ProbeDatagram {
  std::vector<uint8_t> bytes;
  uint16_t from_port = 0;
  int64_t arrival_ns = 0; // kernel receive time; on loopback it orders sends across sockets
};

// Binds 127.0.0.1:`port`, retrying while a program that just ended still holds it.
std::optional<UdpProbe>
open_udp_probe(uint16_t port, std::chrono::milliseconds timeout = std::chrono::seconds(30));
void close_udp_probe(UdpProbe& probe);

// The next datagram that arrives within `timeout`.
std::optional<ProbeDatagram> receive_datagram(const UdpProbe& probe,
                                              std::chrono::milliseconds timeout);

// Waits until nothing is bound to UDP `port` on 127.0.0.1 any more.
bool wait_port_free(uint16_t port, std::chrono::milliseconds timeout);
