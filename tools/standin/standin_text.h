#pragma once

// Test and demo equipment, never shipped with the hub: the text side of the stand-in foot
// controller (positions, "key=value" settings, motion scripts). No Windows header here.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int axis_count = 6; // X Y Z Rx Ry Rz
inline constexpr int button_count = 128;
inline constexpr uint32_t pov_centred = 0xFFFFFFFF;

// Where the stand-in's controls stand, in the controller's own units: every axis and slider
// from -1000 to 1000 (scaled into the range a client sets on the axis), point-of-view values
// in hundredths of a degree or centred, and the 128 buttons of the state record.
struct Position {
  int32_t axis[axis_count] = {};
  int32_t slider[2] = {};
  uint32_t pov[4] = {pov_centred, pov_centred, pov_centred, pov_centred};
  bool button[button_count] = {};
};

std::vector<std::string_view> split_words(std::string_view text);
bool parse_integer(std::string_view text, int64_t& value);

// Applies one "key=value" setting (x y z rx ry rz s0 s1 pov0..pov3 buttons); returns an empty
// text or what is wrong with it.
std::string apply_setting(Position& position, std::string_view setting);

// "x=0 y=0 z=0 rx=0 ry=0 rz=0 s0=0 s1=0 pov0=-1 ... buttons=1,3", the form `set` accepts.
std::string describe_position(const Position& position);

// A motion script: timed positions, each line changing what it names and keeping the rest.
struct ScriptLine {
  uint64_t at_ms = 0;
  bool ramp = false; // the axes and sliders move in a straight line from the line before
  int press = 0;     // a dialog control the line clicks once when it is reached ("press=ID")
  Position position;
};

struct MotionScript {
  std::vector<ScriptLine> lines;
  uint64_t loop_ms = 0; // 0: play once and hold the last position
};

// Reads a script; returns an empty text or the first error with its line number.
std::string parse_script(std::string_view text, MotionScript& script);

Position script_position(const MotionScript& script, uint64_t elapsed_ms);

// The controls the script clicks after `from_ms` and up to `to_ms` of play, in order.
std::vector<int> script_presses(const MotionScript& script, uint64_t from_ms, uint64_t to_ms);

// The built-in demo: every drive mode's use in one loop.
extern const char* const demo_script_text;
