#include "input/readouts.h"

#include <cwchar>

namespace {

// Sets the text unless the control already shows it. A control that is not a readout is
// always set.
void show_text(Seam& seam, int control_id, const wchar_t* text) {
  for (int i = 0; i < readout_count; ++i) {
    if (readout_ids[i] != control_id) continue;
    ShownReadout& shown = hub.shown_readouts[i];
    if (shown.known && std::wcscmp(shown.text, text) == 0) return;
    size_t length = 0; // every readout text is formatted into a buffer of this size
    while (length + 1 < readout_text_size && text[length] != L'\0')
      ++length;
    std::wmemcpy(shown.text, text, length);
    shown.text[length] = L'\0';
    shown.known = true;
    break;
  }
  seam.set_text(control_id, text);
}

} // namespace

// The casts match the printf formats on every platform: long is 32 bits on Windows and 64 on
// Linux, and the values always fit.

void show_long(Seam& seam, ReadoutText& buffer, int control_id, int32_t value) {
  std::swprintf(buffer.text, readout_text_size, L"%ld", static_cast<long>(value));
  show_text(seam, control_id, buffer.text);
}

void show_ulong(Seam& seam, ReadoutText& buffer, int control_id, uint32_t value) {
  std::swprintf(buffer.text, readout_text_size, L"%lu", static_cast<unsigned long>(value));
  show_text(seam, control_id, buffer.text);
}

void show_float(Seam& seam, ReadoutText& buffer, int control_id, float value) {
  std::swprintf(buffer.text, readout_text_size, L"%f", static_cast<double>(value));
  show_text(seam, control_id, buffer.text);
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
  show_text(seam, control_id, buffer.text);
  return touch;
}

void show_remote_buttons(Seam& seam, ReadoutText& buffer, int control_id, uint8_t bits) {
  for (int j = 0; j < 6; ++j) {
    buffer.text[2 * j] = (bits >> j) & 1 ? L'1' : L'0';
    buffer.text[2 * j + 1] = L' ';
  }
  buffer.text[12] = L'\0';
  show_text(seam, control_id, buffer.text);
}
