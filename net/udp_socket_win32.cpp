#include "net/udp_socket.h"

#include <winsock2.h>

#include <mswsock.h> // needs winsock2.h first

#include <cstring>

// Stops a UDP socket from reporting an ICMP port-unreachable of an earlier send as a reset on
// its next receive. Older mingw headers lack it.
#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

namespace {

SOCKET socket_of(UdpSocket socket) {
  return static_cast<SOCKET>(socket.handle);
}

sockaddr_in address_of(uint32_t ipv4, uint16_t port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(ipv4);
  return a;
}

} // namespace

bool udp_startup() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

UdpSocket udp_open() {
  UdpSocket s;
  const SOCKET raw = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (raw == INVALID_SOCKET) return s;
  BOOL report_resets = FALSE;
  DWORD returned = 0;
  // Failure only means resets still arrive; udp_receive skips those anyway.
  WSAIoctl(raw, SIO_UDP_CONNRESET, &report_resets, sizeof report_resets, nullptr, 0, &returned,
           nullptr, nullptr);
  s.handle = static_cast<intptr_t>(raw);
  return s;
}

bool udp_valid(UdpSocket socket) {
  return socket_of(socket) != INVALID_SOCKET;
}

bool udp_bind(UdpSocket socket, uint16_t port, uint32_t ipv4) {
  const sockaddr_in a = address_of(ipv4, port);
  return ::bind(socket_of(socket), reinterpret_cast<const sockaddr*>(&a), sizeof a) != SOCKET_ERROR;
}

bool udp_send(UdpSocket socket, const Endpoint& to, const uint8_t* bytes, size_t size) {
  const sockaddr_in a = address_of(to.ipv4, to.port);
  const int sent =
      ::sendto(socket_of(socket), reinterpret_cast<const char*>(bytes), static_cast<int>(size), 0,
               reinterpret_cast<const sockaddr*>(&a), sizeof a);
  return sent != SOCKET_ERROR && static_cast<size_t>(sent) == size;
}

int udp_last_error() {
  return WSAGetLastError();
}

void udp_close(UdpSocket socket) {
  if (udp_valid(socket)) closesocket(socket_of(socket));
}

ReceiveResult udp_receive(UdpSocket socket, uint8_t* buffer, size_t capacity, size_t& size,
                          Endpoint& from) {
  size = 0;
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  int length = sizeof a;
  const int n = ::recvfrom(socket_of(socket), reinterpret_cast<char*>(buffer),
                           static_cast<int>(capacity), 0, reinterpret_cast<sockaddr*>(&a), &length);
  if (n == SOCKET_ERROR) {
    switch (WSAGetLastError()) {
    case WSAEMSGSIZE: return ReceiveResult::too_big; // the rest of it is already discarded
    case WSAECONNRESET:
    case WSAENETRESET:
    case WSAEINTR: return ReceiveResult::skipped;
    default: return ReceiveResult::failed;
    }
  }
  size = static_cast<size_t>(n);
  from.ipv4 = ntohl(a.sin_addr.s_addr);
  from.port = ntohs(a.sin_port);
  return ReceiveResult::datagram;
}
