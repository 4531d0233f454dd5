#include "app/cycles.h"

#include <cmath>
#include <cwchar>

#include "motion/axis_conditioning.h"
#include "state/drive_mode.h"

int32_t next_drive_mode(int32_t mode) {
  switch (mode) {
  case mode_pedal_1: return mode_four_way;
  case mode_four_way: return mode_pass_through;
  case mode_pass_through: return mode_skate;
  case mode_skate: return mode_pedal_2;
  case mode_pedal_2: return mode_pedal_1;
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

bool format_speed_caption(int32_t step, wchar_t (&text)[speed_caption_capacity]) {
  if (step < 0 || step > 6) return false;
  // The caption is the gain the joystick axes get at this step.
  const long percent = std::lround(speed_factor(step) * 100.0f);
  std::swprintf(text, speed_caption_capacity, L"%ld%%", percent);
  return true;
}
