#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>

#include "net/udp_socket.h"

// Helpers for tests over real sockets on 127.0.0.1.

// A socket bound to a port the system chose on 127.0.0.1.
inline UdpSocket open_bound(uint16_t& port) {
  const UdpSocket s = udp_open();
  udp_bind(s, 0, loopback_ipv4);
  sockaddr_in a{};
  socklen_t length = sizeof a;
  getsockname(static_cast<int>(s.handle), reinterpret_cast<sockaddr*>(&a), &length);
  port = ntohs(a.sin_port);
  return s;
}

// A port that was free a moment ago, for code that binds the port itself.
inline uint16_t free_port() {
  uint16_t port = 0;
  udp_close(open_bound(port));
  return port;
}

// Repeats `step` until `done` holds or the deadline passes; returns whether it held.
inline bool poll_until(const std::function<bool()>& done, const std::function<void()>& step = {},
                       std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (std::chrono::steady_clock::now() < end) {
    if (step) step();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}
