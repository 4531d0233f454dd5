// One hub for every case that leaves it running: started by the first case, ended by the close
// command in the last. The cases run in file order and build on each other: the feeder is ready
// from FeederReadyGetsHandshakeThenFirstDriveDatagram on, and the drive mode and the remote
// app's inputs carry over; each case sets the foot controller state it reads.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "e2e_hub.h"
#include "res/resource.h"

namespace {

using namespace std::chrono_literals;

// Two controllers the hub must pass over, then the one it must open, then one it must leave.
constexpr const char* devices = "wrong-usage,wrong-product,foot,foot";

// A remote app says hello from this port and hears the hub on the next one.
constexpr uint16_t remote_port = 45063;

// Joystick bytes 89 (59) and 153 (99); foot bytes 96 (60), 142 (8E), 166 (A6), 122 (7A); a
// right-foot tilt of 117 is throttle 0.5008 (byte 127, 7F) in "Pedal 1"; sensors 0 and 3.
constexpr const char* resting = "set x=-300 y=-200 z=-250 rx=117 ry=300 rz=-40 buttons=0,3";

const std::string not_connected = "Status: no remote app connected";
const std::string connected = "Status: remote app connected";

int64_t field_of(const std::string& reply, const std::string& name) {
  const size_t at = reply.find(" " + name + "=");
  return at == std::string::npos ? -1 : std::stoll(reply.substr(at + name.size() + 2));
}

int64_t realtime_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string axis_hex(int x, int y) {
  return hex({0x2A, static_cast<uint8_t>(x), 0x2B, static_cast<uint8_t>(y), 0x00});
}

struct HubSession : testing::Test {
  static inline HubRun run;

  void SetUp() override {
    if (hub_running(run)) return;
    stop_hub(run);
    std::string error;
    ASSERT_TRUE(start_hub(run, devices, error)) << error;
    ASSERT_TRUE(wait_window(90s)) << "the dialog did not appear";
  }
  void TearDown() override {
    if (HasFailure()) std::cerr << "--- Wine log ---\n" << wine_log(wine_session());
  }
  static void TearDownTestSuite() { stop_hub(run); }

  static void set_state(const std::string& command) {
    ASSERT_EQ(standin(run, command), "ok");
    // Two whole ticks have read it.
    ASSERT_EQ(standin(run, "sync 2").substr(0, 2), "ok");
  }
};

TEST_F(HubSession, GreetsAxisPeerThenFeeder) {
  ASSERT_TRUE(run.axis_hello && run.feeder_hello);
  EXPECT_EQ(hex(run.axis_hello->bytes), "01 03 02 6F 00");
  EXPECT_EQ(hex(run.feeder_hello->bytes), "01 03 02 6F 00");
  // Loopback delivers inside the send, so arrival times give the order of the sends.
  EXPECT_LT(run.axis_hello->arrival_ns, run.feeder_hello->arrival_ns);
}

TEST_F(HubSession, OpensTheFirstFootControllerOnly) {
  const char* const created[] = {"created=0", "created=0", "created=1", "created=0"};
  for (int dev = 1; dev <= 4; ++dev) {
    SCOPED_TRACE(dev);
    const std::string reply = standin(run, "get dev=" + std::to_string(dev));
    EXPECT_NE(reply.find(created[dev - 1]), std::string::npos) << reply;
  }
}

TEST_F(HubSession, AxisDatagramCarriesConditionedBytesOnEveryTick) {
  struct Case {
    const char* set;
    std::string before;
    std::vector<std::string> after; // the datagrams of the first ticks that read the new state
  };
  const Case cases[] = {
      // A step away from rest is smoothed over six ticks.
      {"set x=500 y=0",
       axis_hex(128, 128),
       {axis_hex(134, 128), axis_hex(143, 128), axis_hex(150, 128), axis_hex(156, 128),
        axis_hex(161, 128), axis_hex(166, 128), axis_hex(192, 128)}},
      // Not from rest: the plain bytes at once, Y upside down.
      {"set x=-300 y=-200", axis_hex(192, 128), {axis_hex(89, 153), axis_hex(89, 153)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    drain(run.axis);
    ASSERT_EQ(standin(run, c.set), "ok");
    std::string seen;
    const auto first = wait_for(
        run.axis, [&](const Bytes& b) { return hex(b) != c.before; }, 5s, seen);
    ASSERT_TRUE(first) << "no new axis datagram; got " << seen;
    std::vector<std::string> got = {hex(first->bytes)};
    while (got.size() < c.after.size()) {
      const auto next = receive_datagram(run.axis, 2s);
      if (!next) break;
      got.push_back(hex(next->bytes));
    }
    EXPECT_EQ(got, c.after);
  }

  // One datagram per state read, with no change test.
  drain(run.axis);
  const int64_t reads_before = field_of(standin(run, "get"), "reads");
  std::this_thread::sleep_for(1s);
  const int64_t reads_after = field_of(standin(run, "get"), "reads");
  int datagrams = 0;
  while (receive_datagram(run.axis, 0ms))
    ++datagrams;
  EXPECT_GT(reads_after - reads_before, 5);
  EXPECT_NEAR(datagrams, reads_after - reads_before, 2);
}

TEST_F(HubSession, FeederReadyGetsHandshakeThenFirstDriveDatagram) {
  set_state(resting);
  const auto early = receive_datagram(run.feeder, 0ms);
  EXPECT_FALSE(early) << "before its ready message the feeder got " << hex(early->bytes);

  send_bytes(run.feeder, hub_port, {0x01, 0x01});
  const auto handshake = receive_datagram(run.feeder, 10s);
  const auto drive = receive_datagram(run.feeder, 10s);
  ASSERT_TRUE(handshake && drive);
  EXPECT_EQ(hex(handshake->bytes), "01 00");
  // "Pedal 1": steering 128 (no remote app), the right foot's tilt as throttle, no brake.
  EXPECT_EQ(hex(drive->bytes), "15 80 7F 00 00 00 00");
}

TEST_F(HubSession, ReadoutsShowControllerStatePedalsAndMode) {
  set_state(resting);
  const struct {
    int id;
    const char* text;
  } readouts[] = {
      {IDC_JOY_X, "89"},
      {IDC_JOY_Y, "153"},
      {IDC_HEADING_RF, "-250"},
      {IDC_TILT_RF, "117"},
      {IDC_HEADING_LF, "300"},
      {IDC_TILT_LF, "-40"},
      {IDC_TOUCH, "00 03 "},
      {IDC_REMOTE_STEER, "0.000000"},
      {IDC_REMOTE_BUTTONS, "0 0 0 0 0 0 "},
      {IDC_THROTTLE, "0.500800"},
      {IDC_BRAKE, "0.000000"},
      {IDC_MODE, "Pedal 1"},
      {IDC_STATUS, not_connected.c_str()},
  };
  for (const auto& r : readouts) {
    SCOPED_TRACE(r.id);
    EXPECT_EQ(dialog_text(r.id), r.text);
  }
}

TEST_F(HubSession, ModeButtonSwitchesTheDriveDatagramLayout) {
  set_state(resting);
  // Each layout differs enough from the one before to leave on the first tick of its mode.
  const struct {
    const char* label;
    const char* drive;
  } modes[] = {
      {"4-way-mov", "02 01 59 99 00 00 00"},       // joystick bytes
      {"Pass through", "16 00 00 00 00 00 00 00"}, // the remote app's bytes, none yet
      {"Skate", "16 80 80 80 80 00 00 00"},        // standing still
      {"Pedal 2", "15 80 00 00 00 00 00"},         // the remote app's throttle and brake
      {"Pedal 1", "15 80 7F 00 00 00 00"},         // the right foot's
  };
  for (const auto& m : modes) {
    SCOPED_TRACE(m.label);
    drain(run.feeder);
    ASSERT_TRUE(click(IDC_SWITCH_MODE));
    EXPECT_EQ(wait_text(IDC_MODE, m.label, 5s), m.label);
    std::string seen;
    EXPECT_TRUE(wait_for_hex(run.feeder, m.drive, 5s, seen)) << "got " << seen;
  }
}

TEST_F(HubSession, SpeedAdjustButtonCyclesItsCaption) {
  for (const char* caption : {"120%", "150%", "35%", "50%", "65%", "80%", "100%"}) {
    ASSERT_TRUE(click(IDC_SPEED_ADJUST));
    EXPECT_EQ(dialog_text(IDC_SPEED_ADJUST), caption);
  }
}

TEST_F(HubSession, SkatePushSendsSkateDatagramWithSpeed) {
  // The right foot on sensors 0 and 1, the left foot lifted ...
  set_state("set buttons=0,1");
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(click(IDC_SWITCH_MODE));
  ASSERT_EQ(wait_text(IDC_MODE, "Skate", 5s), "Skate");
  ASSERT_EQ(standin(run, "sync 2").substr(0, 2), "ok");
  // ... then down on sensor 3 alone: a push, speed 0.5.
  drain(run.feeder);
  ASSERT_EQ(standin(run, "set buttons=0,1,3"), "ok");
  std::string seen;
  EXPECT_TRUE(wait_for_hex(run.feeder, "16 80 C0 80 80 00 00 00", 3s, seen)) << "got " << seen;

  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(click(IDC_SWITCH_MODE));
  EXPECT_EQ(wait_text(IDC_MODE, "Pedal 1", 5s), "Pedal 1");
}

TEST_F(HubSession, RemoteAppIsAnnouncedFedAndDroppedAfterTenSilentSeconds) {
  set_state(resting);
  ScopedProbe out(remote_port), in(remote_port + 1);
  ASSERT_TRUE(out.bound() && in.bound());
  EXPECT_EQ(dialog_text(IDC_STATUS), not_connected);

  send_bytes(out, hub_port, {0x01, 0x02});
  const auto status = receive_datagram(in, 5s);
  ASSERT_TRUE(status) << "no status datagram";
  EXPECT_EQ(hex(status->bytes), "01 02");
  EXPECT_EQ(wait_text(IDC_STATUS, connected, 5s), connected);

  // The foot controller, then the same again only after more than 3.5 s.
  const auto foot = receive_datagram(in, 5s);
  ASSERT_TRUE(foot) << "no foot datagram";
  EXPECT_EQ(hex(foot->bytes), "1F 59 99 60 8E A6 7A 09");
  const auto again = receive_datagram(in, 8s);
  ASSERT_TRUE(again) << "no keep-alive foot datagram";
  EXPECT_EQ(hex(again->bytes), hex(foot->bytes));
  const int64_t keep_alive_ms = (again->arrival_ns - foot->arrival_ns) / 1000000;
  EXPECT_GE(keep_alive_ms, 3400);
  EXPECT_LE(keep_alive_ms, 5500);

  // A change goes out at once: the left foot lifts off sensor 3.
  ASSERT_EQ(standin(run, "set buttons=0"), "ok");
  const auto changed = receive_datagram(in, 2s);
  ASSERT_TRUE(changed) << "no foot datagram on change";
  EXPECT_EQ(hex(changed->bytes), "1F 59 99 60 8E A6 7A 01");

  // Steering 192, buttons A and Y, throttle 200, brake 10, relays 11 22 33 44: shown, and
  // passed on to the feeder ("Pedal 1": steering, buttons, relays 1 and 2).
  send_bytes(out, hub_port, {0x20, 0xC0, 0x09, 0xC8, 0x0A, 0x11, 0x22, 0x33, 0x44});
  const auto last_message = std::chrono::steady_clock::now();
  EXPECT_EQ(wait_text(IDC_REMOTE_STEER, "0.500000", 5s), "0.500000");
  EXPECT_EQ(dialog_text(IDC_REMOTE_BUTTONS), "1 0 0 1 0 0 ");
  std::string seen;
  EXPECT_TRUE(wait_for_hex(run.feeder, "15 C0 7F 00 09 11 22", 5s, seen)) << "got " << seen;

  // Then silence.
  EXPECT_EQ(wait_text(IDC_STATUS, not_connected, 20s), not_connected);
  const auto silent_ms =
      std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - last_message).count();
  EXPECT_GE(silent_ms, 9900);
  EXPECT_LE(silent_ms, 16000);
}

TEST_F(HubSession, HelloFromPort65535AndSecondReadyAreIgnored) {
  // There is no port above 65535 to answer on; the handshake is sent once per run. The app
  // dropped before must stay silent, too.
  ScopedProbe in(remote_port + 1), out(65535);
  ASSERT_TRUE(in.bound() && out.bound());
  drain(run.feeder);
  send_bytes(out, hub_port, {0x01, 0x02});
  send_bytes(run.feeder, hub_port, {0x01, 0x01});
  std::string seen;
  const auto stray = wait_for(
      run.feeder, [](const Bytes& b) { return b.empty() || b[0] != 0x15; }, 4s, seen);
  EXPECT_FALSE(stray) << "the feeder got " << hex(stray->bytes);
  const auto foot = receive_datagram(in, 0ms);
  EXPECT_FALSE(foot) << "the dropped app got " << hex(foot->bytes);
  EXPECT_EQ(dialog_text(IDC_STATUS), not_connected);
}

TEST_F(HubSession, OversizedAndMalformedDatagramsLeaveTheHubRunning) {
  ScopedProbe sender(0);
  ASSERT_TRUE(sender.bound());
  const std::string steer = dialog_text(IDC_REMOTE_STEER);
  // Too long for the hub's 512 bytes; read, each would steer full left and connect a remote app.
  for (size_t size : {513, 1000, 65000}) {
    Bytes input(size, 0x00);
    input[0] = 0x20;
    send_bytes(sender, hub_port, input);
  }
  const Bytes malformed[] = {{},
                             {0x01},
                             {0x01, 0x00},
                             {0x01, 0x7F},
                             {0x01, 0x03, 0x02, 0x6F, 0x00},
                             {0x64, 0x00},
                             {0x2A, 0x80, 0x2B, 0x80, 0x00},
                             Bytes(512, 0xFF)};
  for (int i = 0; i < 200; ++i)
    for (const Bytes& m : malformed)
      send_bytes(sender, hub_port, m);

  drain(run.axis);
  EXPECT_TRUE(receive_datagram(run.axis, 3s)) << "no axis datagram after the flood";
  ASSERT_TRUE(hub_running(run)) << "status " << run.program.status.value_or(-1);
  EXPECT_EQ(dialog_text(IDC_REMOTE_STEER), steer);
  EXPECT_EQ(dialog_text(IDC_STATUS), not_connected);

  // A remote app is still heard.
  ScopedProbe out(remote_port), in(remote_port + 1);
  ASSERT_TRUE(out.bound() && in.bound());
  send_bytes(out, hub_port, {0x01, 0x02});
  const auto status = receive_datagram(in, 5s);
  ASSERT_TRUE(status) << "no status datagram after the flood";
  EXPECT_EQ(hex(status->bytes), "01 02");
  EXPECT_EQ(wait_text(IDC_STATUS, connected, 5s), connected);
}

TEST_F(HubSession, FailedPollsPauseAxisDatagramsUntilReacquired) {
  const int64_t lost_before = field_of(standin(run, "get"), "lost");
  drain(run.axis);
  // 30 ticks without a read; after each failed poll Acquire reports lost input twice.
  ASSERT_EQ(standin(run, "fail poll 30 lost 2"), "ok");
  std::vector<int64_t> arrivals = {realtime_ns()};
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (const auto d = receive_datagram(
             run.axis, std::max(Millis(0), std::chrono::duration_cast<Millis>(
                                               deadline - std::chrono::steady_clock::now()))))
    arrivals.push_back(d->arrival_ns);

  ASSERT_GT(arrivals.size(), 1u) << "no axis datagram at all";
  int64_t longest_ns = 0;
  size_t resumed = 0; // datagrams from the end of the longest gap on
  for (size_t i = 1; i < arrivals.size(); ++i) {
    if (arrivals[i] - arrivals[i - 1] <= longest_ns) continue;
    longest_ns = arrivals[i] - arrivals[i - 1];
    resumed = arrivals.size() - i;
  }
  EXPECT_GE(longest_ns / 1000000, 500);
  EXPECT_GE(resumed, 5u) << "axis datagrams did not resume";

  const std::string after = standin(run, "get dev=3");
  EXPECT_EQ(field_of(after, "lost") - lost_before, 60) << after;
  EXPECT_NE(after.find("acquired=1"), std::string::npos) << after;
  EXPECT_TRUE(hub_running(run));
}

TEST_F(HubSession, CloseCommandSendsShutdownAndExitsWithZero) {
  drain(run.feeder);
  ASSERT_TRUE(dialog_command(2)); // the close box and Escape
  std::string seen;
  EXPECT_TRUE(wait_for_hex(run.feeder, "64 00", 30s, seen)) << "got " << seen;
  EXPECT_EQ(wait_exit(run.program, 60s), std::optional<int>(0));
}

} // namespace
