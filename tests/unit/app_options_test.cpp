#include <gtest/gtest.h>

#include <vector>

#include "app/options.h"

namespace {

struct OptionCase {
  const wchar_t* arg;
  bool expected;
};

TEST(NoxinputOption, MatchesOnlyThePrefixedWordOfEightLetters) {
  const OptionCase cases[] = {
      {L"-noxinput", true},   {L"/noxinput", true},    {L"-NOXINPUT", true},
      {L"/NoXInPuT", true},   {L"noxinput", false},    {L"--noxinput", false},
      {L"+noxinput", false},  {L"\\noxinput", false},  {L"-noxinputs", false},
      {L"-noxinput ", false}, {L"/noxinput=1", false}, {L"-noxinpt", false},
      {L"-noxinpu", false},   {L"-", false},           {L"", false},
      {L" -noxinput", false}, {L"-noxİnput", false}, // a capital I with a dot is no ASCII letter
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(is_noxinput_option(cases[i].arg), cases[i].expected);
  }
  EXPECT_FALSE(is_noxinput_option(nullptr));
}

struct ArgvCase {
  std::vector<const wchar_t*> argv;
  bool expected;
};

TEST(NoxinputOption, IsFoundAtAnyPositionFromOneOn) {
  const ArgvCase cases[] = {
      {{L"hub.exe"}, false},
      {{L"hub.exe", L"-noxinput"}, true},
      {{L"hub.exe", L"x", L"y", L"/NOXINPUT"}, true},
      {{L"hub.exe", L"-noxinput", L"-noxinput"}, true},
      {{L"hub.exe", L"-noxinput", L"other"}, true}, // a later argument never clears it
      {{L"-noxinput"}, false},                      // the program path is never tested
      {{L"-noxinput", L"noxinput"}, false},
      {{L"hub.exe", L"--noxinput", L"+noxinput"}, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const auto& argv = cases[i].argv;
    EXPECT_EQ(has_noxinput_option(static_cast<int>(argv.size()), argv.data()), cases[i].expected);
  }
  EXPECT_FALSE(has_noxinput_option(0, nullptr));
}

} // namespace
