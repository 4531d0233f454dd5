#pragma once

// The real pedalon-hub.exe under Wine with the stand-in foot controller: its three UDP peers are
// probes on 127.0.0.1, the stand-in is steered over its control channel, and the dialog is read
// and pressed through the dialog driver, as a user would.

#include <chrono>
#include <functional>
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
inline constexpr const char* hub_caption = "VR Pedalon Hub (v1.2)";

struct HubRun {
  WineProgram program;
  UdpProbe axis;    // plays the axis peer
  UdpProbe feeder;  // plays the feeder
  UdpProbe control; // talks to the stand-in
  std::optional<ProbeDatagram> axis_hello, feeder_hello;
};

// Starts the hub with the stand-in presenting `devices` (PEDALON_STANDIN_DEVICES), and any
// further stand-in settings, and takes the start-up hellos. False with the reason in `error`
// when the hub could not be started.
bool start_hub(HubRun& run, const std::string& devices, std::string& error,
               const EnvList& standin_env = {});
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
std::string standin(const HubRun& run, const std::string& command);

void send_bytes(const UdpProbe& from, uint16_t to_port, const Bytes& bytes);
void drain(const UdpProbe& probe);
std::string hex(const Bytes& bytes);

// The first datagram that `match` accepts within `timeout`; `seen` lists, in hex, what came.
std::optional<ProbeDatagram> wait_for(const UdpProbe& probe,
                                      const std::function<bool(const Bytes&)>& match,
                                      Millis timeout, std::string& seen);
std::optional<ProbeDatagram> wait_for_hex(const UdpProbe& probe, const std::string& expected,
                                          Millis timeout, std::string& seen);

// The dialog, through dialog-driver.exe.
bool wait_window(Millis timeout);
std::string dialog_text(int id);
// Polls the text of `id` until it equals `expected`; returns the last text read.
std::string wait_text(int id, const std::string& expected, Millis timeout);
bool click(int id);
bool dialog_command(int id);
std::vector<std::string> message_box(Millis timeout);
bool press_ok(Millis timeout);
