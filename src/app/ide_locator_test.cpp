#include "app/ide_locator.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace codeloom {
namespace {

TEST(IdeLocator, TitleMatch) {
  struct Case { const char* title; bool match; };
  for (Case c : {Case{"PB/WIN IDE", true},
                 {"PB/WIN IDE - x.bas", true},
                 {"pb/cc ide - main.bas", true},
                 {"Pb/Win Ide", true},
                 {"PB/WIN", false},  // shorter than the prefix
                 {"", false},
                 {"Editor - PB/WIN IDE", false},
                 {"PB/WIN ID", false},
                 {"PB/CC IDEA", true},
                 {"PB/WIN  IDE", false}}) {
    EXPECT_EQ(c.match, isIdeTitle(c.title)) << c.title;
  }
}

TEST(IdeLocator, FirstWindowInZOrderWins) {
  FakePlatform platform;
  int a, b, c;
  platform.topWindows = {{&a, "Notepad"}, {&b, "PB/CC IDE - b.bas"}, {&c, "PB/WIN IDE - c.bas"}};
  activateIde(platform);
  EXPECT_EQ(&b, platform.foreground);
}

TEST(IdeLocator, NoIdeChangesNothing) {
  FakePlatform platform;
  int a;
  platform.topWindows = {{&a, "Codeloom"}};
  activateIde(platform);
  EXPECT_EQ(nullptr, platform.foreground);
}

}  // namespace
}  // namespace codeloom
