#include "platform/text_helpers.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace codeloom {
namespace {

std::string joined(const std::vector<std::string_view>& items) {
  std::string text;
  for (std::string_view item : items) (text += '<').append(item) += '>';
  return text;
}

TEST(TextHelpers, TrimSpaces) {
  struct Case { std::string_view text, trimmed; };
  const Case cases[] = {
      {"", ""},          {" ", ""},           {"   ", ""},          {"a", "a"},
      {"  a b  ", "a b"}, {"\ta\t", "\ta\t"},  {" \ta ", "\ta"},     {"a\r\n ", "a\r\n"},
      {" \x7F ", "\x7F"}, {std::string_view(" \0 ", 3), std::string_view("\0", 1)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.trimmed, trimSpaces(c.text)) << c.text;
  EXPECT_EQ(u"C:\\src", trimSpaces(std::u16string_view(u"  C:\\src ")));
  EXPECT_EQ(u"", trimSpaces(std::u16string_view(u"  ")));
  EXPECT_EQ(u"\u00e9\t", trimSpaces(std::u16string_view(u"\u00e9\t ")));
}

TEST(TextHelpers, SplitAtCommas) {
  struct Case { std::string_view text; const char* items; };
  const Case cases[] = {
      {"", "<>"},          {"a", "<a>"},           {",", "<><>"},
      {"a,", "<a><>"},     {",a", "<><a>"},        {"a,,b", "<a><><b>"},
      {"a, b", "<a>< b>"}, {" Key , Mouse ", "< Key >< Mouse >"},
      {"[W:Long,Item:iTest()", "<[W:Long><Item:iTest()>"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.items, joined(splitAtCommas(c.text))) << c.text;
}

TEST(TextHelpers, ReplaceClipboardText) {
  FakePlatform platform;
  platform.clipboard = "old";
  replaceClipboardText(platform, "");
  EXPECT_EQ("", platform.clipboard.value_or("<no text>"));  // empty text, not no text
  replaceClipboardText(platform, "new\r\n");
  EXPECT_EQ("new\r\n", platform.clipboard.value_or("<no text>"));
  EXPECT_EQ(2, platform.clipboardWrites);
  platform.clipboardBusy = true;
  replaceClipboardText(platform, "lost");
  EXPECT_EQ("new\r\n", platform.clipboard.value_or("<no text>"));
}

}  // namespace
}  // namespace codeloom
