#include "platform/file_picker.h"

#include <gtest/gtest.h>

namespace codeloom {
namespace {

using Paths = std::vector<std::string>;

OpenFileResult result(int count, std::string text) { return {count, std::move(text)}; }

TEST(FilePicker, PathsFromDialogResult) {
  EXPECT_EQ(Paths(), pickedPaths(result(0, "")));
  EXPECT_EQ(Paths({"C:\\prj\\pb\\a.bas"}), pickedPaths(result(1, "C:\\prj\\pb\\a.bas")));
  EXPECT_EQ(Paths({"C:\\a b.bas"}), pickedPaths(result(1, "  C:\\a b.bas ")));
  EXPECT_EQ(Paths({"C:\\prj\\b.bas", "C:\\prj\\a.inc"}),
            pickedPaths(result(2, std::string("C:\\prj\0b.bas\0a.inc", 19))));
  EXPECT_EQ(Paths({"C:\\b.bas", "C:\\a.inc"}),  // a root folder keeps its one backslash
            pickedPaths(result(2, std::string("C:\\\0b.bas\0a.inc", 15))));
  EXPECT_EQ(Paths({"d\\x", "d\\"}),  // fewer names than the count: missing parts are empty
            pickedPaths(result(2, std::string("d\0x", 3))));
  // A folder of spaces only is empty: one pick is the empty path, several
  // picks hang off a lone backslash.
  EXPECT_EQ(Paths({""}), pickedPaths(result(1, "   ")));
  EXPECT_EQ(Paths({"\\a.bas", "\\b.bas"}),
            pickedPaths(result(2, std::string(" \0a.bas\0b.bas", 13))));
}

TEST(FilePicker, Request) {
  int owner;
  OpenFileRequest r = sourceFilesRequest(&owner);
  EXPECT_EQ(&owner, r.owner);
  EXPECT_EQ("Select files", r.title);
  EXPECT_EQ("C:\\prj\\pb", r.initialFolder);
  EXPECT_EQ("Basic", r.filterName);
  EXPECT_EQ("*.bas;*.inc", r.filterPattern);
  EXPECT_FALSE(r.offsetFromOwner);
}

}  // namespace
}  // namespace codeloom
