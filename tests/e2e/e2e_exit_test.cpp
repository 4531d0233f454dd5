// The paths on which the hub ends by itself, each with a hub of its own: it tells the feeder,
// says why in a message box and exits with 0 once the box is answered.
#include <gtest/gtest.h>

#include <iostream>

#include "e2e_hub.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

struct HubEnds : testing::Test {
  HubRun run;

  void TearDown() override {
    stop_hub(run);
    if (HasFailure()) std::cerr << "--- Wine log ---\n" << wine_log(wine_session());
  }

  // From the shutdown datagram to the exit after OK.
  void expect_shutdown_box_and_exit(const Lines& box) {
    std::string seen;
    EXPECT_TRUE(wait_for_hex(run.feeder, "64 00", 60s, seen)) << "got " << seen;
    EXPECT_EQ(message_box(60s), box);
    EXPECT_TRUE(hub_running(run)) << "ended before its message box was answered";
    // Ticks stopped: the box's message loop must not run them behind it.
    drain(run.axis);
    const auto tick = receive_datagram(run.axis, 500ms);
    EXPECT_FALSE(tick) << "axis datagram behind the box: " << hex(tick->bytes);
    EXPECT_TRUE(press_ok(30s));
    EXPECT_EQ(wait_exit(run.program, 60s), std::optional<int>(0));
  }
};

TEST_F(HubEnds, ReadErrorTellsFeederAndUser) {
  std::string error;
  ASSERT_TRUE(start_hub(run, "foot", error)) << error;
  ASSERT_TRUE(wait_window(90s)) << "the dialog did not appear";
  ASSERT_EQ(standin(run, "fail read"), "ok");
  expect_shutdown_box_and_exit(
      {"VR Pedalon Monitor", "Error Reading Input State. The app will now exit."});
}

TEST_F(HubEnds, NoFootControllerTellsFeederAndUser) {
  // Only controllers of the wrong usage or product; the Wine smoke test covers none at all.
  std::string error;
  ASSERT_TRUE(start_hub(run, "wrong-usage,wrong-product", error)) << error;
  expect_shutdown_box_and_exit(
      {"VR Pedalon monitor", "Pedalon not found. The application will now exit."});
}

TEST_F(HubEnds, SetUpFailureTellsTheUserOnly) {
  std::string error;
  ASSERT_TRUE(start_hub(run, "foot", error, {{"PEDALON_STANDIN_FAIL", "format"}})) << error;
  EXPECT_EQ(message_box(60s), (Lines{"VR Pedalon monitor", "Error Initializing DirectInput"}));
  EXPECT_TRUE(press_ok(30s));
  EXPECT_EQ(wait_exit(run.program, 60s), std::optional<int>(0));
  // The feeder hears nothing on this path, and no tick ran.
  const auto feeder = receive_datagram(run.feeder, 200ms);
  EXPECT_FALSE(feeder) << "to the feeder: " << hex(feeder->bytes);
  const auto tick = receive_datagram(run.axis, 200ms);
  EXPECT_FALSE(tick) << "axis datagram: " << hex(tick->bytes);
}

} // namespace
