// Stands in for the feeder program where a test installs it as feeder\PadRelay.exe: shows that
// the hub started it by creating started.txt beside itself, then ends.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH + 16];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  wchar_t* slash = length > 0 && length < MAX_PATH ? std::wcsrchr(path, L'\\') : nullptr;
  if (!slash) return 1;
  std::wcscpy(slash + 1, L"started.txt");
  const HANDLE file =
      CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(file);
  return 0;
}
