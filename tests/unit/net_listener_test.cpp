#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "net/listener.h"
#include "state/bytes.h"
#include "state/hub_state.h"

namespace {

constexpr int K = 0x5A; // every remote field holds K before a row; K means "left alone"
constexpr uint32_t sender_ipv4 = 0x0A000002;
using Fields = std::array<int, 12>;

// ready, connected, last_remote_ms, RemoteApp port, steer x 128, buttons, throttle byte,
// brake byte, relays 1 to 4
Fields fields() {
  // clang-format off
  return {hub.feeder_ready, hub.remote_connected, int(hub.last_remote_ms), hub.remote_app_port,
          int(hub.remote_steer * 128.0f), hub.remote_buttons, hub.remote_throttle_byte,
          hub.remote_brake_byte, hub.remote_relay1, hub.remote_relay2, hub.remote_relay3,
          hub.remote_relay4};
  // clang-format on
}

struct Row {
  std::vector<uint8_t> bytes;
  Fields expected;
  uint16_t from_port = 50000;
};

TEST(ReadDatagram, MessagesAndTheirEdges) {
  const Row rows[] = {
      {{}, {0, 0, 5, 45042, K, K, K, K, K, K, K, K}},
      {{0x01, 0x01}, {1, 0, 5, 45042, K, K, K, K, K, K, K, K}},
      {{0x01, 0x02}, {0, 1, 5, 50001, K, K, K, K, K, K, K, K}},
      {{0x01, 0x02}, {0, 0, 5, 45042, K, K, K, K, K, K, K, K}, 65535}, // port 0: ignored
      {{0x01, 0x15}, {0, 1, 7, 45042, K, K, K, K, K, K, K, K}},
      {{0x07, 0x01}, {0, 0, 5, 45042, K, K, K, K, K, K, K, K}},
      {{0x01, 0x01, 0x01, 0x02}, {1, 0, 5, 45042, K, K, K, K, K, K, K, K}},
      {{0x01, 0x01, 0x00, 0x01, 0x02}, {1, 1, 5, 50001, K, K, K, K, K, K, K, K}},
      {{0x20, 0x80, 0x01}, {0, 1, 7, 45042, 0, 1, K, K, K, K, K, K}},
      {{0x20, 0xFF}, {0, 1, 7, 45042, 127, 0, K, K, K, K, K, K}},
      {{0x20, 0x00, 0x00, 0xFF, 0x00}, {0, 1, 7, 45042, -128, 0, 255, 0, K, K, K, K}},
      {{0x01, 0x15, 0x00, 0x20, 0x80, 0x00}, {0, 1, 7, 45042, 0, 0, 0, 0, K, K, K, K}},
      {{0x01, 0x15, 0x00, 0x20, 0x40, 0x3F, 0x00, 0xFF, 0x01},
       {0, 1, 7, 45042, -64, 63, 0, 255, 1, 0, 0, 0}},
      {{0x20, 0x80, 0x00, 0x01, 0x01}, {0, 1, 7, 45042, 0, 0, 1, 1, K, K, K, K}},
      {{0x20, 0x40, 0x3F, 0x00, 0xFF, 1, 2, 3, 4}, {0, 1, 7, 45042, -64, 63, 0, 255, 1, 2, 3, 4}},
      {{0x20, 0x40, 0x3F, 0x00, 0xFF, 1, 2, 3, 4, 0x01, 0x01, 0x01},
       {0, 1, 7, 45042, -64, 63, 0, 255, 1, 2, 3, 4}},
  };
  for (size_t r = 0; r < std::size(rows); ++r) {
    SCOPED_TRACE(r);
    reset_hub_state();
    preset_remote_app();
    hub.now_ms = 7;
    hub.last_remote_ms = 5;
    hub.remote_steer = K / 128.0f;
    hub.remote_throttle = hub.remote_brake = K * 0.003921569f;
    hub.remote_buttons = hub.remote_throttle_byte = hub.remote_brake_byte = K;
    hub.remote_relay1 = hub.remote_relay2 = hub.remote_relay3 = hub.remote_relay4 = K;
    // Bytes past the datagram's end must never be read.
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    std::copy(rows[r].bytes.begin(), rows[r].bytes.end(), buffer);
    read_datagram(buffer, rows[r].bytes.size(), {sender_ipv4, rows[r].from_port});
    EXPECT_EQ(fields(), rows[r].expected);
    EXPECT_EQ(hub.remote_app_ipv4, hub.remote_app_port == 45042 ? loopback_ipv4 : sender_ipv4);
  }
}

TEST(ReadDatagram, StoredPedalValuesGiveEveryByteBack) {
  // "Pedal 2" sends unit_byte of the stored values, which must be the bytes that came in.
  for (int t = 0; t <= 255; ++t) {
    const uint8_t input[] = {0x20, 0x80, 0x00, uint8_t(t), uint8_t(255 - t)};
    read_datagram(input, sizeof input, {});
    ASSERT_EQ(unit_byte(hub.remote_throttle), t);
    ASSERT_EQ(unit_byte(hub.remote_brake), 255 - t);
  }
}

TEST(ReadDatagram, SecondHelloKeepsTheFirstApp) {
  reset_hub_state();
  const uint8_t hello[] = {0x01, 0x02};
  read_datagram(hello, 2, {sender_ipv4, 50000});
  read_datagram(hello, 2, {0x0A000003, 60000});
  EXPECT_EQ(hub.remote_app_ipv4, sender_ipv4);
  EXPECT_EQ(hub.remote_app_port, 50001);
}

} // namespace
