// The peer tool's command-line values on any text: whatever is accepted lies in its range,
// means what the text spells, and reads back as the same value once printed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/peer/decode.h"

namespace {

template <typename T>
void check_number(bool (*parse)(std::string_view, T&), std::string_view text, uint64_t least) {
  T value{}, again{};
  if (!parse(text, value)) return;
  // Read the standard library's way, so a value cut short to fit its type shows.
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits(text.substr(hex ? 2 : 0));
  if (value < least || value != std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10) ||
      !parse(std::to_string(value), again) || again != value)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check_number(parse_byte, text, 0);
  check_number(parse_port, text, 1); // zero is never a port, a count or a time
  check_number(parse_count, text, 1);
  Endpoint e, again;
  if (parse_endpoint(text, e)) {
    const auto part = [&](int shift) { return std::to_string(e.ipv4 >> shift & 255); };
    const std::string shown =
        part(24) + '.' + part(16) + '.' + part(8) + '.' + part(0) + ':' + std::to_string(e.port);
    const std::string_view address = text.substr(0, text.find(':'));
    if (std::count(address.begin(), address.end(), '.') != 3 || !parse_endpoint(shown, again) ||
        again.ipv4 != e.ipv4 || again.port != e.port)
      std::abort();
  }
  double seconds = 1;
  if (parse_seconds(text, seconds) && !(seconds > 0.0 && seconds <= 1e9)) std::abort();
  return 0;
}
