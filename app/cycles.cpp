#include "app/cycles.h"

#include <cwchar>

int32_t next_drive_mode(int32_t mode) {
  switch (mode) {
  case 1: return 2;
  case 2: return 3;
  case 3: return 5;
  case 5: return 0;
  case 0: return 1;
  default: return mode;
  }
}

int32_t next_speed_step(int32_t step) {
  switch (step) {
  case 0: return 5;
  case 5: return 6;
  case 6: return 4;
  case 4: return 3;
  case 3: return 2;
  case 2: return 1;
  case 1: return 0;
  default: return step;
  }
}

int32_t speed_percent(int32_t step) {
  static constexpr int32_t percent[7] = {100, 80, 65, 50, 35, 120, 150};
  return (step >= 0 && step <= 6) ? percent[step] : 0;
}

bool format_speed_caption(int32_t step, wchar_t (&text)[speed_caption_capacity]) {
  if (step < 0 || step > 6) return false;
  std::swprintf(text, speed_caption_capacity, L"%ld%%", static_cast<long>(speed_percent(step)));
  return true;
}
