#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>

#include "net/listener.h"
#include "net/udp_socket.h"
#include "state/hub_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A socket bound to a port the system chose on 127.0.0.1.
UdpSocket open_bound(uint16_t& port) {
  const UdpSocket s = udp_open();
  udp_bind(s, 0, loopback_ipv4);
  sockaddr_in a{};
  socklen_t length = sizeof a;
  getsockname(static_cast<int>(s.handle), reinterpret_cast<sockaddr*>(&a), &length);
  port = ntohs(a.sin_port);
  return s;
}

// A port that was free a moment ago, for code that binds the port itself.
uint16_t free_port() {
  uint16_t port = 0;
  udp_close(open_bound(port));
  return port;
}

// Oversized datagrams and a socket that can receive no more are the listener test's; these two
// outcomes it cannot reach.
TEST(UdpSocket, AnEmptyDatagramArrivesAndARefusedSendIsSkipped) {
  uint16_t a_port = 0, b_port = 0;
  const UdpSocket a = open_bound(a_port), b = open_bound(b_port);
  uint8_t buffer[4] = {};
  size_t size = 1;
  Endpoint from;
  auto receive = [&] { return udp_receive(b, buffer, sizeof buffer, size, from); };
  ASSERT_TRUE(udp_send(a, {loopback_ipv4, b_port}, buffer, 0));
  EXPECT_EQ(receive(), ReceiveResult::datagram);
  EXPECT_EQ(std::tuple(size, from.ipv4, from.port), std::tuple(0u, loopback_ipv4, a_port));

  // A refused earlier send shows on a connected socket's next receive.
  const uint16_t closed = free_port();
  sockaddr_in c{};
  c.sin_family = AF_INET;
  c.sin_port = htons(closed);
  c.sin_addr.s_addr = htonl(loopback_ipv4);
  ASSERT_EQ(connect(static_cast<int>(b.handle), reinterpret_cast<sockaddr*>(&c), sizeof c), 0);
  udp_send(b, {loopback_ipv4, closed}, buffer, 1);
  EXPECT_EQ(receive(), ReceiveResult::skipped);
  udp_close(a);
  udp_close(b);
}

TEST(Listener, ReceivesOverRealUdpAndSurvivesOversizedDatagrams) {
  reset_hub_state();
  preset_remote_app();
  const uint16_t port = free_port();
  const UdpSocket socket = udp_open();
  int status = -1;
  std::thread listener([&] { status = run_listener(socket, port); });
  uint16_t client_port = 0;
  const UdpSocket client = open_bound(client_port);
  auto send = [&](const Bytes& b) {
    return udp_send(client, {loopback_ipv4, port}, b.data(), b.size());
  };
  // Resends until seen, for five seconds at most: the listener may not have bound yet. Failures
  // are not fatal, so the listener is always stopped below.
  auto deliver = [&](const Bytes& b, const std::function<bool()>& seen) {
    for (int i = 0; i < 1000 && !seen(); ++i) {
      send(b);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return seen();
  };

  EXPECT_TRUE(deliver({0x01, 0x01}, [] { return hub.feeder_ready == 1; }));
  EXPECT_TRUE(deliver({0x01, 0x02}, [] { return hub.remote_connected == 1; }));
  EXPECT_EQ(hub.remote_app_ipv4, loopback_ipv4);
  EXPECT_EQ(hub.remote_app_port, client_port + 1);
  EXPECT_TRUE(
      deliver({0x20, 0xC0, 0x03, 0xFF, 0x00, 1, 2, 3, 4}, [] { return hub.remote_relay4 == 4; }));
  EXPECT_EQ(hub.remote_steer, 0.5f);
  EXPECT_EQ(hub.remote_throttle_byte, 0xFF);

  // 20 then 77s: 512 bytes are read, a longer datagram is dropped whole and the next one read.
  for (const size_t size : {512u, 513u, 65000u}) {
    SCOPED_TRACE(size);
    Bytes big(size, 0x77);
    big[0] = 0x20;
    hub.remote_relay1 = 1;
    hub.remote_buttons = 0;
    EXPECT_TRUE(send(big));
    EXPECT_TRUE(deliver({0x20, 0xC0, 0x07}, [] { return hub.remote_buttons == 7; }));
    EXPECT_EQ(hub.remote_relay1, size == 512 ? 0x77 : 1);
  }

  // Shutting the socket down wakes the blocked receive, which then ends the listener with 0.
  shutdown(static_cast<int>(socket.handle), SHUT_RDWR);
  listener.join();
  EXPECT_EQ(status, 0);
  udp_close(socket);
  udp_close(client);
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
