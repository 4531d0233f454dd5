#include <gtest/gtest.h>

#include <cstring>

#include "net/frames.h"
#include "state/hub_state.h"

namespace {

struct LayoutCase {
  int32_t mode;
  uint8_t bytes[8];
  uint8_t size;
  uint8_t exact_index;
};

TEST(DriveFrame, EachModeHasItsLayout) {
  const LayoutCase cases[] = {
      {mode_pedal_2, {0x15, 0xC0, 0xFF, 0x7F, 0x05, 0x11, 0x22, 0x00}, 7, 4},
      {mode_pedal_1, {0x15, 0xC0, 0xFF, 0x7F, 0x05, 0x11, 0x22, 0x00}, 7, 4},
      {mode_four_way, {0x02, 0x01, 0x10, 0x20, 0x11, 0x22, 0x05, 0x00}, 7, 6},
      {mode_pass_through, {0x16, 0x33, 0x44, 0x11, 0x22, 0x05, 0xAA, 0xBB}, 8, 5},
      {mode_skate, {0x16, 0x00, 0xFF, 0xC0, 0x80, 0x00, 0x00, 0x00}, 8, 5},
      {4, {}, 0, 0}, // no such mode: nothing to send
  };
  reset_hub_state();
  hub.remote_steer = 0.5f;
  hub.throttle = 1.0f;
  hub.brake = 0.5f;
  hub.remote_buttons = 0x05;
  hub.remote_relay1 = 0x11;
  hub.remote_relay2 = 0x22;
  hub.remote_relay3 = 0x33;
  hub.remote_relay4 = 0x44;
  hub.remote_throttle_byte = 0xAA;
  hub.remote_brake_byte = 0xBB;
  hub.skate_steer = -1.0f;
  hub.skate_speed = 1.0f;
  hub.skate_turn_pulse = 0.5f;
  TickValues v;
  v.x_byte = 0x10;
  v.y_byte = 0x20;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    const Frame f = build_drive_frame(c.mode, v);
    EXPECT_EQ(f.size, c.size);
    EXPECT_EQ(f.exact_index, c.exact_index);
    EXPECT_EQ(0, std::memcmp(f.bytes, c.bytes, 8));
  }
}

TEST(FootFrame, CarriesTheSixAxesAndTheTouchMask) {
  const Frame f = build_foot_frame({1, 2, 3, 4, 5, 6, 0.0f, 11});
  const uint8_t expected[8] = {0x1F, 1, 2, 3, 4, 5, 6, 11};
  EXPECT_EQ(f.size, 8);
  EXPECT_EQ(f.exact_index, 7);
  EXPECT_EQ(0, std::memcmp(f.bytes, expected, 8));
}

} // namespace
