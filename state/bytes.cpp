#include "state/bytes.h"

#include <cmath>

namespace {

// n is already floored; the comparison is written so that a NaN lands on 0 rather than in an
// undefined conversion.
uint8_t clamp_byte(float n) {
  if (!(n >= 0.0f)) return 0;
  if (n > 255.0f) return 255;
  return static_cast<uint8_t>(n);
}

} // namespace

uint8_t axis_byte(float v) {
  return clamp_byte(std::floor(v) + 128.0f);
}

uint8_t centred_byte(float v) {
  const float scaled = (v + 1.0f) * 128.0f;
  return clamp_byte(std::floor(scaled));
}

uint8_t unit_byte(float v) {
  const float scaled = v * 255.0f;
  return clamp_byte(std::floor(scaled));
}
