#include <gtest/gtest.h>

#include <string>

#include "app/cycles.h"
#include "motion/axis_conditioning.h"

namespace {

TEST(ModeCycle, GoesOneTwoThreeFiveZeroAndRound) {
  const int32_t expected[] = {2, 3, 5, 0, 1};
  int32_t mode = 1;
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    mode = next_drive_mode(mode);
    EXPECT_EQ(mode, expected[i]);
  }
}

TEST(ModeCycle, LeavesValuesOutsideTheCycleAlone) {
  for (const int32_t mode : {4, 6, -1, 100, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(next_drive_mode(mode), mode);
  }
}

TEST(SpeedCycle, SevenPressesShowEveryCaptionAndReturnToZero) {
  struct Press {
    int32_t step;
    const wchar_t* caption;
  };
  const Press expected[] = {{5, L"120%"}, {6, L"150%"}, {4, L"35%"}, {3, L"50%"},
                            {2, L"65%"},  {1, L"80%"},  {0, L"100%"}};
  int32_t step = 0;
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    step = next_speed_step(step);
    EXPECT_EQ(step, expected[i].step);
    wchar_t text[speed_caption_capacity] = L"unchanged";
    ASSERT_TRUE(format_speed_caption(step, text));
    EXPECT_EQ(std::wstring(text), expected[i].caption);
  }
}

TEST(SpeedCycle, ValuesOutsideZeroToSixKeepStepAndCaption) {
  for (const int32_t step : {-1, 7, 42, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(step);
    EXPECT_EQ(next_speed_step(step), step);
    wchar_t text[speed_caption_capacity] = L"unchanged";
    EXPECT_FALSE(format_speed_caption(step, text));
    EXPECT_EQ(std::wstring(text), L"unchanged");
  }
}

TEST(SpeedCycle, CaptionIsTheGainThatConditioningApplies) {
  for (int32_t step = 0; step <= 6; ++step) {
    SCOPED_TRACE(step);
    EXPECT_NEAR(speed_factor(step) * 100.0f, static_cast<float>(speed_percent(step)), 1e-3f);
  }
}

} // namespace
