// The peer tool's command-line values on any text: whatever is accepted lies in its range and
// reads back as the same value once printed. Input: which parser (first byte), then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

#include "tools/peer/decode.h"

namespace {

std::string shown(uint64_t n) {
  return std::to_string(n);
}
std::string shown(const Endpoint& e) {
  return shown(e.ipv4 >> 24) + '.' + shown(e.ipv4 >> 16 & 255) + '.' + shown(e.ipv4 >> 8 & 255) +
         '.' + shown(e.ipv4 & 255) + ':' + shown(e.port);
}
bool same(uint64_t a, uint64_t b) {
  return a == b;
}
bool same(const Endpoint& a, const Endpoint& b) {
  return a.ipv4 == b.ipv4 && a.port == b.port;
}

// The number an accepted text spells, read the standard library's way.
uint64_t number_in(std::string_view text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  return std::strtoull(std::string(text.substr(hex ? 2 : 0)).c_str(), nullptr, hex ? 16 : 10);
}

template <typename T> void round_trip(bool (*parse)(std::string_view, T&), std::string_view text) {
  T value{}, again{};
  if (!parse(text, value)) return;
  if (!parse(shown(value), again) || !same(value, again)) std::abort();
  if constexpr (std::is_integral_v<T>)
    if (value != number_in(text)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return -1;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  uint16_t port = 1;
  uint64_t count = 1;
  double seconds = 1;
  switch (data[0] % 4) {
  case 0: round_trip(parse_byte, text); break;
  case 1: round_trip(parse_port, text); break;
  case 2: round_trip(parse_count, text); break;
  case 3: round_trip(parse_endpoint, text); break;
  }
  // Zero is never a port, a count or a time.
  if ((parse_port(text, port) && port == 0) || (parse_count(text, count) && count == 0) ||
      (parse_seconds(text, seconds) && !(seconds > 0.0 && seconds <= 1e9)))
    std::abort();
  return 0;
}
