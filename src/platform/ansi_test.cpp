#include "platform/ansi.h"

#include <gtest/gtest.h>

namespace codeloom {
namespace {

TEST(Ansi, CaseFollowsWindows1252) {
  EXPECT_EQ("abc xyz 09", toLowerAnsi("ABC xyz 09"));
  EXPECT_EQ("ABC XYZ 09", toUpperAnsi("abc xyz 09"));
  EXPECT_EQ("\xE9\xE0\xFE\x9A\x9C\x9E\xFF", toLowerAnsi("\xC9\xC0\xDE\x8A\x8C\x8E\x9F"));
  EXPECT_EQ("\xC9\xC0\xDE\x8A\x8C\x8E\x9F", toUpperAnsi("\xE9\xE0\xFE\x9A\x9C\x9E\xFF"));
  EXPECT_EQ("\xD7\xF7\xDF", toUpperAnsi("\xD7\xF7\xDF"));  // x, division sign, sharp s
  EXPECT_EQ("\xD7", toLowerAnsi("\xD7"));
}

TEST(Ansi, Utf16RoundTrip) {
  EXPECT_EQ(u"A\u20AC\u00E9\u0081", ansiToUtf16("A\x80\xE9\x81"));
  EXPECT_EQ("A\x80\xE9\x81", utf16ToAnsi(u"A\u20AC\u00E9\u0081"));
  EXPECT_EQ("?", utf16ToAnsi(u"\u4E2D"));
  // No look-alikes: fullwidth backslash and full stop, infinity.
  EXPECT_EQ("a?b??8?", utf16ToAnsi(u"a\uFF3Cb\uFF0E\uFF0E8\u221E"));
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(all, utf16ToAnsi(ansiToUtf16(all)));
}

}  // namespace
}  // namespace codeloom
