// The resources compiled into pedalon-hub.exe, read back from the built program by windres.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

namespace {

// The whole monitor dialog as windres prints it: header, styles and every control in template
// (and tab) order. STYLE is WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME
// | DS_SETFONT | DS_FIXEDSYS | DS_CENTER; an extended style, menu or class would print a line.
// Labels are SS_LEFT | WS_GROUP, the value controls WS_DISABLED until set-up enables them.
const char* const monitor_dialog = R"rc(103 DIALOGEX 0, 0, 228, 177
STYLE 0x80ca08c8
CAPTION "VR Pedalon Hub (v1.2)"
FONT 8, "MS Shell Dlg", 400, 0, 1
BEGIN
  DEFPUSHBUTTON "Start vjoy feeder", 1045, 153, 157, 62, 14, 0x50010001
  LTEXT "www.vrpedalon.com", -1, 148, 28, 72, 8, 0x50020000
  LTEXT "The app gets data from Pedalon and other sources", -1, 10, 8, 214, 8, 0x50020000
  LTEXT "to generate controls for applications, including steamVR", -1, 11, 17, 201, 8, 0x50020000
  LTEXT "Joystick X:", 1013, 18, 52, 50, 8, 0x58020000
  LTEXT "Joystick Y:", 1014, 18, 63, 50, 8, 0x58020000
  LTEXT "Heading RF:", 1015, 18, 94, 50, 8, 0x58020000
  LTEXT "Touch State:", -1, 18, 137, 47, 8, 0x50020000
  LTEXT "Tilt RF:", 1016, 18, 104, 50, 8, 0x58020000
  LTEXT "Status: no remote app connected", 1024, 12, 160, 110, 8, 0x50020000
  GROUPBOX "Pedalon inputs", -1, 7, 41, 108, 112, 0x50000007
  LTEXT "0", 1010, 63, 52, 21, 8, 0x58020000
  LTEXT "0", 1011, 63, 63, 21, 8, 0x58020000
  LTEXT "0", 1012, 63, 94, 21, 8, 0x58020000
  LTEXT "", 1041, 64, 137, 47, 8, 0x50020000
  LTEXT "0", 1020, 63, 104, 21, 8, 0x58020000
  LTEXT "0", 1040, 1135, 82, 21, 8, 0x58020000
  LTEXT "Heading LF:", 1017, 18, 115, 50, 8, 0x58020000
  LTEXT "0", 1021, 63, 115, 21, 8, 0x58020000
  LTEXT "Tilt LF:", 1018, 18, 126, 50, 8, 0x58020000
  LTEXT "0", 1022, 63, 126, 21, 8, 0x58020000
  LTEXT "NA", 1019, 161, 59, 34, 8, 0x50020000
  LTEXT "0", 1030, 1135, 56, 21, 8, 0x58020000
  LTEXT "NA:", 1023, 161, 81, 49, 8, 0x50020000
  LTEXT "0", 1031, 1135, 67, 21, 8, 0x58020000
  LTEXT "NA", 1025, 161, 114, 42, 8, 0x50020000
  LTEXT "0", 1042, 1135, 93, 21, 8, 0x58020000
  LTEXT "NA", 1026, 161, 125, 44, 8, 0x50020000
  LTEXT "0", 1043, 1135, 104, 21, 8, 0x58020000
  LTEXT "NA", 1027, 173, 138, 42, 8, 0x50020000
  LTEXT "0", 1044, 1135, 115, 21, 8, 0x58020000
  GROUPBOX "Remote app inputs", -1, 118, 41, 100, 52, 0x50000007
  LTEXT "Steering wheel:", -1, 131, 50, 53, 8, 0x50020000
  LTEXT "Buttons: A B X Y T1 T2", -1, 130, 73, 76, 8, 0x50020000
  GROUPBOX "vjoy mode", -1, 118, 100, 100, 53, 0x50000007
  LTEXT "Throttle:", -1, 130, 114, 30, 8, 0x50020000
  LTEXT "Brake:", -1, 131, 125, 22, 8, 0x50020000
  PUSHBUTTON "Swith mode", 1029, 122, 135, 46, 14, 0x50010000
  PUSHBUTTON "100%", 1032, 70, 72, 38, 14, 0x50010000
  LTEXT "Initial spd adj", -1, 18, 75, 45, 8, 0x50020000
END
)rc";

std::string decompiled_resources() {
  std::string text;
  FILE* out = popen(WINDRES " -O rc -i " PEDALON_HUB_EXE, "r");
  if (out == nullptr) return text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
    text.append(buffer, n);
  pclose(out);
  return text;
}

// The block of one resource, from its first line to its END; other resources are no concern.
std::string resource(const std::string& all, const std::string& head) {
  const size_t begin = all.find("\n" + head);
  if (begin == std::string::npos) return "";
  const size_t end = all.find("\nEND\n", begin);
  return all.substr(begin + 1, end == std::string::npos ? end : end - begin + 4);
}

struct HubResources : testing::Test {
  static inline const std::string all = decompiled_resources();
};

TEST_F(HubResources, MonitorDialogIsTheTemplateOfTheControlTable) {
  EXPECT_EQ(resource(all, "103 DIALOGEX"), monitor_dialog);
}

TEST_F(HubResources, IconGroupHasFiveSizesAt32Bits) {
  // Element lines: "width height colours pad" in octal (0 is 256), planes, bits, ...
  const std::string group = resource(all, "102 14 /* RT_GROUP_ICON */");
  const std::regex element(R"re("\\(\d{3})\\(\d{3})\\000\\000", 1, (\d+),)re");
  const auto side = [](const std::string& octal) {
    const int n = std::stoi(octal, nullptr, 8);
    return std::to_string(n == 0 ? 256 : n);
  };
  std::string sizes;
  for (std::sregex_iterator i(group.begin(), group.end(), element), end; i != end; ++i)
    sizes += side((*i)[1]) + "x" + side((*i)[2]) + "@" + (*i)[3].str() + " ";
  EXPECT_EQ(sizes, "16x16@32 24x24@32 32x32@32 48x48@32 256x256@32 ");
}

TEST_F(HubResources, ManifestRunsAsInvokerAndIsDpiAware) {
  const std::string manifest = resource(all, "1 24 /* RT_MANIFEST */");
  for (const char* part : {R"(level=""asInvoker"")", R"(uiAccess=""false"")", ">true</dpiAware>"})
    EXPECT_NE(manifest.find(part), std::string::npos) << part << " missing in\n" << manifest;
}

} // namespace
