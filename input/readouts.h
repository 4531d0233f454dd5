#pragma once

#include <cstddef>
#include <cstdint>

#include "res/resource.h"
#include "state/hub_state.h"
#include "state/seam.h"
#include "state/tick_values.h"

// The dialog's readouts. Each formats into one fixed text buffer of the tick and sets it as
// the control's text when it differs from what the control shows: every set repaints the
// control, and an idle hub would otherwise repaint seventeen of them thirty times a second.

inline constexpr size_t button_piece_size = 128;

// The readouts, each the index of its slot in HubState::shown_readouts.
enum Readout : int {
  readout_joy_x,
  readout_joy_y,
  readout_heading_rf,
  readout_tilt_rf,
  readout_heading_lf,
  readout_tilt_lf,
  readout_slider0,
  readout_slider1,
  readout_pov0,
  readout_pov1,
  readout_pov2,
  readout_pov3,
  readout_touch,
  readout_remote_steer,
  readout_remote_buttons,
  readout_throttle,
  readout_brake,
};

// The control of each readout.
inline constexpr int readout_ids[readout_count] = {
    IDC_JOY_X,   IDC_JOY_Y,        IDC_HEADING_RF,     IDC_TILT_RF,  IDC_HEADING_LF, IDC_TILT_LF,
    IDC_SLIDER0, IDC_SLIDER1,      IDC_POV0,           IDC_POV1,     IDC_POV2,       IDC_POV3,
    IDC_TOUCH,   IDC_REMOTE_STEER, IDC_REMOTE_BUTTONS, IDC_THROTTLE, IDC_BRAKE};
static_assert(readout_brake + 1 == readout_count);

struct ReadoutText {
  wchar_t text[readout_text_size];
};

void show_long(Seam& seam, ReadoutText& buffer, Readout readout, int32_t value);
void show_ulong(Seam& seam, ReadoutText& buffer, Readout readout, uint32_t value);
void show_float(Seam& seam, ReadoutText& buffer, Readout readout, float value);

// The pressed buttons as "%02d " pieces in ascending order; returns the touch mask of
// buttons 0 to 3.
TouchMask show_buttons(Seam& seam, ReadoutText& buffer, Readout readout,
                       const uint8_t (&buttons)[128]);

// The six remote buttons A B X Y T1 T2 as "%d " digits.
void show_remote_buttons(Seam& seam, ReadoutText& buffer, Readout readout, uint8_t bits);
