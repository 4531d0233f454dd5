// The real pedalon-hub.exe under Wine with no foot controller attached: it greets its peers,
// tells the feeder it stops, says so and ends; a second copy cannot run beside it.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "wine_harness.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

const Bytes start_hello = {0x01, 0x03, 0x02, 0x6F, 0x00};
const Bytes shutdown_datagram = {0x64, 0x00};
const std::vector<std::string> not_found_box = {
    "VR Pedalon monitor", "Pedalon not found. The application will now exit."};

// Generous: a first start in a fresh prefix and a busy two-core machine can take a while.
constexpr auto start_timeout = 90s;

struct WineSmoke : testing::Test {
  UdpProbe axis;
  UdpProbe feeder;
  std::deque<WineProgram> programs; // references stay valid as programs are added

  void SetUp() override {
    // The listener port of a program ended by an earlier test may linger for a moment.
    ASSERT_TRUE(wait_port_free(45041, 30s));
    const auto a = open_udp_probe(45040);
    const auto f = open_udp_probe(45042);
    ASSERT_TRUE(a && f) << "cannot bind 127.0.0.1:45040 and :45042";
    axis = *a;
    feeder = *f;
  }

  void TearDown() override {
    for (auto& p : programs)
      kill_program(p);
    close_udp_probe(axis);
    close_udp_probe(feeder);
    if (HasFailure()) std::cerr << "--- Wine log ---\n" << wine_log(wine_session());
  }

  WineProgram& start_hub(const std::vector<std::string>& args = {}) {
    // The system's DirectInput, also when a stand-in dinput8.dll lies beside the program.
    programs.push_back(start_windows_program(wine_session(), hub_exe(wine_session()), args,
                                             {{"WINEDLLOVERRIDES", "dinput8=b"}}));
    return programs.back();
  }

  // Checks what one hub without a foot controller sends, up to its message box.
  void expect_greeting_and_shutdown() {
    const auto hello_axis = receive_datagram(axis, start_timeout);
    const auto hello_feeder = receive_datagram(feeder, start_timeout);
    const auto shutdown = receive_datagram(feeder, start_timeout);
    ASSERT_TRUE(hello_axis && hello_feeder && shutdown);
    EXPECT_EQ(hello_axis->bytes, start_hello);
    EXPECT_EQ(hello_feeder->bytes, start_hello);
    EXPECT_EQ(shutdown->bytes, shutdown_datagram);
    // Loopback delivers inside the send, so arrival times give the order of the sends.
    EXPECT_LT(hello_axis->arrival_ns, hello_feeder->arrival_ns);
    // Every datagram leaves through the one send socket.
    EXPECT_EQ(hello_axis->from_port, hello_feeder->from_port);
    EXPECT_EQ(hello_feeder->from_port, shutdown->from_port);
  }
};

TEST_F(WineSmoke, WithoutFootControllerGreetsPeersSaysNotFoundAndExitsWithZero) {
  WineProgram& hub = start_hub();
  expect_greeting_and_shutdown();

  const DriverResult box = run_driver(wine_session(), {"message-box", "90000"});
  ASSERT_EQ(box.status, 0) << "no message box appeared";
  EXPECT_EQ(box.lines, not_found_box);
  EXPECT_FALSE(wait_exit(hub, 0ms)) << "the hub ended before its message box was answered";

  // A second copy cannot bind the listening port while the first runs.
  WineProgram& second = start_hub();
  EXPECT_EQ(wait_exit(second, start_timeout), std::optional<int>(1));
  EXPECT_FALSE(wait_exit(hub, 0ms));

  // Answered as a user would: the OK button.
  EXPECT_EQ(run_driver(wine_session(), {"press-ok", "30000"}).status, 0);
  EXPECT_EQ(wait_exit(hub, 60s), std::optional<int>(0));
}

TEST_F(WineSmoke, NoxinputOptionScansWmiAndStillEndsCleanly) {
  WineProgram& hub = start_hub({"/NOXINPUT"});
  expect_greeting_and_shutdown();
  const DriverResult box = run_driver(wine_session(), {"message-box", "90000"});
  ASSERT_EQ(box.status, 0) << "no message box appeared";
  EXPECT_EQ(box.lines, not_found_box);
  EXPECT_EQ(run_driver(wine_session(), {"press-ok", "30000"}).status, 0);
  EXPECT_EQ(wait_exit(hub, 60s), std::optional<int>(0));
}

} // namespace
