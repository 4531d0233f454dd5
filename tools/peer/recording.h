#pragma once

// Recordings of the hub's traffic as plain text, one datagram a line:
//
//   12.345 feeder< 15 80 7f 00 00 00 00  # Pedal steer 128 throttle 127 ...
//
// the seconds since the start (at most three decimals), the peer with the direction ("<" the
// hub sent it to the peer, ">" the peer sent it to the hub), the bytes in hexadecimal, and
// anything after '#' as a comment. Portable: standard library only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/peer/decode.h"

inline constexpr size_t max_recorded_bytes = 2048; // what the peer tool can receive

struct RecordedDatagram {
  uint64_t time_ms = 0; // since the start of the recording
  PeerRole peer = PeerRole::axis;
  bool from_hub = true; // '<'; false for '>', sent by the peer to the hub
  std::vector<uint8_t> bytes;
};

// The line for one datagram, with what it means as a comment; no newline.
std::string recording_line(const RecordedDatagram& datagram);

struct RecordingError {
  size_t line = 0; // from 1
  std::string message;
};

// Reads a whole recording. Blank lines and comments are skipped; times must not go back.
// Returns false at the first bad line, with its number and what is wrong with it.
bool parse_recording(std::string_view text, std::vector<RecordedDatagram>& datagrams,
                     RecordingError& error);

// Whether a replay must hold this datagram until the feeder's ready message: as the hub, it
// sends the feeder nothing but StartHello before it.
bool waits_for_ready(const RecordedDatagram& datagram);

// Whether a datagram that reached the hub's port carries the two-byte message 01 `kind`, read
// as the hub reads it (a message every three bytes, nothing after a remote input).
bool carries_message(const uint8_t* bytes, size_t size, uint8_t kind);
