#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "state/drive_mode.h"

// What the input tick last wrote into one of its readout controls, so that a text that did not
// change is not set, and the control not repainted, again. Not known until the first write:
// the template's text is never assumed.
inline constexpr int readout_count = 17;
inline constexpr size_t readout_text_size = 512; // wide characters, the terminating zero included
struct ShownReadout {
  bool known = false;
  uint64_t key[2] = {}; // the value the text was made from
  wchar_t text[readout_text_size] = {};
};

// Jump-smoothing state of one joystick axis.
struct AxisFilter {
  int32_t active = 0;    // 1 while the filter is engaged
  float smoothed = 0.0f; // the filter's output while engaged; kept while off
  float previous = 0.0f; // the axis's normalised value on the previous tick
};

// The one process-wide record: every value kept between ticks or shared between the main
// thread and the listener thread. Everything is zero at load except drive_mode.
//
// The main thread owns every plain field. The fields in the last block are written by the
// listener thread (and now_ms is read by it), so they are atomics: each is read and written
// whole, and an accepted hello stores the remote app's address before it sets
// remote_connected, which the main thread reads before it reads the address.
struct HubState {
  // Commands of the monitor dialog.
  int32_t drive_mode = mode_pedal_1;
  int32_t speed_step = 0; // 0..6, selects the joystick speed factor
  bool filter_xinput = false;

  // Device set-up: slider and point-of-view objects seen so far.
  int32_t slider_count = 0;
  int32_t pov_count = 0;

  // Input tick.
  int32_t shown_mode = 0; // the drive mode last written to the mode label

  // Joystick axis conditioning.
  AxisFilter x_filter;
  AxisFilter y_filter;

  // Scaled foot values of the current tick.
  float heading_deg = 0.0f;
  float tilt_rf = 0.0f;
  float tilt_lf = 0.0f;

  // Heading tracker; start-up writes the presets (preset_heading_tracker).
  float prev_heading_deg = 0.0f;
  float step_threshold_deg = 0.0f;
  uint64_t last_step_ms = 0;
  int32_t step_count = 0;
  int32_t prev_step_count = 0;
  int32_t up_run = 0;
  int32_t down_run = 0;
  int32_t run_limit = 0;
  float step_timeout_s = 0.0f;
  int32_t reverse_flag = 0;

  // Pedal values carried by the "Pedal" drive datagrams.
  float throttle = 0.0f;
  float brake = 0.0f;

  // Skate mode.
  int32_t skate_phase = 0;
  float skate_speed = 0.0f;
  float skate_steer = 0.0f;
  float skate_turn_pulse = 0.0f;
  float skate_lift_pulse = 0.0f;
  float push_period_s = 0.0f;
  uint64_t last_push_ms = 0;
  uint64_t sensor2_down_ms = 0;
  float ref_heading_deg = 0.0f;
  int32_t pulse_kind = 0;
  uint64_t pulse_start_ms = 0;
  int32_t prev_right_pair = 0;
  int32_t prev_left_pair = 0;

  // Outgoing datagrams: send caches and connection state.
  int32_t feeder_greeted = 0;
  uint8_t feeder_cache[7] = {};
  uint64_t last_feeder_send_ms = 0;
  int32_t remote_announced = 0;
  uint8_t foot_cache[7] = {};
  uint64_t last_foot_send_ms = 0;

  // The readouts' texts, by Readout (input/readouts.h); large, so last of the tick's fields.
  ShownReadout shown_readouts[readout_count];

  // Shared with the listener thread.
  std::atomic<uint64_t> now_ms{0}; // the tick's time stamp; the listener reads it
  std::atomic<int32_t> feeder_ready{0};
  std::atomic<int32_t> remote_connected{0};
  std::atomic<uint64_t> last_remote_ms{0};
  std::atomic<uint32_t> remote_app_ipv4{0}; // host byte order
  std::atomic<uint16_t> remote_app_port{0};
  std::atomic<float> remote_steer{0.0f};
  std::atomic<uint8_t> remote_buttons{0};
  std::atomic<float> remote_throttle{0.0f};
  std::atomic<float> remote_brake{0.0f};
  std::atomic<uint8_t> remote_throttle_byte{0};
  std::atomic<uint8_t> remote_brake_byte{0};
  std::atomic<uint8_t> remote_relay1{0};
  std::atomic<uint8_t> remote_relay2{0};
  std::atomic<uint8_t> remote_relay3{0};
  std::atomic<uint8_t> remote_relay4{0};
};

static_assert(std::atomic<uint64_t>::is_always_lock_free);
static_assert(std::atomic<uint32_t>::is_always_lock_free);
static_assert(std::atomic<uint16_t>::is_always_lock_free);
static_assert(std::atomic<uint8_t>::is_always_lock_free);
static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<float>::is_always_lock_free);

extern HubState hub;

// Start-up presets of the heading tracker.
void preset_heading_tracker();

// Returns the record to its load state. Only for tests and tools: nothing else may be
// running on the record (the listener thread in particular) while it is reset.
void reset_hub_state();
