#pragma once

#include <cstddef>
#include <cstdint>

#include "state/seam.h"
#include "state/tick_values.h"

// The dialog's readouts. Each formats into one fixed text buffer of the tick and sets it as
// the control's text, on every tick that reaches it, whether it changed or not.

inline constexpr size_t readout_text_size = 512;
inline constexpr size_t button_piece_size = 128;

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
