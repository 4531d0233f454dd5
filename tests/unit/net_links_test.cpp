#include <gtest/gtest.h>

#include <vector>

#include "fake_seam.h"
#include "net/links.h"
#include "net/listener.h"
#include "res/resource.h"
#include "state/hub_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

const wchar_t* const connected = L"Status: remote app connected";
const wchar_t* const absent = L"Status: no remote app connected";

void receive(const Bytes& b, uint16_t from_port = 50000) {
  read_datagram(b.data(), b.size(), {loopback_ipv4, from_port});
}

struct Links : testing::Test {
  FakeSeam seam;
  TickValues values;
  void SetUp() override {
    reset_hub_state();
    preset_remote_app();
  }
  void tick(uint64_t now_ms) {
    seam.clear_records();
    seam.now_ms = hub.now_ms = now_ms;
    if (serve_feeder(seam, values)) serve_remote(seam, values);
  }
  std::wstring status_line() const {
    const std::wstring* t = seam.last_text(IDC_STATUS);
    return t ? *t : L"";
  }
};

TEST_F(Links, AxisAndShutdownDatagrams) {
  send_axis(seam, 0x12, 0xEF);
  seam.send_result = false;
  EXPECT_FALSE(send_shutdown(seam));
  EXPECT_EQ(seam.sent_to(axis_peer_port), (std::vector<Bytes>{{0x2A, 0x12, 0x2B, 0xEF, 0x00}}));
  EXPECT_EQ(seam.sent_to(feeder_peer_port), (std::vector<Bytes>{{0x64, 0x00}}));
  EXPECT_TRUE(seam.exits.empty());
}

TEST_F(Links, FeederNotReadySendsNothingAndSkateStandsStill) {
  hub.drive_mode = mode_skate;
  values.touch = 11; // a push, once skate mode runs
  tick(10000);
  EXPECT_TRUE(seam.sent.empty());
  EXPECT_EQ(hub.prev_right_pair, 0);
  hub.feeder_ready = 1;
  hub.feeder_greeted = 1;
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
  EXPECT_TRUE(seam.sent.empty()); // no second handshake
}

TEST_F(Links, FailedFeederSendsEndTheProcess) {
  hub.feeder_ready = 1;
  for (const bool handshake_fails : {true, false}) {
    SCOPED_TRACE(handshake_fails);
    hub.feeder_greeted = 0;
    seam.send_results = {!handshake_fails, false};
    tick(10000);
    EXPECT_EQ(seam.exits, std::vector<int>{1});
    EXPECT_EQ(seam.sent.size(), handshake_fails ? 1u : 2u); // and no remote step ran
  }
}

TEST_F(Links, DriveDatagramChangeTestAndKeepAlive) {
  struct Step {
    uint64_t now_ms;
    int32_t mode;
    int throttle;
    uint8_t x_byte, buttons;
    bool sent;
  };
  const Step steps[] = {
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
  for (const auto& s : steps) {
    SCOPED_TRACE(s.now_ms);
    hub.drive_mode = s.mode;
    hub.throttle = static_cast<float>(s.throttle) * 0.003921569f;
    hub.remote_buttons = s.buttons;
    values.x_byte = s.x_byte;
    tick(s.now_ms);
    EXPECT_EQ(seam.sent_to(feeder_peer_port).size(), s.sent ? 1u : 0u);
  }
}

TEST_F(Links, RemoteLinkStates) {
  const Bytes status{0x01, 0x02}, foot0{0x1F, 128, 128, 128, 128, 128, 128, 0};
  const Bytes foot1{0x1F, 128, 128, 128, 128, 128, 128, 1};
  struct Step {
    Bytes incoming;
    uint64_t now_ms;
    uint8_t touch;
    std::vector<Bytes> sent;
    uint16_t to_port;
    const wchar_t* status_line;
  };
  const Step steps[] = {
      {{}, 1000, 0, {}, 0, L""},
      {{0x01, 0x15}, 1033, 0, {status, foot0}, 45042, connected}, // before any hello
      {{}, 4533, 0, {}, 0, L""},
      {{}, 4534, 0, {foot0}, 45042, L""},
      {{}, 4567, 1, {foot1}, 45042, L""},
      {{}, 11033, 1, {foot1}, 45042, L""}, // silent for exactly 10000 ms
      {{}, 11034, 1, {}, 0, absent},
      {{0x01, 0x02}, 11067, 1, {status}, 50001, connected},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.now_ms);
    if (!s.incoming.empty()) receive(s.incoming);
    values.touch = s.touch;
    tick(s.now_ms);
    EXPECT_EQ(seam.sent_to(s.to_port), s.sent);
    EXPECT_EQ(seam.sent.size(), s.sent.size());
    EXPECT_EQ(status_line(), s.status_line);
  }
}

TEST_F(Links, FailedRemoteSendsDropTheAppInsteadOfExiting) {
  const std::vector<bool> results[] = {{false}, {true, false}}; // status fails; foot fails
  for (const auto& r : results) {
    SCOPED_TRACE(r.size());
    receive({0x01, 0x15});
    seam.send_results = r;
    tick(20000);
    EXPECT_TRUE(seam.exits.empty());
    EXPECT_EQ(seam.sent.size(), r.size());
    EXPECT_EQ(hub.remote_connected + hub.remote_announced, 0);
    EXPECT_EQ(status_line(), absent);
  }
  receive({0x20, 0x80, 0x00});
  tick(20100);
  EXPECT_EQ(seam.sent.size(), 2u);
}

TEST_F(Links, MessageDuringTheDropWaitsForTheNextAnnouncement) {
  receive({0x01, 0x15});
  tick(1000);
  seam.on_text = [](int) { receive({0x01, 0x15}); };
  tick(11001);
  EXPECT_TRUE(seam.sent.empty());
  seam.on_text = nullptr;
  tick(11034);
  EXPECT_EQ(seam.sent.size(), 2u);
  EXPECT_EQ(seam.sent[0].bytes, (Bytes{0x01, 0x02}));
}

} // namespace
