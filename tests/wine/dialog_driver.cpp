// dialog-driver.exe: reads and clicks the windows of a program running in the same Wine prefix,
// as a user would, and prints what it finds as UTF-8 lines. The Wine tests run it beside the
// program under test.
//
//   dialog-driver wait-window CAPTION TIMEOUT_MS     waits for a top-level window with CAPTION
//   dialog-driver text CAPTION ID                    prints the text of control ID
//   dialog-driver enabled CAPTION ID                 prints 1 or 0
//   dialog-driver click CAPTION ID                   clicks the button with ID
//   dialog-driver command CAPTION ID                 sends WM_COMMAND ID (e.g. 2, Escape)
//   dialog-driver message-box TIMEOUT_MS             waits for a message box; prints caption, text
//   dialog-driver press-ok TIMEOUT_MS                waits for a message box and presses its OK
//   dialog-driver resources EXE                      prints dialog 103, icon group 102, manifest
//
// Exit status: 0 done, 1 not found in time, 2 bad arguments.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD poll_interval_ms = 50;
constexpr UINT send_timeout_ms = 10000;

void print(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  utf8 += '\n';
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

std::wstring class_of(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

// Texts of other processes' windows are read with WM_GETTEXT, which reaches the control itself.
std::wstring text_of(HWND window) {
  wchar_t text[1024] = L"";
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      send_timeout_ms, &copied);
  return text;
}

struct Search {
  const wchar_t* caption; // nullptr: any message box
  HWND found;
};

bool is_message_box(HWND window) {
  return class_of(window) == L"#32770" && GetDlgItem(window, IDOK) != nullptr &&
         GetDlgItem(window, IDOK) != window;
}

BOOL CALLBACK match_window(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (!IsWindowVisible(window)) return TRUE;
  const bool match =
      search->caption != nullptr ? text_of(window) == search->caption : is_message_box(window);
  if (!match) return TRUE;
  search->found = window;
  return FALSE;
}

HWND find_window(const wchar_t* caption, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    Search search{caption, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || GetTickCount64() >= deadline) return search.found;
    Sleep(poll_interval_ms);
  }
}

BOOL CALLBACK collect_static_text(HWND child, LPARAM context) {
  auto* text = reinterpret_cast<std::wstring*>(context);
  if (class_of(child) != L"Static" || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
    return TRUE;
  const std::wstring piece = text_of(child);
  if (!piece.empty()) *text += text->empty() ? piece : L"\n" + piece;
  return TRUE;
}

int message_box(DWORD timeout_ms, bool press_ok) {
  const HWND box = find_window(nullptr, timeout_ms);
  if (box == nullptr) return 1;
  if (press_ok) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, send_timeout_ms,
                        &result);
    return 0;
  }
  std::wstring text;
  EnumChildWindows(box, collect_static_text, reinterpret_cast<LPARAM>(&text));
  print(text_of(box));
  print(text);
  return 0;
}

// --- resources -----------------------------------------------------------------------------

struct Reader {
  const BYTE* at;
  WORD word() {
    WORD w;
    std::memcpy(&w, at, 2);
    at += 2;
    return w;
  }
  DWORD dword() {
    DWORD d;
    std::memcpy(&d, at, 4);
    at += 4;
    return d;
  }
  std::wstring string() {
    std::wstring s;
    for (WORD c = word(); c != 0; c = word())
      s += static_cast<wchar_t>(c);
    return s;
  }
  // A name, or 0xFFFF and an ordinal, written as #ordinal.
  std::wstring name_or_ordinal() {
    WORD first;
    std::memcpy(&first, at, 2);
    if (first == 0xFFFF) {
      word();
      return L"#" + std::to_wstring(word());
    }
    return string();
  }
  void align(const BYTE* base, size_t to) {
    const size_t offset = static_cast<size_t>(at - base);
    at += (to - offset % to) % to;
  }
};

std::wstring hex(DWORD value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
  return text;
}

const BYTE* resource(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD* size) {
  HRSRC found = FindResourceW(module, name, type);
  if (found == nullptr) return nullptr;
  *size = SizeofResource(module, found);
  return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

// One line for the dialog, then one per control:
//   dialog STYLE EXSTYLE X Y CX CY menu=.. class=.. font=POINTS,WEIGHT,ITALIC,CHARSET,FACE|CAPTION
//   control ID CLASS STYLE EXSTYLE X Y CX CY|TEXT
void print_dialog(const BYTE* base) {
  Reader r{base};
  const WORD version = r.word();
  const WORD signature = r.word();
  if (version != 1 || signature != 0xFFFF) {
    print(L"dialog not-extended");
    return;
  }
  r.dword(); // help id
  const DWORD ex_style = r.dword();
  const DWORD style = r.dword();
  const WORD count = r.word();
  const short x = static_cast<short>(r.word()), y = static_cast<short>(r.word());
  const short cx = static_cast<short>(r.word()), cy = static_cast<short>(r.word());
  const std::wstring menu = r.name_or_ordinal();
  const std::wstring window_class = r.name_or_ordinal();
  const std::wstring caption = r.string();
  std::wstring font = L"none";
  if (style & (DS_SETFONT | DS_SHELLFONT)) {
    const WORD points = r.word();
    const WORD weight = r.word();
    const BYTE italic = *r.at++;
    const BYTE charset = *r.at++;
    font = std::to_wstring(points) + L"," + std::to_wstring(weight) + L"," +
           std::to_wstring(italic) + L"," + std::to_wstring(charset) + L"," + r.string();
  }
  print(L"dialog " + hex(style) + L" " + hex(ex_style) + L" " + std::to_wstring(x) + L" " +
        std::to_wstring(y) + L" " + std::to_wstring(cx) + L" " + std::to_wstring(cy) + L" menu=" +
        menu + L" class=" + window_class + L" font=" + font + L"|" + caption);
  for (WORD i = 0; i < count; ++i) {
    r.align(base, 4);
    r.dword(); // help id
    const DWORD item_ex_style = r.dword();
    const DWORD item_style = r.dword();
    const short ix = static_cast<short>(r.word()), iy = static_cast<short>(r.word());
    const short icx = static_cast<short>(r.word()), icy = static_cast<short>(r.word());
    const int id = static_cast<int>(r.dword());
    const std::wstring item_class = r.name_or_ordinal();
    const std::wstring text = r.name_or_ordinal();
    const WORD extra = r.word();
    r.at += extra;
    print(L"control " + std::to_wstring(id) + L" " + item_class + L" " + hex(item_style) + L" " +
          hex(item_ex_style) + L" " + std::to_wstring(ix) + L" " + std::to_wstring(iy) + L" " +
          std::to_wstring(icx) + L" " + std::to_wstring(icy) + L"|" + text);
  }
}

// One line per image of the icon group: icon WIDTH HEIGHT BITS
void print_icon_group(const BYTE* base) {
  Reader r{base};
  r.word();
  r.word();
  const WORD count = r.word();
  for (WORD i = 0; i < count; ++i) {
    const int width = r.at[0] == 0 ? 256 : r.at[0];
    const int height = r.at[1] == 0 ? 256 : r.at[1];
    r.at += 4;
    r.word(); // planes
    const WORD bits = r.word();
    r.dword(); // bytes
    r.word();  // image id
    print(L"icon " + std::to_wstring(width) + L" " + std::to_wstring(height) + L" " +
          std::to_wstring(bits));
  }
}

int resources(const wchar_t* exe) {
  HMODULE module =
      LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return 1;
  DWORD size = 0;
  if (const BYTE* dialog = resource(module, MAKEINTRESOURCEW(103), MAKEINTRESOURCEW(5), &size))
    print_dialog(dialog);
  if (const BYTE* group = resource(module, MAKEINTRESOURCEW(102), MAKEINTRESOURCEW(14), &size))
    print_icon_group(group);
  if (const BYTE* manifest = resource(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24), &size)) {
    std::string text(reinterpret_cast<const char*>(manifest), size);
    for (char& c : text)
      if (c == '\r' || c == '\n') c = ' ';
    std::fwrite("manifest ", 1, 9, stdout);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fwrite("\n", 1, 1, stdout);
  }
  FreeLibrary(module);
  return 0;
}

// --- controls of a window ------------------------------------------------------------------

HWND control(const wchar_t* caption, const wchar_t* id_text) {
  const HWND window = find_window(caption, 0);
  if (window == nullptr) return nullptr;
  return GetDlgItem(window, std::wcstol(id_text, nullptr, 10));
}

int usage() {
  std::fputs("usage: dialog-driver wait-window|text|enabled|click|command|message-box|press-ok|"
             "resources ...\n",
             stderr);
  return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return usage();
  const std::wstring verb = argv[1];
  const auto timeout = [](const wchar_t* text) {
    return static_cast<DWORD>(std::wcstoul(text, nullptr, 10));
  };
  if (verb == L"message-box") return message_box(timeout(argv[2]), false);
  if (verb == L"press-ok") return message_box(timeout(argv[2]), true);
  if (verb == L"resources") return resources(argv[2]);
  if (argc < 4) return usage();
  if (verb == L"wait-window") return find_window(argv[2], timeout(argv[3])) != nullptr ? 0 : 1;
  if (verb == L"command") {
    const HWND window = find_window(argv[2], 0);
    if (window == nullptr) return 1;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(std::wcstol(argv[3], nullptr, 10), 0), 0);
    return 0;
  }
  const HWND item = control(argv[2], argv[3]);
  if (item == nullptr) return 1;
  if (verb == L"text") {
    print(text_of(item));
    return 0;
  }
  if (verb == L"enabled") {
    print(IsWindowEnabled(item) ? L"1" : L"0");
    return 0;
  }
  if (verb == L"click") {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(item, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, send_timeout_ms, &result);
    return 0;
  }
  return usage();
}
