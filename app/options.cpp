#include "app/options.h"

namespace {

// Folds ASCII letters only, as a case-insensitive comparison in the "C" locale does; a
// look-alike outside ASCII must not turn into the option.
wchar_t fold_ascii(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

} // namespace

bool is_noxinput_option(const wchar_t* arg) {
  if (arg == nullptr || (arg[0] != L'-' && arg[0] != L'/')) return false;
  const wchar_t* word = L"noxinput";
  for (int i = 0; i < 8; ++i)
    if (fold_ascii(arg[1 + i]) != word[i]) return false; // also stops at an early end
  return arg[9] == L'\0';
}

bool has_noxinput_option(int argc, const wchar_t* const* argv) {
  if (argv == nullptr) return false;
  for (int i = 1; i < argc; ++i)
    if (is_noxinput_option(argv[i])) return true;
  return false;
}
