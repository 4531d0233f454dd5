// Test and demo equipment, never shipped with the hub: the control channel's commands that read
// and press the client's windows from inside its process, as a user would.
//
// Texts of windows of the client's dialog thread are read with WM_GETTEXT, which that thread
// answers from its message loop; a timeout turns a hung client into an error reply, not a hang.
// These commands run without the stand-in's lock: the dialog thread may be waiting for it
// inside GetDeviceState.

#include "tools/standin/standin.h"

namespace {

constexpr UINT send_timeout_ms = 5000;

std::string utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

bool send_to(HWND window, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, send_timeout_ms, &result) !=
         0;
}

bool text_of(HWND window, std::string& text) {
  wchar_t buffer[1024] = L"";
  if (!send_to(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer))) return false;
  text = utf8(buffer);
  return true;
}

std::wstring class_of(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

struct BoxSearch {
  HWND dialog;
  HWND found;
};

// A message box of this process: a visible dialog with an OK button that is not the monitor
// dialog. The "not found" path has no window in SetCooperativeLevel, so search them all.
BOOL CALLBACK match_box(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || window == search->dialog || !IsWindowVisible(window) ||
      class_of(window) != L"#32770" || GetDlgItem(window, IDOK) == nullptr)
    return TRUE;
  search->found = window;
  return FALSE;
}

// The box's message: its static texts that are not the icon.
BOOL CALLBACK collect_text(HWND child, LPARAM context) {
  auto* text = reinterpret_cast<std::string*>(context);
  std::string piece;
  if (class_of(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON &&
      text_of(child, piece) && !piece.empty())
    *text += (text->empty() ? "" : "\n") + piece;
  return TRUE;
}

std::string command_box(const std::vector<std::string_view>& words, HWND dialog) {
  BoxSearch search{dialog, nullptr};
  EnumWindows(match_box, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return "error none";
  if (words.size() == 2 && words[1] == "ok")
    return send_to(GetDlgItem(search.found, IDOK), BM_CLICK, 0, 0) ? "ok" : "error no answer";
  if (words.size() != 1) return "error expected 'box [ok]'";
  std::string caption, text;
  if (!text_of(search.found, caption)) return "error no answer";
  EnumChildWindows(search.found, collect_text, reinterpret_cast<LPARAM>(&text));
  return "ok " + caption + "\n" + text;
}

} // namespace

std::string run_window_command(const std::vector<std::string_view>& words) {
  HWND dialog = nullptr;
  {
    const StandinLock held;
    dialog = standin().window;
  }
  if (words[0] == "box") return command_box(words, dialog);
  int64_t id = 0;
  if (words.size() != 2 || !parse_integer(words[1], id) || id < 0 || id > 0xFFFF)
    return "error expected '" + std::string(words[0]) + " ID'";
  if (dialog == nullptr || !IsWindow(dialog)) return "error no dialog";
  const WPARAM command = MAKEWPARAM(static_cast<WORD>(id), 0);
  if (words[0] == "command")
    return send_to(dialog, WM_COMMAND, command, 0) ? "ok" : "error no answer";
  const HWND control = GetDlgItem(dialog, static_cast<int>(id));
  if (control == nullptr) return "error no control " + std::to_string(id);
  std::string text;
  if (words[0] == "press") return send_to(control, BM_CLICK, 0, 0) ? "ok" : "error no answer";
  return text_of(control, text) ? "ok " + text : "error no answer";
}
