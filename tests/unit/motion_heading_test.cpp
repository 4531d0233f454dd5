#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "motion/heading_tracker.h"
#include "state/hub_state.h"

namespace {

struct FeetCase {
  int32_t lZ, lRx, lRy, lRz;
  float heading_deg, tilt_rf, pedal_amount, tilt_lf;
  int z_byte, rx_byte, ry_byte, rz_byte;
};

TEST(HeadingTracker, ScalesTheFeet) {
  const FeetCase cases[] = {
      {1000, 0, 0, 0, 180.70589f, 0.0f, 1.0f, 0.0f, 255, 128, 128, 128},
      {-1000, -500, -1, 1000, -180.70589f, -64.0f, 1.0f, 128.0f, 0, 64, 127, 255},
      {-1, 117, 0, -1000, -0.18070589f, 14.976f, 0.5008f, -128.0f, 127, 142, 128, 0},
      {500, 234, 0, 0, 90.35294f, 29.952f, 0.0016f, 0.0f, 192, 157, 128, 128},
      {11, 235, 0, 0, 1.9877647f, 30.08f, 0.0f, 0.0f, 129, 158, 128, 128},
      {12, 1000, 0, 0, 2.1684706f, 128.0f, 0.0f, 0.0f, 129, 255, 128, 128},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "lZ " << c.lZ << " lRx " << c.lRx);
    reset_hub_state();
    TickValues v;
    scale_feet(c.lZ, c.lRx, c.lRy, c.lRz, v);
    EXPECT_FLOAT_EQ(hub.heading_deg, c.heading_deg);
    EXPECT_FLOAT_EQ(hub.tilt_rf, c.tilt_rf);
    EXPECT_NEAR(v.pedal_amount, c.pedal_amount, 1e-6f);
    EXPECT_FLOAT_EQ(hub.tilt_lf, c.tilt_lf);
    EXPECT_EQ(v.z_byte, c.z_byte);
    EXPECT_EQ(v.rx_byte, c.rx_byte);
    EXPECT_EQ(v.ry_byte, c.ry_byte);
    EXPECT_EQ(v.rz_byte, c.rz_byte);
  }
}

// A tick's now_ms (the stamp track_heading sees, the previous tick's) and lZ, then the
// step_count, up_run, down_run and reverse_flag it leaves.
struct HeadingTick {
  uint64_t now_ms;
  int32_t lZ;
  int32_t step_count, up_run, down_run, reverse_flag;
};

void run_ticks(std::initializer_list<HeadingTick> ticks) {
  int i = 0;
  for (const auto& t : ticks) {
    SCOPED_TRACE(testing::Message() << "tick " << i++ << " at " << t.now_ms << " lZ " << t.lZ);
    hub.now_ms = t.now_ms;
    TickValues v;
    scale_feet(t.lZ, 0, 0, 0, v);
    track_heading();
    EXPECT_EQ(std::tuple(hub.step_count, hub.up_run, hub.down_run, hub.reverse_flag),
              std::tuple(t.step_count, t.up_run, t.down_run, t.reverse_flag));
  }
}

TEST(HeadingTracker, RunOfThreeSetsAndClearsReverse) {
  reset_hub_state();
  preset_heading_tracker();
  run_ticks({{1000, 0, 0, 0, 0, 0},
             {1033, 20, 1, 1, 0, 0},
             {1066, 40, 2, 2, 0, 0},
             {1099, 60, 3, 3, 0, 1},
             {1132, 40, 2, 0, 1, 1}, // one falling step only breaks the run
             {1165, 20, 1, 0, 2, 1},
             {1198, 0, 0, 0, 3, 0},
             {1231, 60, 1, 1, 0, 0}}); // 0 to 60 in one tick is one step
}

TEST(HeadingTracker, ThresholdIdleResetAndWrap) {
  reset_hub_state();
  preset_heading_tracker();
  run_ticks({{0, 11, 0, 0, 0, 0},      // 1.99 degrees: no step
             {1000, 12, 1, 1, 0, 0},   // 2.17: a step, stamped with this tick's now_ms
             {1033, 20, 1, 1, 0, 0},   // 1.45 since the last step: none
             {1066, 24, 2, 2, 0, 0},   // 2.17 since the last step, though 0.72 since the last tick
             {1566, 24, 2, 2, 0, 0},   // exactly 500 ms: kept
             {1567, 24, 0, 0, 0, 0}}); // 501 ms: reset
  reset_hub_state();
  preset_heading_tracker();
  run_ticks({{0, 20, 1, 1, 0, 0},         // first tick: a start-up heading counts as a step
             {5000000, 20, 0, 0, 0, 0}}); // the second sees the first stamp as idle time
  reset_hub_state();
  preset_heading_tracker();
  run_ticks({{1000, 0, 0, 0, 0, 0},
             {1033, 1000, 1, 1, 0, 0},
             {1066, -1000, 1, 1, 0, 0}, // -361.4 wraps to -1.4: no step
             {1099, 980, 0, 0, 1, 0},
             {1132, -1000, -1, 0, 2, 0},  // -357.8 is within a turn: a step down
             {1165, 1000, -1, 0, 2, 0}}); // +361.4 wraps to +1.4: no step
}

TEST(HeadingTracker, ThresholdAndWrapEdges) {
  struct {
    float prev_heading_deg, heading_deg;
    int32_t step_count;
  } const cases[] = {
      {0.0f, 2.0f, 0},       {0.0f, -2.0f, 0}, {0.0f, std::nextafter(2.0f, 3.0f), 1},
      {-180.0f, 180.0f, 0},  // +360 wraps to 0
      {180.0f, -180.0f, -1}, // -360 is not wrapped (only below -360 is)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.prev_heading_deg << " to " << c.heading_deg);
    reset_hub_state();
    preset_heading_tracker();
    hub.prev_heading_deg = c.prev_heading_deg;
    hub.heading_deg = c.heading_deg;
    track_heading();
    EXPECT_EQ(hub.step_count, c.step_count);
  }
}

TEST(HeadingTracker, StepsFurtherApartThanTheTimeoutNeverBuildARun) {
  reset_hub_state();
  preset_heading_tracker();
  for (int tick = 0; tick < 200; ++tick) {
    hub.now_ms = 1000 + 33 * tick;
    TickValues v;
    scale_feet(20 * (tick / 20), 0, 0, 0, v); // a step of 20 every 660 ms
    track_heading();
    ASSERT_LE(hub.up_run, 1) << tick;
  }
  EXPECT_EQ(hub.reverse_flag, 0);
}

struct PedalCase {
  int32_t drive_mode, reverse_flag;
  float pedal_amount, throttle, brake;
};

TEST(SelectPedals, PerDriveMode) {
  const PedalCase cases[] = {
      {mode_pedal_2, 1, 0.7f, 0.25f, 0.75f},    {mode_pedal_1, 0, 0.7f, 0.7f, 0.0f},
      {mode_pedal_1, 1, 1.0f, 0.0f, 1.0f},      {mode_four_way, 0, 0.7f, 0.3f, 0.6f},
      {mode_pass_through, 1, 0.7f, 0.3f, 0.6f}, {mode_skate, 0, 0.7f, 0.3f, 0.6f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.drive_mode << " reverse " << c.reverse_flag);
    reset_hub_state();
    hub.throttle = 0.3f; // the last values of a pedal mode
    hub.brake = 0.6f;
    hub.remote_throttle = 0.25f;
    hub.remote_brake = 0.75f;
    hub.drive_mode = c.drive_mode;
    hub.reverse_flag = c.reverse_flag;
    select_pedals(c.pedal_amount);
    EXPECT_EQ(hub.throttle, c.throttle);
    EXPECT_EQ(hub.brake, c.brake);
  }
}

} // namespace
