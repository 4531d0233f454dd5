// The resources compiled into pedalon-hub.exe, read back under Wine by the dialog driver.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "wine_harness.h"

namespace {

// Window and control styles, spelled out so the table reads like the resource.
constexpr uint32_t child_visible = 0x50000000;         // WS_CHILD | WS_VISIBLE
constexpr uint32_t disabled = 0x08000000;              // WS_DISABLED
constexpr uint32_t label = child_visible | 0x00020000; // SS_LEFT | WS_GROUP
constexpr uint32_t default_button =
    child_visible | 0x00010000 | 0x1;                   // WS_TABSTOP | BS_DEFPUSHBUTTON
constexpr uint32_t button = child_visible | 0x00010000; // WS_TABSTOP | BS_PUSHBUTTON
constexpr uint32_t group_box = child_visible | 0x7;     // BS_GROUPBOX

struct Control {
  int id;
  uint32_t style;
  int x, y, cx, cy;
  const char* text;
};

// Template order, which is also the tab order.
const Control monitor_controls[] = {
    {1045, default_button, 153, 157, 62, 14, "Start vjoy feeder"},
    {-1, label, 148, 28, 72, 8, "www.vrpedalon.com"},
    {-1, label, 10, 8, 214, 8, "The app gets data from Pedalon and other sources"},
    {-1, label, 11, 17, 201, 8, "to generate controls for applications, including steamVR"},
    {1013, label | disabled, 18, 52, 50, 8, "Joystick X:"},
    {1014, label | disabled, 18, 63, 50, 8, "Joystick Y:"},
    {1015, label | disabled, 18, 94, 50, 8, "Heading RF:"},
    {-1, label, 18, 137, 47, 8, "Touch State:"},
    {1016, label | disabled, 18, 104, 50, 8, "Tilt RF:"},
    {1024, label, 12, 160, 110, 8, "Status: no remote app connected"},
    {-1, group_box, 7, 41, 108, 112, "Pedalon inputs"},
    {1010, label | disabled, 63, 52, 21, 8, "0"},
    {1011, label | disabled, 63, 63, 21, 8, "0"},
    {1012, label | disabled, 63, 94, 21, 8, "0"},
    {1041, label, 64, 137, 47, 8, ""},
    {1020, label | disabled, 63, 104, 21, 8, "0"},
    {1040, label | disabled, 1135, 82, 21, 8, "0"},
    {1017, label | disabled, 18, 115, 50, 8, "Heading LF:"},
    {1021, label | disabled, 63, 115, 21, 8, "0"},
    {1018, label | disabled, 18, 126, 50, 8, "Tilt LF:"},
    {1022, label | disabled, 63, 126, 21, 8, "0"},
    {1019, label, 161, 59, 34, 8, "NA"},
    {1030, label | disabled, 1135, 56, 21, 8, "0"},
    {1023, label, 161, 81, 49, 8, "NA:"},
    {1031, label | disabled, 1135, 67, 21, 8, "0"},
    {1025, label, 161, 114, 42, 8, "NA"},
    {1042, label | disabled, 1135, 93, 21, 8, "0"},
    {1026, label, 161, 125, 44, 8, "NA"},
    {1043, label | disabled, 1135, 104, 21, 8, "0"},
    {1027, label, 173, 138, 42, 8, "NA"},
    {1044, label | disabled, 1135, 115, 21, 8, "0"},
    {-1, group_box, 118, 41, 100, 52, "Remote app inputs"},
    {-1, label, 131, 50, 53, 8, "Steering wheel:"},
    {-1, label, 130, 73, 76, 8, "Buttons: A B X Y T1 T2"},
    {-1, group_box, 118, 100, 100, 53, "vjoy mode"},
    {-1, label, 130, 114, 30, 8, "Throttle:"},
    {-1, label, 131, 125, 22, 8, "Brake:"},
    {1029, button, 122, 135, 46, 14, "Swith mode"},
    {1032, button, 70, 72, 38, 14, "100%"},
    {-1, label, 18, 75, 45, 8, "Initial spd adj"},
};

// The driver's line for a control: "control ID CLASS STYLE EXSTYLE X Y CX CY|TEXT".
std::string line_of(const Control& c) {
  const bool is_button = c.style == default_button || c.style == button || c.style == group_box;
  char text[160];
  std::snprintf(text, sizeof text, "control %d #%d 0x%08X 0x00000000 %d %d %d %d|%s", c.id,
                is_button ? 0x80 : 0x82, c.style, c.x, c.y, c.cx, c.cy, c.text);
  return text;
}

struct WineResources : testing::Test {
  static std::vector<std::string> lines;
  static void SetUpTestSuite() {
    lines = run_driver(wine_session(), {"resources", windows_path(hub_exe(wine_session()))}).lines;
  }
  std::vector<std::string> starting_with(const std::string& head) const {
    std::vector<std::string> out;
    for (const auto& l : lines)
      if (l.rfind(head, 0) == 0) out.push_back(l);
    return out;
  }
};

std::vector<std::string> WineResources::lines;

TEST_F(WineResources, MonitorDialogIsTheExtendedTemplateOfTheControlTable) {
  // WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT |
  // DS_FIXEDSYS | DS_CENTER; no extended style, menu or class.
  const std::vector<std::string> dialog = {"dialog 0x80CA08C8 0x00000000 0 0 228 177 menu= class= "
                                           "font=8,400,0,1,MS Shell Dlg|VR Pedalon Hub (v1.2)"};
  EXPECT_EQ(starting_with("dialog "), dialog);

  const std::vector<std::string> controls = starting_with("control ");
  ASSERT_EQ(controls.size(), std::size(monitor_controls));
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(controls[i], line_of(monitor_controls[i]));
  }
}

TEST_F(WineResources, IconGroupHasFiveSizesAt32Bits) {
  const std::vector<std::string> icons = {"icon 16 16 32", "icon 24 24 32", "icon 32 32 32",
                                          "icon 48 48 32", "icon 256 256 32"};
  EXPECT_EQ(starting_with("icon "), icons);
}

TEST_F(WineResources, ManifestRunsAsInvokerAndIsDpiAware) {
  const std::vector<std::string> manifest = starting_with("manifest ");
  ASSERT_EQ(manifest.size(), 1u);
  const std::string& m = manifest[0];
  EXPECT_NE(m.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(m.find("uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(m.find(">true</dpiAware>"), std::string::npos);
}

} // namespace
