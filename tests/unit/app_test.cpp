#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/cycles.h"
#include "app/feeder_path.h"
#include "app/options.h"

namespace {

TEST(ModeCycle, GoesOneTwoThreeFiveZeroAndLeavesOtherValuesAlone) {
  int32_t mode = 1;
  for (const int32_t next : {2, 3, 5, 0, 1})
    EXPECT_EQ(mode = next_drive_mode(mode), next);
  for (const int32_t other : {4, 6, -1, 100, INT32_MIN, INT32_MAX})
    EXPECT_EQ(next_drive_mode(other), other);
}

TEST(SpeedCycle, SevenPressesShowEveryCaptionAndOtherValuesKeepStepAndCaption) {
  const std::pair<int32_t, const wchar_t*> presses[] = {
      {5, L"120%"}, {6, L"150%"}, {4, L"35%"}, {3, L"50%"}, {2, L"65%"}, {1, L"80%"}, {0, L"100%"}};
  int32_t step = 0;
  for (const auto& [next, caption] : presses) {
    SCOPED_TRACE(next);
    EXPECT_EQ(step = next_speed_step(step), next);
    wchar_t text[speed_caption_capacity] = L"unchanged";
    EXPECT_TRUE(format_speed_caption(step, text));
    EXPECT_EQ(std::wstring(text), caption);
  }
  for (const int32_t other : {-1, 7, 42, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(next_speed_step(other), other);
    wchar_t text[speed_caption_capacity] = L"unchanged";
    EXPECT_FALSE(format_speed_caption(other, text));
    EXPECT_EQ(std::wstring(text), L"unchanged");
  }
}

TEST(NoxinputOption, MatchesOnlyThePrefixedWordOfEightLetters) {
  // "-noxİnput" has a capital I with a dot, which is no ASCII letter.
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"-noxinput", true},   {L"/noxinput", true},    {L"-NOXINPUT", true},
      {L"/NoXInPuT", true},   {L"noxinput", false},    {L"--noxinput", false},
      {L"+noxinput", false},  {L"\\noxinput", false},  {L"-noxinputs", false},
      {L"-noxinput ", false}, {L"/noxinput=1", false}, {L"-noxinpt", false},
      {L"-noxinpu", false},   {L"-", false},           {L"", false},
      {L" -noxinput", false}, {L"-noxİnput", false},   {nullptr, false}};
  for (const auto& [arg, expected] : cases) {
    SCOPED_TRACE(arg ? arg : L"nullptr");
    EXPECT_EQ(is_noxinput_option(arg), expected);
  }
}

TEST(NoxinputOption, IsFoundAtAnyPositionFromOneOn) {
  // A later argument never clears it; the program path is never tested.
  const std::pair<std::vector<const wchar_t*>, bool> cases[] = {
      {{L"hub.exe"}, false},
      {{L"hub.exe", L"-noxinput"}, true},
      {{L"hub.exe", L"x", L"y", L"/NOXINPUT"}, true},
      {{L"hub.exe", L"-noxinput", L"-noxinput"}, true},
      {{L"hub.exe", L"-noxinput", L"other"}, true},
      {{L"-noxinput"}, false},
      {{L"-noxinput", L"noxinput"}, false},
      {{L"hub.exe", L"--noxinput", L"+noxinput"}, false}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const auto& [argv, expected] = cases[i];
    EXPECT_EQ(has_noxinput_option(static_cast<int>(argv.size()), argv.data()), expected);
  }
  EXPECT_FALSE(has_noxinput_option(0, nullptr));
}

// The longest folder whose feeder path still fits: 259 characters before the terminating zero.
const std::wstring tail = L"feeder\\PadRelay.exe";
const std::wstring longest_folder = L"C:\\" + std::wstring(259 - tail.size() - 4, L'a') + L"\\";
const std::wstring too_long_folder = L"C:\\" + std::wstring(259 - tail.size() - 3, L'a') + L"\\";

TEST(FeederPath, IsFeederPadRelayInTheExecutablesFolder) {
  const std::tuple<std::wstring, FeederPath, std::wstring> cases[] = {
      {L"C:\\Program Files\\VR Pedalon\\pedalon-hub.exe", FeederPath::ready,
       L"C:\\Program Files\\VR Pedalon\\feeder\\PadRelay.exe"},
      {L"C:\\Spiele\\Fußpedal\\ペダル\\hub.exe", FeederPath::ready,
       L"C:\\Spiele\\Fußpedal\\ペダル\\feeder\\PadRelay.exe"},
      {L"C:\\hub.exe", FeederPath::ready, L"C:\\feeder\\PadRelay.exe"},
      {L"\\\\server\\share\\hub.exe", FeederPath::ready,
       L"\\\\server\\share\\feeder\\PadRelay.exe"},
      {L"C:\\Hub\\", FeederPath::ready, L"C:\\Hub\\feeder\\PadRelay.exe"},
      {longest_folder + L"hub.exe", FeederPath::ready, longest_folder + tail},
      {too_long_folder + L"hub.exe", FeederPath::too_long, L"untouched"},
      {L"C:\\" + std::wstring(4000, L'a') + L"\\hub.exe", FeederPath::too_long, L"untouched"},
      {L"hub.exe", FeederPath::no_folder, L"untouched"},
      {L"C:/Tools/hub.exe", FeederPath::no_folder, L"untouched"},
      {L"", FeederPath::no_folder, L"untouched"},
  };
  for (const auto& [exe, result, expected] : cases) {
    SCOPED_TRACE(testing::Message() << exe.size() << " characters");
    wchar_t path[feeder_path_capacity] = L"untouched";
    EXPECT_EQ(build_feeder_path(exe.c_str(), path), result);
    EXPECT_EQ(std::wstring(path), expected);
    EXPECT_EQ(feeder_path_problem(result) == nullptr, result == FeederPath::ready);
  }
  wchar_t path[feeder_path_capacity] = L"untouched";
  EXPECT_EQ(build_feeder_path(nullptr, path), FeederPath::no_folder);
}

} // namespace
