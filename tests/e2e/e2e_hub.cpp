#include "e2e_hub.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>
#include <thread>

#include "res/resource.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A first start in a fresh prefix on a busy two-core machine can take a while.
constexpr auto start_timeout = 90s;

Millis left_until(Clock::time_point deadline) {
  return std::max(Millis(0), std::chrono::duration_cast<Millis>(deadline - Clock::now()));
}

} // namespace

bool start_hub(HubRun& run, const std::string& devices, std::string& error,
               const EnvList& standin_env, const std::vector<std::string>& args) {
  // A hub ended by an earlier test may hold its ports for a moment.
  if (!wait_port_free(hub_port, 30s) || !wait_port_free(standin_port, 30s)) {
    error = "ports 45041 and 45050 stay taken";
    return false;
  }
  const auto axis = open_udp_probe(axis_port);
  const auto feeder = open_udp_probe(feeder_port);
  const auto control = open_udp_probe(0);
  if (!axis || !feeder || !control) {
    error = "cannot bind the probes on 127.0.0.1";
    return false;
  }
  run.axis = *axis;
  run.feeder = *feeder;
  run.control = *control;
  EnvList env = {{"WINEDLLOVERRIDES", "dinput8=n,b"},
                 {"PEDALON_STANDIN_DEVICES", devices},
                 {"PEDALON_STANDIN_PORT", std::to_string(standin_port)}};
  env.insert(env.end(), standin_env.begin(), standin_env.end());
  run.program = start_windows_program(wine_session(), hub_exe(wine_session()), args, env);
  run.axis_hello = receive_datagram(run.axis, start_timeout);
  run.feeder_hello = receive_datagram(run.feeder, start_timeout);
  if (!run.axis_hello || !run.feeder_hello) error = "no start-up hello within 90 s";
  return run.axis_hello && run.feeder_hello;
}

void stop_hub(HubRun& run) {
  kill_program(run.program);
  close_udp_probe(run.axis);
  close_udp_probe(run.feeder);
  close_udp_probe(run.control);
}

bool hub_running(HubRun& run) {
  return run.program.pid > 0 && !wait_exit(run.program, 0ms);
}

std::string standin(const HubRun& run, const std::string& command, Millis timeout) {
  drain(run.control); // a late reply to an earlier command
  send_bytes(run.control, standin_port, Bytes(command.begin(), command.end()));
  const auto reply = receive_datagram(run.control, timeout);
  return reply ? std::string(reply->bytes.begin(), reply->bytes.end()) : "";
}

void send_bytes(const UdpProbe& from, uint16_t to_port, const uint8_t* data, size_t size) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(to_port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  sendto(from.fd, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

void send_bytes(const UdpProbe& from, uint16_t to_port, const Bytes& bytes) {
  send_bytes(from, to_port, bytes.data(), bytes.size());
}

void drain(const UdpProbe& probe) {
  while (receive_datagram(probe, 0ms)) {}
}

std::string hex(const Bytes& bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    char piece[4];
    std::snprintf(piece, sizeof piece, "%s%02X", text.empty() ? "" : " ", b);
    text += piece;
  }
  return text;
}

std::optional<ProbeDatagram> wait_for_hex(const UdpProbe& probe, const std::string& expected,
                                          Millis timeout, std::string& seen) {
  const auto deadline = Clock::now() + timeout;
  while (auto d = receive_datagram(probe, left_until(deadline))) {
    if (hex(d->bytes) == expected) return d;
    seen += "[" + hex(d->bytes) + "] ";
  }
  return std::nullopt;
}

// The stand-in's reply without its "ok ", or "" when it failed or none is there yet.
std::string polled(const HubRun& run, const std::string& command, Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    // Before the hub loads the stand-in, a command is lost without an answer.
    const std::string reply = standin(run, command, 500ms);
    if (reply.rfind("ok", 0) == 0) return reply.substr(std::min<size_t>(3, reply.size()));
    if (Clock::now() >= deadline) return "";
    std::this_thread::sleep_for(100ms);
  }
}

bool wait_window(const HubRun& run, Millis timeout) {
  return !polled(run, "text " + std::to_string(IDC_STATUS), timeout).empty();
}

std::string dialog_text(const HubRun& run, int id) {
  const std::string reply = standin(run, "text " + std::to_string(id));
  return reply.rfind("ok ", 0) == 0 ? reply.substr(3) : reply;
}

std::string wait_text(const HubRun& run, int id, const std::string& expected, Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  std::string text = dialog_text(run, id);
  while (text != expected && Clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
    text = dialog_text(run, id);
  }
  return text;
}

bool click(const HubRun& run, int id) {
  return standin(run, "press " + std::to_string(id)) == "ok";
}

std::string message_box(const HubRun& run, Millis timeout) {
  return polled(run, "box", timeout);
}

bool press_ok(const HubRun& run) {
  return standin(run, "box ok") == "ok";
}
