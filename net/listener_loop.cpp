#include "net/listener.h"

int run_listener(UdpSocket socket, uint16_t port) {
  if (!udp_bind(socket, port)) return 1;
  // Reused for every datagram; read_datagram never reads past the received length.
  uint8_t buffer[listener_buffer_size];
  for (;;) {
    size_t size = 0;
    Endpoint from;
    switch (udp_receive(socket, buffer, sizeof buffer, size, from)) {
    case ReceiveResult::datagram: read_datagram(buffer, size, from); break;
    // One oversized or unreachable-peer report must not silence the hub for everyone else.
    case ReceiveResult::too_big:
    case ReceiveResult::skipped: break;
    case ReceiveResult::failed: return 0;
    }
  }
}
