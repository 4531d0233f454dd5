#pragma once

#include <windows.h>

// The dialog procedure of the monitor dialog (resource 103).
INT_PTR CALLBACK monitor_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
