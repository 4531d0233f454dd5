#pragma once

#include <cstdint>

#include "state/hub_state.h"

// The gain of each speed step, 1.0 for step 0; 0.0 for a value outside 0..6.
float speed_factor(int32_t speed_step);

// Turns one raw joystick axis (-1000..1000) into its byte: normalise, smooth a jump away from
// rest, bend by the speed step, scale and convert with axis_byte. Updates the filter in place.
uint8_t condition_axis(int32_t raw, AxisFilter& filter, int32_t speed_step);
