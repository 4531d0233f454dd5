#include "tools/peer/decode.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <size_t n> bool equals(const uint8_t* bytes, size_t size, const uint8_t (&expected)[n]) {
  return size == n && std::memcmp(bytes, expected, n) == 0;
}

std::string formatted(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::string describe_drive(const uint8_t* b) {
  switch (b[0]) {
  case drive_kind_pedal:
    // "Pedal 1" and "Pedal 2" share this layout; only the hub's dialog knows which it is.
    return formatted("Pedal steer %u throttle %u brake %u buttons %u relay %u %u", b[1], b[2], b[3],
                     b[4], b[5], b[6]);
  case drive_kind_four_way:
    return formatted("4-way-mov x %u y %u relay %u %u buttons %u", b[2], b[3], b[4], b[5], b[6]);
  default: break;
  }
  // Type 22 is both "Pass through" and "Skate". Skate's bytes 5 to 7 are always 00, so any
  // other value there settles it; otherwise both readings are shown. Relays print as 1 2 3 4.
  if (b[5] != 0 || b[6] != 0 || b[7] != 0)
    return formatted("Pass through relay %u %u %u %u buttons %u throttle %u brake %u", b[3], b[4],
                     b[1], b[2], b[5], b[6], b[7]);
  return formatted("Skate or Pass through: steer %u speed %u turn %u lift %u | relay %u %u %u %u "
                   "buttons 0 throttle 0 brake 0",
                   b[1], b[2], b[3], b[4], b[3], b[4], b[1], b[2]);
}

std::string describe_foot(const uint8_t* b) {
  return formatted("foot x %u y %u heading-rf %u tilt-rf %u heading-lf %u tilt-lf %u touch %u",
                   b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}

bool expected_at(PeerRole role, DatagramKind kind) {
  switch (role) {
  case PeerRole::axis: return kind == DatagramKind::start_hello || kind == DatagramKind::axis;
  case PeerRole::feeder:
    return kind == DatagramKind::start_hello || kind == DatagramKind::handshake ||
           kind == DatagramKind::drive || kind == DatagramKind::shutdown;
  case PeerRole::remote: return kind == DatagramKind::status || kind == DatagramKind::foot;
  }
  return false;
}

} // namespace

DatagramKind datagram_kind(const uint8_t* b, size_t size) {
  if (equals(b, size, start_hello)) return DatagramKind::start_hello;
  if (size == 5 && b[0] == axis_x_marker && b[2] == axis_y_marker && b[4] == 0x00)
    return DatagramKind::axis;
  if (equals(b, size, feeder_handshake)) return DatagramKind::handshake;
  if (equals(b, size, shutdown_datagram)) return DatagramKind::shutdown;
  if (equals(b, size, status_datagram)) return DatagramKind::status;
  if (size == 8 && b[0] == foot_kind) return DatagramKind::foot;
  if ((size == 7 && b[0] == drive_kind_pedal) ||
      (size == 7 && b[0] == drive_kind_four_way && b[1] == 0x01) ||
      (size == 8 && b[0] == drive_kind_wide))
    return DatagramKind::drive;
  return DatagramKind::unknown;
}

std::string describe_datagram(PeerRole role, const uint8_t* bytes, size_t size) {
  const DatagramKind kind = datagram_kind(bytes, size);
  std::string text;
  switch (kind) {
  case DatagramKind::start_hello: text = "StartHello"; break;
  case DatagramKind::axis: text = formatted("x %u y %u", bytes[1], bytes[3]); break;
  case DatagramKind::handshake: text = "handshake"; break;
  case DatagramKind::drive: text = describe_drive(bytes); break;
  case DatagramKind::shutdown: text = "shutdown"; break;
  case DatagramKind::status: text = "status"; break;
  case DatagramKind::foot: text = describe_foot(bytes); break;
  case DatagramKind::unknown:
    return formatted("unknown %zu bytes", size) + (size ? ": " + hex_bytes(bytes, size) : "");
  }
  if (expected_at(role, kind)) return text;
  // The hub sends status and foot datagrams to 127.0.0.1:45042 until a remote app says hello.
  if (role == PeerRole::feeder && (kind == DatagramKind::status || kind == DatagramKind::foot))
    return text + " (for a remote app that never said hello)";
  return text + " (unexpected at this peer)";
}

std::string hex_bytes(const uint8_t* bytes, size_t size) {
  std::string text;
  for (size_t i = 0; i < size; ++i)
    text += formatted(i ? " %02x" : "%02x", bytes[i]);
  return text;
}

size_t build_remote_input(const uint8_t* values, size_t count, uint8_t out[9]) {
  if (count > 8) count = 8;
  out[0] = remote_input_kind;
  for (size_t i = 0; i < count; ++i)
    out[i + 1] = values[i];
  return count + 1;
}

namespace {

// A whole number without sign in 0..limit, decimal or 0x-hexadecimal.
bool parse_unsigned(std::string_view text, uint64_t limit, uint64_t& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 16) return false;
  uint64_t n = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0) return false;
    n = n * base + digit;
    if (n > limit) return false;
  }
  value = n;
  return true;
}

} // namespace

bool parse_byte(std::string_view text, uint8_t& value) {
  uint64_t n = 0;
  if (!parse_unsigned(text, 255, n)) return false;
  value = static_cast<uint8_t>(n);
  return true;
}

bool parse_port(std::string_view text, uint16_t& port) {
  uint64_t n = 0;
  if (!parse_unsigned(text, 65535, n) || n == 0) return false;
  port = static_cast<uint16_t>(n);
  return true;
}

bool parse_count(std::string_view text, uint64_t& count) {
  uint64_t n = 0;
  if (!parse_unsigned(text, UINT64_C(1) << 40, n) || n == 0) return false;
  count = n;
  return true;
}

bool parse_seconds(std::string_view text, double& seconds) {
  if (text.empty() || text.size() > 20) return false;
  for (char c : text)
    if ((c < '0' || c > '9') && c != '.') return false;
  const std::string copy(text);
  char* end = nullptr;
  const double s = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !(s > 0.0) || s > 1e9) return false;
  seconds = s;
  return true;
}

bool parse_endpoint(std::string_view text, Endpoint& endpoint) {
  Endpoint e{0, listen_port};
  const size_t colon = text.find(':');
  if (colon != std::string_view::npos) {
    if (!parse_port(text.substr(colon + 1), e.port)) return false;
    text = text.substr(0, colon);
  }
  for (int part = 0; part < 4; ++part) {
    const size_t dot = text.find('.');
    if ((part < 3) != (dot != std::string_view::npos)) return false;
    const std::string_view piece = text.substr(0, dot);
    uint64_t n = 0;
    if (piece.empty() || piece.size() > 3 || piece.find_first_not_of("0123456789") != piece.npos ||
        !parse_unsigned(piece, 255, n))
      return false;
    e.ipv4 = (e.ipv4 << 8) | static_cast<uint32_t>(n);
    text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  }
  endpoint = e;
  return true;
}
