#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "state/bytes.h"

namespace {

TEST(Bytes, FloorThenClampToTheByteRange) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  // axis_byte floors and centres on 128; centred_byte maps -1..1 onto 0..255; unit_byte 0..1.
  const std::tuple<uint8_t (*)(float), float, int> cases[] = {
      {axis_byte, 0.0f, 128},      {axis_byte, 0.999f, 128},
      {axis_byte, -0.128f, 127},   {axis_byte, -1.0f, 127},
      {axis_byte, -1.0001f, 126},  {axis_byte, 127.0f, 255},
      {axis_byte, 127.99f, 255},   {axis_byte, 128.0f, 255},
      {axis_byte, -128.0f, 0},     {axis_byte, -128.5f, 0},
      {axis_byte, -127.5f, 0},     {axis_byte, -127.0f, 1},
      {axis_byte, 1e30f, 255},     {axis_byte, -1e30f, 0},
      {axis_byte, 64.0f, 192},     {centred_byte, -1.0f, 0},
      {centred_byte, 0.0f, 128},   {centred_byte, 1.0f, 255},
      {centred_byte, 0.5f, 192},   {centred_byte, -0.5f, 64},
      {centred_byte, 0.22f, 156},  {centred_byte, -0.22f, 99},
      {centred_byte, 0.02f, 130},  {centred_byte, -0.4f, 76},
      {centred_byte, -0.505f, 63}, {centred_byte, 0.9921875f, 255},
      {centred_byte, -2.0f, 0},    {centred_byte, 2.0f, 255},
      {unit_byte, 0.5008f, 127},   {unit_byte, 2.0f, 255},
      {unit_byte, -0.5f, 0},       {unit_byte, nan, 0},
  };
  // The round trip of every remote pedal byte is pinned in net_listener_test.
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& [to_byte, v, expected] = cases[i];
    SCOPED_TRACE(testing::Message() << "row " << i << ": " << v);
    EXPECT_EQ(to_byte(v), expected);
  }
}

} // namespace
