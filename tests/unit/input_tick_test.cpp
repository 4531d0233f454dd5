#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fake_seam.h"
#include "input/tick.h"
#include "net/listener.h"
#include "res/resource.h"
#include "state/hub_state.h"

namespace {

class InputTick : public ::testing::Test {
protected:
  void SetUp() override {
    reset_hub_state();
    preset_heading_tracker();
    preset_remote_app();
    seam = FakeSeam{};
    seam.now_ms = 100000;
  }
  void press(const std::vector<int>& buttons) {
    for (int b : buttons)
      seam.state.rgbButtons[b] = 0x80;
  }
  FakeSeam seam;
};

TEST_F(InputTick, RunsItsStepsInOrder) {
  hub.feeder_ready = 1;
  hub.remote_connected = 1;
  seam.state.lZ = 500; // a heading step on the very first tick
  ASSERT_EQ(input_tick(seam), 0);
  // The remote app is still the preset 127.0.0.1:45042, so its datagrams share the feeder port.
  const std::vector<int> expected = {
      IDC_JOY_X,    -45040,         IDC_JOY_Y,        IDC_HEADING_RF,
      IDC_TILT_RF,  IDC_HEADING_LF, IDC_TILT_LF,      IDC_SLIDER0,
      IDC_SLIDER1,  IDC_POV0,       IDC_POV1,         IDC_POV2,
      IDC_POV3,     IDC_TOUCH,      IDC_REMOTE_STEER, IDC_REMOTE_BUTTONS,
      IDC_THROTTLE, IDC_BRAKE,      IDC_MODE,         -45042,
      -45042,       -45042,         IDC_STATUS,       -45042};
  EXPECT_EQ(seam.events, expected);
  EXPECT_EQ(seam.sent[0].bytes, (std::vector<uint8_t>{0x2A, 128, 0x2B, 128, 0x00}));
  // The heading tracker ran before now_ms was taken, the feeder step after it.
  EXPECT_EQ(
      std::tuple(hub.step_count, hub.last_step_ms, hub.now_ms.load(), hub.last_feeder_send_ms),
      std::tuple(1, 0u, 100000u, 100000u));

  // The next tick's tracker sees this stamp; the mode label is written again only on a change.
  seam.state.lZ = 520;
  seam.now_ms = 100033;
  input_tick(seam);
  EXPECT_EQ(hub.last_step_ms, 100000u);
  hub.drive_mode = mode_skate;
  input_tick(seam);
  std::vector<std::wstring> labels;
  for (const auto& [id, text] : seam.texts)
    if (id == IDC_MODE) labels.push_back(text);
  EXPECT_EQ(labels, (std::vector<std::wstring>{L"Pedal 1", L"Skate"}));
}

TEST_F(InputTick, ShowsEveryReadoutInItsFormat) {
  auto& s = seam.state;
  std::tie(s.lX, s.lY, s.lZ, s.lRx, s.lRy, s.lRz) = std::tuple(500, -1000, -250, 117, 1000, -1);
  std::tie(s.rglSlider[0], s.rglSlider[1], s.rgdwPOV[0], s.rgdwPOV[3]) =
      std::tuple(-7, 2147483647, 0xFFFFFFFFu, 27000u);
  press({1, 2, 100});
  hub.remote_steer = 0.5f;
  hub.remote_buttons = 0x09;
  input_tick(seam);
  // In tick order: X and Y (the jump filter engages from rest; Y is 0.1 of full deflection and
  // 12.8 floors to 12), the four raw foot axes, sliders, POVs, the button list, remote steer and
  // buttons, throttle, brake and the mode label.
  std::vector<std::wstring> shown;
  for (const auto& [id, text] : seam.texts)
    shown.push_back(text);
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"134", L"140", L"-250", L"117", L"1000", L"-1",
                                              L"-7", L"2147483647", L"4294967295", L"0", L"0",
                                              L"27000", L"01 02 100 ", L"0.500000", L"1 0 0 1 0 0 ",
                                              L"0.500800", L"0.000000", L"Pedal 1"}));
}

TEST_F(InputTick, SetsOnlyTheReadoutsWhoseTextChanged) {
  const std::vector<int> every = {
      IDC_JOY_X,   IDC_JOY_Y,        IDC_HEADING_RF,     IDC_TILT_RF,  IDC_HEADING_LF, IDC_TILT_LF,
      IDC_SLIDER0, IDC_SLIDER1,      IDC_POV0,           IDC_POV1,     IDC_POV2,       IDC_POV3,
      IDC_TOUCH,   IDC_REMOTE_STEER, IDC_REMOTE_BUTTONS, IDC_THROTTLE, IDC_BRAKE,      IDC_MODE};
  const struct {
    std::function<void()> change;
    std::vector<int> set;
  } ticks[] = {
      {[] {}, every}, // the first tick writes them all, whatever the template shows
      {[] {}, {}},
      {[&] { seam.state.lRx = 117; }, {IDC_TILT_RF, IDC_THROTTLE}},
      {[] { hub.remote_buttons = 0x09; }, {IDC_REMOTE_BUTTONS}},
      {[] { hub.remote_buttons = 0x49; }, {}}, // bits past the six buttons are not shown
      {[] { hub.remote_steer = 0.1f; }, {IDC_REMOTE_STEER}},
      {[] { hub.remote_steer = 0.1000001f; }, {}}, // another value, the same text
      {[&] { seam.state.rgbButtons[100] = 0x80; }, {IDC_TOUCH}},
      {[&] { seam.state.lRx = 0; }, {IDC_TILT_RF, IDC_THROTTLE}}, // back to an earlier text
      {[] { hub.drive_mode = mode_skate; }, {IDC_MODE}},
  };
  for (size_t i = 0; i < std::size(ticks); ++i) {
    SCOPED_TRACE(i);
    ticks[i].change();
    seam.clear();
    input_tick(seam);
    std::vector<int> set;
    for (const auto& [id, text] : seam.texts)
      set.push_back(id);
    EXPECT_EQ(set, ticks[i].set);
  }
}

TEST_F(InputTick, TouchMaskIsTheFirstFourButtonsAndTravelsInTheFootDatagram) {
  const std::tuple<std::vector<int>, const wchar_t*, uint8_t> cases[] = {
      {{}, L"", 0},
      {{1, 2}, L"01 02 ", 6},
      {{4}, L"04 ", 0},
      {{0, 3}, L"00 03 ", 9},
      {{0, 1, 3, 127}, L"00 01 03 127 ", 11},
  };
  for (const auto& [pressed, list, mask] : cases) {
    SCOPED_TRACE(testing::Message() << "mask " << int(mask));
    SetUp();
    press(pressed);
    hub.feeder_ready = 1;
    hub.remote_connected = 1;
    input_tick(seam);
    EXPECT_EQ(seam.text(IDC_TOUCH), list);
    EXPECT_EQ(seam.sent.back().bytes[7], mask);
  }
  for (auto& b : seam.state.rgbButtons)
    b = 0xFF;
  input_tick(seam);
  EXPECT_EQ(seam.text(IDC_TOUCH).size(), 412u); // all 128 fit the buffer
}

TEST_F(InputTick, DeviceFailuresLeaveEverythingUntouched) {
  seam.device = false;
  EXPECT_EQ(input_tick(seam), 0);
  seam.device = true;
  seam.read_result = di_err_input_lost;
  EXPECT_EQ(input_tick(seam), di_err_input_lost);
  EXPECT_TRUE(seam.events.empty());

  seam.read_result = di_ok;
  seam.state.lX = 500;
  input_tick(seam); // 134: the filter engaged
  seam.clear();
  seam.poll_result = -1;
  seam.acquire_result = di_err_input_lost;
  seam.now_ms += 33;
  EXPECT_EQ(input_tick(seam), 0);
  EXPECT_EQ(seam.acquire_calls, max_acquire_attempts);
  EXPECT_TRUE(seam.events.empty());
  EXPECT_EQ(hub.now_ms, 100000u);

  seam.acquire_calls = 0;
  seam.acquire_result = di_ok;
  input_tick(seam);
  EXPECT_EQ(seam.acquire_calls, 1); // an acquire that works ends the repetition

  seam.poll_result = di_ok;
  input_tick(seam);
  EXPECT_EQ(seam.text(IDC_JOY_X), L"143"); // the filter continues where it stood
}

TEST_F(InputTick, AFailedFeederSendEndsTheProcessAndTheTick) {
  // After the axis datagram: the handshake fails, or the drive datagram after it.
  for (const auto& script :
       {std::vector<bool>{true, false}, std::vector<bool>{true, true, false}}) {
    SCOPED_TRACE(script.size());
    SetUp();
    hub.feeder_ready = 1;
    hub.remote_connected = 1;
    seam.send_script = script;
    input_tick(seam);
    EXPECT_EQ(seam.exits, (std::vector<int>{1}));
    EXPECT_EQ(seam.sent.size(), script.size()); // nothing after the failure, no status datagram
    EXPECT_EQ(hub.remote_announced, 0);
  }
}

} // namespace
