#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_seam.h"
#include "input/tick.h"
#include "net/listener.h"
#include "res/resource.h"
#include "state/hub_state.h"

namespace {

// Records sends and texts in one sequence, so the order of the tick's steps shows.
struct OrderSeam : FakeSeam {
  std::vector<int> events; // control id for a text, -port for a datagram
  void set_text(int control_id, const wchar_t* text) override {
    events.push_back(control_id);
    FakeSeam::set_text(control_id, text);
  }
  bool send(const Endpoint& to, const uint8_t* bytes, size_t size) override {
    events.push_back(-static_cast<int>(to.port));
    return FakeSeam::send(to, bytes, size);
  }
};

class InputTick : public ::testing::Test {
protected:
  void SetUp() override {
    reset_hub_state();
    preset_heading_tracker();
    preset_remote_app();
    seam.now_ms = 100000;
  }
  void press(std::initializer_list<int> buttons) {
    for (int b : buttons)
      seam.state.rgbButtons[b] = 0x80;
  }
  std::wstring text(int id) const {
    const std::wstring* t = seam.last_text(id);
    return t ? *t : L"<none>";
  }
  OrderSeam seam;
};

TEST_F(InputTick, RunsItsStepsInOrder) {
  ASSERT_EQ(input_tick(seam), 0);
  const std::vector<int> expected = {
      IDC_JOY_X,          -45040,       IDC_JOY_Y,   IDC_HEADING_RF, IDC_TILT_RF,
      IDC_HEADING_LF,     IDC_TILT_LF,  IDC_SLIDER0, IDC_SLIDER1,    IDC_POV0,
      IDC_POV1,           IDC_POV2,     IDC_POV3,    IDC_TOUCH,      IDC_REMOTE_STEER,
      IDC_REMOTE_BUTTONS, IDC_THROTTLE, IDC_BRAKE,   IDC_MODE};
  EXPECT_EQ(seam.events, expected);
  EXPECT_EQ(seam.sent[0].bytes, (std::vector<uint8_t>{0x2A, 128, 0x2B, 128, 0x00}));
}

TEST_F(InputTick, ShowsEveryReadoutInItsFormat) {
  seam.state.lX = 500;
  seam.state.lY = -1000;
  seam.state.lZ = -250;
  seam.state.lRx = 117;
  seam.state.lRy = 1000;
  seam.state.lRz = -1;
  seam.state.rglSlider[0] = -7;
  seam.state.rglSlider[1] = 2147483647;
  seam.state.rgdwPOV[0] = 0xFFFFFFFF;
  seam.state.rgdwPOV[3] = 27000;
  press({1, 2, 100});
  hub.remote_steer = 0.5f;
  hub.remote_buttons = 0x09;
  input_tick(seam);

  const struct {
    int id;
    const wchar_t* text;
  } cases[] = {
      {IDC_JOY_X, L"134"}, // the jump filter engages from rest
      {IDC_JOY_Y, L"140"}, // 0.1 of full deflection: 12.8 floors to 12
      {IDC_HEADING_RF, L"-250"},
      {IDC_TILT_RF, L"117"},
      {IDC_HEADING_LF, L"1000"},
      {IDC_TILT_LF, L"-1"},
      {IDC_SLIDER0, L"-7"},
      {IDC_SLIDER1, L"2147483647"},
      {IDC_POV0, L"4294967295"},
      {IDC_POV1, L"0"},
      {IDC_POV3, L"27000"},
      {IDC_TOUCH, L"01 02 100 "},
      {IDC_REMOTE_STEER, L"0.500000"},
      {IDC_REMOTE_BUTTONS, L"1 0 0 1 0 0 "},
      {IDC_THROTTLE, L"0.500800"},
      {IDC_BRAKE, L"0.000000"},
      {IDC_MODE, L"Pedal 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(text(c.id), c.text);
  }
}

TEST_F(InputTick, BuildsTheTouchMaskFromTheFirstFourButtons) {
  const struct {
    std::initializer_list<int> pressed;
    const wchar_t* list;
    uint8_t mask;
  } cases[] = {
      {{}, L"", 0},
      {{1, 2}, L"01 02 ", 6},
      {{4}, L"04 ", 0},
      {{0, 3}, L"00 03 ", 9},
      {{0, 1, 3, 127}, L"00 01 03 127 ", 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mask " << int(c.mask));
    SetUp();
    seam = OrderSeam{};
    press(c.pressed);
    hub.feeder_ready = 1;
    hub.remote_connected = 1;
    input_tick(seam);
    EXPECT_EQ(text(IDC_TOUCH), c.list);
    // The touch mask travels as the last byte of the foot datagram.
    const auto foot = seam.sent_to(feeder_peer_port).back();
    ASSERT_EQ(foot.size(), 8u);
    EXPECT_EQ(foot[0], 0x1F);
    EXPECT_EQ(foot[7], c.mask);
  }
}

TEST_F(InputTick, AllButtonsFitTheText) {
  for (auto& b : seam.state.rgbButtons)
    b = 0xFF;
  input_tick(seam);
  EXPECT_EQ(text(IDC_TOUCH).size(), 412u);
  EXPECT_EQ(text(IDC_TOUCH).substr(0, 9), L"00 01 02 ");
}

TEST_F(InputTick, DoesNothingWithoutADevice) {
  seam.device = false;
  EXPECT_EQ(input_tick(seam), 0);
  EXPECT_EQ(seam.poll_calls + seam.read_calls, 0);
  EXPECT_TRUE(seam.events.empty());
}

TEST_F(InputTick, AFailedPollReacquiresAndLeavesEverythingUntouched) {
  seam.state.lX = 500;
  input_tick(seam); // 134: the filter engaged
  seam.events.clear();
  seam.poll_result = -1;
  seam.acquire_result = di_err_input_lost;
  seam.now_ms += 33;
  EXPECT_EQ(input_tick(seam), 0);
  EXPECT_EQ(seam.acquire_calls, max_acquire_attempts); // bounded, not for ever
  EXPECT_EQ(seam.read_calls, 1);
  EXPECT_TRUE(seam.events.empty());
  EXPECT_EQ(hub.now_ms, 100000u);

  // One acquire that works ends the repetition.
  seam.acquire_calls = 0;
  seam.acquire_results = {di_err_input_lost, di_ok};
  input_tick(seam);
  EXPECT_EQ(seam.acquire_calls, 2);

  // The filter continues where it stood.
  seam.poll_result = di_ok;
  input_tick(seam);
  EXPECT_EQ(text(IDC_JOY_X), L"143");
}

TEST_F(InputTick, AFailedReadIsReturnedAndShowsNothing) {
  seam.read_result = static_cast<int32_t>(0x8007001E);
  EXPECT_EQ(input_tick(seam), static_cast<int32_t>(0x8007001E));
  EXPECT_TRUE(seam.events.empty());
}

TEST_F(InputTick, TheHeadingTrackerSeesThePreviousTicksTimeStamp) {
  seam.state.lZ = 500; // a step on the very first tick
  input_tick(seam);
  EXPECT_EQ(hub.step_count, 1);
  EXPECT_EQ(hub.last_step_ms, 0u); // the tracker ran before the stamp was taken
  EXPECT_EQ(hub.now_ms, 100000u);

  seam.state.lZ = 520;
  seam.now_ms = 100033;
  input_tick(seam);
  EXPECT_EQ(hub.last_step_ms, 100000u);
}

TEST_F(InputTick, WritesTheModeLabelOnlyWhenTheModeChanged) {
  input_tick(seam);
  input_tick(seam);
  hub.drive_mode = mode_skate;
  input_tick(seam);
  std::vector<std::wstring> labels;
  for (const auto& t : seam.texts)
    if (t.control_id == IDC_MODE) labels.push_back(t.text);
  EXPECT_EQ(labels, (std::vector<std::wstring>{L"Pedal 1", L"Skate"}));
}

TEST_F(InputTick, SkateWaitsForTheFeeder) {
  hub.drive_mode = mode_skate;
  press({0, 1, 3}); // a push from rest
  input_tick(seam);
  EXPECT_EQ(text(IDC_MODE), L"Skate");
  EXPECT_EQ(hub.skate_phase, 0);
  EXPECT_TRUE(seam.sent_to(feeder_peer_port).empty());

  hub.feeder_ready = 1;
  input_tick(seam);
  EXPECT_EQ(hub.skate_phase, 1);
  const auto feeder = seam.sent_to(feeder_peer_port);
  ASSERT_EQ(feeder.size(), 2u);
  EXPECT_EQ(feeder[0], (std::vector<uint8_t>{0x01, 0x00}));
  EXPECT_EQ(feeder[1], (std::vector<uint8_t>{22, 128, 192, 128, 128, 0, 0, 0}));
}

TEST_F(InputTick, AFailedFeederSendEndsTheTick) {
  hub.feeder_ready = 1;
  hub.remote_connected = 1;
  seam.send_results = {true, false}; // axis datagram, then the handshake fails
  input_tick(seam);
  EXPECT_EQ(seam.exits, (std::vector<int>{1}));
  EXPECT_EQ(seam.sent.size(), 2u); // no status datagram after the failure
  EXPECT_EQ(hub.remote_announced, 0);
}

} // namespace
