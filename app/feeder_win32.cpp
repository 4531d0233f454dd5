#include "app/feeder_win32.h"

#include <shellapi.h>

#include <iterator>

#include "app/feeder_path.h"
#include "app/message_box_win32.h"

namespace {

// Large enough for any path Windows can hand back, so a long one is reported as too long
// rather than cut short.
constexpr DWORD module_path_capacity = 32768;
wchar_t module_path[module_path_capacity];

} // namespace

void launch_feeder(HWND dialog) {
  FeederPath result = FeederPath::no_folder;
  wchar_t path[feeder_path_capacity];
  const DWORD length = GetModuleFileNameW(nullptr, module_path, module_path_capacity);
  if (length > 0 && length < module_path_capacity) result = build_feeder_path(module_path, path);
  if (result != FeederPath::ready) {
    show_error(feeder_path_problem(result), monitor_caption);
    return;
  }
  // The shell's open verb takes the path as one argument, so blanks, '&' and any letters in
  // folder names are safe, and no console window appears. Without SEE_MASK_FLAG_NO_UI a
  // missing feeder gets the shell's own error message. No process handle is asked for.
  SHELLEXECUTEINFOW info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  info.hwnd = dialog;
  info.lpVerb = L"open";
  info.lpFile = path;
  info.lpDirectory = nullptr; // the feeder starts in the hub's current directory
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExW(&info);
}
