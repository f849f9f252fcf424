#include "headers/header_command.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/whole_file_scan.h"

namespace codeloom {
namespace {


std::string banner(const std::string& name) { return kBannerRule + "' " + name + "\r\n" + kBannerRule; }

const char kCounter[] = "Interface ICounter\r\nMethod Inc()\r\nEnd Interface\r\n";
const std::string kCounterCopy = "\r\nInterface ICounter\r\n  Method Inc()\r\nEnd Interface\r\n";

TEST(HeaderCommand, OneFile) {
  FakePlatform platform;
  platform.files["C:\\prj\\a.bas"] = "Sub A(x) Export\r\n";
  platform.openFileResults = {fileDialogResult("C:\\prj", {"a.bas"})};
  platform.clipboard = "old";
  runHeaderCommand(platform, HeaderMode::Dll);
  EXPECT_EQ(banner("a.bas") + "Declare Sub A Lib \"export.dll\" Alias \"A\" (x)\r\n\r\n",
            platform.clipboard);
  ASSERT_EQ(1u, platform.openFileRequests.size());
  const OpenFileRequest& request = platform.openFileRequests[0];
  EXPECT_EQ(nullptr, request.owner);
  EXPECT_FALSE(request.offsetFromOwner);
  EXPECT_EQ("Select files", request.title);
  EXPECT_EQ("C:\\prj\\pb", request.initialFolder);
  EXPECT_EQ("*.bas;*.inc", request.filterPattern);
}

// Every mode's dialog has no owner and asks for no placement, so the
// platform gives it no hook.
TEST(HeaderCommand, DialogAsksForNoPlacement) {
  for (HeaderMode mode : {HeaderMode::Sll, HeaderMode::Dll, HeaderMode::Compile}) {
    FakePlatform platform;
    runHeaderCommand(platform, mode);
    ASSERT_EQ(1u, platform.openFileRequests.size());
    EXPECT_EQ(nullptr, platform.openFileRequests[0].owner);
    EXPECT_FALSE(platform.openFileRequests[0].offsetFromOwner);
  }
}

// Read by the path the dialog returned; the banner shows '?' where the code
// page lacks a character, never the look-alike file's name or text.
TEST(HeaderCommand, PickedFileIsReadByItsOwnPath) {
  FakePlatform platform;
  platform.wideFiles[u"C:\\p\\a\uFF3Cb.bas"] = "Sub Real() Export\r\n";
  platform.files["C:\\p\\a\\b.bas"] = "Sub BestFit() Export\r\n";
  platform.files["C:\\p\\a?b.bas"] = "Sub Question() Export\r\n";
  platform.openFileResults = {{{u"C:\\p", u"a\uFF3Cb.bas"}}, {{u"C:\\p\\a\uFF3Cb.bas"}}};
  runHeaderCommand(platform, HeaderMode::Sll);
  EXPECT_EQ(banner("a?b.bas") + "Declare Sub Real()\r\n\r\n", platform.clipboard);
  runHeaderCommand(platform, HeaderMode::Sll);
  EXPECT_EQ(banner("a?b.bas") + "Declare Sub Real()\r\n\r\n", platform.clipboard);
}

TEST(HeaderCommand, SeveralFilesInDialogOrderWithInterfaceOnce) {
  FakePlatform platform;
  platform.files["C:\\p\\z.bas"] = std::string("Sub Z() Common\r\n") + kCounter;
  platform.files["C:\\p\\a.inc"] = std::string("INTERFACE icounter\r\nMethod Inc()\r\nEND INTERFACE\r\n") +
                                   "Sub A() Common\r\n";
  platform.openFileResults = {fileDialogResult("C:\\p", {"z.bas", "a.inc"})};
  runHeaderCommand(platform, HeaderMode::Sll);
  EXPECT_EQ(banner("z.bas") + "Declare Sub Z() Common\r\n" + kCounterCopy + "\r\n" +
                banner("a.inc") + "Declare Sub A() Common\r\n\r\n",
            platform.clipboard);
}

// Files are read in windows of any size with the same header; a read that
// fails partway makes the file count as empty, and the interfaces it held
// are written by the next file that defines them.
TEST(HeaderCommand, WindowedReadsAndAReadFailingPartway) {
  const std::string source = std::string("Sub Z(a, _\r\n  b) Common\r\n") + kCounter;
  const std::string section =
      banner("z.bas") + "Declare Sub Z(a, _\r\n          b) Common\r\n" + kCounterCopy + "\r\n";
  for (size_t window : {1, 2, 7, 64, 1 << 16}) {
    FakePlatform platform;
    platform.pickedWindowBytes = window;
    platform.files["C:\\p\\z.bas"] = source;
    platform.openFileResults = {fileDialogResult("C:\\p", {"z.bas"})};
    runHeaderCommand(platform, HeaderMode::Sll);
    EXPECT_EQ(section, platform.clipboard) << window;
  }
  FakePlatform platform;
  platform.files["C:\\p\\z.bas"] = source;
  platform.files["C:\\p\\y.bas"] = kCounter;  // shorter: read whole
  platform.pickedReadFailsAfter = source.size() - 3;  // inside "End Interface"
  platform.openFileResults = {fileDialogResult("C:\\p", {"z.bas", "y.bas"})};
  runHeaderCommand(platform, HeaderMode::Sll);
  EXPECT_EQ(banner("z.bas") + "\r\n" + banner("y.bas") + kCounterCopy + "\r\n",
            platform.clipboard);
}

TEST(HeaderCommand, CancelLeavesAnEmptyText) {
  FakePlatform platform;
  platform.clipboard = "old";
  runHeaderCommand(platform, HeaderMode::Compile);
  EXPECT_EQ("", platform.clipboard);
  EXPECT_EQ(1, platform.clipboardWrites);
}

TEST(HeaderCommand, UnreadableFileStillGetsItsBanner) {
  FakePlatform platform;
  platform.files["C:\\p\\bad.bas"] = "Sub A() Export\r\n";
  platform.faultyPaths = {"C:\\p\\bad.bas"};
  platform.files["C:\\p\\ok.bas"] = "Sub B() Export\r\n";
  platform.openFileResults = {fileDialogResult("C:\\p", {"missing.bas", "bad.bas", "ok.bas"})};
  runHeaderCommand(platform, HeaderMode::Sll);
  EXPECT_EQ(banner("missing.bas") + "\r\n" + banner("bad.bas") + "\r\n" + banner("ok.bas") +
                "Declare Sub B()\r\n\r\n",
            platform.clipboard);
}

TEST(HeaderCommand, EachRunStartsWithNoKnownInterfaces) {
  FakePlatform platform;
  platform.files["C:\\p\\c.bas"] = kCounter;
  platform.openFileResults = {fileDialogResult("C:\\p", {"c.bas"}), fileDialogResult("C:\\p", {"c.bas"})};
  runHeaderCommand(platform, HeaderMode::Sll);
  std::string first = platform.clipboard.value_or("none");
  runHeaderCommand(platform, HeaderMode::Sll);
  EXPECT_EQ(banner("c.bas") + kCounterCopy + "\r\n", first);
  EXPECT_EQ(first, platform.clipboard);
}

TEST(HeaderCommand, BusyClipboardEndsQuietly) {
  FakePlatform platform;
  platform.clipboardBusy = true;
  platform.clipboard = "old";
  platform.files["C:\\p\\c.bas"] = kCounter;
  platform.openFileResults = {fileDialogResult("C:\\p", {"c.bas"})};
  runHeaderCommand(platform, HeaderMode::Sll);
  EXPECT_EQ("old", platform.clipboard);
}

}  // namespace
}  // namespace codeloom
