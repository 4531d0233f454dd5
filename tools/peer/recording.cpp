#include "tools/peer/recording.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const peer_names[] = {"axis", "feeder", "remote"};
const char* const peer_expected = "axis<, feeder<, feeder>, remote< or remote>";

// What a peer says to the hub, in the words of the peer tool's own "sent" lines.
std::string describe_message(const uint8_t* b, size_t size) {
  if (size == 2 && b[0] == short_message) {
    if (b[1] == kind_feeder_ready) return "ready";
    if (b[1] == kind_remote_hello) return "hello";
    if (b[1] == kind_keep_alive) return "keep-alive";
  }
  if (size >= 1 && b[0] == remote_input_kind) return "input";
  return "unknown " + std::to_string(size) + " bytes";
}

// 'text' for a message: at most 20 characters, bytes that do not print as \xNN. Built by
// appending, as GCC 12 warns falsely about "literal" + std::string.
std::string quoted(std::string_view text) {
  std::string q(1, '\'');
  for (size_t i = 0; i < text.size() && i < 20; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      q += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      q += escaped;
    }
  }
  q += text.size() > 20 ? "...'" : "'";
  return q;
}

bool is_space(char c) {
  return c == ' ' || c == '\t';
}

std::string_view next_word(std::string_view& rest) {
  size_t start = 0;
  while (start < rest.size() && is_space(rest[start]))
    ++start;
  size_t end = start;
  while (end < rest.size() && !is_space(rest[end]))
    ++end;
  const std::string_view word = rest.substr(start, end - start);
  rest.remove_prefix(end);
  return word;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "12.345", "12.3" or "12": up to nine digits of seconds, up to three decimals.
bool parse_time(std::string_view word, uint64_t& time_ms) {
  const size_t dot = word.find('.');
  const std::string_view whole = word.substr(0, dot);
  const std::string_view fraction =
      dot == std::string_view::npos ? std::string_view() : word.substr(dot + 1);
  if (whole.empty() || whole.size() > 9 || (dot != std::string_view::npos && fraction.empty()) ||
      fraction.size() > 3)
    return false;
  uint64_t ms = 0;
  for (char c : whole) {
    if (c < '0' || c > '9') return false;
    ms = ms * 10 + static_cast<uint64_t>(c - '0');
  }
  ms *= 1000;
  uint64_t scale = 100;
  for (char c : fraction) {
    if (c < '0' || c > '9') return false;
    ms += static_cast<uint64_t>(c - '0') * scale;
    scale /= 10;
  }
  time_ms = ms;
  return true;
}

// Reads one line; returns "" when it is good (or blank), else what is wrong with it.
std::string parse_line(std::string_view line, bool& found, RecordedDatagram& d) {
  found = false;
  line = line.substr(0, line.find('#'));
  std::string_view rest = line;
  const std::string_view time = next_word(rest);
  if (time.empty()) return "";
  if (!parse_time(time, d.time_ms))
    return quoted(time) + " is not a time (seconds, at most three decimals: 12.345)";
  const std::string_view peer = next_word(rest);
  if (peer.empty())
    return std::string("the peer is missing after the time (") + peer_expected + ")";
  bool known = false;
  for (size_t i = 0; i < 3 && !known; ++i) {
    const std::string_view name = peer_names[i];
    if (peer.size() == name.size() + 1 && peer.substr(0, name.size()) == name &&
        (peer.back() == '<' || (peer.back() == '>' && i != 0))) {
      d.peer = static_cast<PeerRole>(i);
      d.from_hub = peer.back() == '<';
      known = true;
    }
  }
  if (!known) return "unknown peer " + quoted(peer) + " (" + peer_expected + ")";
  d.bytes.clear();
  for (std::string_view word = next_word(rest); !word.empty(); word = next_word(rest)) {
    if (word.size() != 2 || hex_digit(word[0]) < 0 || hex_digit(word[1]) < 0)
      return quoted(word) + " is not a byte (two hexadecimal digits, like 0f)";
    if (d.bytes.size() == max_recorded_bytes)
      return std::string("more than ") + std::to_string(max_recorded_bytes) + " bytes";
    d.bytes.push_back(static_cast<uint8_t>(hex_digit(word[0]) * 16 + hex_digit(word[1])));
  }
  found = true;
  return "";
}

std::string seconds_text(uint64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu.%03llu", static_cast<unsigned long long>(ms / 1000),
                static_cast<unsigned long long>(ms % 1000));
  return text;
}

} // namespace

std::string recording_line(const RecordedDatagram& d) {
  std::string line = seconds_text(d.time_ms) + " ";
  line += peer_names[static_cast<int>(d.peer)];
  line += d.from_hub ? "<" : ">";
  if (!d.bytes.empty()) line.append(" ").append(hex_bytes(d.bytes.data(), d.bytes.size()));
  line += "  # ";
  line += d.from_hub ? describe_datagram(d.peer, d.bytes.data(), d.bytes.size())
                     : describe_message(d.bytes.data(), d.bytes.size());
  return line;
}

bool parse_recording(std::string_view text, std::vector<RecordedDatagram>& datagrams,
                     RecordingError& error) {
  datagrams.clear();
  size_t number = 0;
  while (!text.empty()) {
    number += 1;
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    RecordedDatagram d;
    bool found = false;
    std::string message = parse_line(line, found, d);
    if (message.empty() && found && !datagrams.empty() && d.time_ms < datagrams.back().time_ms)
      message = "the time goes back (" + seconds_text(d.time_ms) + " after " +
                seconds_text(datagrams.back().time_ms) + ")";
    if (!message.empty()) {
      error = {number, message};
      return false;
    }
    if (found) datagrams.push_back(std::move(d));
  }
  return true;
}

bool waits_for_ready(const RecordedDatagram& d) {
  return d.from_hub && d.peer == PeerRole::feeder &&
         !(d.bytes.size() == sizeof start_hello &&
           std::memcmp(d.bytes.data(), start_hello, sizeof start_hello) == 0);
}

bool carries_message(const uint8_t* bytes, size_t size, uint8_t kind) {
  for (size_t p = 0; p < size;) {
    if (bytes[p] == remote_input_kind) return false;
    if (bytes[p] != short_message) {
      p += 1;
      continue;
    }
    if (p + 1 < size && bytes[p + 1] == kind) return true;
    p += 3;
  }
  return false;
}
