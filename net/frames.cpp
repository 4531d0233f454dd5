#include "net/frames.h"

#include "net/wire.h"
#include "state/bytes.h"
#include "state/hub_state.h"

namespace {

// Byte-wise differences above this count as a change.
constexpr int change_tolerance = 3;

uint8_t load(const std::atomic<uint8_t>& field) {
  return field.load(std::memory_order_relaxed);
}

} // namespace

Frame build_drive_frame(int32_t drive_mode, const TickValues& values) {
  Frame f;
  uint8_t* b = f.bytes;
  switch (drive_mode) {
  case mode_pedal_2:
  case mode_pedal_1:
    b[0] = drive_kind_pedal;
    b[1] = centred_byte(hub.remote_steer.load(std::memory_order_relaxed));
    b[2] = unit_byte(hub.throttle);
    b[3] = unit_byte(hub.brake);
    b[4] = load(hub.remote_buttons);
    b[5] = load(hub.remote_relay1);
    b[6] = load(hub.remote_relay2);
    f.size = 7;
    f.exact_index = 4;
    break;
  case mode_four_way:
    b[0] = drive_kind_four_way;
    b[1] = 0x01;
    b[2] = values.x_byte;
    b[3] = values.y_byte;
    b[4] = load(hub.remote_relay1);
    b[5] = load(hub.remote_relay2);
    b[6] = load(hub.remote_buttons);
    f.size = 7;
    f.exact_index = 6;
    break;
  case mode_pass_through:
    b[0] = drive_kind_wide;
    b[1] = load(hub.remote_relay3);
    b[2] = load(hub.remote_relay4);
    b[3] = load(hub.remote_relay1);
    b[4] = load(hub.remote_relay2);
    b[5] = load(hub.remote_buttons);
    b[6] = load(hub.remote_throttle_byte);
    b[7] = load(hub.remote_brake_byte);
    f.size = 8;
    f.exact_index = 5;
    break;
  case mode_skate:
    // The skate step of this tick has already run; its outputs are read as they stand.
    b[0] = drive_kind_wide;
    b[1] = centred_byte(hub.skate_steer);
    b[2] = centred_byte(hub.skate_speed);
    b[3] = centred_byte(hub.skate_turn_pulse);
    b[4] = centred_byte(hub.skate_lift_pulse);
    f.size = 8;
    f.exact_index = 5; // always 00, so it only tells against another layout's cache
    break;
  default:
    // No drive mode has this value; size 0 means there is nothing to send.
    break;
  }
  return f;
}

Frame build_foot_frame(const TickValues& values) {
  Frame f;
  f.bytes[0] = foot_kind;
  f.bytes[1] = values.x_byte;
  f.bytes[2] = values.y_byte;
  f.bytes[3] = values.z_byte;
  f.bytes[4] = values.rx_byte;
  f.bytes[5] = values.ry_byte;
  f.bytes[6] = values.rz_byte;
  f.bytes[7] = values.touch;
  f.size = 8;
  f.exact_index = 7;
  return f;
}

bool frame_changed(const Frame& frame, const uint8_t cache[7]) {
  for (int i = 1; i < 8; ++i) {
    const int now = frame.bytes[i];
    const int before = cache[i - 1];
    if (i == frame.exact_index && now != before) return true;
    const int diff = now > before ? now - before : before - now;
    if (diff > change_tolerance) return true;
  }
  return false;
}
