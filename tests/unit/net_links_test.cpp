#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "fake_seam.h"
#include "net/frames.h"
#include "net/links.h"
#include "net/listener.h"
#include "res/resource.h"
#include "state/hub_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

const wchar_t* const connected = L"Status: remote app connected";
const wchar_t* const absent = L"Status: no remote app connected";
const wchar_t* const unset = L"<none>";

void receive(const Bytes& b) {
  read_datagram(b.data(), b.size(), {loopback_ipv4, 50000});
}

TEST(Frames, EachLayoutWithItsSizeAndExactByte) {
  reset_hub_state();
  // The remote app's input: steer 0.5, buttons 05, throttle AA, brake BB, relays 11 22 33 44.
  receive({0x20, 0xC0, 0x05, 0xAA, 0xBB, 0x11, 0x22, 0x33, 0x44});
  hub.throttle = 1.0f;
  hub.brake = 0.5f;
  hub.skate_steer = -1.0f;
  hub.skate_speed = 1.0f;
  hub.skate_turn_pulse = 0.5f;
  const TickValues v{0x10, 0x20};
  const std::tuple<int32_t, Bytes, int, int> layouts[] = {
      {mode_pedal_2, {0x15, 0xC0, 0xFF, 0x7F, 0x05, 0x11, 0x22, 0x00}, 7, 4},
      {mode_pedal_1, {0x15, 0xC0, 0xFF, 0x7F, 0x05, 0x11, 0x22, 0x00}, 7, 4},
      {mode_four_way, {0x02, 0x01, 0x10, 0x20, 0x11, 0x22, 0x05, 0x00}, 7, 6},
      {mode_pass_through, {0x16, 0x33, 0x44, 0x11, 0x22, 0x05, 0xAA, 0xBB}, 8, 5},
      {mode_skate, {0x16, 0x00, 0xFF, 0xC0, 0x80, 0x00, 0x00, 0x00}, 8, 5},
      {4, Bytes(8, 0), 0, 0}, // no such mode: nothing to send
  };
  for (const auto& [mode, bytes, size, exact_index] : layouts) {
    SCOPED_TRACE(mode);
    const Frame f = build_drive_frame(mode, v);
    EXPECT_EQ(Bytes(f.bytes, f.bytes + 8), bytes);
    EXPECT_EQ(std::tuple(int{f.size}, int{f.exact_index}), std::tuple(size, exact_index));
  }
  const Frame foot = build_foot_frame({1, 2, 3, 4, 5, 6, 0.0f, 11});
  EXPECT_EQ(Bytes(foot.bytes, foot.bytes + 8), (Bytes{0x1F, 1, 2, 3, 4, 5, 6, 11}));
  EXPECT_EQ(std::tuple(int{foot.size}, int{foot.exact_index}), std::tuple(8, 7));
}

struct Links : testing::Test {
  FakeSeam seam;
  TickValues values;
  void SetUp() override {
    reset_hub_state();
    preset_remote_app();
  }
  // The feeder and remote steps of one tick, as input_tick runs them.
  void tick(uint64_t now_ms) {
    seam.clear();
    seam.now_ms = hub.now_ms = now_ms;
    if (serve_feeder(seam, values)) serve_remote(seam, values);
  }
};

TEST_F(Links, StartHelloAxisAndShutdownIgnoreFailedSends) {
  seam.send_result = false;
  send_start_hello(seam);
  send_axis(seam, 0x12, 0xEF);
  EXPECT_FALSE(send_shutdown(seam));
  const Bytes hello{0x01, 0x03, 0x02, 0x6F, 0x00};
  EXPECT_EQ(seam.events, (std::vector<int>{-45040, -45042, -45040, -45042}));
  EXPECT_EQ(seam.sent_to(axis_peer_port), (std::vector<Bytes>{hello, {0x2A, 0x12, 0x2B, 0xEF, 0}}));
  EXPECT_EQ(seam.sent_to(feeder_peer_port), (std::vector<Bytes>{hello, {0x64, 0x00}}));
  for (const auto& d : seam.sent)
    EXPECT_EQ(d.to.ipv4, loopback_ipv4);
  EXPECT_TRUE(seam.exits.empty());
}

TEST_F(Links, FeederGetsOneHandshakeAndSkateRunsOnlyForIt) {
  hub.drive_mode = mode_skate;
  values.touch = 11; // a push, once skate mode runs
  tick(10000);
  EXPECT_TRUE(seam.sent.empty());
  EXPECT_EQ(hub.prev_right_pair, 0);
  hub.feeder_ready = hub.feeder_greeted = 1;
  hub.drive_mode = mode_pedal_1; // skate mode runs in no other mode either
  tick(10000);
  EXPECT_EQ(hub.prev_right_pair, 0);
  hub.feeder_ready = hub.feeder_greeted = 0;
  hub.drive_mode = mode_skate;
  receive({0x01, 0x01});
  tick(10033);
  EXPECT_EQ(seam.sent_to(feeder_peer_port),
            (std::vector<Bytes>{{0x01, 0x00}, {0x16, 0x80, 0xC0, 0x80, 0x80, 0, 0, 0}}));
  receive({0x01, 0x01});
  tick(10066);
  EXPECT_TRUE(seam.sent.empty());
}

TEST_F(Links, DriveDatagramChangeTestAndKeepAlive) {
  // now_ms, mode, throttle byte, x byte, buttons, whether a drive datagram leaves.
  const std::tuple<uint64_t, int32_t, int, uint8_t, uint8_t, bool> steps[] = {
      {10000, mode_pedal_1, 100, 128, 0, true},    {10033, mode_pedal_1, 103, 128, 0, false},
      {10066, mode_pedal_1, 104, 128, 0, true},    {13066, mode_pedal_1, 104, 128, 0, false},
      {13067, mode_pedal_1, 104, 128, 0, true},    {13100, mode_pedal_1, 255, 128, 0, true},
      {13133, mode_pedal_1, 0, 128, 0, true},      {13166, mode_pedal_1, 0, 128, 1, true},
      {13199, mode_pedal_2, 0, 128, 1, false},     {13232, mode_four_way, 0, 128, 1, true},
      {13265, mode_four_way, 0, 127, 1, false},    {13298, mode_four_way, 0, 128, 1, false},
      {13331, mode_pass_through, 0, 128, 1, true}, {13364, mode_skate, 0, 128, 1, true},
  };
  hub.feeder_ready = hub.feeder_greeted = 1;
  // Relays of 80 make the "Pass through" frame equal to the "Skate" one but for the exact byte.
  hub.remote_relay1 = hub.remote_relay2 = hub.remote_relay3 = hub.remote_relay4 = 0x80;
  for (const auto& [now_ms, mode, throttle, x_byte, buttons, sent] : steps) {
    SCOPED_TRACE(now_ms);
    hub.drive_mode = mode;
    hub.throttle = static_cast<float>(throttle) * 0.003921569f;
    hub.remote_buttons = buttons;
    values.x_byte = x_byte;
    tick(now_ms);
    EXPECT_EQ(seam.sent_to(feeder_peer_port).size(), sent ? 1u : 0u);
  }
}

TEST_F(Links, RemoteLinkStates) {
  const Bytes status{0x01, 0x02}, foot0{0x1F, 128, 128, 128, 128, 128, 128, 0};
  const Bytes foot1{0x1F, 128, 128, 128, 128, 128, 128, 1};
  // Message received before the tick, now_ms, touch, datagrams sent to the port, status line.
  using Step = std::tuple<Bytes, uint64_t, uint8_t, std::vector<Bytes>, uint16_t, const wchar_t*>;
  const Step steps[] = {
      {{}, 1000, 0, {}, 0, unset},
      {{0x01, 0x15}, 1033, 0, {status, foot0}, 45042, connected}, // before any hello
      {{}, 4533, 0, {}, 0, unset},
      {{}, 4534, 0, {foot0}, 45042, unset},
      {{}, 4567, 1, {foot1}, 45042, unset},
      {{}, 11033, 1, {foot1}, 45042, unset}, // silent for exactly 10000 ms
      {{}, 11034, 1, {}, 0, absent},
      {{0x01, 0x02}, 11067, 1, {status}, 50001, connected},
  };
  for (const auto& [incoming, now_ms, touch, sent, to_port, status_line] : steps) {
    SCOPED_TRACE(now_ms);
    if (!incoming.empty()) receive(incoming);
    values.touch = touch;
    tick(now_ms);
    EXPECT_EQ(seam.sent_to(to_port), sent);
    EXPECT_EQ(seam.sent.size(), sent.size());
    EXPECT_EQ(seam.text(IDC_STATUS), status_line);
  }
}

TEST_F(Links, FailedRemoteSendsDropTheAppInsteadOfExiting) {
  for (const auto& script : {std::vector<bool>{false}, std::vector<bool>{true, false}}) {
    SCOPED_TRACE(script.size()); // the status datagram fails, or the foot datagram
    receive({0x01, 0x15});
    seam.send_script = script;
    tick(20000);
    EXPECT_TRUE(seam.exits.empty());
    EXPECT_EQ(seam.sent.size(), script.size());
    EXPECT_EQ(hub.remote_connected + hub.remote_announced, 0);
    EXPECT_EQ(seam.text(IDC_STATUS), absent);
  }
  receive({0x20, 0x80, 0x00});
  tick(20100);
  EXPECT_EQ(seam.sent.size(), 2u);
}

TEST_F(Links, MessageDuringTheDropWaitsForTheNextAnnouncement) {
  receive({0x01, 0x15});
  tick(1000);
  seam.on_text = [] { receive({0x01, 0x15}); };
  tick(11001);
  EXPECT_TRUE(seam.sent.empty());
  seam.on_text = nullptr;
  tick(11034);
  EXPECT_EQ(seam.sent.size(), 2u);
  EXPECT_EQ(seam.sent[0].bytes, (Bytes{0x01, 0x02}));
}

} // namespace
