// The progress of long steps: counts as the window shows them, and what a port is told.
#include <gtest/gtest.h>

#include "session/progress.h"
#include "support/fake_port.h"

namespace kursolin {
namespace {

TEST(GroupedCount, PutsPointsBetweenGroupsOfThree) {
  const std::pair<long long, const char*> cases[] = {
      {0, "0"},
      {7, "7"},
      {999, "999"},
      {1000, "1.000"},
      {65536, "65.536"},
      {100000, "100.000"},
      {1234567, "1.234.567"},
      {-4096, "-4.096"},
  };
  for (const auto& [n, text] : cases) EXPECT_EQ(groupedCount(n), text) << n;
}

TEST(ProgressTicker, ShortLoopLeavesTheStatusAloneButLetsEventsThrough) {
  test::ScriptedPort port;
  {
    ProgressTicker ticker(port, "Zeilen: ", 1000);
    for (long long i = 0; i < 1000; ++i) ticker.tick(i + 1);
  }
  EXPECT_TRUE(port.progressTexts.empty());
  EXPECT_GT(port.pendingEventCalls, 0);
}

TEST(ProgressTicker, LongLoopShowsCountAndTotalThenEnds) {
  test::ScriptedPort port;
  {
    ProgressTicker ticker(port, "Zeilen: ", 100000);
    for (long long i = 0; i < 100000; ++i) ticker.tick(i + 1);
    ASSERT_GE(port.progressTexts.size(), 1u);
    EXPECT_EQ(port.progressTexts.front().rfind("Zeilen: ", 0), 0u) << port.progressTexts.front();
    EXPECT_TRUE(port.progressTexts.front().ends_with(" von 100.000"));
  }
  EXPECT_EQ(port.progressTexts.back(), "");
  EXPECT_GE(port.pendingEventCalls, 100000 / 256);
}

}  // namespace
}  // namespace kursolin
