#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <dinput.h>
#include <windows.h>

#include "input/seam.h"

// Opened by device_setup when the dialog is created and released by device_release when it is
// destroyed; nullptr before and after.
extern IDirectInput8W* direct_input;
extern IDirectInputDevice8W* foot_device;

// Creates DirectInput and opens the first attached foot controller for `dialog`: joystick data
// format, exclusive background access, axes ranged -1000..1000, the dialog's controls of every
// reported object enabled. Returns the negative result of the step that failed, else 0. With
// no foot controller it tells the feeder that the hub stops, says so and ends the dialog
// itself, and returns 0.
HRESULT device_setup(HWND dialog, Seam& seam);

// Unacquires and releases the device, then DirectInput; either may be missing.
void device_release();
