#pragma once

#include "state/tick_values.h"

// One step of skate mode with this tick's touch sensors; reads hub.heading_deg, hub.tilt_rf,
// hub.tilt_lf and hub.now_ms and updates the skate fields of the record.
void skate_step(TouchMask touch);
