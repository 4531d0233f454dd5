#pragma once

#include <cstddef>
#include <cstdint>

#include "state/tick_values.h"

// A datagram built in a fixed 8-byte frame. Bytes past `size` are 00 and still take part in
// the change test and the caches.
struct Frame {
  uint8_t bytes[8] = {};
  uint8_t size = 0;
  uint8_t exact_index = 0; // the byte the change test compares exactly
};

// The drive datagram of this drive mode, built from this tick's values and the record.
Frame build_drive_frame(int32_t drive_mode, const TickValues& values);

// The foot datagram for the remote app.
Frame build_foot_frame(const TickValues& values);

// A frame differs from its cache (bytes 1 to 7 of the last one sent) when its exact byte
// differs at all, or any of bytes 1 to 7 differs by more than 3.
bool frame_changed(const Frame& frame, const uint8_t cache[7]);
