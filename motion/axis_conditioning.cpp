#include "motion/axis_conditioning.h"

#include <cmath>

#include "state/bytes.h"

// The mix of single and double precision below is deliberate: peers see the bytes, and the
// bytes at rounding edges depend on exactly where each product is rounded.

float speed_factor(int32_t speed_step) {
  switch (speed_step) {
  case 0: return 1.0f;
  case 1: return 0.8f;
  case 2: return 0.65f;
  case 3: return 0.5f;
  case 4: return 0.35f;
  case 5: return 1.2f;
  case 6: return 1.5f;
  default: return 0.0f;
  }
}

namespace {

// Smooths a jump away from rest: engages only when the axis leaves exactly 0.0 by more than
// 0.4 in one tick, then closes 15% of the gap per tick until within 0.2 of the input.
float smooth_jump(float v, AxisFilter& filter) {
  float m = v;
  if (filter.active == 1) {
    const float gap = v - filter.smoothed;
    m = static_cast<float>(static_cast<double>(filter.smoothed) + static_cast<double>(gap) * 0.15);
    filter.smoothed = m;
    if (std::fabs(static_cast<double>(v - m)) < 0.2) filter.active = 0;
  } else if (filter.previous == 0.0f && std::fabs(filter.previous - v) > 0.4f) {
    filter.active = 1;
    m = filter.previous + (v - filter.previous) * 0.1f;
    filter.smoothed = m;
  }
  filter.previous = v;
  return m;
}

// Scales the inner range by the factor and joins it with a straight line to full deflection,
// so full deflection stays full at every step. Step 0 is the identity.
float apply_speed_curve(float m, int32_t speed_step) {
  if (speed_step == 0) return m;
  const float f = speed_factor(speed_step);
  const float magnitude = std::fabs(m);
  if (magnitude <= 0.7f) return m * f;
  const float knee = f * 0.7f;
  return ((magnitude - 0.7f) * (1.0f - knee) * 3.3333333f + knee) * m / magnitude;
}

} // namespace

uint8_t condition_axis(int32_t raw, AxisFilter& filter, int32_t speed_step) {
  const float v = static_cast<float>(static_cast<double>(raw) * 0.001);
  const float m = apply_speed_curve(smooth_jump(v, filter), speed_step);
  return axis_byte(m * 128.0f);
}
