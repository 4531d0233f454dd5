#include "input/device_id.h"

#include <algorithm>
#include <cwchar>

namespace {

bool same_product(const ProductGuid& a, const ProductGuid& b) {
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
         std::equal(a.data4, a.data4 + 8, b.data4);
}

// Reads the number behind `marker` the way "VID_%4X" reads it at that place; 0 when the
// marker is missing or no number follows it.
uint32_t hex_after(const wchar_t* device_id, const wchar_t* marker, const wchar_t* format) {
  const wchar_t* at = std::wcsstr(device_id, marker);
  unsigned int value = 0;
  if (at == nullptr || std::swscanf(at, format, &value) != 1) return 0;
  return value & 0xFFFF;
}

} // namespace

bool is_foot_controller(const ProductGuid& product, uint16_t usage,
                        std::span<const uint32_t> xinput_ids) {
  if (!same_product(product, foot_product_guid)) return false;
  if (usage != 4 && usage != 5) return false;
  return std::find(xinput_ids.begin(), xinput_ids.end(), product.data1) == xinput_ids.end();
}

std::optional<uint32_t> xinput_id_of(const wchar_t* device_id) {
  if (device_id == nullptr || std::wcsstr(device_id, L"IG_") == nullptr) return std::nullopt;
  const uint32_t vendor = hex_after(device_id, L"VID_", L"VID_%4X");
  const uint32_t product = hex_after(device_id, L"PID_", L"PID_%4X");
  return (product << 16) | vendor;
}
