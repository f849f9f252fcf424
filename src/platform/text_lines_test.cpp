#include "platform/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeloom {
namespace {

// Lines joined with "|" so that a whole split compares as one string.
std::string splitLines(std::string_view bytes) {
  LineReader reader(bytes);
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

size_t countLines(std::string_view bytes) {
  LineReader reader(bytes);
  size_t n = 0;
  for (std::string_view line; reader.next(line);) ++n;
  return n;
}

TEST(LineReader, Splits) {
  struct Case { std::string bytes; std::string lines; size_t count; };
  const Case cases[] = {
      {"", "", 0},
      {"a", "a", 1},
      {"a\r\nb\r\nc", "a|b|c", 3},
      {"a\r\n", "a", 1},
      {"a\r\n\r\n", "a|", 2},
      {"a\rb", "a|b", 2},
      {"a\nb\r\nc", "a\nb|c", 2},            // a lone LF stays in the line
      {"a\r\r\nb", "a||b", 3},
      {"\r\n", "", 1},
      {"a\x1A" "b\r\nc", "a", 1},            // 0x1A ends the file
      {"\x1A" "abc", "", 0},
      {"a\r\n\x1A\r\n", "a", 1},
      {std::string("a\0b\r\n", 5), std::string("a\0b", 3), 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.lines, splitLines(c.bytes)) << c.bytes;
    EXPECT_EQ(c.count, countLines(c.bytes)) << c.bytes;
  }
}

}  // namespace
}  // namespace codeloom
