// The command-line option matcher against a plain reference, on arguments of any UTF-16 units
// (look-alikes such as U+017F and U+212A included). Input: little-endian units, 0 ends each.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"

namespace {

bool reference(const std::wstring& arg) {
  std::wstring word = arg.substr(arg.empty() ? 0 : 1);
  for (wchar_t& c : word)
    if (c >= L'A' && c <= L'Z') c = c - L'A' + L'a';
  return (arg.starts_with(L'-') || arg.starts_with(L'/')) && word == L"noxinput";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::wstring> args(1);
  for (size_t i = 0; i + 1 < size; i += 2) {
    const wchar_t unit = data[i] | data[i + 1] << 8;
    if (unit == 0)
      args.emplace_back();
    else
      args.back() += unit;
  }
  std::vector<const wchar_t*> argv;
  bool any = false;
  for (const std::wstring& arg : args) {
    if (is_noxinput_option(arg.c_str()) != reference(arg)) std::abort();
    any = any || (!argv.empty() && reference(arg)); // the program path never counts
    argv.push_back(arg.c_str());
  }
  if (has_noxinput_option(static_cast<int>(argv.size()), argv.data()) != any) std::abort();
  return 0;
}
