#include "net/listener.h"

#include "net/wire.h"
#include "state/hub_state.h"

namespace {

constexpr float steer_per_step = 0.0078125f;  // 1/128
constexpr float unit_per_step = 0.003921569f; // nearest float to 1/255; unit_byte inverts it

// Bytes at or beyond the end of the datagram read as 0.
uint8_t byte_at(const uint8_t* bytes, size_t size, size_t i) {
  return i < size ? bytes[i] : 0;
}

void mark_remote_alive() {
  hub.last_remote_ms.store(hub.now_ms.load(std::memory_order_relaxed), std::memory_order_relaxed);
  hub.remote_connected.store(1, std::memory_order_release);
}

void accept_hello(const Endpoint& sender) {
  // The first app keeps its address until it is dropped.
  if (hub.remote_connected.load(std::memory_order_relaxed) != 0) return;
  // The app listens one port above the one it sends from; 65535 has no such port.
  const uint16_t port = static_cast<uint16_t>(sender.port + 1);
  if (port == 0) return;
  hub.remote_app_ipv4.store(sender.ipv4, std::memory_order_relaxed);
  hub.remote_app_port.store(port, std::memory_order_relaxed);
  // Publishes the address: the main thread reads it only after seeing this flag.
  hub.remote_connected.store(1, std::memory_order_release);
}

void read_short_message(uint8_t kind, const Endpoint& sender) {
  switch (kind) {
  case kind_feeder_ready: hub.feeder_ready.store(1, std::memory_order_relaxed); break;
  case kind_remote_hello: accept_hello(sender); break;
  case kind_keep_alive: mark_remote_alive(); break;
  default: break;
  }
}

// The length gates look at the whole datagram, not at what follows the 20 byte.
void read_remote_input(const uint8_t* bytes, size_t size, size_t p) {
  mark_remote_alive();
  const int steer = byte_at(bytes, size, p + 1);
  hub.remote_steer.store(static_cast<float>(steer - 128) * steer_per_step,
                         std::memory_order_relaxed);
  hub.remote_buttons.store(byte_at(bytes, size, p + 2), std::memory_order_relaxed);
  if (size >= 5) {
    const uint8_t throttle = byte_at(bytes, size, p + 3);
    const uint8_t brake = byte_at(bytes, size, p + 4);
    hub.remote_throttle_byte.store(throttle, std::memory_order_relaxed);
    hub.remote_throttle.store(static_cast<float>(throttle) * unit_per_step,
                              std::memory_order_relaxed);
    hub.remote_brake_byte.store(brake, std::memory_order_relaxed);
    hub.remote_brake.store(static_cast<float>(brake) * unit_per_step, std::memory_order_relaxed);
  }
  if (size >= 9) {
    hub.remote_relay1.store(byte_at(bytes, size, p + 5), std::memory_order_relaxed);
    hub.remote_relay2.store(byte_at(bytes, size, p + 6), std::memory_order_relaxed);
    hub.remote_relay3.store(byte_at(bytes, size, p + 7), std::memory_order_relaxed);
    hub.remote_relay4.store(byte_at(bytes, size, p + 8), std::memory_order_relaxed);
  }
}

} // namespace

void read_datagram(const uint8_t* bytes, size_t size, const Endpoint& sender) {
  size_t p = 0;
  while (p < size) {
    const uint8_t b = bytes[p];
    if (b == short_message) {
      read_short_message(byte_at(bytes, size, p + 1), sender);
      p += 3; // the byte behind a two-byte message is a gap, never a message start
    } else if (b == remote_input_kind) {
      read_remote_input(bytes, size, p);
      return; // nothing after a remote input is read
    } else {
      ++p;
    }
  }
}

void preset_remote_app() {
  hub.remote_app_ipv4.store(loopback_ipv4, std::memory_order_relaxed);
  hub.remote_app_port.store(feeder_peer_port, std::memory_order_relaxed);
}
