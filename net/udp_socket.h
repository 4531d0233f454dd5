#pragma once

#include <cstddef>
#include <cstdint>

#include "net/endpoint.h"

// The hub's UDP layer, declared once and implemented for Winsock (udp_socket_win32.cpp) and for
// POSIX sockets (udp_socket_posix.cpp), so the whole network side also runs natively.
struct UdpSocket {
  intptr_t handle = -1;
};

bool udp_startup(); // WSAStartup on Windows; nothing elsewhere
UdpSocket udp_open();
bool udp_valid(UdpSocket socket);
bool udp_bind(UdpSocket socket, uint16_t port, uint32_t ipv4 = 0); // 0: any address
bool udp_send(UdpSocket socket, const Endpoint& to, const uint8_t* bytes, size_t size);
void udp_close(UdpSocket socket);

// The system's error code of the last socket call of this thread that failed, for messages.
int udp_last_error();

// What one receive brought.
enum class ReceiveResult {
  datagram, // `size` bytes arrived from `from`
  too_big,  // a datagram larger than the buffer arrived; it has been dropped whole
  skipped,  // an error that concerns one datagram only (a reset report); nothing arrived
  failed,   // the socket cannot receive any more
};

ReceiveResult udp_receive(UdpSocket socket, uint8_t* buffer, size_t capacity, size_t& size,
                          Endpoint& from);
