#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tools/peer/decode.h"

namespace {

// "15 80 ff" to its bytes.
std::vector<uint8_t> bytes_of(const char* hex) {
  std::vector<uint8_t> out;
  std::istringstream in(hex);
  for (unsigned b = 0; in >> std::hex >> b;)
    out.push_back(static_cast<uint8_t>(b));
  return out;
}

TEST(PeerDecode, DescribesEachDatagramByItsLayout) {
  const PeerRole axis = PeerRole::axis, feeder = PeerRole::feeder, remote = PeerRole::remote;
  // Pass through is 16, relay 3, relay 4, relay 1, relay 2, buttons, throttle, brake; Skate is
  // 16, steer, speed, turn, lift, 00 00 00, which a Pass through can equal.
  const std::tuple<PeerRole, const char*, const char*> cases[] = {
      {axis, "01 03 02 6f 00", "StartHello"},
      {axis, "2a ff 2b 00 00", "x 255 y 0"},
      {axis, "2a 80 2b 80 01", "unknown 5 bytes: 2a 80 2b 80 01"},
      {axis, "", "unknown 0 bytes"},
      {feeder, "01 03 02 6f 00", "StartHello"},
      {feeder, "01 00", "handshake"},
      {feeder, "64 00", "shutdown"},
      {feeder, "15 00 10 20 3f 07 08", "Pedal steer 0 throttle 16 brake 32 buttons 63 relay 7 8"},
      {feeder, "02 01 c0 7f 05 06 01", "4-way-mov x 192 y 127 relay 5 6 buttons 1"},
      {feeder, "16 03 04 01 02 09 ff 00",
       "Pass through relay 1 2 3 4 buttons 9 throttle 255 brake 0"},
      {feeder, "16 00 00 00 00 00 00 01",
       "Pass through relay 0 0 0 0 buttons 0 throttle 0 brake 1"},
      {feeder, "16 80 c0 80 9c 00 00 00",
       "Skate or Pass through: steer 128 speed 192 turn 128 lift 156 | relay 128 156 128 192 "
       "buttons 0 throttle 0 brake 0"},
      {feeder, "15 80 ff 00 00 00 00 00", "unknown 8 bytes: 15 80 ff 00 00 00 00 00"},
      {feeder, "02 00 80 80 00 00 00", "unknown 7 bytes: 02 00 80 80 00 00 00"},
      {feeder, "16 80 80 80 80 00 00", "unknown 7 bytes: 16 80 80 80 80 00 00"},
      {feeder, "01 02", "status (for a remote app that never said hello)"},
      {feeder, "2a 80 2b 80 00", "x 128 y 128 (unexpected at this peer)"},
      {remote, "01 02", "status"},
      {remote, "1f 80 7f ff 00 9e 80 0b",
       "foot x 128 y 127 heading-rf 255 tilt-rf 0 heading-lf 158 tilt-lf 128 touch 11"},
      {remote, "1f 80", "unknown 2 bytes: 1f 80"},
      {remote, "64 00", "shutdown (unexpected at this peer)"},
  };
  for (const auto& [role, hex, expected] : cases) {
    SCOPED_TRACE(hex);
    const std::vector<uint8_t> bytes = bytes_of(hex);
    EXPECT_EQ(describe_datagram(role, bytes.data(), bytes.size()), expected);
  }
}

TEST(PeerDecode, BuildsRemoteInputOfAtMostEightValues) {
  const uint8_t values[9] = {0x80, 0x01, 0xFF, 0x00, 1, 2, 3, 4, 5};
  uint8_t out[9] = {};
  EXPECT_EQ(hex_bytes(out, build_remote_input(values, 4, out)), "20 80 01 ff 00");
  EXPECT_EQ(hex_bytes(out, build_remote_input(values, 9, out)), "20 80 01 ff 00 01 02 03 04");
}

// Each text with the value it parses to, or none when it is refused.
template <typename T>
void expect_parsed(bool (*parse)(std::string_view, T&),
                   std::initializer_list<std::pair<const char*, std::optional<T>>> cases) {
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    T value{};
    const bool ok = parse(text, value);
    EXPECT_EQ(ok ? std::optional<T>(value) : std::nullopt, expected);
  }
}

TEST(PeerDecode, ParsesCommandLineValues) {
  expect_parsed<uint8_t>(parse_byte, {{"0", 0},
                                      {"255", 255},
                                      {"0x80", 128},
                                      {"0xFF", 255},
                                      {"256", {}},
                                      {"-1", {}},
                                      {"", {}},
                                      {"12a", {}},
                                      {"0x", {}}});
  expect_parsed<uint16_t>(
      parse_port, {{"45041", 45041}, {"65535", 65535}, {"0", {}}, {"65536", {}}, {"4504x", {}}});
  expect_parsed<uint64_t>(parse_count, {{"3", 3}, {"0", {}}});
  expect_parsed<double>(parse_seconds, {{"2.5", 2.5}, {"0", {}}, {"-1", {}}, {"1e3", {}}});

  Endpoint e;
  ASSERT_TRUE(parse_endpoint("127.0.0.1", e));
  EXPECT_EQ(std::tuple(e.ipv4, e.port), std::tuple(0x7F000001u, listen_port));
  ASSERT_TRUE(parse_endpoint("127.0.0.2:46041", e));
  EXPECT_EQ(std::tuple(e.ipv4, e.port), std::tuple(0x7F000002u, uint16_t{46041}));
  for (const char* bad :
       {"localhost", "127.0.0", "127.0.0.1.1", "127.0.0.256", "127.0.0.1:0", "127.0.0.0x1", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(parse_endpoint(bad, e));
  }
}

} // namespace
