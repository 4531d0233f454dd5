// The WMI device-id reader on any text. Input: one wide character per byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "input/device_id.h"

namespace {

// The number behind `marker` when four hexadecimal digits follow it, else -1 (not checked).
long four_digits_after(const std::wstring& id, const wchar_t* marker) {
  const size_t at = id.find(marker);
  if (at == std::wstring::npos || id.size() < at + 8) return -1;
  const std::wstring digits = id.substr(at + 4, 4);
  for (wchar_t c : digits)
    if (!std::iswxdigit(c)) return -1;
  return std::wcstol(digits.c_str(), nullptr, 16);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring id(data, data + size); // may hold zeros: the reader sees the first part
  const std::wstring seen = id.c_str();
  const std::optional<uint32_t> xinput = xinput_id_of(id.c_str());
  if (xinput.has_value() != (seen.find(L"IG_") != std::wstring::npos)) std::abort();
  if (!xinput) return 0;
  const long vendor = four_digits_after(seen, L"VID_"), product = four_digits_after(seen, L"PID_");
  if ((seen.find(L"VID_") == std::wstring::npos && (*xinput & 0xFFFF) != 0) ||
      (seen.find(L"PID_") == std::wstring::npos && (*xinput >> 16) != 0) ||
      (vendor >= 0 && (*xinput & 0xFFFF) != uint32_t(vendor)) ||
      (product >= 0 && (*xinput >> 16) != uint32_t(product)))
    std::abort();
  return 0;
}
