#include "app/feeder_path.h"

#include <cwchar>

namespace {

constexpr wchar_t feeder_tail[] = L"feeder\\PadRelay.exe";
constexpr size_t feeder_tail_length = sizeof(feeder_tail) / sizeof(wchar_t) - 1;

} // namespace

FeederPath build_feeder_path(const wchar_t* exe_path, wchar_t (&path)[feeder_path_capacity]) {
  if (exe_path == nullptr) return FeederPath::no_folder;
  const wchar_t* last_backslash = std::wcsrchr(exe_path, L'\\');
  if (last_backslash == nullptr) return FeederPath::no_folder;
  const size_t folder_length = static_cast<size_t>(last_backslash - exe_path) + 1;
  if (folder_length + feeder_tail_length + 1 > feeder_path_capacity) return FeederPath::too_long;
  std::wmemcpy(path, exe_path, folder_length);
  std::wmemcpy(path + folder_length, feeder_tail, feeder_tail_length + 1);
  return FeederPath::ready;
}

const wchar_t* feeder_path_problem(FeederPath result) {
  switch (result) {
  case FeederPath::no_folder:
    return L"The vjoy feeder cannot be started: the folder of this program is unknown.";
  case FeederPath::too_long:
    return L"The vjoy feeder cannot be started: the path of feeder\\PadRelay.exe beside this "
           L"program is longer than 259 characters.";
  case FeederPath::ready: break;
  }
  return nullptr;
}
