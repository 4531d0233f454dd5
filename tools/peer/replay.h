#pragma once

// pedalon-peer replay: plays the hub's side of a recording to the peers.

#include <cstdint>
#include <string>

#include "net/endpoint.h"

struct ReplaySettings {
  std::string path;
  uint16_t listen_port = listen_port; // where the feeder's ready and a remote hello arrive
  uint32_t peers_ipv4 = loopback_ipv4;
  uint16_t axis_port = axis_peer_port;
  uint16_t feeder_port = feeder_peer_port;
  uint16_t remote_port = 45060; // the remote app's own port; it receives on the next one
  double speed = 1.0;
  bool loop = false;
  double seconds = 0; // 0: no limit
};

// Returns the exit status: 0 when played, 1 when a socket fails, 2 for a bad recording.
int run_replay(const ReplaySettings& settings);
