#pragma once

#include <cstdint>

// The drive modes, as held in HubState::drive_mode. The mode button cycles 1, 2, 3, 5, 0;
// there is no mode 4.
enum DriveMode : int32_t {
  mode_pedal_2 = 0,
  mode_pedal_1 = 1,
  mode_four_way = 2,
  mode_pass_through = 3,
  mode_skate = 5,
};

// The name shown in the mode label and printed by the peer tool; nullptr for a value that is
// no drive mode.
const wchar_t* drive_mode_name(int32_t mode);
