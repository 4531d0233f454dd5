#include "state/drive_mode.h"

const wchar_t* drive_mode_name(int32_t mode) {
  switch (mode) {
  case mode_pedal_2: return L"Pedal 2";
  case mode_pedal_1: return L"Pedal 1";
  case mode_four_way: return L"4-way-mov";
  case mode_pass_through: return L"Pass through";
  case mode_skate: return L"Skate";
  default: return nullptr;
  }
}
