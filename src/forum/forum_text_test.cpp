#include "forum/forum_text.h"

#include <gtest/gtest.h>

#include <string>

namespace codeloom {
namespace {

using namespace std::string_literals;

std::string block(std::string_view name, std::string_view bytes) {
  std::string out;
  appendForumBlock(out, name, bytes);
  return out;
}

// The lines between "[code]" and "[/code]" of a file's block.
std::string codeOf(std::string_view bytes) {
  std::string out = block("n", bytes);
  const std::string head = "n\r\n[code]", tail = "[/code]\r\n \r\n";
  EXPECT_EQ(head, out.substr(0, head.size()));
  EXPECT_EQ(tail, out.substr(out.size() - std::min(out.size(), tail.size())));
  return out.substr(head.size(), out.size() - head.size() - tail.size());
}

TEST(ForumText, BlockLayout) {
  EXPECT_EQ("a.bas\r\n[code]L1\r\nL2\r\nL3[/code]\r\n \r\n", block("a.bas", "L1\r\nL2\r\nL3"));
  EXPECT_EQ("e.inc\r\n[code][/code]\r\n \r\n", block("e.inc", ""));
  EXPECT_EQ("\r\n[code]x[/code]\r\n \r\n", block("", "x"));
}

TEST(ForumText, Lines) {
  struct Case { std::string bytes, code; };
  const Case cases[] = {
      {"a\r\nb\r\nc", "a\r\nb\r\nc"},
      {"a\r\nb\r\n", "a\r\nb"},            // a last line end adds no empty line
      {"a\r\nb\r\n\r\n", "a\r\nb\r\n "},   // a final empty line becomes one blank
      {"a\r\n\r\nb", "a\r\n \r\nb"},       // an empty line becomes one blank
      {"\r\n", " "},
      {"\r\n\r\n", " \r\n "},
      {"a\rb\r", "a\r\nb"},                // a lone CR ends a line too
      {"a\rb\r\r", "a\r\nb\r\n "},
      {"a\nb\r\nc", "a\nb\r\nc"},          // a lone LF stays in the line
      {"\n", "\n"},
      {"   ", "   "},                      // blanks alone are not empty: unchanged
      {" a \r\n  ", " a \r\n  "},
      {"a\tb", "a  b"},                    // each tab is two blanks, whatever its column
      {"abc\tde\tf", "abc  de  f"},
      {"\t\t\t", "      "},
      {"\t", "  "},                        // the empty test comes before the tabs
      {"x\t", "x  "},
      {"\tx\r\n\t\r\n\r\n", "  x\r\n  \r\n "},
      {"a\x1A" "b\r\nc", "a"},             // 0x1A ends the file
      {"a\r\n\x1A\r\nb", "a"},
      {"\x1A" "abc", ""},
      {"\xE4\xF6\x80\x01\x7F", "\xE4\xF6\x80\x01\x7F"},  // other bytes pass through
      {"a\0b\r\n"s, "a\0b"s},
  };
  for (const Case& c : cases) EXPECT_EQ(c.code, codeOf(c.bytes)) << "bytes: " << c.bytes;
}

TEST(ForumText, BlocksFollowEachOther) {
  std::string out = "keep";
  appendForumBlock(out, "a.bas", "1\r\n");
  appendForumBlock(out, "b.inc", "");
  appendForumBlock(out, "c.bas", "\t2");
  EXPECT_EQ("keepa.bas\r\n[code]1[/code]\r\n \r\n"
            "b.inc\r\n[code][/code]\r\n \r\n"
            "c.bas\r\n[code]  2[/code]\r\n \r\n",
            out);
}

TEST(ForumText, LongFileKeepsEveryLine) {
  std::string bytes, code;
  for (int i = 0; i < 20000; ++i) {
    std::string line = i % 7 == 0 ? "" : "line\t" + std::to_string(i);
    bytes += line + (i % 3 == 0 ? "\r" : "\r\n");
    if (i) code += "\r\n";
    code += i % 7 == 0 ? " " : "line  " + std::to_string(i);
  }
  EXPECT_EQ(code, codeOf(bytes));
}

}  // namespace
}  // namespace codeloom
