#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/peer/decode.h"

namespace {

struct DecodeCase {
  PeerRole role;
  std::vector<uint8_t> bytes;
  const char* expected;
};

const DecodeCase decode_cases[] = {
    {PeerRole::axis, {0x01, 0x03, 0x02, 0x6F, 0x00}, "StartHello"},
    {PeerRole::axis, {0x2A, 0x80, 0x2B, 0x80, 0x00}, "x 128 y 128"},
    {PeerRole::axis, {0x2A, 0xFF, 0x2B, 0x00, 0x00}, "x 255 y 0"},
    {PeerRole::axis, {0x2A, 0x80, 0x2B, 0x80, 0x01}, "unknown 5 bytes: 2a 80 2b 80 01"},
    {PeerRole::axis, {}, "unknown 0 bytes"},
    {PeerRole::feeder, {0x01, 0x03, 0x02, 0x6F, 0x00}, "StartHello"},
    {PeerRole::feeder, {0x01, 0x00}, "handshake"},
    {PeerRole::feeder, {0x64, 0x00}, "shutdown"},
    {PeerRole::feeder,
     {0x15, 0x80, 0xFF, 0x00, 0x00, 0x00, 0x00},
     "Pedal steer 128 throttle 255 brake 0 buttons 0 relay 0 0"},
    {PeerRole::feeder,
     {0x15, 0x00, 0x10, 0x20, 0x3F, 0x07, 0x08},
     "Pedal steer 0 throttle 16 brake 32 buttons 63 relay 7 8"},
    {PeerRole::feeder,
     {0x02, 0x01, 0xC0, 0x7F, 0x05, 0x06, 0x01},
     "4-way-mov x 192 y 127 relay 5 6 buttons 1"},
    // Pass through: 16, relay3, relay4, relay1, relay2, buttons, throttle, brake.
    {PeerRole::feeder,
     {0x16, 0x03, 0x04, 0x01, 0x02, 0x09, 0xFF, 0x00},
     "Pass through relay 1 2 3 4 buttons 9 throttle 255 brake 0"},
    {PeerRole::feeder,
     {0x16, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01},
     "Pass through relay 0 0 0 0 buttons 0 throttle 0 brake 1"},
    // Skate: 16, steer, speed, turn, lift, 00 00 00: a Pass through with those bytes is the same.
    {PeerRole::feeder,
     {0x16, 0x80, 0xC0, 0x80, 0x9C, 0x00, 0x00, 0x00},
     "Skate or Pass through: steer 128 speed 192 turn 128 lift 156 | relay 128 156 128 192 "
     "buttons 0 throttle 0 brake 0"},
    {PeerRole::feeder,
     {0x15, 0x80, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00},
     "unknown 8 bytes: 15 80 ff 00 00 00 00 00"},
    {PeerRole::feeder,
     {0x02, 0x00, 0x80, 0x80, 0x00, 0x00, 0x00},
     "unknown 7 bytes: 02 00 80 80 00 00 00"},
    {PeerRole::feeder,
     {0x16, 0x80, 0x80, 0x80, 0x80, 0x00, 0x00},
     "unknown 7 bytes: 16 80 80 80 80 00 00"},
    {PeerRole::feeder, {0x01, 0x02}, "status (for a remote app that never said hello)"},
    {PeerRole::feeder, {0x2A, 0x80, 0x2B, 0x80, 0x00}, "x 128 y 128 (unexpected at this peer)"},
    {PeerRole::remote, {0x01, 0x02}, "status"},
    {PeerRole::remote,
     {0x1F, 0x80, 0x7F, 0xFF, 0x00, 0x9E, 0x80, 0x0B},
     "foot x 128 y 127 heading-rf 255 tilt-rf 0 heading-lf 158 tilt-lf 128 touch 11"},
    {PeerRole::remote, {0x1F, 0x80}, "unknown 2 bytes: 1f 80"},
    {PeerRole::remote, {0x64, 0x00}, "shutdown (unexpected at this peer)"},
};

TEST(PeerDecode, DescribesEachDatagramByItsLayout) {
  for (size_t i = 0; i < std::size(decode_cases); ++i) {
    SCOPED_TRACE(i);
    const DecodeCase& c = decode_cases[i];
    EXPECT_EQ(describe_datagram(c.role, c.bytes.data(), c.bytes.size()), c.expected);
  }
}

TEST(PeerDecode, BuildsRemoteInputFromTheGivenValues) {
  const uint8_t values[8] = {0x80, 0x01, 0xFF, 0x00, 1, 2, 3, 4};
  uint8_t out[9] = {};
  const size_t sizes[] = {2, 4, 8};
  for (size_t count : sizes) {
    SCOPED_TRACE(count);
    ASSERT_EQ(build_remote_input(values, count, out), count + 1);
    EXPECT_EQ(hex_bytes(out, count + 1), "20 " + hex_bytes(values, count));
  }
}

struct ValueCase {
  const char* text;
  bool ok;
  unsigned value;
};

TEST(PeerDecode, ParsesBytesAndPorts) {
  const ValueCase bytes[] = {{"0", true, 0},      {"255", true, 255}, {"0x80", true, 128},
                             {"0xFF", true, 255}, {"256", false, 0},  {"-1", false, 0},
                             {"", false, 0},      {"12a", false, 0},  {"0x", false, 0}};
  for (const ValueCase& c : bytes) {
    SCOPED_TRACE(c.text);
    uint8_t v = 0;
    ASSERT_EQ(parse_byte(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
  const ValueCase ports[] = {{"45041", true, 45041},
                             {"65535", true, 65535},
                             {"0", false, 0},
                             {"65536", false, 0},
                             {"4504x", false, 0}};
  for (const ValueCase& c : ports) {
    SCOPED_TRACE(c.text);
    uint16_t v = 0;
    ASSERT_EQ(parse_port(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(PeerDecode, ParsesHubAddressesCountsAndSeconds) {
  Endpoint e;
  ASSERT_TRUE(parse_endpoint("127.0.0.1", e));
  EXPECT_EQ(e.ipv4, 0x7F000001u);
  EXPECT_EQ(e.port, 45041);
  ASSERT_TRUE(parse_endpoint("127.0.0.2:46041", e));
  EXPECT_EQ(e.ipv4, 0x7F000002u);
  EXPECT_EQ(e.port, 46041);
  for (const char* bad :
       {"localhost", "127.0.0", "127.0.0.1.1", "127.0.0.256", "127.0.0.1:0", "127.0.0.0x1", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(parse_endpoint(bad, e));
  }
  uint64_t n = 0;
  EXPECT_TRUE(parse_count("3", n));
  EXPECT_EQ(n, 3u);
  EXPECT_FALSE(parse_count("0", n));
  double s = 0;
  EXPECT_TRUE(parse_seconds("2.5", s));
  EXPECT_EQ(s, 2.5);
  EXPECT_FALSE(parse_seconds("0", s));
  EXPECT_FALSE(parse_seconds("-1", s));
  EXPECT_FALSE(parse_seconds("1e3", s));
}

} // namespace
