// The paths on which the hub ends by itself, each with a hub of its own: it tells the feeder,
// says why in a message box and exits with 0 once the box is answered; without a box it still
// says why, and a dialog that cannot be made at all ends with 1.
#include <gtest/gtest.h>

#include <iostream>

#include "e2e_hub.h"

namespace {

using namespace std::chrono_literals;

const std::string not_found =
    "VR Pedalon monitor\nPedalon not found. The application will now exit.";

// A hub that ends without a message box of its own says why to a debugger, which Wine prints.
// Wine 8 prints it on the seh channel, later Wine on debugstr.
const std::pair<std::string, std::string> debug_strings = {"WINEDEBUG", "warn+seh,+debugstr"};
const std::string why_port = "ends with status 1: UDP port 45041 cannot be bound";
const std::string why_dialog = "ends with status 1: the monitor dialog cannot be created";

struct HubEnds : testing::Test {
  HubRun run;

  void TearDown() override {
    stop_hub(run);
    if (HasFailure()) std::cerr << "--- Wine log ---\n" << wine_log(wine_session());
  }

  void start(const std::string& devices, const EnvList& env = {},
             const std::vector<std::string>& args = {}) {
    std::string error;
    ASSERT_TRUE(start_hub(run, devices, error, env, args)) << error;
  }

  // From the shutdown datagram to the exit after OK.
  void expect_shutdown_box_and_exit(const std::string& box) {
    std::string seen;
    const auto shutdown = wait_for_hex(run.feeder, "64 00", 60s, seen);
    ASSERT_TRUE(shutdown) << "got " << seen;
    // Every datagram leaves through the one send socket.
    EXPECT_EQ(shutdown->from_port, run.feeder_hello->from_port);
    EXPECT_EQ(message_box(run, 60s), box);
    EXPECT_TRUE(hub_running(run)) << "ended before its message box was answered";
    // Ticks stopped: the box's message loop must not run them behind it.
    drain(run.axis);
    const auto tick = receive_datagram(run.axis, 500ms);
    EXPECT_FALSE(tick) << "axis datagram behind the box: " << hex(tick->bytes);
    EXPECT_TRUE(press_ok(run));
    EXPECT_EQ(wait_exit(run.program, 60s), std::optional<int>(0));
  }
};

TEST_F(HubEnds, ReadErrorTellsFeederAndUser) {
  start("foot");
  ASSERT_TRUE(wait_window(run, 90s)) << "the dialog did not appear";
  ASSERT_EQ(standin(run, "fail read"), "ok");
  expect_shutdown_box_and_exit(
      "VR Pedalon Monitor\nError Reading Input State. The app will now exit.");
}

// Passing over controllers of the wrong usage or product is pinned by the session's first case.
TEST_F(HubEnds, NoFootControllerTellsFeederAndUserAndASecondHubCannotBind) {
  start("none", {}, {"/NOXINPUT"});
  ASSERT_EQ(message_box(run, 90s), not_found);
  // A second copy ends with 1 as it cannot bind the listening port the first one holds.
  WineProgram second = start_windows_program(
      wine_session(), hub_exe(wine_session()), {},
      {{"WINEDLLOVERRIDES", "dinput8=n,b"}, {"PEDALON_STANDIN_PORT", "off"}, debug_strings});
  // It ends from its listener thread; Wine then sometimes takes the process down with SIGKILL
  // (status 137) rather than exit status 1, so the status the hub gives is read from its reason.
  const std::optional<int> status = wait_exit(second, 90s);
  EXPECT_TRUE(status == 1 || status == 137) << "status " << status.value_or(-1);
  kill_program(second);
  EXPECT_NE(wine_log(wine_session()).find(why_port), std::string::npos);
  expect_shutdown_box_and_exit(not_found);
}

TEST_F(HubEnds, DialogThatCannotBeCreatedTellsFeederAndEndsWithOne) {
  start("foot", {{"PEDALON_STANDIN_FAIL", "dialog"}, debug_strings});
  std::string seen;
  EXPECT_TRUE(wait_for_hex(run.feeder, "64 00", 60s, seen)) << "got " << seen;
  EXPECT_EQ(wait_exit(run.program, 60s), std::optional<int>(1));
  EXPECT_NE(wine_log(wine_session()).find(why_dialog), std::string::npos);
}

TEST_F(HubEnds, SetUpFailureTellsTheUserOnly) {
  start("foot", {{"PEDALON_STANDIN_FAIL", "format"}});
  EXPECT_EQ(message_box(run, 60s), "VR Pedalon monitor\nError Initializing DirectInput");
  EXPECT_TRUE(press_ok(run));
  EXPECT_EQ(wait_exit(run.program, 60s), std::optional<int>(0));
  // The feeder hears nothing on this path, and no tick ran.
  const auto feeder = receive_datagram(run.feeder, 200ms);
  EXPECT_FALSE(feeder) << "to the feeder: " << hex(feeder->bytes);
  const auto tick = receive_datagram(run.axis, 200ms);
  EXPECT_FALSE(tick) << "axis datagram: " << hex(tick->bytes);
}

} // namespace
