// The listener's datagram reader on any bytes from any sender, connected or not.
// Input: flags (bit 0: remote app connected), sender IPv4 (4 bytes), sender port (2), datagram.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "net/listener.h"
#include "net/wire.h"
#include "state/bytes.h"
#include "state/hub_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 7 || size > 7 + listener_buffer_size) return -1;
  const Endpoint sender{uint32_t(data[1]) << 24 | data[2] << 16 | data[3] << 8 | data[4],
                        uint16_t(data[5] << 8 | data[6])};
  const uint8_t* bytes = data + 7;
  const size_t n = size - 7;
  reset_hub_state();
  preset_remote_app();
  const int32_t connected = data[0] & 1;
  hub.remote_connected = connected;
  hub.now_ms = 123456789;
  // Everything before now_ms belongs to the main thread: the reader must leave it alone.
  static unsigned char before[offsetof(HubState, now_ms)];
  std::memcpy(before, static_cast<const void*>(&hub), sizeof before);

  read_datagram(bytes, n, sender);

  // An address may only come from a hello read while no remote app was connected.
  const uint8_t hello_bytes[] = {short_message, kind_remote_hello};
  const bool hello = connected == 0 && sender.port != 65535 &&
                     std::search(bytes, bytes + n, hello_bytes, hello_bytes + 2) != bytes + n;
  const bool moved =
      hub.remote_app_ipv4 != loopback_ipv4 || hub.remote_app_port != feeder_peer_port;
  const float steer = hub.remote_steer;
  if (std::memcmp(before, static_cast<const void*>(&hub), sizeof before) != 0 ||
      hub.now_ms != 123456789 || (hub.last_remote_ms != 0 && hub.last_remote_ms != 123456789) ||
      hub.remote_connected < connected || hub.remote_connected > 1 || hub.feeder_ready > 1 ||
      (moved && (!hello || hub.remote_connected != 1 || hub.remote_app_ipv4 != sender.ipv4 ||
                 hub.remote_app_port != uint16_t(sender.port + 1))) ||
      !(steer >= -1.0f && steer <= 0.9921875f) ||
      unit_byte(hub.remote_throttle) != hub.remote_throttle_byte ||
      unit_byte(hub.remote_brake) != hub.remote_brake_byte)
    std::abort();
  return 0;
}
