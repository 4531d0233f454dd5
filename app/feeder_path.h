#pragma once

#include <cstddef>

// Where the feeder program lives: feeder\PadRelay.exe in the folder of the hub's executable.

// Room for a path the shell's classic calls accept, terminating zero included (MAX_PATH).
inline constexpr size_t feeder_path_capacity = 260;

enum class FeederPath {
  ready,     // the path is in the buffer
  no_folder, // the executable's path is empty or has no backslash
  too_long,  // the feeder's path would not fit; nothing was written
};

// Builds the feeder's path from the executable's full path: everything up to and including
// its last backslash, then feeder\PadRelay.exe.
FeederPath build_feeder_path(const wchar_t* exe_path, wchar_t (&path)[feeder_path_capacity]);

// What the user is told when the feeder cannot be started for this reason; nullptr for ready.
const wchar_t* feeder_path_problem(FeederPath result);
