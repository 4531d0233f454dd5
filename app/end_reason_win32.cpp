#include "app/end_reason_win32.h"

#include <windows.h>

#include <cwchar>

void say_why_it_ends(int status, const wchar_t* reason, long error) {
  wchar_t line[256];
  std::swprintf(line, sizeof line / sizeof line[0],
                L"VR Pedalon Hub ends with status %d: %ls (error %ld)\n", status, reason, error);
  OutputDebugStringW(line);
}
