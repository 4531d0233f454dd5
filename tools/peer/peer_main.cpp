// pedalon-peer: stands in for the hub's UDP peers (axis peer, feeder, remote app), says what a
// peer says to the hub and prints every datagram the hub sends, decoded. For checking the hub
// and for authors of peers checking theirs.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/udp_socket.h"
#include "tools/peer/decode.h"
#include "tools/peer/recording.h"
#include "tools/peer/replay.h"

namespace {

const char* const usage_text = R"(usage: pedalon-peer ROLE [options] [VALUES]

Stands in for the VR Pedalon Hub's UDP peers and prints each datagram the hub sends, decoded,
one line each.

roles:
  axis     the axis peer: binds port 45040 and prints StartHello and every AxisDatagram
           as "x 128 y 128"
  feeder   the feeder: binds port 45042, sends the ready message 01 01 to the hub every
           second until the handshake 01 00 arrives (again after a StartHello or shutdown),
           and prints every drive datagram by its layout
  remote   a remote app: says hello 01 02 from port P (default 45060) and receives on P+1,
           keeps itself alive with 01 15 every second, sends VALUES as a RemoteInput once
           per connection, and prints status and foot datagrams
  watch    all three at once, each line prefixed with its peer; axis datagrams only when
           they change
  record FILE
           as watch, and also writes every datagram received and sent to FILE, one line
           each: "12.345 feeder< 15 80 7f 00 00 00 00  # Pedal ..." (seconds since the
           start, peer, '<' from the hub or '>' to it, bytes; '#' starts a comment)
  replay FILE
           plays the hub's side of a recording ('<' lines) to the peers at the recorded
           pace, from a socket bound to the hub's port (--port, default 45041); holds
           everything for the feeder but StartHello until its ready message 01 01 arrives,
           as the hub does. The remote app's datagrams go to the port after that of the
           last hello that arrived, before any to --remote-port + 1. Prints what it sends
           and receives as recording lines.

VALUES (remote, watch, record): STEER BUTTONS [THROTTLE BRAKE [RELAY1 RELAY2 RELAY3 RELAY4]]
  bytes, 0 to 255 or 0x00 to 0xff, sent as 20 STEER BUTTONS ...; STEER 128 is straight.
  The hub takes throttle and brake only from 5 bytes on, the relays only from 9.

options:
  --hub ADDR[:PORT]   the hub's listening socket (default 127.0.0.1:45041)
  --port P            this role's own port (replay: the hub's port it listens on)
  --axis-port P, --feeder-port P, --remote-port P
                      the same, by peer (for watch, record and replay)
  --count N           stop after printing N received datagrams
  --seconds S         stop after S seconds (e.g. 2.5)
  --changes           print a datagram only when it differs from the one before
  --time              start each line with the seconds since the start
  --hex               end each line with the datagram's bytes
  --speed X           replay X times as fast (e.g. 0.5, 2; default 1)
  --loop              replay the recording again and again
  --to ADDR           replay to peers at this IPv4 address (default 127.0.0.1)
  -h, --help          this text

Lines starting with "sent" report what the peer sent; they are not counted. Type 22 drive
datagrams whose bytes cannot tell "Skate" from "Pass through" show both readings.

exit status: 0 when stopped by --count or --seconds or a replay has ended, 1 when a socket
fails (a port in use), 2 for a bad command line, a recording that cannot be written or read,
or a bad line in it ("FILE:LINE: what is wrong").
)";

constexpr uint16_t default_remote_port = 45060;

struct Options {
  std::string role;
  Endpoint hub{loopback_ipv4, listen_port};
  uint16_t axis_port = axis_peer_port;
  uint16_t feeder_port = feeder_peer_port;
  uint16_t remote_port = default_remote_port;
  uint64_t count = 0; // 0: no limit
  double seconds = 0; // 0: no limit
  bool changes = false;
  bool time = false;
  bool hex = false;
  uint8_t values[8] = {};
  size_t value_count = 0;
  std::string path; // record, replay
  ReplaySettings replay;
};

int usage_error(const std::string& message) {
  std::fprintf(stderr, "pedalon-peer: %s\nTry 'pedalon-peer --help'.\n", message.c_str());
  return 2;
}

// Returns -1 when the run goes on, else the exit status.
int parse_options(int argc, char** argv, Options& o) {
  const std::string roles = "axis, feeder, remote, watch, record or replay";
  if (argc < 2) return usage_error("no role given (" + roles + ")");
  o.role = argv[1];
  if (o.role == "-h" || o.role == "--help") {
    std::fputs(usage_text, stdout);
    return 0;
  }
  const char* const known[] = {"axis", "feeder", "remote", "watch", "record", "replay"};
  if (std::find(std::begin(known), std::end(known), o.role) == std::end(known))
    return usage_error("unknown role '" + o.role + "' (" + roles + ")");
  const bool with_file = o.role == "record" || o.role == "replay";
  bool port_given = false;
  uint16_t port = 0;
  Endpoint to{loopback_ipv4, 0};
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool has_value = false;
    if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
      value = arg.substr(arg.find('=') + 1);
      arg = arg.substr(0, arg.find('='));
      has_value = true;
    }
    if (arg == "-h" || arg == "--help") {
      std::fputs(usage_text, stdout);
      return 0;
    }
    if (arg == "--changes" || arg == "--time" || arg == "--hex" || arg == "--loop") {
      if (has_value) return usage_error(arg + " takes no value");
      (arg == "--changes" ? o.changes
       : arg == "--time"  ? o.time
       : arg == "--hex"   ? o.hex
                          : o.replay.loop) = true;
      continue;
    }
    if (arg[0] == '-') {
      if (!has_value) {
        if (i + 1 >= argc) return usage_error(arg + " needs a value");
        value = argv[++i];
      }
      bool ok = true;
      if (arg == "--hub")
        ok = parse_endpoint(value, o.hub);
      else if (arg == "--port")
        ok = port_given = parse_port(value, port);
      else if (arg == "--axis-port")
        ok = parse_port(value, o.axis_port);
      else if (arg == "--feeder-port")
        ok = parse_port(value, o.feeder_port);
      else if (arg == "--remote-port")
        ok = parse_port(value, o.remote_port);
      else if (arg == "--count")
        ok = parse_count(value, o.count);
      else if (arg == "--seconds")
        ok = parse_seconds(value, o.seconds);
      else if (arg == "--speed")
        ok = parse_seconds(value, o.replay.speed);
      else if (arg == "--to")
        ok = value.find(':') == value.npos && parse_endpoint(value, to);
      else
        return usage_error("unknown option '" + arg + "'");
      if (!ok) {
        const char* want = arg == "--hub"       ? "an IPv4 address like 127.0.0.1, optionally :PORT"
                           : arg == "--count"   ? "a whole number of at least 1"
                           : arg == "--seconds" ? "a number of seconds above 0"
                           : arg == "--speed"   ? "a number above 0"
                           : arg == "--to"      ? "an IPv4 address like 127.0.0.1"
                                                : "a port from 1 to 65535";
        return usage_error("bad value '" + value + "' for " + arg + " (" + want + ")");
      }
      continue;
    }
    if (with_file && o.path.empty()) {
      o.path = arg;
      continue;
    }
    if (o.role != "remote" && o.role != "watch" && o.role != "record")
      return usage_error("the " + o.role + " role takes no values ('" + arg + "')");
    if (o.value_count == 8) return usage_error("at most 8 values");
    if (!parse_byte(arg, o.values[o.value_count]))
      return usage_error("bad value '" + arg + "' (a byte, 0 to 255 or 0x00 to 0xff)");
    o.value_count += 1;
  }
  if (o.value_count != 0 && o.value_count != 2 && o.value_count != 4 && o.value_count != 8)
    return usage_error("give 2, 4 or 8 values: STEER BUTTONS [THROTTLE BRAKE [RELAY1..RELAY4]]");
  if (with_file && o.path.empty()) return usage_error(o.role + " needs a FILE");
  if (o.role == "replay") {
    ReplaySettings& r = o.replay;
    r.path = o.path;
    r.listen_port = port_given ? port : o.hub.port;
    r.peers_ipv4 = to.ipv4;
    r.axis_port = o.axis_port;
    r.feeder_port = o.feeder_port;
    r.remote_port = o.remote_port;
    r.seconds = o.seconds;
    port_given = false;
  }
  if (port_given) {
    if (o.role == "watch" || o.role == "record")
      return usage_error(o.role + " takes --axis-port, --feeder-port, --remote-port");
    (o.role == "axis" ? o.axis_port : o.role == "feeder" ? o.feeder_port : o.remote_port) = port;
  }
  if (o.role != "axis" && o.role != "feeder" && o.remote_port == 65535)
    return usage_error("the remote port must be below 65535: the hub answers on the port plus 1");
  return -1;
}

using Clock = std::chrono::steady_clock;

// What the receiving threads and the main loop share.
struct Run {
  Options options;
  Clock::time_point start = Clock::now();
  std::mutex print_lock;
  uint64_t printed = 0; // counted lines, under print_lock
  std::atomic<bool> stopping{false};
  std::atomic<bool> failed{false};
  std::atomic<bool> ready_wanted{true};      // the feeder has not seen the handshake yet
  std::atomic<uint64_t> statuses{0};         // status datagrams the remote app got
  std::atomic<int64_t> last_from_hub_ms{-1}; // when the remote app last heard the hub
  std::FILE* recording = nullptr;            // record: every datagram, under print_lock
};

struct Listener {
  const char* prefix; // "axis: " in watch, "" otherwise
  PeerRole role;
  uint16_t port;
  bool changes_only;
  UdpSocket socket;
  std::thread thread;
};

int64_t elapsed_ms(const Run& run) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - run.start).count();
}

void record(Run& run, PeerRole peer, bool from_hub, const uint8_t* bytes, size_t size) {
  if (run.recording == nullptr) return;
  RecordedDatagram d{0, peer, from_hub, std::vector<uint8_t>(bytes, bytes + size)};
  const std::lock_guard<std::mutex> held(run.print_lock);
  d.time_ms = static_cast<uint64_t>(elapsed_ms(run)); // under the lock: times never go back
  std::fputs((recording_line(d) + "\n").c_str(), run.recording);
}

void print_line(Run& run, const char* prefix, const std::string& text, bool counted) {
  const std::lock_guard<std::mutex> held(run.print_lock);
  if (counted) {
    if (run.options.count != 0 && run.printed >= run.options.count) return;
    run.printed += 1;
  }
  std::string line;
  if (run.options.time) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.3f ", static_cast<double>(elapsed_ms(run)) / 1000.0);
    line += stamp;
  }
  line += prefix + text + "\n";
  std::fputs(line.c_str(), stdout);
  std::fflush(stdout);
}

// The little a peer must remember of what the hub said.
void note_arrival(Run& run, PeerRole role, const uint8_t* bytes, size_t size) {
  const DatagramKind kind = datagram_kind(bytes, size);
  if (role == PeerRole::feeder) {
    if (kind == DatagramKind::handshake) run.ready_wanted = false;
    // A hub that starts again or stops needs the ready message again.
    if (kind == DatagramKind::start_hello || kind == DatagramKind::shutdown)
      run.ready_wanted = true;
  } else if (role == PeerRole::remote) {
    run.last_from_hub_ms = elapsed_ms(run);
    if (kind == DatagramKind::status) run.statuses += 1;
  }
}

void receive(Run& run, Listener& listener) {
  uint8_t buffer[2048];
  std::vector<uint8_t> last;
  bool have_last = false;
  for (;;) {
    size_t size = 0;
    Endpoint from;
    const ReceiveResult result = udp_receive(listener.socket, buffer, sizeof buffer, size, from);
    if (run.stopping) return;
    if (result == ReceiveResult::skipped) continue;
    if (result == ReceiveResult::failed) {
      std::fprintf(stderr, "pedalon-peer: receiving on port %u failed\n", listener.port);
      run.failed = true;
      return;
    }
    if (result == ReceiveResult::too_big) {
      print_line(run, listener.prefix, "unknown datagram of more than 2048 bytes", true);
      continue;
    }
    note_arrival(run, listener.role, buffer, size);
    record(run, listener.role, true, buffer, size);
    const bool same =
        have_last && last.size() == size && std::memcmp(last.data(), buffer, size) == 0;
    if (same && (listener.changes_only || run.options.changes)) continue;
    last.assign(buffer, buffer + size);
    have_last = true;
    std::string text = describe_datagram(listener.role, buffer, size);
    if (run.options.hex) text += " [" + hex_bytes(buffer, size) + "]";
    print_line(run, listener.prefix, text, true);
  }
}

bool is_loopback(uint32_t ipv4) {
  return (ipv4 >> 24) == 127;
}

UdpSocket bound_socket(uint16_t port, uint32_t address) {
  UdpSocket s = udp_open();
  if (!udp_valid(s)) {
    std::fprintf(stderr, "pedalon-peer: cannot open a UDP socket\n");
    return s;
  }
  if (!udp_bind(s, port, address)) {
    std::fprintf(stderr, "pedalon-peer: cannot bind UDP port %u (in use by another program?)\n",
                 static_cast<unsigned>(port));
    udp_close(s);
    return UdpSocket{};
  }
  return s;
}

bool send_to_hub(Run& run, PeerRole peer, UdpSocket socket, const uint8_t* bytes, size_t size) {
  record(run, peer, false, bytes, size);
  if (udp_send(socket, run.options.hub, bytes, size)) return true;
  static std::atomic<bool> told{false};
  if (!told.exchange(true)) std::fprintf(stderr, "pedalon-peer: a send to the hub failed\n");
  return false;
}

int run_peer(Run& run) {
  const Options& o = run.options;
  const bool all = o.role == "watch" || o.role == "record";
  const bool axis = all || o.role == "axis";
  const bool feeder = all || o.role == "feeder";
  const bool remote = all || o.role == "remote";
  if (!udp_startup()) {
    std::fprintf(stderr, "pedalon-peer: the network cannot be started\n");
    return 1;
  }
  // The hub sends to the axis and feeder peers on 127.0.0.1, and answers a remote app at the
  // address its hello came from: the loopback unless the hub is elsewhere.
  const uint32_t remote_bind = is_loopback(o.hub.ipv4) ? loopback_ipv4 : 0;
  std::vector<Listener> listeners;
  listeners.reserve(3); // the threads keep references
  if (axis) listeners.push_back({all ? "axis: " : "", PeerRole::axis, o.axis_port, all, {}, {}});
  if (feeder)
    listeners.push_back({all ? "feeder: " : "", PeerRole::feeder, o.feeder_port, false, {}, {}});
  if (remote)
    listeners.push_back({all ? "remote: " : "",
                         PeerRole::remote,
                         static_cast<uint16_t>(o.remote_port + 1),
                         false,
                         {},
                         {}});
  UdpSocket remote_sender;
  bool ok = true;
  for (Listener& l : listeners) {
    l.socket = bound_socket(l.port, l.role == PeerRole::remote ? remote_bind : loopback_ipv4);
    ok = ok && udp_valid(l.socket);
  }
  if (ok && remote) {
    remote_sender = bound_socket(o.remote_port, remote_bind);
    ok = udp_valid(remote_sender);
  }
  if (!ok) {
    for (Listener& l : listeners)
      udp_close(l.socket);
    udp_close(remote_sender);
    return 1;
  }
  for (Listener& l : listeners)
    l.thread = std::thread(receive, std::ref(run), std::ref(l));

  const char* feeder_prefix = all ? "feeder: " : "";
  const char* remote_prefix = all ? "remote: " : "";
  UdpSocket feeder_socket;
  for (Listener& l : listeners)
    if (l.role == PeerRole::feeder) feeder_socket = l.socket;
  int64_t last_ready_ms = -1000000, last_alive_ms = -1000000;
  bool ready_told = false, hello_told = false;
  uint64_t statuses_answered = 0;
  for (;;) {
    const int64_t now = elapsed_ms(run);
    if (run.failed) break;
    if (o.seconds > 0 && static_cast<double>(now) >= o.seconds * 1000.0) break;
    {
      const std::lock_guard<std::mutex> held(run.print_lock);
      if (o.count != 0 && run.printed >= o.count) break;
    }
    if (feeder) {
      if (!run.ready_wanted)
        ready_told = false;
      else if (now - last_ready_ms >= 1000) {
        send_to_hub(run, PeerRole::feeder, feeder_socket, feeder_ready_message, 2);
        last_ready_ms = now;
        if (!ready_told) print_line(run, feeder_prefix, "sent ready", false);
        ready_told = true;
      }
    }
    if (remote) {
      if (now - last_alive_ms >= 1000) {
        // Hello until the hub has answered, and again after a silence longer than its foot
        // keep-alive: a hub that started anew knows no remote app. A hello to a hub that
        // still counts this app as connected changes nothing.
        const int64_t heard = run.last_from_hub_ms;
        if (run.statuses == 0 || heard < 0 || now - heard > 4000) {
          send_to_hub(run, PeerRole::remote, remote_sender, remote_hello_message, 2);
          if (!hello_told) print_line(run, remote_prefix, "sent hello", false);
          hello_told = true;
        } else {
          hello_told = false;
        }
        send_to_hub(run, PeerRole::remote, remote_sender, keep_alive_message, 2);
        last_alive_ms = now;
      }
      if (run.statuses > statuses_answered) {
        statuses_answered = run.statuses;
        if (o.value_count != 0) {
          uint8_t input[9];
          const size_t size = build_remote_input(o.values, o.value_count, input);
          send_to_hub(run, PeerRole::remote, remote_sender, input, size);
          print_line(run, remote_prefix, "sent input " + hex_bytes(input, size), false);
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  // Each receiving thread waits in its receive call: a datagram to its own port wakes it.
  run.stopping = true;
  const UdpSocket waker = udp_open();
  const uint8_t wake = 0;
  for (Listener& l : listeners) {
    udp_send(waker, Endpoint{loopback_ipv4, l.port}, &wake, 1);
    l.thread.join();
    udp_close(l.socket);
  }
  udp_close(waker);
  udp_close(remote_sender);
  if (run.recording != nullptr && std::fclose(run.recording) != 0) {
    std::fprintf(stderr, "pedalon-peer: writing %s failed\n", o.path.c_str());
    return 2;
  }
  return run.failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
  Run run;
  const int status = parse_options(argc, argv, run.options);
  if (status >= 0) return status;
  if (run.options.role == "replay") return run_replay(run.options.replay);
  if (run.options.role == "record") {
    run.recording = std::fopen(run.options.path.c_str(), "w");
    if (run.recording == nullptr) {
      std::fprintf(stderr, "pedalon-peer: cannot write %s\n", run.options.path.c_str());
      return 2;
    }
    std::fputs("# pedalon-peer recording: seconds, peer and direction ('<' from the hub, '>' to "
               "it), bytes\n",
               run.recording);
  }
  return run_peer(run);
}
