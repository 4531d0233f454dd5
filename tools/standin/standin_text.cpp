// Test and demo equipment, never shipped with the hub.

#include "tools/standin/standin_text.h"

#include <algorithm>
#include <utility>

#include <cstdio>

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct AxisKey {
  const char* name;
  int index; // 0..5 an axis, 6..7 a slider
};

constexpr AxisKey axis_keys[] = {{"x", 0},  {"y", 1},  {"z", 2},  {"rx", 3},
                                 {"ry", 4}, {"rz", 5}, {"s0", 6}, {"s1", 7}};

int32_t& axis_value(Position& position, int index) {
  return index < axis_count ? position.axis[index] : position.slider[index - axis_count];
}

int32_t axis_value(const Position& position, int index) {
  return index < axis_count ? position.axis[index] : position.slider[index - axis_count];
}

std::string set_buttons(Position& position, std::string_view list) {
  Position changed = position;
  for (bool& b : changed.button)
    b = false;
  if (!list.empty() && list != "none") {
    while (!list.empty()) {
      const size_t comma = list.find(',');
      const std::string_view item = list.substr(0, comma);
      int64_t n = 0;
      if (!parse_integer(item, n) || n < 0 || n >= button_count)
        return "bad button '" + std::string(item) + "' (0 to 127)";
      changed.button[n] = true;
      list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
  }
  position = changed;
  return {};
}

} // namespace

std::vector<std::string_view> split_words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && is_space(text[i]))
      ++i;
    const size_t start = i;
    while (i < text.size() && !is_space(text[i]))
      ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

bool parse_integer(std::string_view text, int64_t& value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 12) return false;
  int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  value = negative ? -n : n;
  return true;
}

std::string apply_setting(Position& position, std::string_view setting) {
  const size_t equals = setting.find('=');
  if (equals == std::string_view::npos)
    return "expected key=value, got '" + std::string(setting) + "'";
  const std::string_view key = setting.substr(0, equals);
  const std::string_view value = setting.substr(equals + 1);
  if (key == "buttons") return set_buttons(position, value);
  int64_t n = 0;
  for (const AxisKey& a : axis_keys) {
    if (key != a.name) continue;
    if (!parse_integer(value, n) || n < -1000 || n > 1000)
      return "bad value for " + std::string(key) + " (-1000 to 1000)";
    axis_value(position, a.index) = static_cast<int32_t>(n);
    return {};
  }
  if (key.size() == 4 && key.substr(0, 3) == "pov" && key[3] >= '0' && key[3] <= '3') {
    if (!parse_integer(value, n) || n < -1 || n > 35999)
      return "bad value for " + std::string(key) + " (-1 for centred, or 0 to 35999)";
    position.pov[key[3] - '0'] = n < 0 ? pov_centred : static_cast<uint32_t>(n);
    return {};
  }
  return "unknown key '" + std::string(key) + "'";
}

std::string describe_position(const Position& position) {
  std::string text;
  char piece[32];
  for (const AxisKey& a : axis_keys) {
    std::snprintf(piece, sizeof piece, "%s=%d ", a.name,
                  static_cast<int>(axis_value(position, a.index)));
    text += piece;
  }
  for (int i = 0; i < 4; ++i) {
    const long long v =
        position.pov[i] == pov_centred ? -1LL : static_cast<long long>(position.pov[i]);
    std::snprintf(piece, sizeof piece, "pov%d=%lld ", i, v);
    text += piece;
  }
  text += "buttons=";
  bool any = false;
  for (int i = 0; i < button_count; ++i) {
    if (!position.button[i]) continue;
    std::snprintf(piece, sizeof piece, any ? ",%d" : "%d", i);
    text += piece;
    any = true;
  }
  if (!any) text += "none";
  return text;
}

std::string parse_script(std::string_view text, MotionScript& script) {
  MotionScript read;
  Position current;
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    line = line.substr(0, line.find('#'));
    const std::vector<std::string_view> words = split_words(line);
    if (words.empty()) continue;
    const std::string where = "line " + std::to_string(line_number) + ": ";
    if (read.loop_ms != 0) return where + "nothing may follow 'loop'";
    int64_t at = 0;
    if (!parse_integer(words[0], at) || at < 0) return where + "expected a time in ms";
    const uint64_t at_ms = static_cast<uint64_t>(at);
    if (!read.lines.empty() && at_ms < read.lines.back().at_ms)
      return where + "time goes backwards";
    size_t first = 1;
    ScriptLine entry;
    entry.at_ms = at_ms;
    if (words.size() > 1 && words[1] == "loop") {
      if (words.size() > 2 || at_ms == 0) return where + "expected 'TIME loop' with TIME > 0";
      read.loop_ms = at_ms;
      continue;
    }
    if (words.size() > 1 && words[1] == "ramp") {
      entry.ramp = true;
      first = 2;
    }
    for (size_t i = first; i < words.size(); ++i) {
      if (words[i].substr(0, 6) == "press=") {
        int64_t id = 0;
        if (!parse_integer(words[i].substr(6), id) || id <= 0 || id > 0xFFFF)
          return where + "press takes a control id from 1 to 65535";
        entry.press = static_cast<int>(id);
        continue;
      }
      const std::string error = apply_setting(current, words[i]);
      if (!error.empty()) return where + error;
    }
    entry.position = current;
    read.lines.push_back(entry);
  }
  if (read.lines.empty()) return "the script has no positions";
  script = read;
  return {};
}

Position script_position(const MotionScript& script, uint64_t elapsed_ms) {
  const uint64_t t = script.loop_ms ? elapsed_ms % script.loop_ms : elapsed_ms;
  // The position before the first line is the controller at rest, at time 0.
  static const Position rest;
  const Position* from = &rest;
  uint64_t from_ms = 0;
  size_t next = 0;
  while (next < script.lines.size() && script.lines[next].at_ms <= t) {
    from = &script.lines[next].position;
    from_ms = script.lines[next].at_ms;
    ++next;
  }
  if (next == script.lines.size() || !script.lines[next].ramp) return *from;
  const ScriptLine& to = script.lines[next];
  Position p = *from;
  const int64_t span = static_cast<int64_t>(to.at_ms - from_ms);
  const int64_t done = static_cast<int64_t>(t - from_ms);
  for (const AxisKey& a : axis_keys) {
    const int64_t v0 = axis_value(p, a.index);
    const int64_t v1 = axis_value(to.position, a.index);
    axis_value(p, a.index) = static_cast<int32_t>(v0 + (v1 - v0) * done / span);
  }
  return p;
}

std::vector<int> script_presses(const MotionScript& script, uint64_t from_ms, uint64_t to_ms) {
  std::vector<std::pair<uint64_t, int>> due;
  for (const ScriptLine& line : script.lines) {
    if (line.press == 0) continue;
    if (script.loop_ms == 0) {
      if (line.at_ms > from_ms && line.at_ms <= to_ms) due.emplace_back(line.at_ms, line.press);
      continue;
    }
    // Every later pass of the loop clicks again.
    uint64_t at = line.at_ms;
    if (at <= from_ms) at += ((from_ms - at) / script.loop_ms + 1) * script.loop_ms;
    for (; at <= to_ms; at += script.loop_ms)
      due.emplace_back(at, line.press);
  }
  std::sort(due.begin(), due.end());
  std::vector<int> presses;
  for (const auto& d : due)
    presses.push_back(d.second);
  return presses;
}

// Rest tilt rx=300 keeps the pedal released (a right-foot tilt of 30 or more gives no
// throttle). Pedal 2 and Pass through take their values from a remote app, not the feet.
const char* const demo_script_text = R"(# The built-in demo: one loop through every drive mode,
# pressing "Swith mode" (control 1029) between them.
# TIME_MS [ramp] key=value ...   keys x y z rx ry rz (-1000..1000), buttons=LIST|none, press=ID

# Pedal 1 (the hub starts in it): tilt the right foot forward for throttle.
0     x=0 y=0 z=0 rx=300 ry=0 rz=0 buttons=none
1500  ramp rx=0
2500  rx=0
4000  ramp rx=300
# Three quick heading steps up switch to reverse; the same tilt now brakes. Three steps down
# switch back.
4500  z=40
4600  z=80
4700  z=120
5500  rx=300
6500  ramp rx=0
7500  ramp rx=300
8000  z=80
8100  z=40
8200  z=0

# 4-way-mov: the joystick right, left, forward, back.
8500  press=1029
9500  ramp x=800
10500 ramp x=-800
11500 ramp x=0 y=-800
12500 ramp y=800
13500 ramp y=0

# Pass through relays a remote app's bytes; the feet rest.
14000 press=1029

# Skate: right foot on sensors 0 and 1; the left foot pushes on sensor 3 alone.
16000 press=1029
16500 rx=0 buttons=0,1
17000 buttons=0,1,3
17300 buttons=0,1
17600 buttons=0,1,3
17900 buttons=0,1
18200 buttons=0,1,3
18500 buttons=0,1
18800 buttons=0,1,3
19100 buttons=0,1
19400 buttons=0,1,3
19700 buttons=0,1
# Coast, then stop with sensor 2.
21200 buttons=0,1,2
21600 buttons=0,1
# Steer: left foot on sensors 2 and 3, right foot on sensor 1; tilt the left foot.
21800 buttons=1,2,3
22000 rz=0
23000 ramp rz=150
24000 ramp rz=-150
24500 ramp rz=0
24700 buttons=0,1
# Turn pulse: set the reference heading, turn the right foot, lift both feet.
25000 buttons=0,1,2,3
25300 buttons=0,1,3
25600 z=150
25900 buttons=none
26400 z=0 buttons=0,1
# Lift pulse: lift both feet without turning.
26700 buttons=none
27200 buttons=0,1
# Back up: tilt the right foot with the left foot on sensor 2.
27500 buttons=0,1,2 rx=120
28500 ramp rx=200
29000 buttons=0,1 rx=0
29500 buttons=none rx=300

# Pedal 2 takes throttle and brake from a remote app.
30000 press=1029
# Back to Pedal 1 for the next pass.
32000 press=1029
32500 loop
)";
