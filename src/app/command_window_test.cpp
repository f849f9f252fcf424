#include "app/command_window.h"

#include <gtest/gtest.h>

#include "platform/window_styles.h"
#include "support/fake_platform.h"

namespace codeloom {
namespace {

using namespace styles;

std::string describe(const ControlLayout& c) {
  return std::to_string(c.id) + " " + c.text + " " + std::to_string(c.x) + "," +
         std::to_string(c.y) + " " + std::to_string(c.width) + "x" + std::to_string(c.height);
}

TEST(CommandWindow, Layout) {
  DialogLayout layout = commandWindowLayout();
  EXPECT_EQ("Codeloom", layout.caption);
  EXPECT_EQ(663, layout.x);
  EXPECT_EQ(132, layout.y);
  EXPECT_EQ(126, layout.width);
  EXPECT_EQ(182, layout.height);
  EXPECT_EQ(kVisible | kClipSiblings | kCaption | kSysMenu | kMinimizeBox | kDsModalFrame,
            layout.style);
  EXPECT_EQ(kExTopmost | kExControlParent, layout.exStyle);
  EXPECT_EQ("MS Sans Serif", layout.fontFace);
  EXPECT_EQ(8, layout.fontPoints);

  const char* expected[] = {
      "1001 &Forum Format Files 10,5 105x15",  "1002 New &Class 10,30 105x15",
      "1004 New &Interface 10,45 105x15",      "1012 New &GUID 10,60 105x15",
      "1032 Write SLL &headers 10,75 105x15",  "1035 Write DLL header&s 10,90 105x15",
      "1034 Write compile heade&rs 10,105 105x15", "1025 New &App 10,130 105x15",
      "1026 New &Win 10,145 105x15",           "1027 New Chil&d 10,160 105x15",
      "1029 Line2 5,25 114x1",                 "1030 Line2 5,125 115x1",
  };
  ASSERT_EQ(std::size(expected), layout.controls.size());
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& c = layout.controls[i];
    EXPECT_EQ(expected[i], describe(c));
    if (i < 10) {
      EXPECT_EQ(ControlKind::Button, c.kind);
      EXPECT_EQ(kChild | kVisible | kTabStop | kBsPushButton, c.style);
    } else {
      EXPECT_EQ(ControlKind::Static, c.kind);
      EXPECT_EQ(kChild | kVisible | kSsEtchedHorz, c.style);
    }
  }
}

TEST(CommandWindow, NewGuidRunsOnlyOnClickOrAccelerator) {
  for (int code : {0, 1, 5, 0xFFFF}) {
    FakePlatform platform;
    ToolSettings settings;
    dispatchCommand(platform, settings, nullptr, kNewGuid, code);
    EXPECT_EQ(code <= 1 ? 1 : 0, platform.clipboardWrites) << code;
  }
}

TEST(CommandWindow, UnknownIdsAndEscapeDoNothing) {
  for (int id : {1, 2, 1003, 1029, 1036}) {
    FakePlatform platform;
    ToolSettings settings;
    dispatchCommand(platform, settings, nullptr, id, 0);
    EXPECT_EQ(0, platform.clipboardWrites);
    EXPECT_TRUE(platform.openFileRequests.empty());
    EXPECT_TRUE(platform.closedDialogs.empty());
  }
}

TEST(CommandWindow, RunsModallyWithoutOwnerUntilClosed) {
  FakePlatform platform;
  platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& window) {
    p.press(window, kIdCancel);  // Escape: the window stays open
    EXPECT_FALSE(window.ended);
    p.press(window, kNewGuid);
  });
  EXPECT_EQ(0, runCommandWindow(platform));
  ASSERT_EQ(1u, platform.closedDialogs.size());
  EXPECT_EQ(nullptr, platform.closedDialogs[0].owner);
  EXPECT_EQ(1, platform.clipboardWrites);
}

}  // namespace
}  // namespace codeloom
