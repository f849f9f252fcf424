#include "headers/line_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace codeloom {
namespace {

size_t plain(std::string_view text, size_t from = 0) {
  return findCandidateWith(IndexKind::Plain, text.data(), text.size(), from);
}

TEST(LineIndex, PlainSearchFollowsTheContract) {
  struct Case { std::string_view text; size_t from, found; };
  const Case cases[] = {
      {"", 0, 0},
      {"x = 1\r\n", 0, 7},
      {"Sub A\r\n", 0, 0},
      {"  \tsUb A\r\n", 0, 3},
      {"x\r\nEnd If\r\n", 0, 3},         // a pair, not yet a keyword: the classifier decides
      {"x\rfu\r\n", 0, 2},               // a lone CR ends a line
      {"x\nsub\r\n", 0, 7},              // a lone LF does not
      {"x\r\n\nsub\r\n", 0, 9},          // an LF after the CR LF is the next line's first byte
      {"x\r\nsub", 0, 3},
      {"x\r\n  s", 0, 3},                // the window ends before the pair: undecided
      {"x\r\n   ", 0, 3},
      {"x\r\n", 0, 3},
      {"me\r\nme\r\n", 4, 4},
      {"Select\r\nprint\r\nInt\r\nMsgBox\r\n", 0, 8},
      {"If x\r\nNext\r\nIncr i\r\n", 0, 12},  // "In": the classifier decides
      {"If x\r\nNext\r\n\xD0r\r\n", 0, 16},
      {"end\r\n", 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.found, plain(c.text, c.from)) << c.text;
}

// Every line start of text, for searching from each.
std::vector<size_t> lineStarts(const std::string& text) {
  std::vector<size_t> starts = {0};
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') continue;
    size_t next = i + 1 + (i + 1 < text.size() && text[i + 1] == '\n');
    if (next < text.size()) starts.push_back(next);
  }
  return starts;
}

TEST(LineIndex, BlockSearchesAgreeWithThePlainOne) {
  std::mt19937 random(13);
  const std::string pieces[] = {" ", "\t", "\r", "\n", "\r\n", "su", "SU", "fu", "en", "iN", "Me", "pR",
                                "sx", "e", "x", "\xD0", "\xF5", std::string(61, ' '), std::string(70, '\t'),
                                std::string(64, 'x'), "(", "\x1A"};
  const IndexKind kinds[] = {IndexKind::Sse2, IndexKind::Avx2};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int n = static_cast<int>(random() % 40); n > 0; --n) text += pieces[random() % std::size(pieces)];
    for (size_t from : lineStarts(text)) {
      size_t expected = plain(text, from);
      for (IndexKind kind : kinds) {
        if (!indexAvailable(kind)) continue;
        ASSERT_EQ(expected, findCandidateWith(kind, text.data(), text.size(), from))
            << "kind " << int(kind) << " from " << from << " [" << text << ']';
      }
    }
  }
}

TEST(LineIndex, SseAndPlainAreAlwaysThere) {
  EXPECT_TRUE(indexAvailable(IndexKind::Plain));
#if defined(__x86_64__)
  EXPECT_TRUE(indexAvailable(IndexKind::Sse2));
#endif
}

}  // namespace
}  // namespace codeloom
