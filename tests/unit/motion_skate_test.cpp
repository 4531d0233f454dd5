#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>

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
    std::tie(hub.tilt_rf, hub.tilt_lf, hub.heading_deg) =
        std::tuple(t.feet.tilt_rf, t.feet.tilt_lf, t.feet.heading_deg);
    skate_step(t.touch);
    EXPECT_EQ(std::tuple(hub.skate_phase, centred_byte(hub.skate_speed),
                         centred_byte(hub.skate_steer), centred_byte(hub.skate_turn_pulse),
                         centred_byte(hub.skate_lift_pulse)),
              std::tuple(t.phase, t.speed, t.steer, t.turn, t.lift));
  }
}

struct Skate : testing::Test {
  void SetUp() override { reset_hub_state(); }
};

TEST_F(Skate, PushRhythm) {
  // First push at start-up, then pushes 500 ms apart: 0.7, 0.82, 0.892, 0.9352, 0.96112.
  // clang-format off
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {10033, R3, 1, 192, 128, 128, 128},
             {10500, R3 | L2, 1, 217, 128, 128, 128}, {10533, R3, 1, 217, 128, 128, 128},
             {11000, R3 | L2, 1, 232, 128, 128, 128}, {11033, R3, 1, 232, 128, 128, 128},
             {11500, R3 | L2, 1, 242, 128, 128, 128}, {11533, R3, 1, 242, 128, 128, 128},
             {12000, R3 | L2, 1, 247, 128, 128, 128}, {12033, R3, 1, 247, 128, 128, 128},
             {12500, R3 | L2, 1, 251, 128, 128, 128}});
  EXPECT_FLOAT_EQ(hub.skate_speed, 0.96112f);
  SetUp();
  // 1000 ms holds 0.5; 250 ms reaches the limit, and so does 0 ms (an infinite target).
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {10033, R3, 1, 192, 128, 128, 128},
             {11000, R3 | L2, 1, 192, 128, 128, 128}, {11033, R3, 1, 192, 128, 128, 128},
             {11250, R3 | L2, 1, 255, 128, 128, 128}, {11250, R3, 1, 255, 128, 128, 128},
             {11250, R3 | L2, 1, 255, 128, 128, 128}});
  // clang-format on
  EXPECT_EQ(hub.push_period_s, 0.5f);
}

TEST_F(Skate, CoastingStartsPastElevenTenthsOfThePeriod) {
  // Sensor 3 held neither decays nor stops; 1100 ms * 0.001 in single is just above 1.1.
  // clang-format off
  run_skate({{10000, R3 | L2, 1, 192, 128, 128, 128}, {11000, R3 | L2, 1, 192, 128, 128, 128},
             {11099, R3,      1, 192, 128, 128, 128}, {11100, R3,      1, 189, 128, 128, 128}});
  // clang-format on
  EXPECT_FLOAT_EQ(hub.skate_speed, 0.48181817f);
  EXPECT_FLOAT_EQ(hub.push_period_s, 1.0377358f);
}

TEST_F(Skate, StopRules) {
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

TEST_F(Skate, BackingFollowsTheRightTilt) {
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

TEST_F(Skate, SteeringKeepsItsSignAndGainAndIgnoresPulses) {
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

TEST_F(Skate, PulsesRunToTheirEndOnceAfterEachLiftOff) {
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

TEST_F(Skate, TurnPulseTakesTheShortWayRound) {
  // Reference and heading, then the pulse kind and the turn and lift bytes 33 ms later.
  const std::tuple<float, float, int32_t, int, int> cases[] = {
      {0, 15.0f, 0, 128, 156},   {0, 15.1f, 10, 99, 128},     {0, -15.0f, 0, 128, 156},
      {0, -20.0f, 20, 156, 128}, {170, -175.0f, 0, 128, 156}, {170, -170.0f, 10, 99, 128},
      {0, 180.5f, 20, 156, 128}, {90, -90.0f, 20, 156, 128},  {-90, 90.0f, 10, 99, 128},
  };
  for (const auto& [ref_heading_deg, heading_deg, pulse_kind, turn, lift] : cases) {
    SCOPED_TRACE(testing::Message() << "ref " << ref_heading_deg << " heading " << heading_deg);
    SetUp();
    hub.ref_heading_deg = ref_heading_deg;
    const Feet f{0, 0, heading_deg};
    run_skate({{10000, R3, 0, 128, 128, 128, 128, f}, {10033, 0, 0, 128, 128, 128, 128, f}});
    EXPECT_EQ(hub.pulse_kind, pulse_kind);
    run_skate({{10066, 0, 0, 128, 128, turn, lift, f}});
  }
}

TEST_F(Skate, ReferenceHeadingIsTakenWhenSensor2LiftsWithSensor3AndTheRightPairDown) {
  run_skate({{10000, R3 | L3, 0, 128, 128, 128, 128, {0, 0, 30.0f}},
             {10033, R3 | L2, 0, 128, 128, 128, 128, {0, 0, 40.0f}},
             {10066, R3 | L2, 0, 128, 128, 128, 128, {0, 0, 50.0f}}});
  EXPECT_EQ(hub.ref_heading_deg, 40.0f);
}

} // namespace
