#pragma once

#include <cstdint>

// An IPv4 UDP endpoint, address and port in host byte order.
struct Endpoint {
  uint32_t ipv4 = 0;
  uint16_t port = 0;
};

inline constexpr uint32_t loopback_ipv4 = 0x7F000001; // 127.0.0.1
