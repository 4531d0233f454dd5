#pragma once

#include <cstdint>

#include "state/seam.h"

// Bound on the re-acquire loop while Acquire keeps reporting lost input, so a device that
// never comes back cannot hang the dialog; the next tick tries again anyway.
inline constexpr int max_acquire_attempts = 8;

// The hub's heartbeat, run on every timer tick: polls and reads the device, then runs every
// per-tick step in its fixed order. Returns 0, or the negative result of the device read.
int32_t input_tick(Seam& seam);
