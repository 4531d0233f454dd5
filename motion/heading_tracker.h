#pragma once

#include <cstdint>

#include "state/tick_values.h"

// Scales the four foot axes: writes hub.heading_deg, hub.tilt_rf and hub.tilt_lf, and this
// tick's z/rx/ry/rz bytes and pedal_amount into values.
void scale_feet(int32_t lZ, int32_t lRx, int32_t lRy, int32_t lRz, TickValues& values);

// Counts heading steps of the right foot and latches reverse_flag after a run of three.
// Uses hub.now_ms as it stands, which is the previous tick's stamp.
void track_heading();

// Sets hub.throttle and hub.brake for the drive modes that own them ("Pedal 2", "Pedal 1").
void select_pedals(float pedal_amount);
