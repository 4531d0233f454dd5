#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "state/bytes.h"

namespace {

TEST(AxisByte, FloorsThenCentresAndClamps) {
  const std::pair<float, int> cases[] = {
      {0.0f, 128},   {0.999f, 128},  {-0.128f, 127}, {-1.0f, 127}, {-1.0001f, 126},
      {127.0f, 255}, {127.99f, 255}, {128.0f, 255},  {-128.0f, 0}, {-128.5f, 0},
      {-127.5f, 0},  {-127.0f, 1},   {1e30f, 255},   {-1e30f, 0},  {64.0f, 192},
  };
  for (const auto& [v, expected] : cases) {
    SCOPED_TRACE(v);
    EXPECT_EQ(axis_byte(v), expected);
  }
}

TEST(CentredByte, MapsMinusOneToOneOntoTheByteRange) {
  const std::pair<float, int> cases[] = {
      {-1.0f, 0},        {0.0f, 128},  {1.0f, 255},  {0.5f, 192}, {-0.5f, 64},
      {0.22f, 156},      {-0.22f, 99}, {0.02f, 130}, {-0.4f, 76}, {-0.505f, 63},
      {0.9921875f, 255}, {-2.0f, 0},   {2.0f, 255},
  };
  for (const auto& [v, expected] : cases) {
    SCOPED_TRACE(v);
    EXPECT_EQ(centred_byte(v), expected);
  }
}

// The round trip of every remote pedal byte is pinned in net_listener_test.
TEST(UnitByte, FloorsAndClamps) {
  EXPECT_EQ(unit_byte(0.5008f), 127);
  EXPECT_EQ(unit_byte(2.0f), 255);
  EXPECT_EQ(unit_byte(-0.5f), 0);
  EXPECT_EQ(unit_byte(std::numeric_limits<float>::quiet_NaN()), 0);
}

} // namespace
