#include "net/udp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

int fd_of(UdpSocket socket) {
  return static_cast<int>(socket.handle);
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
  return true;
}

UdpSocket udp_open() {
  UdpSocket s;
  s.handle = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  return s;
}

bool udp_valid(UdpSocket socket) {
  return socket.handle >= 0;
}

bool udp_bind(UdpSocket socket, uint16_t port, uint32_t ipv4) {
  const sockaddr_in a = address_of(ipv4, port);
  return ::bind(fd_of(socket), reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
}

bool udp_send(UdpSocket socket, const Endpoint& to, const uint8_t* bytes, size_t size) {
  const sockaddr_in a = address_of(to.ipv4, to.port);
  const ssize_t sent =
      ::sendto(fd_of(socket), bytes, size, 0, reinterpret_cast<const sockaddr*>(&a), sizeof a);
  return sent >= 0 && static_cast<size_t>(sent) == size;
}

int udp_last_error() {
  return errno;
}

void udp_close(UdpSocket socket) {
  if (udp_valid(socket)) ::close(fd_of(socket));
}

ReceiveResult udp_receive(UdpSocket socket, uint8_t* buffer, size_t capacity, size_t& size,
                          Endpoint& from) {
  size = 0;
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  socklen_t length = sizeof a;
  // MSG_TRUNC makes the call return the datagram's real length, so an oversized one shows.
  const ssize_t n = ::recvfrom(fd_of(socket), buffer, capacity, MSG_TRUNC,
                               reinterpret_cast<sockaddr*>(&a), &length);
  if (n < 0) {
    // A refused earlier send or a signal concerns no datagram of this socket.
    if (errno == EINTR || errno == ECONNREFUSED) return ReceiveResult::skipped;
    return ReceiveResult::failed;
  }
  // A shut-down socket returns 0 without a sender; an empty datagram has one.
  if (n == 0 && length == 0) return ReceiveResult::failed;
  if (static_cast<size_t>(n) > capacity) return ReceiveResult::too_big;
  size = static_cast<size_t>(n);
  from.ipv4 = ntohl(a.sin_addr.s_addr);
  from.port = ntohs(a.sin_port);
  return ReceiveResult::datagram;
}
