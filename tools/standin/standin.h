#pragma once

// Test and demo equipment, never shipped with the hub: a DirectInput 8 stand-in, built as
// dinput8.dll and loaded by pedalon-hub.exe under Wine (WINEDLLOVERRIDES="dinput8=n,b"), that
// presents the game controllers a test asks for and returns the states the test sets over a
// local control channel or that a motion script plays.

// The COM objects are plain structs whose vtables hold free functions.
#define CINTERFACE
// Winsock 2 before windows.h, which would bring the old Winsock otherwise.
#include <winsock2.h>

#include <windows.h>

#include <dinput.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/standin/standin_text.h"

enum class DeviceKind {
  foot,          // the foot controller: product {0000FFFF-...-504944564944}, usage 4
  gamepad,       // the same product with usage 5, which the hub also accepts
  wrong_usage,   // the same product with usage 8 (multi-axis controller)
  wrong_product, // vendor 0xFFFF, product 0x0001, usage 4
  broken,        // the foot controller's identity, but CreateDevice fails
};

// One game controller that the stand-in presents, and what the client did with it. Several
// device objects created for one controller share this record.
struct FakeDevice {
  DeviceKind kind = DeviceKind::foot;
  Position position; // as last set over the control channel
  int created = 0;
  bool format_set = false;
  bool acquired = false;
  DWORD cooperation = 0;
  LONG range_min[axis_count] = {0, 0, 0, 0, 0, 0}; // DirectInput's default range
  LONG range_max[axis_count] = {65535, 65535, 65535, 65535, 65535, 65535};
};

// Failures a test has asked for over the control channel.
struct Failures {
  int64_t polls = 0;         // polls still to fail with DIERR_NOTACQUIRED
  int64_t lost_per_poll = 2; // after each, Acquire answers DIERR_INPUTLOST this many times
  int64_t acquires_lost = 0; // still to answer so
  int64_t reads = 0;         // GetDeviceState calls still to fail
  HRESULT read_result = DIERR_INPUTLOST;
};

// Set-up steps that PEDALON_STANDIN_FAIL makes fail, to reach the hub's set-up error paths.
struct SetupFailures {
  bool create = false;      // DirectInput8Create
  bool enumerate = false;   // EnumDevices
  bool format = false;      // SetDataFormat
  bool cooperation = false; // SetCooperativeLevel
  bool objects = false;     // EnumObjects
  bool range = false;       // SetProperty(DIPROP_RANGE) on the Z axis
};

// The one process-wide record; every field is read and written under `lock`.
struct Standin {
  SRWLOCK lock = SRWLOCK_INIT;
  std::vector<FakeDevice> devices; // in enumeration order
  Failures failures;
  SetupFailures setup;
  MotionScript script;
  bool script_playing = false;
  uint64_t script_start_ms = 0;
  uint64_t script_read_ms = 0; // play time of the last read, for the script's presses
  HWND window = nullptr;       // the client's window, from SetCooperativeLevel
  std::string script_name = "off";
  uint64_t polls = 0, reads = 0, acquires = 0, inputs_lost = 0;
  DWORD version = 0, enum_class = 0, enum_flags = 0;
};

Standin& standin();

struct StandinLock {
  StandinLock() { AcquireSRWLockExclusive(&standin().lock); }
  ~StandinLock() { ReleaseSRWLockExclusive(&standin().lock); }
  StandinLock(const StandinLock&) = delete;
  StandinLock& operator=(const StandinLock&) = delete;
};

const char* device_kind_name(DeviceKind kind);

// Writes a line to PEDALON_STANDIN_LOG (a file, or "stderr"); nothing when it is not set.
void standin_log(const char* format, ...);

// Starts playing "demo" or the script file at `name`, or stops with "off". Call under the
// lock. Returns an empty text or what is wrong.
std::string start_script(std::string_view name);

// Clicks the dialog controls that the playing script's press= lines have reached since the last
// read. Call under the lock.
void press_script_controls();

// The position the device reports now: the playing script's, or the one last set.
Position current_position(const FakeDevice& device);

// The control channel: a thread serving UDP commands on 127.0.0.1:port.
void start_control_channel(uint16_t port);
std::string run_command(std::string_view text);
// text ID, press ID, command ID and box [ok]: the client's windows. Call without the lock.
std::string run_window_command(const std::vector<std::string_view>& words);
