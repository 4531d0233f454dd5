#pragma once

#include <windows.h>

// The hub's error messages: no owner window, the error icon and one OK button. The two
// captions differ in one letter, and users have seen both for years.
inline constexpr const wchar_t* monitor_caption = L"VR Pedalon monitor";
inline constexpr const wchar_t* read_error_caption = L"VR Pedalon Monitor";

inline void show_error(const wchar_t* text, const wchar_t* caption) {
  MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR);
}
