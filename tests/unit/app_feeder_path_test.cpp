#include <gtest/gtest.h>

#include <string>

#include "app/feeder_path.h"

namespace {

struct PathCase {
  std::wstring exe;
  FeederPath result;
  std::wstring path; // expected when ready
};

// The longest folder whose feeder path still fits: 259 characters before the terminating zero.
const std::wstring tail = L"feeder\\PadRelay.exe";
const std::wstring longest_folder = L"C:\\" + std::wstring(259 - tail.size() - 4, L'a') + L"\\";
const std::wstring too_long_folder = L"C:\\" + std::wstring(259 - tail.size() - 3, L'a') + L"\\";

TEST(FeederPath, IsFeederPadRelayInTheExecutablesFolder) {
  const PathCase cases[] = {
      {L"D:\\Tools\\Hub\\hub.exe", FeederPath::ready, L"D:\\Tools\\Hub\\feeder\\PadRelay.exe"},
      {L"C:\\Program Files\\VR Pedalon\\pedalon-hub.exe", FeederPath::ready,
       L"C:\\Program Files\\VR Pedalon\\feeder\\PadRelay.exe"},
      {L"C:\\Games & Tools\\hub.exe", FeederPath::ready,
       L"C:\\Games & Tools\\feeder\\PadRelay.exe"},
      {L"C:\\Spiele\\Fußpedal\\ペダル\\hub.exe", FeederPath::ready,
       L"C:\\Spiele\\Fußpedal\\ペダル\\feeder\\PadRelay.exe"},
      {L"C:\\hub.exe", FeederPath::ready, L"C:\\feeder\\PadRelay.exe"},
      {L"\\\\server\\share\\hub.exe", FeederPath::ready,
       L"\\\\server\\share\\feeder\\PadRelay.exe"},
      {L"C:\\Hub\\", FeederPath::ready, L"C:\\Hub\\feeder\\PadRelay.exe"},
      {longest_folder + L"hub.exe", FeederPath::ready, longest_folder + tail},
      {too_long_folder + L"hub.exe", FeederPath::too_long, L""},
      {L"C:\\" + std::wstring(4000, L'a') + L"\\hub.exe", FeederPath::too_long, L""},
      {L"hub.exe", FeederPath::no_folder, L""},
      {L"C:/Tools/hub.exe", FeederPath::no_folder, L""},
      {L"", FeederPath::no_folder, L""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    wchar_t path[feeder_path_capacity] = L"untouched";
    EXPECT_EQ(build_feeder_path(cases[i].exe.c_str(), path), cases[i].result);
    if (cases[i].result == FeederPath::ready) {
      EXPECT_EQ(std::wstring(path), cases[i].path);
      EXPECT_EQ(feeder_path_problem(cases[i].result), nullptr);
    } else {
      EXPECT_EQ(std::wstring(path), L"untouched");
      EXPECT_NE(feeder_path_problem(cases[i].result), nullptr);
    }
  }
  wchar_t path[feeder_path_capacity] = L"untouched";
  EXPECT_EQ(build_feeder_path(nullptr, path), FeederPath::no_folder);
}

} // namespace
