#include "net/sockets.h"

UdpSocket listen_socket;
UdpSocket send_socket;
