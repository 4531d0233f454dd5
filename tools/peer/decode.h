#pragma once

// The peer tool's portable half: what the hub's datagrams mean, the messages the peers send
// back, and the command-line values. Standard library only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/endpoint.h"
#include "net/wire.h"

// Which peer a datagram arrived at.
enum class PeerRole { axis, feeder, remote };

// What a datagram from the hub is, by its bytes alone.
enum class DatagramKind {
  start_hello, // 01 03 02 6F 00
  axis,        // 2A x 2B y 00
  handshake,   // 01 00
  drive,       // 15 ... (7), 02 01 ... (7), 16 ... (8)
  shutdown,    // 64 00
  status,      // 01 02
  foot,        // 1F + 7 bytes
  unknown,
};

DatagramKind datagram_kind(const uint8_t* bytes, size_t size);

// One line for a datagram that arrived at `role`, e.g. "x 128 y 128" or
// "Pedal steer 128 throttle 255 brake 0 buttons 0 relay 0 0".
std::string describe_datagram(PeerRole role, const uint8_t* bytes, size_t size);

// "2a 80 2b 80 00"
std::string hex_bytes(const uint8_t* bytes, size_t size);

// What the peers send to the hub's listening port.
inline constexpr uint8_t feeder_ready_message[2] = {short_message, kind_feeder_ready};
inline constexpr uint8_t remote_hello_message[2] = {short_message, kind_remote_hello};
inline constexpr uint8_t keep_alive_message[2] = {short_message, kind_keep_alive};

// RemoteInput: 20 followed by `count` (at most 8) values. Returns its length.
size_t build_remote_input(const uint8_t* values, size_t count, uint8_t out[9]);

// Command-line values; each returns false for text that is not a value of its kind.
bool parse_byte(std::string_view text, uint8_t& value);         // 0..255 or 0x00..0xff
bool parse_port(std::string_view text, uint16_t& port);         // 1..65535
bool parse_count(std::string_view text, uint64_t& count);       // 1 or more
bool parse_seconds(std::string_view text, double& seconds);     // more than 0, e.g. 2.5
bool parse_endpoint(std::string_view text, Endpoint& endpoint); // A.B.C.D[:PORT]
