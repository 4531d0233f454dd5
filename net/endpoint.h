#pragma once

#include <cstdint>

// An IPv4 UDP endpoint, address and port in host byte order.
struct Endpoint {
  uint32_t ipv4 = 0;
  uint16_t port = 0;
};

inline constexpr uint32_t loopback_ipv4 = 0x7F000001; // 127.0.0.1
inline constexpr uint16_t axis_peer_port = 45040;
inline constexpr uint16_t listen_port = 45041;
inline constexpr uint16_t feeder_peer_port = 45042;

inline constexpr Endpoint axis_peer{loopback_ipv4, axis_peer_port};
inline constexpr Endpoint feeder_peer{loopback_ipv4, feeder_peer_port};
