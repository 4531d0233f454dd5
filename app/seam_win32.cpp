#include "app/seam_win32.h"

#include <cstddef>
#include <cstdlib>

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
  return udp_send(send_socket, to, bytes, size);
}

uint64_t ProgramSeam::tick_count_ms() {
  return GetTickCount64();
}

void ProgramSeam::exit_process(int status) {
  std::exit(status);
}
