#include "input/readouts.h"

#include <cwchar>

// The casts match the printf formats on every platform: long is 32 bits on Windows and 64 on
// Linux, and the values always fit.

void show_long(Seam& seam, ReadoutText& buffer, int control_id, int32_t value) {
  std::swprintf(buffer.text, readout_text_size, L"%ld", static_cast<long>(value));
  seam.set_text(control_id, buffer.text);
}

void show_ulong(Seam& seam, ReadoutText& buffer, int control_id, uint32_t value) {
  std::swprintf(buffer.text, readout_text_size, L"%lu", static_cast<unsigned long>(value));
  seam.set_text(control_id, buffer.text);
}

void show_float(Seam& seam, ReadoutText& buffer, int control_id, float value) {
  std::swprintf(buffer.text, readout_text_size, L"%f", static_cast<double>(value));
  seam.set_text(control_id, buffer.text);
}

TouchMask show_buttons(Seam& seam, ReadoutText& buffer, int control_id,
                       const uint8_t (&buttons)[128]) {
  TouchMask touch = 0;
  size_t length = 0;
  buffer.text[0] = L'\0';
  wchar_t piece[button_piece_size];
  for (int i = 0; i < 128; ++i) {
    if ((buttons[i] & 0x80) == 0) continue;
    const int n = std::swprintf(piece, button_piece_size, L"%02d ", i);
    // All 128 buttons take 412 characters, so the list always fits; the check keeps it so.
    if (n > 0 && length + static_cast<size_t>(n) < readout_text_size) {
      std::wmemcpy(buffer.text + length, piece, static_cast<size_t>(n) + 1);
      length += static_cast<size_t>(n);
    }
    if (i < 4) touch = static_cast<TouchMask>(touch | (1u << i));
  }
  seam.set_text(control_id, buffer.text);
  return touch;
}

void show_remote_buttons(Seam& seam, ReadoutText& buffer, int control_id, uint8_t bits) {
  for (int j = 0; j < 6; ++j) {
    buffer.text[2 * j] = (bits >> j) & 1 ? L'1' : L'0';
    buffer.text[2 * j + 1] = L' ';
  }
  buffer.text[12] = L'\0';
  seam.set_text(control_id, buffer.text);
}
