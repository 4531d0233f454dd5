#pragma once

#include <cstddef>
#include <cstdint>

// The two cycling buttons of the monitor dialog.

// The drive mode after `mode`: 1, 2, 3, 5, 0 and round again. Any other value stays.
int32_t next_drive_mode(int32_t mode);

// The speed step after `step`: 0, 5, 6, 4, 3, 2, 1 and round again. Any other value stays.
int32_t next_speed_step(int32_t step);

inline constexpr size_t speed_caption_capacity = 64;

// Writes the speed-adjust button's caption for `step` ("120%"). Returns false and leaves
// `text` alone for a value outside 0..6, whose caption must not change.
bool format_speed_caption(int32_t step, wchar_t (&text)[speed_caption_capacity]);
