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

// The readout controls, in the order of HubState::shown_readouts.
inline constexpr int readout_ids[readout_count] = {
    IDC_JOY_X,   IDC_JOY_Y,        IDC_HEADING_RF,     IDC_TILT_RF,  IDC_HEADING_LF, IDC_TILT_LF,
    IDC_SLIDER0, IDC_SLIDER1,      IDC_POV0,           IDC_POV1,     IDC_POV2,       IDC_POV3,
    IDC_TOUCH,   IDC_REMOTE_STEER, IDC_REMOTE_BUTTONS, IDC_THROTTLE, IDC_BRAKE};

struct ReadoutText {
  wchar_t text[readout_text_size];
};

void show_long(Seam& seam, ReadoutText& buffer, int control_id, int32_t value);
void show_ulong(Seam& seam, ReadoutText& buffer, int control_id, uint32_t value);
void show_float(Seam& seam, ReadoutText& buffer, int control_id, float value);

// The pressed buttons as "%02d " pieces in ascending order; returns the touch mask of
// buttons 0 to 3.
TouchMask show_buttons(Seam& seam, ReadoutText& buffer, int control_id,
                       const uint8_t (&buttons)[128]);

// The six remote buttons A B X Y T1 T2 as "%d " digits.
void show_remote_buttons(Seam& seam, ReadoutText& buffer, int control_id, uint8_t bits);
