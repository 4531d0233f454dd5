#include <gtest/gtest.h>

#include <vector>

#include "loopback.h"

namespace {

struct Pair {
  uint16_t a_port = 0, b_port = 0;
  UdpSocket a = open_bound(a_port);
  UdpSocket b = open_bound(b_port);
  ~Pair() {
    udp_close(a);
    udp_close(b);
  }
};

TEST(UdpSocket, SendsToABoundReceiver) {
  Pair p;
  const uint8_t bytes[] = {0x2A, 0x12, 0x2B, 0xEF, 0x00};
  ASSERT_TRUE(udp_send(p.a, {loopback_ipv4, p.b_port}, bytes, sizeof bytes));
  uint8_t buffer[16];
  size_t size = 0;
  Endpoint from;
  ASSERT_EQ(udp_receive(p.b, buffer, sizeof buffer, size, from), ReceiveResult::datagram);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + size), std::vector<uint8_t>(bytes, bytes + 5));
  EXPECT_EQ(from.ipv4, loopback_ipv4);
  EXPECT_EQ(from.port, p.a_port);
}

TEST(UdpSocket, ReceiveOutcomes) {
  Pair p;
  const Endpoint to_b{loopback_ipv4, p.b_port};
  uint8_t buffer[4];
  size_t size = 0;
  Endpoint from;
  const uint8_t big[5] = {1, 2, 3, 4, 5};

  // Larger than the buffer: dropped whole, and the next datagram comes through.
  udp_send(p.a, to_b, big, 5);
  udp_send(p.a, to_b, big, 0);
  EXPECT_EQ(udp_receive(p.b, buffer, sizeof buffer, size, from), ReceiveResult::too_big);
  EXPECT_EQ(udp_receive(p.b, buffer, sizeof buffer, size, from), ReceiveResult::datagram);
  EXPECT_EQ(size, 0u);

  // A refused earlier send shows on a connected socket's next receive; only that is skipped.
  const uint16_t closed = free_port();
  sockaddr_in c{};
  c.sin_family = AF_INET;
  c.sin_port = htons(closed);
  c.sin_addr.s_addr = htonl(loopback_ipv4);
  ASSERT_EQ(connect(static_cast<int>(p.b.handle), reinterpret_cast<sockaddr*>(&c), sizeof c), 0);
  udp_send(p.b, {loopback_ipv4, closed}, big, 1);
  EXPECT_EQ(udp_receive(p.b, buffer, sizeof buffer, size, from), ReceiveResult::skipped);

  // A socket shut down for reading cannot receive any more.
  shutdown(static_cast<int>(p.b.handle), SHUT_RDWR);
  EXPECT_EQ(udp_receive(p.b, buffer, sizeof buffer, size, from), ReceiveResult::failed);
}

} // namespace
