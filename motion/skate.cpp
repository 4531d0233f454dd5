#include "motion/skate.h"

#include <cmath>

#include "state/hub_state.h"

namespace {

constexpr int32_t pulse_none = -1;
constexpr int32_t pulse_lift = 0;
constexpr int32_t pulse_turn_left = 10;  // the heading rose
constexpr int32_t pulse_turn_right = 20; // the heading fell

// Moves the speed 40% of the way toward the target; the blend is rounded once, from double.
// An infinite target (a push 0 ms after the last) lands on the 1.0 limit like any other
// target above it.
void blend_speed(float target) {
  const float gap = target - hub.skate_speed;
  const float speed =
      static_cast<float>(static_cast<double>(hub.skate_speed) + static_cast<double>(gap) * 0.4);
  hub.skate_speed = speed > 1.0f ? 1.0f : speed;
  hub.push_period_s = 0.5f / hub.skate_speed;
}

void enter_rest_rules(int32_t left_pair, int32_t prev_left_pair, uint64_t now_ms) {
  if (left_pair == 2 && prev_left_pair == 0) {
    // Sensor 3 alone comes down after the left foot was fully lifted: the first push.
    hub.skate_phase = 1;
    hub.skate_speed = 0.5f;
    hub.push_period_s = 1.0f;
    hub.last_push_ms = now_ms;
  } else if (left_pair == 1) {
    if (hub.tilt_rf > 10.0f) hub.skate_phase = -1;
  } else if (left_pair == 2 && prev_left_pair == 3) {
    hub.ref_heading_deg = hub.heading_deg;
  }
}

void pushing_rules(int32_t left_pair, int32_t prev_left_pair, uint64_t now_ms) {
  if (left_pair == 0) {
    // Coasting: once the foot stays up longer than the rhythm allows, decay toward the speed
    // the time since the last push stands for.
    const float elapsed_s = static_cast<float>(now_ms - hub.last_push_ms) * 0.001f;
    if (static_cast<double>(elapsed_s) > static_cast<double>(hub.push_period_s) * 1.1) {
      blend_speed(0.5f / elapsed_s);
    }
  } else if (left_pair == 2) {
    if (prev_left_pair == 0) {
      // 499.99997 is 0.5 / 0.001 in single precision: 0.5 over the push interval in seconds.
      blend_speed(499.99997f / static_cast<float>(now_ms - hub.last_push_ms));
      hub.last_push_ms = now_ms;
    }
  } else if (prev_left_pair == 0 || prev_left_pair == 2) {
    hub.sensor2_down_ms = now_ms; // sensor 2 just came down
  } else if (now_ms - hub.sensor2_down_ms > 150) {
    hub.skate_speed = 0.0f; // sensor 2 held down: brake to a stop
    hub.skate_phase = 0;
  }
}

void right_foot_step(int32_t left_pair, int32_t prev_left_pair, uint64_t now_ms) {
  switch (hub.skate_phase) {
  case 2:
  case -2:
    hub.skate_steer = 0.0f;
    hub.skate_phase = 0;
    enter_rest_rules(left_pair, prev_left_pair, now_ms);
    break;
  case 0: enter_rest_rules(left_pair, prev_left_pair, now_ms); break;
  case 1: pushing_rules(left_pair, prev_left_pair, now_ms); break;
  case -1:
    if (left_pair == 1) {
      const float speed = std::fabs(hub.tilt_rf) * -0.05f;
      hub.skate_speed = speed < -1.0f ? -1.0f : speed;
    } else {
      hub.skate_speed = 0.0f;
      hub.skate_phase = 0;
    }
    break;
  default: break;
  }
}

void left_foot_step(int32_t right_pair) {
  if (hub.skate_phase == 1 || hub.skate_phase == -1) {
    hub.skate_speed = 0.0f;
    hub.skate_phase = 0;
  }
  switch (hub.skate_phase) {
  case 0:
    // The sign of a steering phase is fixed by the right pair on entry.
    hub.skate_phase = right_pair == 2 ? 2 : (right_pair == 1 ? -2 : 0);
    break;
  case 2:
  case -2:
    hub.skate_steer = hub.tilt_lf * (hub.skate_phase == 2 ? -0.04f : -0.05f);
    if (right_pair == 0 || right_pair == 3) {
      hub.skate_phase = 0;
      hub.skate_steer = 0.0f;
    }
    break;
  default: break;
  }
}

// Heading change since the reference, taken the short way round; on a tie (exactly half a
// turn) the plain difference keeps its sign.
float heading_swing_deg() {
  const float d = hub.heading_deg - hub.ref_heading_deg;
  float best = d;
  const float up = d + 360.0f;
  const float down = d - 360.0f;
  if (std::fabs(up) < std::fabs(best)) best = up;
  if (std::fabs(down) < std::fabs(best)) best = down;
  return best;
}

void pulse_step(int32_t right_pair, int32_t left_pair, uint64_t now_ms) {
  if (hub.pulse_kind == pulse_none) {
    if (right_pair != 0 || left_pair != 0) return;
    // Stamped only on the first tick of a lift-off, so feet kept up after a pulse give no
    // second visible pulse.
    if (hub.prev_right_pair != 0 || hub.prev_left_pair != 0) hub.pulse_start_ms = now_ms;
    const float d = heading_swing_deg();
    hub.pulse_kind = d > 15.0f ? pulse_turn_left : (d < -15.0f ? pulse_turn_right : pulse_lift);
    return;
  }

  const uint64_t elapsed_ms = now_ms - hub.pulse_start_ms;
  if (elapsed_ms >= 200) {
    // Both values back to rest whatever the kind was, so no pulse value outlives its pulse.
    hub.pulse_kind = pulse_none;
    hub.skate_lift_pulse = 0.0f;
    hub.skate_turn_pulse = 0.0f;
    return;
  }
  // Up from 0.0 to 1.0 over 150 ms, then down toward 0.0 at 200 ms.
  const double ramp = elapsed_ms < 150 ? static_cast<double>(elapsed_ms) * 0.006666666666666667
                                       : static_cast<double>(200 - elapsed_ms) * 0.02;
  const float value = static_cast<float>(ramp);
  if (hub.pulse_kind == pulse_lift) {
    hub.skate_turn_pulse = 0.0f;
    hub.skate_lift_pulse = value;
  } else {
    hub.skate_lift_pulse = 0.0f;
    hub.skate_turn_pulse = hub.pulse_kind == pulse_turn_left ? -value : value;
  }
}

} // namespace

void skate_step(TouchMask touch) {
  const int32_t right_pair = touch & 3;
  const int32_t left_pair = (touch >> 2) & 3;
  const uint64_t now_ms = hub.now_ms.load(std::memory_order_relaxed);

  if (right_pair == 3) right_foot_step(left_pair, hub.prev_left_pair, now_ms);
  if (left_pair == 3) left_foot_step(right_pair);

  if (hub.skate_steer < -1.0f) {
    hub.skate_steer = -1.0f;
  } else if (hub.skate_steer > 1.0f) {
    hub.skate_steer = 1.0f;
  }

  pulse_step(right_pair, left_pair, now_ms);

  hub.prev_right_pair = right_pair;
  hub.prev_left_pair = left_pair;
}
