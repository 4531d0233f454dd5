#pragma once

// The real pedalon-hub.exe under Wine with the stand-in foot controller: its three UDP peers are
// probes on 127.0.0.1, and the stand-in, steered over its control channel, also reads and presses
// the dialog and message boxes from inside the hub's process, as a user would.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "wine_harness.h"

using Bytes = std::vector<uint8_t>;
using Millis = std::chrono::milliseconds;

inline constexpr uint16_t axis_port = 45040;
inline constexpr uint16_t hub_port = 45041;
inline constexpr uint16_t feeder_port = 45042;
inline constexpr uint16_t standin_port = 45050;

struct HubRun {
  WineProgram program;
  UdpProbe axis;    // plays the axis peer
  UdpProbe feeder;  // plays the feeder
  UdpProbe control; // talks to the stand-in
  std::optional<ProbeDatagram> axis_hello, feeder_hello;
};

// Starts the hub with these arguments and the stand-in presenting `devices`
// (PEDALON_STANDIN_DEVICES), with any further stand-in settings, and takes the start-up hellos.
// False with the reason in `error` when the hub could not be started.
bool start_hub(HubRun& run, const std::string& devices, std::string& error,
               const EnvList& standin_env = {}, const std::vector<std::string>& args = {});
// Kills the hub if it still runs and closes the probes.
void stop_hub(HubRun& run);
bool hub_running(HubRun& run);

// A probe of the test's own, closed when it goes out of scope.
struct ScopedProbe : UdpProbe {
  explicit ScopedProbe(uint16_t port) : UdpProbe(open_udp_probe(port).value_or(UdpProbe{})) {}
  ~ScopedProbe() { close_udp_probe(*this); }
  ScopedProbe(const ScopedProbe&) = delete;
  ScopedProbe& operator=(const ScopedProbe&) = delete;
  bool bound() const { return fd >= 0; }
};

// Sends one command to the stand-in and returns its reply ("" when none came).
std::string standin(const HubRun& run, const std::string& command,
                    Millis timeout = std::chrono::seconds(10));

void send_bytes(const UdpProbe& from, uint16_t to_port, const Bytes& bytes);
void send_bytes(const UdpProbe& from, uint16_t to_port, const uint8_t* data, size_t size);
void drain(const UdpProbe& probe);
std::string hex(const Bytes& bytes);

// The first datagram of these bytes within `timeout`; `seen` lists, in hex, what came before.
std::optional<ProbeDatagram> wait_for_hex(const UdpProbe& probe, const std::string& expected,
                                          Millis timeout, std::string& seen);

// The dialog and message boxes, read and pressed by the stand-in inside the hub's process.
bool wait_window(const HubRun& run, Millis timeout);
std::string dialog_text(const HubRun& run, int id);
// Polls the text of `id` until it equals `expected`; returns the last text read.
std::string wait_text(const HubRun& run, int id, const std::string& expected, Millis timeout);
bool click(const HubRun& run, int id);
// "CAPTION\nTEXT" of the hub's message box once there is one; "" when none came in time.
std::string message_box(const HubRun& run, Millis timeout);
bool press_ok(const HubRun& run);
