#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "input/device_id.h"
#include "input/object_controls.h"

namespace {

TEST(XInputId, ReadsVendorAndProductOfXInputInterfacesOnly) {
  // Small hex digits, fewer digits, at most four digits, a missing number counting as 0, markers
  // in upper case only, and the first marker counting.
  const std::pair<const wchar_t*, std::optional<uint32_t>> cases[] = {
      {L"HID\\VID_045E&PID_028E&IG_00\\3&2DB7B6F&0&0000", 0x028E045Eu},
      {L"HID\\VID_FFFF&PID_0000&IG_01\\7&1&0&0000", 0x0000FFFFu},
      {L"HID\\VID_045e&PID_02ea&IG_00\\x", 0x02EA045Eu},
      {L"HID\\VID_45E&PID_28E&IG_00", 0x028E045Eu},
      {L"HID\\VID_12345&PID_ABCDE&IG_00", 0xABCD1234u},
      {L"HID\\PID_028E&IG_00", 0x028E0000u},
      {L"HID\\VID_045E&IG_00", 0x0000045Eu},
      {L"HID\\IG_00", 0u},
      {L"HID\\VID_&PID_G00&IG_00", 0u},
      {L"IG_", 0u},
      {L"HID\\VID_045E&PID_028E\\3&2DB7B6F&0&0000", std::nullopt},
      {L"HID\\VID_045E&PID_028E&ig_00", std::nullopt},
      {L"USB\\VID_045E&PID_028E\\0", std::nullopt},
      {L"", std::nullopt},
      {nullptr, std::nullopt},
      {L"HID\\vid_045E&pid_028E&IG_00", 0u},
      {L"HID\\VID_045E&VID_1111&PID_028E&IG_00", 0x028E045Eu},
  };
  for (const auto& [device_id, expected] : cases) {
    SCOPED_TRACE(device_id ? device_id : L"nullptr");
    EXPECT_EQ(xinput_id_of(device_id), expected);
  }
}

TEST(FootController, NeedsTheProductGuidInEveryByteAJoystickUsageAndNoXInputListing) {
  // 0x0000FFFF is the foot controller's own XInput id (vendor FFFF, product 0000); 0xFFFF0000
  // has the halves the other way round.
  const std::tuple<ProductGuid, uint16_t, std::vector<uint32_t>, bool> cases[] = {
      // clang-format off
      {foot_product_guid, 4, {}, true},  {foot_product_guid, 5, {}, true},
      {foot_product_guid, 8, {}, false}, {foot_product_guid, 0, {}, false},
      {foot_product_guid, 6, {}, false},
      {{0x0001FFFF, 0, 0, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {{0x0000FFFE, 0, 0, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {{0x0000FFFF, 1, 0, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {{0x0000FFFF, 0, 1, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {{0x0000FFFF, 0, 0, {1, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {{0x0000FFFF, 0, 0, {0, 0, 'P', 'I', 'D', 'V', 'I', 'X'}}, 4, {}, false},
      {foot_product_guid, 4, {0x028E045E}, true}, {foot_product_guid, 4, {0xFFFF0000}, true},
      {foot_product_guid, 5, {0x028E045E, 0x0000FFFF}, false},
      // clang-format on
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const auto& [product, usage, xinput_ids, expected] = cases[i];
    EXPECT_EQ(is_foot_controller(product, usage, xinput_ids), expected);
  }
}

TEST(ObjectControls, SlidersAndPovsTakeTheirRowsInOrderAndKeepCountingPastThem) {
  const std::pair<ObjectKind, std::optional<ControlPair>> objects[] = {
      {ObjectKind::slider, ControlPair{1030, 1019}},
      {ObjectKind::pov, ControlPair{1040, 1024}},
      {ObjectKind::other, std::nullopt},
      {ObjectKind::slider, ControlPair{1031, 1023}},
      {ObjectKind::pov, ControlPair{1042, 1025}},
      {ObjectKind::pov, ControlPair{1043, 1026}},
      {ObjectKind::slider, std::nullopt},
      {ObjectKind::pov, ControlPair{1044, 1027}},
      {ObjectKind::pov, std::nullopt},
      {ObjectKind::x_axis, ControlPair{1010, 1013}},
  };
  int32_t sliders = 0;
  int32_t povs = 0;
  for (size_t i = 0; i < std::size(objects); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(controls_for_object(objects[i].first, sliders, povs), objects[i].second);
  }
  EXPECT_EQ(sliders, 3);
  EXPECT_EQ(povs, 5);
}

} // namespace
