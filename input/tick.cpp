#include "input/tick.h"

#include "input/readouts.h"
#include "motion/axis_conditioning.h"
#include "motion/heading_tracker.h"
#include "net/links.h"
#include "res/resource.h"
#include "state/hub_state.h"
#include "state/tick_values.h"

namespace {

// A lost device is re-acquired; while Acquire keeps reporting lost input it is asked again,
// a few times at most, and the next tick tries anew.
void reacquire(Seam& seam) {
  for (int attempt = 0; attempt < max_acquire_attempts; ++attempt) {
    if (seam.acquire() != di_err_input_lost) return;
  }
}

// Two's-complement negation without the overflow of -INT32_MIN.
int32_t negate(int32_t v) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(v));
}

void show_mode_label(Seam& seam) {
  if (hub.drive_mode == hub.shown_mode) return;
  hub.shown_mode = hub.drive_mode;
  if (const wchar_t* name = drive_mode_name(hub.drive_mode)) seam.set_text(IDC_MODE, name);
}

} // namespace

int32_t input_tick(Seam& seam) {
  if (!seam.has_device()) return 0;
  if (seam.poll() < 0) {
    reacquire(seam);
    return 0;
  }
  JoyState state{};
  const int32_t read = seam.read_state(state);
  if (read < 0) return read;

  ReadoutText buffer{};
  TickValues values;

  values.x_byte = condition_axis(state.lX, hub.x_filter, hub.speed_step);
  show_long(seam, buffer, readout_joy_x, values.x_byte);
  // Y is negated so that pushing the stick forward gives a byte above 128.
  values.y_byte = condition_axis(negate(state.lY), hub.y_filter, hub.speed_step);
  send_axis(seam, values.x_byte, values.y_byte);
  show_long(seam, buffer, readout_joy_y, values.y_byte);

  // The foot readouts show the raw axes, not the scaled values.
  scale_feet(state.lZ, state.lRx, state.lRy, state.lRz, values);
  show_long(seam, buffer, readout_heading_rf, state.lZ);
  track_heading(); // sees the previous tick's now_ms
  show_long(seam, buffer, readout_tilt_rf, state.lRx);
  show_long(seam, buffer, readout_heading_lf, state.lRy);
  show_long(seam, buffer, readout_tilt_lf, state.lRz);

  show_long(seam, buffer, readout_slider0, state.rglSlider[0]);
  show_long(seam, buffer, readout_slider1, state.rglSlider[1]);
  show_ulong(seam, buffer, readout_pov0, state.rgdwPOV[0]);
  show_ulong(seam, buffer, readout_pov1, state.rgdwPOV[1]);
  show_ulong(seam, buffer, readout_pov2, state.rgdwPOV[2]);
  show_ulong(seam, buffer, readout_pov3, state.rgdwPOV[3]);

  values.touch = show_buttons(seam, buffer, readout_touch, state.rgbButtons);
  show_float(seam, buffer, readout_remote_steer, hub.remote_steer.load());
  show_remote_buttons(seam, buffer, readout_remote_buttons, hub.remote_buttons.load());

  select_pedals(values.pedal_amount);
  show_float(seam, buffer, readout_throttle, hub.throttle);
  show_float(seam, buffer, readout_brake, hub.brake);

  show_mode_label(seam);

  hub.now_ms = seam.tick_count_ms();
  if (!serve_feeder(seam, values)) return 0; // the process is ending
  serve_remote(seam, values);
  return 0;
}
