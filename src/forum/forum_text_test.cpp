#include "forum/forum_text.h"

#include <gtest/gtest.h>

#include <random>

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
      {"a\nb\r\nc", "a\r\nb\r\nc"},        // a lone LF ends a line too
      {"a\nb\n", "a\r\nb"},
      {"a\n\n\tb\n\n", "a\r\n \r\n  b\r\n "},
      {"\n", " "},
      {"a\n\rb", "a\r\n \r\nb"},          // LF, then a lone CR
      {"   ", "   "},                      // blanks alone are not empty: unchanged
      {" a \r\n  ", " a \r\n  "},
      {"a\tb", "a  b"},                    // each tab is two blanks, whatever its column
      {"abc\tde\tf", "abc  de  f"},
      {"\t\t\t", "      "},
      {std::string(40, '\t') + "x\t", std::string(80, ' ') + "x  "},
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

// The block of bytes read in pieces of pieceSize, cut anywhere: inside a
// line, between the CR and LF of a line end, in a run of tabs.
std::string streamedBlock(std::string_view bytes, size_t pieceSize) {
  std::string out;
  appendForumHead(out, "n");
  ForumLines lines;
  std::string_view text = bytes.substr(0, bytes.find('\x1A'));
  for (size_t at = 0; at < text.size(); at += pieceSize) appendForumLines(out, lines, text.substr(at, pieceSize));
  appendForumTail(out);
  return out;
}

// What the line rules give for bytes, line by line, to check texts of many
// blocks against: CR LF, CR or LF ends a line, an empty line is a blank,
// a tab two blanks.
std::string plainCode(std::string_view bytes) {
  std::string code, line;
  bool any = false, open = false;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    bool end = i == bytes.size();
    if (!end && bytes[i] != '\r' && bytes[i] != '\n') {
      line += bytes[i] == '\t' ? std::string("  ") : std::string(1, bytes[i]);
      open = true;
      continue;
    }
    if (end && !open) break;  // the last line needs no line end
    if (any) code += "\r\n";
    code += line.empty() ? std::string(" ") : line;
    any = true;
    line.clear();
    open = false;
    if (!end && bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  return code;
}

// Texts of many 64-byte blocks, with line ends, tabs and empty lines at and
// across the blocks' edges, whole and in pieces.
TEST(ForumText, ManyBlocks) {
  std::mt19937 random(5);
  const std::string pieces[] = {"\r\n", "\r\n", "\r", "\n", "\t", "\t\t", "x", "Sub A", std::string(61, 'y'),
                                std::string(62, 'z'), "\r\n\r\n", "\n\r", " "};
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    for (int n = static_cast<int>(random() % 40); n > 0; --n) bytes += pieces[random() % std::size(pieces)];
    ASSERT_EQ(plainCode(bytes), codeOf(bytes)) << bytes;
    for (size_t pieceSize : {size_t(1), size_t(63), size_t(64), size_t(65), size_t(1) + random() % 300})
      ASSERT_EQ(block("n", bytes), streamedBlock(bytes, pieceSize)) << bytes << " in pieces of " << pieceSize;
  }
}

TEST(ForumText, PiecesGiveTheWholeBlock) {
  const std::string files[] = {
      "a\r\nb\r\n", "a\r\n\r\nb", "\r\n\r\n\r", "a\rb\r\r\nc", "\tx\t\r\n\t\r\n y",
      "one long line without any line end at all\n\n", "ab\r\ncd\x1A" "ef\r\ngh", "\r", "",
      "Sub A\r\n\tIf x Then\r\n\t\ty = 1\t' one\r\n\tEnd If\r\n\r\nEnd Sub\r\n",
      "a\nb\n\n\tc\n\r\n\r\r\nd\n",
  };
  for (const std::string& bytes : files)
    for (size_t pieceSize = 1; pieceSize <= bytes.size() + 1; ++pieceSize)
      EXPECT_EQ(block("n", bytes), streamedBlock(bytes, pieceSize)) << bytes << " in pieces of " << pieceSize;
}

}  // namespace
}  // namespace codeloom
