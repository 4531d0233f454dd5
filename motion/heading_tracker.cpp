#include "motion/heading_tracker.h"

#include <cmath>

#include "state/bytes.h"
#include "state/hub_state.h"

namespace {

// Device units to the foot value: the product is rounded once, from double.
float scale_axis(int32_t raw) {
  return static_cast<float>(static_cast<double>(raw) * 0.128);
}

// Full pedal up to a level foot, falling linearly to none at a tilt of 30.
float pedal_from_tilt(float tilt) {
  if (tilt > 30.0f) return 0.0f;
  const float amount = (30.0f - tilt) * 0.033333335f;
  return amount > 1.0f ? 1.0f : amount;
}

} // namespace

void scale_feet(int32_t lZ, int32_t lRx, int32_t lRy, int32_t lRz, TickValues& values) {
  const float z = scale_axis(lZ);
  values.z_byte = axis_byte(z);
  hub.heading_deg = z * 1.4117647f; // 360/255: one unit of z is 1/255 of a turn

  hub.tilt_rf = scale_axis(lRx);
  values.rx_byte = axis_byte(hub.tilt_rf);
  values.pedal_amount = pedal_from_tilt(hub.tilt_rf);

  values.ry_byte = axis_byte(scale_axis(lRy));

  hub.tilt_lf = scale_axis(lRz);
  values.rz_byte = axis_byte(hub.tilt_lf);
}

void track_heading() {
  const uint64_t now_ms = hub.now_ms.load(std::memory_order_relaxed);

  float d = hub.heading_deg - hub.prev_heading_deg;
  if (d >= 360.0f) {
    d -= 360.0f;
  } else if (d < -360.0f) {
    d += 360.0f;
  }

  // Measured from the last counted step, not the last tick, so slow drift adds up.
  if (std::fabs(d) > hub.step_threshold_deg) {
    if (d > 0.0f) {
      ++hub.step_count;
    } else {
      --hub.step_count;
    }
    hub.last_step_ms = now_ms;
    hub.prev_heading_deg = hub.heading_deg;
  }

  if (static_cast<float>(now_ms - hub.last_step_ms) > hub.step_timeout_s * 1000.0f) {
    // Idle for longer than the time-out: the next step starts a new run. reverse_flag is a
    // latch and keeps its value.
    hub.step_count = 0;
    hub.prev_step_count = 0;
    hub.up_run = 0;
    hub.down_run = 0;
  } else if (hub.step_count != hub.prev_step_count) {
    if (hub.step_count > hub.prev_step_count) {
      ++hub.up_run;
      hub.down_run = 0;
    } else {
      hub.up_run = 0;
      ++hub.down_run;
    }
    hub.prev_step_count = hub.step_count;
  }

  if (hub.up_run > hub.run_limit) {
    hub.reverse_flag = 1;
  } else if (hub.down_run > hub.run_limit) {
    hub.reverse_flag = 0;
  }
}

void select_pedals(float pedal_amount) {
  switch (hub.drive_mode) {
  case mode_pedal_2:
    // The remote app's values, each read once: a tick may pair a new throttle with an old
    // brake, which the next tick corrects.
    hub.throttle = hub.remote_throttle.load(std::memory_order_relaxed);
    hub.brake = hub.remote_brake.load(std::memory_order_relaxed);
    break;
  case mode_pedal_1:
    hub.throttle = hub.reverse_flag != 0 ? 0.0f : pedal_amount;
    hub.brake = hub.reverse_flag != 0 ? pedal_amount : 0.0f;
    break;
  default: break; // the other modes leave the last pedal values standing
  }
}
