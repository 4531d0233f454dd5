#pragma once

#include <cstdint>

#include "state/endpoint.h"

// The hub's ports and its two fixed peers on this machine.
inline constexpr uint16_t axis_peer_port = 45040;
inline constexpr uint16_t listen_port = 45041;
inline constexpr uint16_t feeder_peer_port = 45042;

inline constexpr Endpoint axis_peer{loopback_ipv4, axis_peer_port};
inline constexpr Endpoint feeder_peer{loopback_ipv4, feeder_peer_port};
