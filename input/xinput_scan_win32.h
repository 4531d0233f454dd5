#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Adds the XInput id of every device that WMI lists with an XInput interface to `ids`. Ends at
// the first failing step; what was found until then stays.
HRESULT scan_xinput_ids(std::vector<uint32_t>& ids);
