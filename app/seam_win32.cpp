#include "app/seam_win32.h"

#include <cstddef>
#include <cstdlib>

#include "app/end_reason_win32.h"
#include "input/device_win32.h"
#include "net/sockets.h"

// The tick reads the device straight into the portable record.
static_assert(sizeof(DIJOYSTATE2) == sizeof(JoyState));
static_assert(offsetof(DIJOYSTATE2, rgdwPOV) == offsetof(JoyState, rgdwPOV));
static_assert(offsetof(DIJOYSTATE2, rgbButtons) == offsetof(JoyState, rgbButtons));
static_assert(offsetof(DIJOYSTATE2, lVX) == offsetof(JoyState, lVX));

ProgramSeam program_seam;

bool ProgramSeam::has_device() {
  return foot_device != nullptr;
}

int32_t ProgramSeam::poll() {
  return foot_device->Poll();
}

int32_t ProgramSeam::acquire() {
  return foot_device->Acquire();
}

int32_t ProgramSeam::read_state(JoyState& state) {
  return foot_device->GetDeviceState(sizeof(DIJOYSTATE2), &state);
}

void ProgramSeam::set_text(int control_id, const wchar_t* text) {
  SetWindowTextW(GetDlgItem(dialog, control_id), text);
}

bool ProgramSeam::send(const Endpoint& to, const uint8_t* bytes, size_t size) {
  if (udp_send(send_socket, to, bytes, size)) return true;
  last_send_error = udp_last_error();
  return false;
}

uint64_t ProgramSeam::tick_count_ms() {
  return GetTickCount64();
}

// Only a send that failed where the hub cannot go on ends the process here.
void ProgramSeam::exit_process(int status) {
  say_why_it_ends(status, L"a datagram to the feeder could not be sent", last_send_error);
  std::exit(status);
}
