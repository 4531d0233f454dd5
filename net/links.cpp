#include "net/links.h"

#include "motion/skate.h"
#include "net/endpoint.h"
#include "net/frames.h"
#include "net/wire.h"
#include "res/resource.h"
#include "state/hub_state.h"

namespace {

constexpr uint64_t feeder_keep_alive_ms = 3000;
constexpr uint64_t foot_keep_alive_ms = 3500;
constexpr uint64_t remote_silence_limit_ms = 10000;

constexpr const wchar_t* status_connected = L"Status: remote app connected";
constexpr const wchar_t* status_absent = L"Status: no remote app connected";

void copy_to_cache(const Frame& frame, uint8_t cache[7]) {
  for (int i = 0; i < 7; ++i)
    cache[i] = frame.bytes[i + 1];
}

// Only valid after an acquire read of remote_connected that saw 1: a hello stores the address
// before it publishes the connection.
Endpoint remote_app() {
  return {hub.remote_app_ipv4.load(std::memory_order_relaxed),
          hub.remote_app_port.load(std::memory_order_relaxed)};
}

bool remote_is_connected() {
  return hub.remote_connected.load(std::memory_order_acquire) == 1;
}

// The remote app's address came from the network, so a send to it that fails is the remote
// app's problem, not the hub's: forget the app and wait for its next message.
void drop_remote(Seam& seam) {
  hub.remote_connected.store(0, std::memory_order_relaxed);
  hub.remote_announced = 0;
  seam.set_text(IDC_STATUS, status_absent);
}

} // namespace

void send_start_hello(Seam& seam) {
  seam.send(axis_peer, start_hello, sizeof start_hello);
  seam.send(feeder_peer, start_hello, sizeof start_hello);
}

void send_axis(Seam& seam, uint8_t x_byte, uint8_t y_byte) {
  const uint8_t bytes[] = {axis_x_marker, x_byte, axis_y_marker, y_byte, 0x00};
  seam.send(axis_peer, bytes, sizeof bytes);
}

bool serve_feeder(Seam& seam, const TickValues& values) {
  if (hub.feeder_ready.load(std::memory_order_relaxed) != 1) return true;

  if (hub.feeder_greeted == 0) {
    if (!seam.send(feeder_peer, feeder_handshake, sizeof feeder_handshake)) {
      seam.exit_process(1);
      return false;
    }
    hub.feeder_greeted = 1;
  }

  const int32_t mode = hub.drive_mode;
  // Skate mode advances only on ticks that build its frame.
  if (mode == mode_skate) skate_step(values.touch);
  const Frame frame = build_drive_frame(mode, values);
  if (frame.size == 0) return true;

  const uint64_t now_ms = hub.now_ms.load(std::memory_order_relaxed);
  if (now_ms - hub.last_feeder_send_ms > feeder_keep_alive_ms ||
      frame_changed(frame, hub.feeder_cache)) {
    copy_to_cache(frame, hub.feeder_cache);
    if (!seam.send(feeder_peer, frame.bytes, frame.size)) {
      seam.exit_process(1);
      return false;
    }
    hub.last_feeder_send_ms = now_ms;
  }
  return true;
}

void serve_remote(Seam& seam, const TickValues& values) {
  const uint64_t now_ms = hub.now_ms.load(std::memory_order_relaxed);

  if (remote_is_connected() && hub.remote_announced == 0) {
    hub.last_remote_ms.store(now_ms, std::memory_order_relaxed);
    if (!seam.send(remote_app(), status_datagram, sizeof status_datagram)) {
      drop_remote(seam);
      return;
    }
    hub.remote_announced = 1;
    seam.set_text(IDC_STATUS, status_connected);
  } else if (hub.remote_announced == 1 &&
             now_ms - hub.last_remote_ms.load(std::memory_order_relaxed) >
                 remote_silence_limit_ms) {
    drop_remote(seam);
  }

  // Announced as well as connected: a message that reconnects the app while this step runs
  // must not let a foot datagram go out before the status datagram.
  if (hub.remote_announced != 1 || !remote_is_connected()) return;

  const Frame frame = build_foot_frame(values);
  if (now_ms - hub.last_foot_send_ms > foot_keep_alive_ms || frame_changed(frame, hub.foot_cache)) {
    if (!seam.send(remote_app(), frame.bytes, frame.size)) {
      drop_remote(seam);
      return;
    }
    hub.last_foot_send_ms = now_ms;
    copy_to_cache(frame, hub.foot_cache);
  }
}

bool send_shutdown(Seam& seam) {
  return seam.send(feeder_peer, shutdown_datagram, sizeof shutdown_datagram);
}
