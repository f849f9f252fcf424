#include "platform/file_picker.h"

#include <gtest/gtest.h>

#include "platform/ansi.h"

namespace codeloom {
namespace {

// The picked files as "path=name|...", paths shown in ANSI.
std::string picked(std::vector<std::u16string> parts) {
  std::string out;
  for (const PickedFile& file : pickedFiles({std::move(parts)}))
    out += utf16ToAnsi(file.path) + "=" + file.name + "|";
  return out;
}

TEST(FilePicker, FilesFromDialogResult) {
  EXPECT_EQ("", picked({}));
  EXPECT_EQ("C:\\prj\\pb\\a.bas=a.bas|", picked({u"C:\\prj\\pb\\a.bas"}));
  EXPECT_EQ("C:\\a b.bas=a b.bas|", picked({u"  C:\\a b.bas "}));
  EXPECT_EQ("a.bas=a.bas|", picked({u"a.bas"}));  // no backslash: the whole path
  EXPECT_EQ("C:\\dir\\=|", picked({u"C:\\dir\\"}));
  EXPECT_EQ("C:\\prj\\b.bas=b.bas|C:\\prj\\a.inc=a.inc|", picked({u"C:\\prj", u"b.bas", u"a.inc"}));
  // A root folder keeps its one backslash; blanks round a folder go.
  EXPECT_EQ("C:\\b.bas=b.bas|C:\\a.inc=a.inc|", picked({u"C:\\", u"b.bas", u"a.inc"}));
  EXPECT_EQ("C:\\p\\b.bas=b.bas|C:\\p\\ c= c|", picked({u" C:\\p ", u"b.bas", u" c"}));
  // A folder of spaces only is empty: one pick is the empty path, several
  // picks hang off a lone backslash.
  EXPECT_EQ("=|", picked({u"   "}));
  EXPECT_EQ("\\a.bas=a.bas|\\b.bas=b.bas|", picked({u" ", u"a.bas", u"b.bas"}));
}

// The path opens the file the dialog named; only the name for the output
// is ANSI, with '?' for what the code page lacks, never a look-alike such
// as "\" for a fullwidth backslash or "8" for infinity.
TEST(FilePicker, PathStaysUtf16NameIsAnsi) {
  const std::u16string one = u"C:\\p\\a\uFF3Cb\u221E.bas";
  std::vector<PickedFile> files = pickedFiles({{one}});
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(one, files[0].path);
  EXPECT_EQ("a?b?.bas", files[0].name);

  files = pickedFiles({{u"C:\\\uFF0E\uFF0E", u"\uFF0E\uFF0E", u"\u00E9.bas"}});
  ASSERT_EQ(2u, files.size());
  EXPECT_EQ(u"C:\\\uFF0E\uFF0E\\\uFF0E\uFF0E", files[0].path);
  EXPECT_EQ("??", files[0].name);
  EXPECT_EQ("\xE9.bas", files[1].name);
}

}  // namespace
}  // namespace codeloom
