#include <gtest/gtest.h>

#include <initializer_list>

#include "motion/skate.h"
#include "state/bytes.h"
#include "state/hub_state.h"

namespace {

// Touch sensors: the right pair is sensors 0 and 1, the left pair sensors 2 and 3.
constexpr TouchMask R1 = 1, R2 = 2, R3 = 3, L1 = 4, L2 = 8, L3 = 12;

struct Feet {
  float tilt_rf = 0.0f, tilt_lf = 0.0f, heading_deg = 0.0f;
};

// One skate tick: its inputs, then the phase and the output bytes of the "Skate" datagram.
struct SkateTick {
  uint64_t now_ms;
  TouchMask touch;
  int32_t phase;
  int speed, steer, turn, lift;
  Feet feet = {};
};

void run_skate(std::initializer_list<SkateTick> ticks) {
  for (const auto& t : ticks) {
    SCOPED_TRACE(testing::Message() << "at " << t.now_ms << " touch " << int{t.touch});
    hub.now_ms = t.now_ms;
    hub.tilt_rf = t.feet.tilt_rf;
    hub.tilt_lf = t.feet.tilt_lf;
    hub.heading_deg = t.feet.heading_deg;
    skate_step(t.touch);
    EXPECT_EQ(hub.skate_phase, t.phase);
    EXPECT_EQ(centred_byte(hub.skate_speed), t.speed);
    EXPECT_EQ(centred_byte(hub.skate_steer), t.steer);
    EXPECT_EQ(centred_byte(hub.skate_turn_pulse), t.turn);
    EXPECT_EQ(centred_byte(hub.skate_lift_pulse), t.lift);
  }
}

TEST(Skate, PushRhythm) {
  reset_hub_state();
  // First push at start-up, then pushes 500 ms apart: 0.7, 0.82, 0.892, 0.9352, 0.96112.
  // clang-format off
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {10033, R3, 1, 192, 128, 128, 128},
             {10500, R3 | L2, 1, 217, 128, 128, 128}, {10533, R3, 1, 217, 128, 128, 128},
             {11000, R3 | L2, 1, 232, 128, 128, 128}, {11033, R3, 1, 232, 128, 128, 128},
             {11500, R3 | L2, 1, 242, 128, 128, 128}, {11533, R3, 1, 242, 128, 128, 128},
             {12000, R3 | L2, 1, 247, 128, 128, 128}, {12033, R3, 1, 247, 128, 128, 128},
             {12500, R3 | L2, 1, 251, 128, 128, 128}});
  EXPECT_FLOAT_EQ(hub.skate_speed, 0.96112f);
  reset_hub_state();
  // 1000 ms holds 0.5; 250 ms reaches the limit, and so does 0 ms (an infinite target).
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {10033, R3, 1, 192, 128, 128, 128},
             {11000, R3 | L2, 1, 192, 128, 128, 128}, {11033, R3, 1, 192, 128, 128, 128},
             {11250, R3 | L2, 1, 255, 128, 128, 128}, {11250, R3, 1, 255, 128, 128, 128},
             {11250, R3 | L2, 1, 255, 128, 128, 128}});
  // clang-format on
  EXPECT_EQ(hub.push_period_s, 0.5f);
}

TEST(Skate, CoastingStartsPastElevenTenthsOfThePeriod) {
  reset_hub_state();
  // Sensor 3 held neither decays nor stops; 1100 ms * 0.001 in single is just above 1.1.
  // clang-format off
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {11000, R3 | L2, 1, 192, 128, 128, 128},
             {11099, R3,      1, 192, 128, 128, 128}, {11100, R3,      1, 189, 128, 128, 128}});
  // clang-format on
  EXPECT_FLOAT_EQ(hub.skate_speed, 0.48181817f);
  EXPECT_FLOAT_EQ(hub.push_period_s, 1.0377358f);
}

TEST(Skate, StopRules) {
  reset_hub_state();
  // Sensor 2 down is stamped; back to sensor 3 without a lift is no push; down again is
  // stamped again and stops after more than 150 ms. Both left sensors stop at once, and
  // steering can follow pushing directly.
  // clang-format off
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {10033, R3 | L1, 1, 192, 128, 128, 128},
             {10066, R3 | L2, 1, 192, 128, 128, 128}, {10099, R3 | L1, 1, 192, 128, 128, 128},
             {10249, R3 | L1, 1, 192, 128, 128, 128}, {10250, R3 | L1, 0, 128, 128, 128, 128},
             {10283, R3 | L2, 0, 128, 128, 128, 128}, {10316, R3,      0, 128, 128, 128, 128},
             {10349, R3 | L2, 1, 192, 128, 128, 128}, {10382, R3 | L3, 0, 128, 128, 128, 128},
             {10415, R3,      0, 128, 128, 128, 128}, {10448, R3 | L2, 1, 192, 128, 128, 128},
             {10481, R2 | L3, 2, 128, 128, 128, 128}});
  // clang-format on
}

TEST(Skate, BackingFollowsTheRightTilt) {
  reset_hub_state();
  // Tilt 10.0 stays at rest; 10.1 enters with speed 0.0, then -0.505; held while the right
  // pair is up; ended by the left foot leaving sensor 2.
  // clang-format off
  run_skate({{10000, R3 | L1,  0, 128, 128, 128, 128, {10.0f}},
             {10033, R3 | L1, -1, 128, 128, 128, 128, {10.1f}},
             {10066, R3 | L1, -1,  63, 128, 128, 128, {10.1f}},
             {10099, R3 | L1, -1,   0, 128, 128, 128, {20.0f}},
             {10132, R3 | L1, -1,   0, 128, 128, 128, {-30.0f}},
             {10165, R3 | L1, -1,  96, 128, 128, 128, {5.0f}},
             {10198, R2 | L1, -1,  96, 128, 128, 128, {20.0f}},
             {10231, R3,       0, 128, 128, 128, 128, {5.0f}}});
  // clang-format on
}

TEST(Skate, SteeringKeepsItsSignAndGainAndIgnoresPulses) {
  reset_hub_state();
  // Phase 2 keeps its gain when the right pair changes to 1 and holds while the left pair is
  // not both down; a lift pulse leaves it alone; right pair 0 ends it. Then phase -2, ended by
  // the right pair coming down, which starts a push on the same tick.
  // clang-format off
  run_skate({{10000, R2 | L3,  2, 128, 128, 128, 128, {0, 10.0f}},
             {10033, R2 | L3,  2, 128,  76, 128, 128, {0, 10.0f}},
             {10066, R2 | L3,  2, 128, 192, 128, 128, {0, -12.5f}},
             {10099, R2 | L3,  2, 128,   0, 128, 128, {0, 30.0f}},
             {10132, R1 | L3,  2, 128,  76, 128, 128, {0, 10.0f}},
             {10165, L2,       2, 128,  76, 128, 128, {0, 20.0f}},
             {10198, 0,        2, 128,  76, 128, 128},
             {10231, 0,        2, 128,  76, 128, 156},
             {10264, L3,       0, 128, 128, 128, 184, {0, 20.0f}},
             {10297, R1 | L3, -2, 128, 128, 128, 212, {0, 10.0f}},
             {10330, R1 | L3, -2, 128,  64, 128, 240, {0, 10.0f}},
             {10363, R1,      -2, 128,  64, 128, 217},
             {10396, R3 | L2,  1, 192, 128, 128, 133},
             {10429, R3 | L2,  1, 192, 128, 128, 128}});
  // clang-format on
}

TEST(Skate, PulsesRunToTheirEndOnceAfterEachLiftOff) {
  reset_hub_state();
  const Feet f{0, 0, 10.0f};
  // Feet already up at start-up: the load-time pulse ends at once and no pulse follows until
  // a touch-down. The pulse then ramps 33, 75, 150, 199, 200 ms after detection, whatever
  // the feet do; feet kept up detect again but keep the old stamp, so nothing more shows.
  // clang-format off
  run_skate({{10000, 0,       0, 128, 128, 128, 128, f}, {10033, 0, 0, 128, 128, 128, 128, f},
             {10066, 0,       0, 128, 128, 128, 128, f}, {10099, R3, 0, 128, 128, 128, 128, f},
             {10132, 0,       0, 128, 128, 128, 128, f}, {10165, 0, 0, 128, 128, 128, 156, f},
             {10207, R3 | L3, 0, 128, 128, 128, 192, f}, {10282, 0, 0, 128, 128, 128, 255, f},
             {10331, 0,       0, 128, 128, 128, 130, f}, {10332, 0, 0, 128, 128, 128, 128, f},
             {10365, 0,       0, 128, 128, 128, 128, f}, {10398, 0, 0, 128, 128, 128, 128, f}});
  // clang-format on
  EXPECT_EQ(hub.pulse_kind, -1);
}

TEST(Skate, TurnPulseTakesTheShortWayRound) {
  const struct {
    float ref_heading_deg, heading_deg;
    int32_t pulse_kind;
    int turn, lift;
  } cases[] = {
      {0, 15.0f, 0, 128, 156},   {0, 15.1f, 10, 99, 128},     {0, -15.0f, 0, 128, 156},
      {0, -20.0f, 20, 156, 128}, {170, -175.0f, 0, 128, 156}, {170, -170.0f, 10, 99, 128},
      {0, 180.5f, 20, 156, 128}, {90, -90.0f, 20, 156, 128},  {-90, 90.0f, 10, 99, 128},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "ref " << c.ref_heading_deg << " heading " << c.heading_deg);
    reset_hub_state();
    hub.ref_heading_deg = c.ref_heading_deg;
    const Feet f{0, 0, c.heading_deg};
    run_skate({{10000, R3, 0, 128, 128, 128, 128, f}, {10033, 0, 0, 128, 128, 128, 128, f}});
    EXPECT_EQ(hub.pulse_kind, c.pulse_kind);
    run_skate({{10066, 0, 0, 128, 128, c.turn, c.lift, f}});
  }
}

TEST(Skate, ReferenceHeadingAndFreeze) {
  reset_hub_state();
  // The reference is taken when sensor 2 lifts with sensor 3 and the right pair down.
  run_skate({{10000, R3 | L3, 0, 128, 128, 128, 128, {0, 0, 30.0f}},
             {10033, R3 | L2, 0, 128, 128, 128, 128, {0, 0, 40.0f}},
             {10066, R3 | L2, 0, 128, 128, 128, 128, {0, 0, 50.0f}}});
  EXPECT_EQ(hub.ref_heading_deg, 40.0f);
  reset_hub_state();
  // skate_step did not run from 10033 to 30000 (another drive mode): the speed is kept, and
  // the first lift back decays it against the stored push time, 20 s ago.
  // clang-format off
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {10033, R3 | L2, 1, 192, 128, 128, 128},
             {30000, R3 | L2, 1, 192, 128, 128, 128}, {30033, R3,      1, 167, 128, 128, 128}});
  // clang-format on
}

} // namespace
