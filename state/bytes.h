#pragma once

#include <cstdint>

// Every datagram field is one unsigned byte. These turn single-precision motion values into
// such bytes; the arithmetic stays in single precision because the bytes at rounding edges
// are part of what peers see.

// floor(v) + 128, clamped to 0..255. Floor, not truncation: -0.128 gives 127.
uint8_t axis_byte(float v);

// floor((v + 1) * 128), clamped to 0..255: -1.0 gives 0, 0.0 gives 128, +1.0 gives 255.
uint8_t centred_byte(float v);

// floor(v * 255), clamped to 0..255: 0.0 gives 0, 1.0 gives 255.
uint8_t unit_byte(float v);
