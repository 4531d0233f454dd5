#include "input/readouts.h"

#include <bit>
#include <cwchar>

namespace {

// A readout's text is made from a value of at most 128 bits (the button list's), kept as the
// readout's key: a readout whose value did not change is neither formatted nor set again.
struct ReadoutKey {
  uint64_t low = 0;
  uint64_t high = 0;
};

bool shows(Readout readout, ReadoutKey key) {
  const ShownReadout& shown = hub.shown_readouts[readout];
  return shown.known && shown.key[0] == key.low && shown.key[1] == key.high;
}

// Sets the text unless the control already shows it. Two values may give one text (floats
// that differ past the sixth decimal), so the text is compared too.
void show_text(Seam& seam, Readout readout, ReadoutKey key, const wchar_t* text) {
  ShownReadout& shown = hub.shown_readouts[readout];
  shown.key[0] = key.low;
  shown.key[1] = key.high;
  if (shown.known && std::wcscmp(shown.text, text) == 0) return;
  // Every readout text is formatted into a buffer of the same size, so it fits.
  std::wmemcpy(shown.text, text, std::wcslen(text) + 1);
  shown.known = true;
  seam.set_text(readout_ids[readout], text);
}

} // namespace

// The casts match the printf formats on every platform: long is 32 bits on Windows and 64 on
// Linux, and the values always fit.

void show_long(Seam& seam, ReadoutText& buffer, Readout readout, int32_t value) {
  const ReadoutKey key{static_cast<uint32_t>(value)};
  if (shows(readout, key)) return;
  std::swprintf(buffer.text, readout_text_size, L"%ld", static_cast<long>(value));
  show_text(seam, readout, key, buffer.text);
}

void show_ulong(Seam& seam, ReadoutText& buffer, Readout readout, uint32_t value) {
  const ReadoutKey key{value};
  if (shows(readout, key)) return;
  std::swprintf(buffer.text, readout_text_size, L"%lu", static_cast<unsigned long>(value));
  show_text(seam, readout, key, buffer.text);
}

void show_float(Seam& seam, ReadoutText& buffer, Readout readout, float value) {
  const ReadoutKey key{std::bit_cast<uint32_t>(value)};
  if (shows(readout, key)) return;
  std::swprintf(buffer.text, readout_text_size, L"%f", static_cast<double>(value));
  show_text(seam, readout, key, buffer.text);
}

TouchMask show_buttons(Seam& seam, ReadoutText& buffer, Readout readout,
                       const uint8_t (&buttons)[128]) {
  ReadoutKey key;
  for (int i = 0; i < 128; ++i)
    if (buttons[i] & 0x80) (i < 64 ? key.low : key.high) |= uint64_t{1} << (i % 64);
  const auto touch = static_cast<TouchMask>(key.low & 0x0F);
  if (shows(readout, key)) return touch;

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
  }
  show_text(seam, readout, key, buffer.text);
  return touch;
}

void show_remote_buttons(Seam& seam, ReadoutText& buffer, Readout readout, uint8_t bits) {
  const ReadoutKey key{bits & 0x3Fu};
  if (shows(readout, key)) return;
  for (int j = 0; j < 6; ++j) {
    buffer.text[2 * j] = (bits >> j) & 1 ? L'1' : L'0';
    buffer.text[2 * j + 1] = L' ';
  }
  buffer.text[12] = L'\0';
  show_text(seam, readout, key, buffer.text);
}
