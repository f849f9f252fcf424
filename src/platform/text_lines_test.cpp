#include "platform/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeloom {
namespace {

// Lines joined with "|" so that a whole split compares as one string.
std::string splitLines(std::string_view bytes, LineEnds ends) {
  LineReader reader(bytes, ends);
  std::string joined;
  std::string_view line;
  bool first = true;
  while (reader.next(line)) {
    if (!first) joined += '|';
    joined += line;
    first = false;
  }
  return joined;
}

size_t countLines(std::string_view bytes, LineEnds ends) {
  LineReader reader(bytes, ends);
  size_t n = 0;
  for (std::string_view line; reader.next(line);) ++n;
  return n;
}

constexpr LineEnds Any = LineEnds::CrLfCrOrLf, CrOnly = LineEnds::CrOrCrLf;

TEST(LineReader, Splits) {
  struct Case { LineEnds ends; std::string bytes; std::string lines; size_t count; };
  const Case cases[] = {
      {Any, "", "", 0},
      {Any, "a", "a", 1},
      {Any, "a\r\nb\r\nc", "a|b|c", 3},
      {Any, "a\r\n", "a", 1},
      {Any, "a\r\n\r\n", "a|", 2},
      {Any, "a\rb", "a|b", 2},
      {Any, "a\nb\r\nc", "a|b|c", 3},       // a lone LF ends a line
      {Any, "a\n\nb\n", "a||b", 3},
      {Any, "a\n\r\n", "a|", 2},             // LF, then CR LF
      {Any, "a\r\r\nb", "a||b", 3},
      {Any, "a\n\rb", "a||b", 3},              // LF CR is two line ends
      {Any, "\r\n", "", 1},
      {Any, "\n", "", 1},
      {Any, "a\x1A" "b\r\nc", "a", 1},        // 0x1A ends the file
      {Any, "\x1A" "abc", "", 0},
      {Any, "a\r\n\x1A\r\n", "a", 1},
      {Any, std::string("a\0b\r\n", 5), std::string("a\0b", 3), 1},
      // A CR LF split over two 64-byte blocks is still one line end.
      {Any, std::string(63, 'x') + "\r\ny", std::string(63, 'x') + "|y", 2},
      {Any, std::string(63, 'x') + "\n\ny", std::string(63, 'x') + "||y", 3},
      {CrOnly, "a\nb\r\nc", "a\nb|c", 2},    // settings: a lone LF stays in the line
      {CrOnly, "a\rb\n", "a|b\n", 2},
      {CrOnly, std::string(63, 'x') + "\r\n\ny", std::string(63, 'x') + "|\ny", 2},
      {CrOnly, "a\x1A\r\n", "a", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.lines, splitLines(c.bytes, c.ends)) << c.bytes;
    EXPECT_EQ(c.count, countLines(c.bytes, c.ends)) << c.bytes;
  }
}

}  // namespace
}  // namespace codeloom

namespace codeloom {
namespace {

TEST(LineReader, CountsLineEndsAsItSplits) {
  const std::string cases[] = {"", "a", "a\r\nb", "a\rb\nc\r\n", "\n\r", "\r\r\n\n",
                               std::string(63, 'x') + "\r\n" + std::string(70, 'y') + "\r",
                               std::string(64, 'x') + "\n\r\n" + std::string(130, '\r') + "\n"};
  for (const std::string& text : cases) {
    size_t lines = 0;
    LineReader reader(text);
    for (std::string_view line; reader.next(line);) ++lines;
    const bool lastLineOpen = !text.empty() && text.back() != '\r' && text.back() != '\n';
    EXPECT_EQ(lines - lastLineOpen, countLineEnds(text)) << text.size();
  }
}

}  // namespace
}  // namespace codeloom
