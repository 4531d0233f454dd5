#pragma once

#include <cstddef>
#include <cstdint>

#include "net/endpoint.h"
#include "net/udp_socket.h"

inline constexpr size_t listener_buffer_size = 512;

// Reads one received datagram and stores what its messages say in the record.
void read_datagram(const uint8_t* bytes, size_t size, const Endpoint& sender);

// The listener thread: binds the socket to `port` on any address and receives for ever.
// Returns the status the process must end with: 1 when the port cannot be bound, 0 when the
// socket can no longer receive.
int run_listener(UdpSocket socket, uint16_t port);

// Start-up's default for the remote app (127.0.0.1:45042), filled before the listener runs.
void preset_remote_app();
