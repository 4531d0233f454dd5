#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "loopback.h"
#include "net/listener.h"
#include "state/hub_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct RunningListener {
  uint16_t port = free_port();
  UdpSocket socket = udp_open();
  int status = -1;
  std::thread thread{[this] { status = run_listener(socket, port); }};

  // Shutting the socket down wakes the blocked receive; it is closed once the thread is gone.
  int stop() {
    shutdown(static_cast<int>(socket.handle), SHUT_RDWR);
    thread.join();
    udp_close(socket);
    return status;
  }
  ~RunningListener() {
    if (thread.joinable()) stop(); // a failed assertion left it running
  }
};

TEST(Listener, ReceivesOverRealUdpAndSurvivesBadDatagrams) {
  reset_hub_state();
  preset_remote_app();
  RunningListener listener;
  uint16_t client_port = 0;
  const UdpSocket client = open_bound(client_port);
  const Endpoint to{loopback_ipv4, listener.port};
  auto send = [&](const Bytes& b) { udp_send(client, to, b.data(), b.size()); };
  // Resends until seen: the listener may not have bound yet, and a flood may overflow it.
  auto deliver = [&](const Bytes& b, auto done) { return poll_until(done, [&] { send(b); }); };

  ASSERT_TRUE(deliver({0x01, 0x01}, [] { return hub.feeder_ready == 1; }));
  ASSERT_TRUE(deliver({0x01, 0x02}, [] { return hub.remote_connected == 1; }));
  EXPECT_EQ(hub.remote_app_ipv4, loopback_ipv4);
  EXPECT_EQ(hub.remote_app_port, client_port + 1);
  ASSERT_TRUE(
      deliver({0x20, 0xC0, 0x03, 0xFF, 0x00, 1, 2, 3, 4}, [] { return hub.remote_relay4 == 4; }));
  EXPECT_EQ(hub.remote_steer, 0.5f);
  EXPECT_EQ(hub.remote_throttle_byte, 0xFF);

  // Oversized datagrams that would set every relay byte if any part of them were read.
  for (const size_t size : {513u, 65000u}) {
    SCOPED_TRACE(size);
    Bytes big(size, 0x77);
    big[0] = 0x20;
    ASSERT_TRUE(udp_send(client, to, big.data(), big.size()));
    hub.remote_buttons = 0;
    ASSERT_TRUE(deliver({0x20, 0xC0, 0x07}, [] { return hub.remote_buttons == 7; }));
    EXPECT_EQ(hub.remote_relay1, 1);
  }

  // A flood of empty, short and malformed datagrams.
  uint32_t seed = 12345;
  for (int i = 0; i < 2000; ++i) {
    Bytes junk(i % 40);
    for (auto& b : junk)
      b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    if (!junk.empty() && junk[0] == 0x20) junk[0] = 0x01;
    send(junk);
  }
  hub.remote_buttons = 0;
  ASSERT_TRUE(deliver({0x20, 0xC0, 0x09}, [] { return hub.remote_buttons == 9; }));

  udp_close(client);
  EXPECT_EQ(listener.stop(), 0);
}

TEST(Listener, PortTakenEndsWithStatusOne) {
  uint16_t port = 0;
  const UdpSocket holder = open_bound(port);
  const UdpSocket socket = udp_open();
  // The holder is bound to 127.0.0.1 only; the listener wants any address on the same port.
  EXPECT_EQ(run_listener(socket, port), 1);
  udp_close(socket);
  udp_close(holder);
}

} // namespace
