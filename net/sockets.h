#pragma once

#include "net/udp_socket.h"

// The hub's two sockets, opened at start-up and kept until the process ends: the listener
// thread alone reads listen_socket; every datagram the hub sends leaves through send_socket.
extern UdpSocket listen_socket;
extern UdpSocket send_socket;
