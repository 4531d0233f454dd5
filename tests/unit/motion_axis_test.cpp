#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "motion/axis_conditioning.h"

namespace {

TEST(AxisConditioning, BytesPerTick) {
  // Speed step, raw values fed tick by tick to a fresh filter, and the bytes they give; a leading
  // 1 keeps the jump filter off.
  const std::tuple<int32_t, std::vector<int32_t>, std::vector<int>> cases[] = {
      // Floor, not truncation; the normalised value is rounded once from double (-875 and
      // -375 land exactly on a byte edge, one below it if normalised in single).
      {0, {0, 1, -1, 500, 1000, -1000, -875, -375}, {128, 128, 127, 192, 255, 0, 16, 80}},
      // Jump filter: engages from exactly 0.0 only, releases on the sixth tick.
      {0, {500, 500, 500, 500, 500, 500, 500, 1000}, {134, 143, 150, 156, 161, 166, 192, 255}},
      {0, {0, 400}, {128, 179}},
      {0, {0, 401}, {128, 133}},
      {0, {-401}, {122}},
      {0, {1000, 0, 1000}, {140, 138, 140}}, // previous follows the input while engaged
      {0, {1, 1000}, {128, 255}},
      {1, {0, 500}, {128, 133}}, // the curve bends the smoothed value
      // Each step, inside the knee, past it, and at full deflection.
      {1, {1, 500, 850, -850, 1000, -1000}, {128, 179, 227, 28, 255, 0}},
      {2, {1, 500, 850, 1000, -1000}, {128, 169, 221, 255, 0}},
      {3, {1, 500, 850, -375, 1000, -1000}, {128, 160, 214, 104, 255, 0}},
      {4, {1, 500, 850, 1000, -1000}, {128, 150, 207, 255, 0}},
      {5, {1, 500, 850, 1000, -1000}, {128, 204, 245, 255, 0}},
      // Step 6: the knee level 1.05 is above full deflection; the byte clamps.
      {6, {1, 500, 700, -700, 850, -375, 1000, -1000}, {128, 224, 255, 0, 255, 56, 255, 0}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& [speed_step, raw, bytes] = cases[i];
    AxisFilter filter;
    for (size_t t = 0; t < raw.size(); ++t) {
      SCOPED_TRACE(testing::Message() << "case " << i << " tick " << t);
      EXPECT_EQ(condition_axis(raw[t], filter, speed_step), bytes[t]);
    }
  }
}

} // namespace
