#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <tuple>

#include "motion/heading_tracker.h"
#include "state/hub_state.h"

namespace {

struct FeetCase {
  int32_t lZ, lRx, lRy, lRz;
  float heading_deg, tilt_rf, pedal_amount, tilt_lf;
  int z_byte, rx_byte, ry_byte, rz_byte;
};

TEST(ScaleFeet, AnglesBytesAndPedalAtTheTiltEdges) {
  const FeetCase cases[] = {
      {1000, 0, 0, 0, 180.70589f, 0.0f, 1.0f, 0.0f, 255, 128, 128, 128},
      {-1000, -500, -1, 1000, -180.70589f, -64.0f, 1.0f, 128.0f, 0, 64, 127, 255},
      {-1, 117, 0, -1000, -0.18070589f, 14.976f, 0.5008f, -128.0f, 127, 142, 128, 0},
      {500, 234, 0, 0, 90.35294f, 29.952f, 0.00160001125f, 0.0f, 192, 157, 128, 128},
      {11, 235, 0, 0, 1.9877647f, 30.08f, 0.0f, 0.0f, 129, 158, 128, 128},
      {12, 1000, 0, 0, 2.1684706f, 128.0f, 0.0f, 0.0f, 129, 255, 128, 128},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "lZ " << c.lZ << " lRx " << c.lRx);
    TickValues v;
    scale_feet(c.lZ, c.lRx, c.lRy, c.lRz, v);
    EXPECT_EQ(std::tuple(hub.heading_deg, hub.tilt_rf, v.pedal_amount, hub.tilt_lf),
              std::tuple(c.heading_deg, c.tilt_rf, c.pedal_amount, c.tilt_lf));
    EXPECT_EQ(std::tuple(int{v.z_byte}, int{v.rx_byte}, int{v.ry_byte}, int{v.rz_byte}),
              std::tuple(c.z_byte, c.rx_byte, c.ry_byte, c.rz_byte));
  }
}

struct HeadingTracker : testing::Test {
  void SetUp() override {
    reset_hub_state();
    preset_heading_tracker();
  }
  // Each tick: the now_ms the tracker sees (the previous tick's stamp) and lZ, then the
  // step_count, up_run, down_run and reverse_flag it leaves.
  void run(std::initializer_list<std::array<int64_t, 6>> ticks) {
    for (const auto& [now_ms, lZ, step_count, up_run, down_run, reverse_flag] : ticks) {
      SCOPED_TRACE(testing::Message() << "at " << now_ms << " lZ " << lZ);
      hub.now_ms = static_cast<uint64_t>(now_ms);
      TickValues v;
      scale_feet(static_cast<int32_t>(lZ), 0, 0, 0, v);
      track_heading();
      EXPECT_EQ(std::tuple(hub.step_count, hub.up_run, hub.down_run, hub.reverse_flag),
                std::tuple(step_count, up_run, down_run, reverse_flag));
    }
  }
};

TEST_F(HeadingTracker, RunOfThreeSetsAndClearsReverse) {
  run({{1000, 0, 0, 0, 0, 0},
       {1033, 20, 1, 1, 0, 0},
       {1066, 40, 2, 2, 0, 0},
       {1099, 60, 3, 3, 0, 1},
       {1132, 40, 2, 0, 1, 1}, // one falling step only breaks the run
       {1165, 20, 1, 0, 2, 1},
       {1198, 0, 0, 0, 3, 0},
       {1231, 60, 1, 1, 0, 0}}); // 0 to 60 in one tick is one step
}

TEST_F(HeadingTracker, ThresholdIdleResetAndWrap) {
  run({{0, 11, 0, 0, 0, 0},      // 1.99 degrees: no step
       {1000, 12, 1, 1, 0, 0},   // 2.17: a step, stamped with this tick's now_ms
       {1033, 20, 1, 1, 0, 0},   // 1.45 since the last step: none
       {1066, 24, 2, 2, 0, 0},   // 2.17 since the last step, though 0.72 since the last tick
       {1400, 24, 2, 2, 0, 0},   // idle time runs from the last step, not the last tick
       {1566, 24, 2, 2, 0, 0},   // exactly 500 ms: kept
       {1567, 24, 0, 0, 0, 0}}); // 501 ms: reset
  SetUp();
  run({{0, 20, 1, 1, 0, 0},         // first tick: a start-up heading counts as a step
       {5000000, 20, 0, 0, 0, 0}}); // the second sees the first stamp as idle time
  SetUp();
  run({{1000, 0, 0, 0, 0, 0},
       {1033, 1000, 1, 1, 0, 0},
       {1066, -1000, 1, 1, 0, 0}, // -361.4 wraps to -1.4: no step
       {1099, 980, 0, 0, 1, 0},
       {1132, -1000, -1, 0, 2, 0},  // -357.8 is within a turn: a step down
       {1165, 1000, -1, 0, 2, 0}}); // +361.4 wraps to +1.4: no step
}

TEST_F(HeadingTracker, ThresholdAndWrapEdges) {
  // From prev_heading_deg to heading_deg; +360 wraps to 0, -360 is not wrapped (only below is).
  const std::tuple<float, float, int32_t> cases[] = {
      {0.0f, 2.0f, 0},      {0.0f, -2.0f, 0},      {0.0f, std::nextafter(2.0f, 3.0f), 1},
      {-180.0f, 180.0f, 0}, {180.0f, -180.0f, -1},
  };
  for (const auto& [prev_heading_deg, heading_deg, step_count] : cases) {
    SCOPED_TRACE(testing::Message() << prev_heading_deg << " to " << heading_deg);
    SetUp();
    hub.prev_heading_deg = prev_heading_deg;
    hub.heading_deg = heading_deg;
    track_heading();
    EXPECT_EQ(hub.step_count, step_count);
  }
}

TEST(SelectPedals, PerDriveMode) {
  // The other modes keep the last pedal values (0.3 and 0.6); "Pedal 2" takes the remote's.
  const std::tuple<int32_t, int32_t, float, float, float> cases[] = {
      {mode_pedal_2, 1, 0.7f, 0.25f, 0.75f},    {mode_pedal_1, 0, 0.7f, 0.7f, 0.0f},
      {mode_pedal_1, 1, 1.0f, 0.0f, 1.0f},      {mode_four_way, 0, 0.7f, 0.3f, 0.6f},
      {mode_pass_through, 1, 0.7f, 0.3f, 0.6f}, {mode_skate, 0, 0.7f, 0.3f, 0.6f},
  };
  for (const auto& [mode, reverse_flag, pedal_amount, throttle, brake] : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << mode << " reverse " << reverse_flag);
    reset_hub_state();
    hub.throttle = 0.3f;
    hub.brake = 0.6f;
    hub.remote_throttle = 0.25f;
    hub.remote_brake = 0.75f;
    hub.drive_mode = mode;
    hub.reverse_flag = reverse_flag;
    select_pedals(pedal_amount);
    EXPECT_EQ(std::tuple(hub.throttle, hub.brake), std::tuple(throttle, brake));
  }
}

} // namespace
