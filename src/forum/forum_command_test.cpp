#include "forum/forum_command.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ansi.h"
#include "support/fake_platform.h"

namespace codeloom {
namespace {

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
            forumClipboard(platform, fileDialogResult("C:\\prj\\pb", {"main.bas"})));
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
    EXPECT_EQ(c.name + "\r\n[code]x[/code]\r\n \r\n",
              forumClipboard(platform, {{ansiToUtf16(c.text)}}))
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
            forumClipboard(platform, fileDialogResult("C:\\prj", {"z.bas", "a.inc", "m.bas"})));
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
              forumClipboard(platform, fileDialogResult(c.folder, {"a.bas", "b.bas"})))
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
            forumClipboard(platform, fileDialogResult("D:\\src", {"a.bas", "locked.bas", "gone.bas", "c.bas"})));
}

// A picked file is read by the path the dialog returned, whatever the code
// page can show of it; its name in the output has '?' for what it cannot.
// The files that a best-fit or '?' spelling of the path would open hold
// other text.
TEST(ForumCommand, PickedFileIsReadByItsOwnPath) {
  FakePlatform platform;
  platform.wideFiles[u"C:\\p\\a\uFF3Cb.bas"] = "real";
  platform.wideFiles[u"C:\\p\\\u221E.inc"] = "infinity";
  platform.files["C:\\p\\a\\b.bas"] = "best fit";
  platform.files["C:\\p\\a?b.bas"] = "question mark";
  platform.files["C:\\p\\8.inc"] = "eight";
  EXPECT_EQ("a?b.bas\r\n[code]real[/code]\r\n \r\n",
            forumClipboard(platform, {{u"C:\\p\\a\uFF3Cb.bas"}}));
  FakePlatform several;
  several.wideFiles = platform.wideFiles;
  several.files = platform.files;
  EXPECT_EQ("a?b.bas\r\n[code]real[/code]\r\n \r\n?.inc\r\n[code]infinity[/code]\r\n \r\n",
            forumClipboard(several, {{u"C:\\p", u"a\uFF3Cb.bas", u"\u221E.inc"}}));
  EXPECT_EQ((std::vector<std::u16string>{u"C:\\p\\a\uFF3Cb.bas", u"C:\\p\\\u221E.inc"}),
            several.pickedReads);
}

TEST(ForumCommand, BusyClipboardIsLeftAlone) {
  FakePlatform platform;
  platform.clipboard = "old";
  platform.clipboardBusy = true;
  platform.files["C:\\a.bas"] = "a";
  platform.openFileResults.push_back(fileDialogResult("C:", {"a.bas"}));
  runForumFormat(platform, nullptr);
  EXPECT_EQ("old", platform.clipboard);
}

}  // namespace
}  // namespace codeloom
