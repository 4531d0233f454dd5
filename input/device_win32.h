#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <dinput.h>
#include <windows.h>

// Opened by device_setup when the dialog is created and released by device_release when it is
// destroyed; nullptr before and after.
extern IDirectInput8W* direct_input;
extern IDirectInputDevice8W* foot_device;

// Creates DirectInput and opens the first attached foot controller for `dialog`: joystick data
// format, exclusive background access, axes ranged -1000..1000, the dialog's controls of every
// reported object enabled. Returns the negative result of the step that failed,
// device_not_found when no attached game controller is the foot controller, else 0.
inline constexpr HRESULT device_not_found = S_FALSE;
HRESULT device_setup(HWND dialog);

// Unacquires and releases the device, then DirectInput; either may be missing.
void device_release();
