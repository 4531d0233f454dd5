#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "input/device_id.h"
#include "input/object_controls.h"
#include "res/resource.h"

namespace {

struct DeviceIdCase {
  const wchar_t* device_id;
  std::optional<uint32_t> expected;
};

TEST(XInputId, ReadsVendorAndProductOfXInputInterfacesOnly) {
  const DeviceIdCase cases[] = {
      {L"HID\\VID_045E&PID_028E&IG_00\\3&2DB7B6F&0&0000", 0x028E045Eu},
      {L"HID\\VID_FFFF&PID_0000&IG_01\\7&1&0&0000", 0x0000FFFFu},
      {L"HID\\VID_045e&PID_02ea&IG_00\\x", 0x02EA045Eu}, // small hex digits
      {L"HID\\VID_45E&PID_28E&IG_00", 0x028E045Eu},      // fewer digits
      {L"HID\\VID_12345&PID_ABCDE&IG_00", 0xABCD1234u},  // at most four digits
      {L"HID\\PID_028E&IG_00", 0x028E0000u},             // no vendor: 0
      {L"HID\\VID_045E&IG_00", 0x0000045Eu},             // no product: 0
      {L"HID\\IG_00", 0u},
      {L"HID\\VID_&PID_G00&IG_00", 0u}, // no number behind either
      {L"IG_", 0u},
      {L"HID\\VID_045E&PID_028E\\3&2DB7B6F&0&0000", std::nullopt}, // no XInput marker
      {L"HID\\VID_045E&PID_028E&ig_00", std::nullopt},             // the marker is upper case
      {L"USB\\VID_045E&PID_028E\\0", std::nullopt},
      {L"", std::nullopt},
      {L"HID\\vid_045E&pid_028E&IG_00", 0u},                   // markers are upper case too
      {L"HID\\VID_045E&VID_1111&PID_028E&IG_00", 0x028E045Eu}, // the first marker counts
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(xinput_id_of(cases[i].device_id), cases[i].expected);
  }
  EXPECT_EQ(xinput_id_of(nullptr), std::nullopt);
}

struct MatchCase {
  ProductGuid product;
  uint16_t usage;
  std::vector<uint32_t> xinput_ids;
  bool expected;
};

ProductGuid with_data1(uint32_t data1) {
  ProductGuid g = foot_product_guid;
  g.data1 = data1;
  return g;
}

ProductGuid with_last_byte(uint8_t b) {
  ProductGuid g = foot_product_guid;
  g.data4[7] = b;
  return g;
}

TEST(FootController, NeedsTheProductGuidInEveryByteAndAJoystickUsage) {
  const MatchCase cases[] = {
      {foot_product_guid, 4, {}, true},
      {foot_product_guid, 5, {}, true},
      {foot_product_guid, 8, {}, false}, // multi-axis controller
      {foot_product_guid, 0, {}, false},
      {foot_product_guid, 6, {}, false},
      {with_data1(0x0001FFFF), 4, {}, false}, // vendor 0xFFFF, another product
      {with_data1(0x0000FFFE), 4, {}, false},
      {with_last_byte('X'), 4, {}, false},
      {ProductGuid{0x0000FFFF, 1, 0, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {ProductGuid{0x0000FFFF, 0, 1, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {ProductGuid{0x0000FFFF, 0, 0, {1, 0, 'P', 'I', 'D', 'V', 'I', 'D'}}, 4, {}, false},
      {foot_product_guid, 4, {0x028E045E}, true},
      {foot_product_guid, 5, {0x028E045E, 0x0000FFFF}, false}, // listed as an XInput device
      {foot_product_guid, 4, {0xFFFF0000}, true},              // halves the other way round
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(is_foot_controller(cases[i].product, cases[i].usage, cases[i].xinput_ids),
              cases[i].expected);
  }
}

TEST(FootController, AnXInputScanOfTheFootControllerSkipsIt) {
  const std::optional<uint32_t> id = xinput_id_of(L"HID\\VID_FFFF&PID_0000&IG_00\\1&2&0&0000");
  ASSERT_TRUE(id);
  const std::vector<uint32_t> ids = {*id};
  EXPECT_FALSE(is_foot_controller(foot_product_guid, 4, ids));
}

struct ObjectCase {
  ObjectKind kind;
  std::optional<ControlPair> expected;
};

TEST(ObjectControls, EnableValueAndLabelPerObjectAndCountSlidersAndPovs) {
  const ObjectCase objects[] = {
      {ObjectKind::x_axis, ControlPair{1010, 1013}},
      {ObjectKind::y_axis, ControlPair{1011, 1014}},
      {ObjectKind::z_axis, ControlPair{1012, 1015}},
      {ObjectKind::rx_axis, ControlPair{1020, 1016}},
      {ObjectKind::ry_axis, ControlPair{1021, 1017}},
      {ObjectKind::rz_axis, ControlPair{1022, 1018}},
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
    EXPECT_EQ(controls_for_object(objects[i].kind, sliders, povs), objects[i].expected);
  }
  EXPECT_EQ(sliders, 3);
  EXPECT_EQ(povs, 5);
}

} // namespace
