#pragma once

#include <cstddef>
#include <cstdint>

// One device state record, laid out exactly as DirectInput's DIJOYSTATE2 (272 bytes), so the
// Windows program reads the device straight into it. Field names follow DirectInput's.
struct JoyState {
  int32_t lX, lY, lZ;
  int32_t lRx, lRy, lRz;
  int32_t rglSlider[2];
  uint32_t rgdwPOV[4];
  uint8_t rgbButtons[128];
  int32_t lVX, lVY, lVZ, lVRx, lVRy, lVRz;
  int32_t rglVSlider[2];
  int32_t lAX, lAY, lAZ, lARx, lARy, lARz;
  int32_t rglASlider[2];
  int32_t lFX, lFY, lFZ, lFRx, lFRy, lFRz;
  int32_t rglFSlider[2];
};

static_assert(sizeof(JoyState) == 272);
static_assert(offsetof(JoyState, rgdwPOV) == 32);
static_assert(offsetof(JoyState, rgbButtons) == 48);
static_assert(offsetof(JoyState, lVX) == 176);
