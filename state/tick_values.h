#pragma once

#include <cstdint>

// Bit i is set while foot-controller button i (0 to 3, the touch sensors) is pressed.
using TouchMask = uint8_t;

// Values of one tick, produced afresh on every tick that read the device and not kept.
struct TickValues {
  uint8_t x_byte = 128;  // conditioned joystick X
  uint8_t y_byte = 128;  // conditioned joystick Y (up is above 128)
  uint8_t z_byte = 128;  // right-foot heading
  uint8_t rx_byte = 128; // right-foot tilt
  uint8_t ry_byte = 128; // left-foot heading
  uint8_t rz_byte = 128; // left-foot tilt
  float pedal_amount = 0.0f;
  TouchMask touch = 0;
};
