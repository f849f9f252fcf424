#include "forum/forum_command.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_platform.h"

namespace codeloom {
namespace {

using namespace std::string_literals;

// The clipboard after one run of the command with this dialog result.
std::string forumClipboard(FakePlatform& platform, OpenFileResult picked) {
  platform.openFileResults.push_back(std::move(picked));
  int commandWindow;
  runForumFormat(platform, &commandWindow);
  EXPECT_EQ(1u, platform.openFileRequests.size());
  EXPECT_EQ(1, platform.clipboardWrites);
  return platform.clipboard.value_or("<no text>");
}

TEST(ForumCommand, RequestIsOwnedAndOffsetFromCommandWindow) {
  FakePlatform platform;
  int commandWindow;
  runForumFormat(platform, &commandWindow);
  ASSERT_EQ(1u, platform.openFileRequests.size());
  const OpenFileRequest& r = platform.openFileRequests[0];
  EXPECT_EQ(&commandWindow, r.owner);
  EXPECT_TRUE(r.offsetFromOwner);
  EXPECT_EQ("Select files", r.title);
  EXPECT_EQ("C:\\prj\\pb", r.initialFolder);
  EXPECT_EQ("Basic", r.filterName);
  EXPECT_EQ("*.bas;*.inc", r.filterPattern);
}

TEST(ForumCommand, CancelLeavesEmptyText) {
  FakePlatform platform;
  platform.clipboard = "old";
  EXPECT_EQ("", forumClipboard(platform, {}));
}

TEST(ForumCommand, OneFileIsNamedAfterLastBackslash) {
  FakePlatform platform;
  platform.files["C:\\prj\\pb\\main.bas"] = "#COMPILE EXE\r\n\r\nFunction PBMain\r\n\tx = 1\r\nEnd Function\r\n";
  EXPECT_EQ("main.bas\r\n[code]#COMPILE EXE\r\n \r\nFunction PBMain\r\n  x = 1\r\nEnd Function[/code]\r\n \r\n",
            forumClipboard(platform, pickedFiles("C:\\prj\\pb", {"main.bas"})));
}

TEST(ForumCommand, OneFileNames) {
  struct Case { std::string text, path, name; };
  const Case cases[] = {
      {"C:\\a.bas", "C:\\a.bas", "a.bas"},
      {"  C:\\p q\\a b.inc  ", "C:\\p q\\a b.inc", "a b.inc"},  // blanks around the path go
      {"a.bas", "a.bas", "a.bas"},                              // no backslash: the whole path
      {"C:\\dir\\", "C:\\dir\\", ""},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files[c.path] = "x";
    EXPECT_EQ(c.name + "\r\n[code]x[/code]\r\n \r\n", forumClipboard(platform, {1, c.text}))
        << c.text;
  }
}

TEST(ForumCommand, SeveralFilesInDialogOrder) {
  FakePlatform platform;
  platform.files["C:\\prj\\z.bas"] = "Z\r\n";
  platform.files["C:\\prj\\a.inc"] = "A1\rA2";
  platform.files["C:\\prj\\m.bas"] = "";
  EXPECT_EQ("z.bas\r\n[code]Z[/code]\r\n \r\n"
            "a.inc\r\n[code]A1\r\nA2[/code]\r\n \r\n"
            "m.bas\r\n[code][/code]\r\n \r\n",
            forumClipboard(platform, pickedFiles("C:\\prj", {"z.bas", "a.inc", "m.bas"})));
}

TEST(ForumCommand, SeveralFileFolders) {
  struct Case { std::string folder; std::string firstPath; };
  const Case cases[] = {
      {"C:\\", "C:\\a.bas"},         // a root folder gets no second backslash
      {" C:\\prj ", "C:\\prj\\a.bas"},  // blanks around the folder go
      {"C:\\prj\\", "C:\\prj\\a.bas"},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files[c.firstPath] = "1";
    EXPECT_EQ("a.bas\r\n[code]1[/code]\r\n \r\nb.bas\r\n[code][/code]\r\n \r\n",
              forumClipboard(platform, pickedFiles(c.folder, {"a.bas", "b.bas"})))
        << c.folder;
  }
}

TEST(ForumCommand, UnreadableFileGivesEmptyBlockAndOthersGoOn) {
  FakePlatform platform;
  platform.files["D:\\src\\a.bas"] = "a";
  platform.files["D:\\src\\locked.bas"] = "secret";
  platform.files["D:\\src\\c.bas"] = "c";
  platform.faultyPaths = {"D:\\src\\locked.bas"};
  EXPECT_EQ("a.bas\r\n[code]a[/code]\r\n \r\n"
            "locked.bas\r\n[code][/code]\r\n \r\n"
            "gone.bas\r\n[code][/code]\r\n \r\n"
            "c.bas\r\n[code]c[/code]\r\n \r\n",
            forumClipboard(platform, pickedFiles("D:\\src", {"a.bas", "locked.bas", "gone.bas", "c.bas"})));
}

TEST(ForumCommand, MissingNamesGiveEmptyBlocks) {
  FakePlatform platform;
  platform.files["C:\\p\\a.bas"] = "a";
  EXPECT_EQ("a.bas\r\n[code]a[/code]\r\n \r\n\r\n[code][/code]\r\n \r\n",
            forumClipboard(platform, {2, "C:\\p\0a.bas"s}));
}

TEST(ForumCommand, BusyClipboardIsLeftAlone) {
  FakePlatform platform;
  platform.clipboard = "old";
  platform.clipboardBusy = true;
  platform.files["C:\\a.bas"] = "a";
  platform.openFileResults.push_back(pickedFiles("C:", {"a.bas"}));
  runForumFormat(platform, nullptr);
  EXPECT_EQ("old", platform.clipboard);
}

}  // namespace
}  // namespace codeloom
