#pragma once

#include <cstdint>

// The bytes that mark each datagram on the wire, shared by the hub and the peer tool so the
// two ends cannot drift apart. Every field of every datagram is one unsigned byte.

// Sent by the hub.
inline constexpr uint8_t start_hello[5] = {0x01, 0x03, 0x02, 0x6F, 0x00};
inline constexpr uint8_t axis_x_marker = 0x2A; // '*'; an axis datagram is 2A x 2B y 00
inline constexpr uint8_t axis_y_marker = 0x2B; // '+'
inline constexpr uint8_t feeder_handshake[2] = {0x01, 0x00};
inline constexpr uint8_t status_datagram[2] = {0x01, 0x02};
inline constexpr uint8_t shutdown_datagram[2] = {0x64, 0x00}; // 100, little-endian
inline constexpr uint8_t drive_kind_pedal = 0x15;             // "Pedal 2" and "Pedal 1"
inline constexpr uint8_t drive_kind_four_way = 0x02;          // followed by 01
inline constexpr uint8_t drive_kind_wide = 0x16;              // "Pass through" and "Skate"
inline constexpr uint8_t foot_kind = 0x1F;

// Read by the hub: two-byte messages 01 KIND, and a remote input 20 followed by its bytes.
inline constexpr uint8_t short_message = 0x01;
inline constexpr uint8_t kind_feeder_ready = 0x01;
inline constexpr uint8_t kind_remote_hello = 0x02;
inline constexpr uint8_t kind_keep_alive = 0x15;
inline constexpr uint8_t remote_input_kind = 0x20;
