#include "tools/peer/replay.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "net/udp_socket.h"
#include "tools/peer/recording.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the receiving thread and the sending loop share.
struct Replay {
  explicit Replay(const ReplaySettings& s) : settings(s) {}
  const ReplaySettings& settings;
  Clock::time_point start = Clock::now();
  std::mutex lock; // guards the printing and `remote_app`
  Endpoint remote_app;
  std::atomic<bool> ready{false};
  std::atomic<bool> stopping{false};
};

uint64_t elapsed_ms(const Replay& r) {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - r.start).count());
}

// Prints a comment, or a datagram stamped with the time now: its lines are a recording too.
void print(Replay& r, const std::string& comment, RecordedDatagram d = {}) {
  const std::lock_guard<std::mutex> held(r.lock);
  d.time_ms = elapsed_ms(r); // under the lock: times never go back
  std::fputs(((comment.empty() ? recording_line(d) : comment) + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// Everything that reaches the hub's port is printed as a recording line; the feeder's ready
// message opens the feeder's link and a hello moves the remote app, as at the hub.
void receive(Replay& r, UdpSocket socket) {
  uint8_t buffer[max_recorded_bytes];
  for (;;) {
    size_t size = 0;
    Endpoint from;
    const ReceiveResult result = udp_receive(socket, buffer, sizeof buffer, size, from);
    if (r.stopping || result == ReceiveResult::failed) return;
    if (result != ReceiveResult::datagram) continue;
    const bool ready = carries_message(buffer, size, kind_feeder_ready);
    if (ready) r.ready = true;
    if (carries_message(buffer, size, kind_remote_hello) && from.port != 65535) {
      const std::lock_guard<std::mutex> held(r.lock);
      r.remote_app = Endpoint{from.ipv4, static_cast<uint16_t>(from.port + 1)};
    }
    print(r, "",
          {0, ready ? PeerRole::feeder : PeerRole::remote, false,
           std::vector<uint8_t>(buffer, buffer + size)});
  }
}

Endpoint destination(Replay& r, PeerRole peer) {
  const ReplaySettings& s = r.settings;
  if (peer == PeerRole::axis) return {s.peers_ipv4, s.axis_port};
  if (peer == PeerRole::feeder) return {s.peers_ipv4, s.feeder_port};
  const std::lock_guard<std::mutex> held(r.lock);
  return r.remote_app;
}

bool time_is_up(const Replay& r) {
  return r.settings.seconds > 0 &&
         static_cast<double>(elapsed_ms(r)) >= r.settings.seconds * 1000.0;
}

// Sleeps until `when` (milliseconds since the start) or until the time is up.
bool wait_until(const Replay& r, uint64_t when_ms) {
  for (uint64_t now = elapsed_ms(r); now < when_ms; now = elapsed_ms(r)) {
    if (time_is_up(r)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint64_t>(when_ms - now, 10)));
  }
  return !time_is_up(r);
}

// Plays the hub's datagrams at the recorded pace. Returns false when the time is up.
bool play(Replay& r, UdpSocket sender, const std::vector<RecordedDatagram>& datagrams) {
  const double speed = r.settings.speed;
  uint64_t first_ms = 0; // the hub's first datagram goes at once
  for (auto d = datagrams.rbegin(); d != datagrams.rend(); ++d)
    if (d->from_hub) first_ms = d->time_ms;
  uint64_t base_ms = elapsed_ms(r);
  for (const RecordedDatagram& d : datagrams) {
    if (!d.from_hub) continue;
    const auto offset_ms = static_cast<uint64_t>(static_cast<double>(d.time_ms - first_ms) / speed);
    if (!wait_until(r, base_ms + offset_ms)) return false;
    if (waits_for_ready(d) && !r.ready) {
      print(r, "# waiting for the feeder's ready message (01 01) on port " +
                   std::to_string(r.settings.listen_port));
      const uint64_t waited_from_ms = elapsed_ms(r);
      while (!r.ready) {
        if (time_is_up(r)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      base_ms += elapsed_ms(r) - waited_from_ms; // the rest keeps its pace from here on
    }
    udp_send(sender, destination(r, d.peer), d.bytes.data(), d.bytes.size());
    print(r, "", d);
  }
  return true;
}

bool read_file(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[65536];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    text.append(chunk, n);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

} // namespace

int run_replay(const ReplaySettings& settings) {
  std::string text;
  if (!read_file(settings.path, text)) {
    std::fprintf(stderr, "pedalon-peer: cannot read %s\n", settings.path.c_str());
    return 2;
  }
  std::vector<RecordedDatagram> datagrams;
  RecordingError error;
  if (!parse_recording(text, datagrams, error)) {
    std::fprintf(stderr, "%s:%zu: %s\n", settings.path.c_str(), error.line, error.message.c_str());
    return 2;
  }
  if (std::none_of(datagrams.begin(), datagrams.end(),
                   [](const RecordedDatagram& d) { return d.from_hub; })) {
    std::fprintf(stderr, "%s: no datagrams of the hub ('<' lines) to replay\n",
                 settings.path.c_str());
    return 2;
  }
  if (!udp_startup()) {
    std::fprintf(stderr, "pedalon-peer: the network cannot be started\n");
    return 1;
  }
  const UdpSocket listener = udp_open();
  const UdpSocket sender = udp_open();
  if (!udp_valid(listener) || !udp_valid(sender) || !udp_bind(listener, settings.listen_port)) {
    std::fprintf(stderr, "pedalon-peer: cannot bind UDP port %u (is a hub running?)\n",
                 static_cast<unsigned>(settings.listen_port));
    udp_close(listener);
    udp_close(sender);
    return 1;
  }
  Replay r(settings);
  r.remote_app = Endpoint{settings.peers_ipv4, static_cast<uint16_t>(settings.remote_port + 1)};
  std::thread receiver(receive, std::ref(r), listener);
  // Rounds of a loop lie one tick of the hub apart, so a recording of one moment cannot flood.
  while (play(r, sender, datagrams) && settings.loop && wait_until(r, elapsed_ms(r) + 33)) {}
  // The receiving thread waits in its receive call: a datagram to its own port wakes it.
  r.stopping = true;
  const uint8_t wake = 0;
  udp_send(sender, Endpoint{loopback_ipv4, settings.listen_port}, &wake, 1);
  receiver.join();
  udp_close(listener);
  udp_close(sender);
  return 0;
}
