#pragma once

#include <windows.h>

// Starts feeder\PadRelay.exe from the folder of the hub's executable and returns at once.
// When its path cannot be made, nothing starts and a message box says why.
void launch_feeder(HWND dialog);
