#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Telling the foot controller apart from other game controllers, without Windows types.

// A DirectInput product GUID, field by field; equal fields mean equal 16 bytes.
struct ProductGuid {
  uint32_t data1 = 0; // USB vendor id in the low 16 bits, product id in the high 16 bits
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

// {0000FFFF-0000-0000-0000-504944564944}: vendor 0xFFFF, product 0x0000, HID ("PIDVID").
inline constexpr ProductGuid foot_product_guid{
    0x0000FFFF, 0, 0, {0x00, 0x00, 'P', 'I', 'D', 'V', 'I', 'D'}};

// True for a device the hub may open as its foot controller: the foot controller's product
// GUID, HID usage joystick (4) or game pad (5), and not listed among `xinput_ids` (empty when
// XInput devices are not filtered).
bool is_foot_controller(const ProductGuid& product, uint16_t usage,
                        std::span<const uint32_t> xinput_ids);

// The XInput id, (product << 16) | vendor, of a WMI PnP device id that marks an XInput
// interface ("IG_"); none for any other device. Vendor and product are the hexadecimal
// numbers of at most four digits behind "VID_" and "PID_"; a missing one counts as 0.
std::optional<uint32_t> xinput_id_of(const wchar_t* device_id);
