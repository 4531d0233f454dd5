// The peer tool's decoder on any datagram at any peer. Input: role byte, then the datagram.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/peer/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return -1;
  const PeerRole role = static_cast<PeerRole>(data[0] % 3);
  const uint8_t* bytes = data + 1;
  const size_t n = size - 1;
  const std::string text = describe_datagram(role, bytes, n);
  if (text.empty()) std::abort();
  if (datagram_kind(bytes, n) != DatagramKind::unknown) return 0;
  // An unknown datagram is shown byte by byte; reading the bytes back must give the datagram.
  const std::string head = "unknown " + std::to_string(n) + " bytes";
  if (text.rfind(head, 0) != 0) std::abort();
  const std::string hex = text.substr(head.size());
  if (hex.size() != (n ? 3 * n + 1 : 0)) std::abort();
  for (size_t i = 0; i < n; ++i) {
    uint8_t b = 0;
    if (!parse_byte("0x" + hex.substr(3 * i + 2, 2), b) || b != bytes[i]) std::abort();
  }
  return 0;
}
