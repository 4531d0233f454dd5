// main() of a Wine test executable: one session (prefix, wineserver) for all its tests.
#include <gtest/gtest.h>

#include "wine_harness.h"

namespace {

WineSession session;

struct WineEnvironment : testing::Environment {
  void SetUp() override {
    std::string error;
    if (!start_wine_session(session, PEDALON_WINDOWS_BUILD_DIR, error)) FAIL() << error;
  }
  void TearDown() override { stop_wine_session(session); }
};

} // namespace

const WineSession& wine_session() {
  return session;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new WineEnvironment);
  return RUN_ALL_TESTS();
}
