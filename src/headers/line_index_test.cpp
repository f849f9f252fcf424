#include "headers/line_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace codeloom {
namespace {

size_t plain(std::string_view text, size_t from = 0) {
  LineCursor cursor;
  startLineCursor(cursor, text.data(), text.size(), IndexKind::Plain);
  return nextCandidate(cursor, from);
}

TEST(LineIndex, PlainSearchFollowsTheContract) {
  struct Case { std::string_view text; size_t from, found; };
  const Case cases[] = {
      {"", 0, 0},
      {"x = 1\r\n", 0, 7},
      {"Sub A\r\n", 0, 0},
      {"  \tsUb A\r\n", 0, 3},
      {"x\r\nEnd If\r\n", 0, 11},        // a pair, but the quick no turns the line down
      {"x\r\nEnd Interface\r\n", 0, 3},
      {"x\r\nEnd If", 0, 3},            // fewer than eight bytes: the classifier decides
      {"x\rfu\r\n", 0, 2},               // a lone CR ends a line
      {"x\nsub\r\n", 0, 2},               // so does a lone LF
      {"x\r\n\nsub\r\n", 0, 4},          // an LF after the CR LF ends an empty line
      {"x\n\rsub\r\n", 0, 3},             // LF, then a lone CR
      {"x\n  #If a\n", 0, 4},            // metastatements: "#" as it stands
      {"x\n#ELSE\n#endif\n", 0, 2},
      {"x\n\x03i\n\x03\n#x\n", 0, 7},      // not 0x03, which folds to "#"
      {"x\n#\n", 0, 2},
      {"x\n#", 0, 2},                    // undecided, as for any first byte
      {"x\r\nsub", 0, 3},
      {"x\r\n  s", 0, 3},                // the window ends before the pair: undecided
      {"x\r\n   ", 0, 3},
      {"x\r\n", 0, 3},
      {"me\r\nme\r\n", 4, 4},
      {"Select\r\nprint\r\nInt\r\nMsgBox\r\n", 0, 28},  // pairs the quick no turns down
      {"Select\r\nPrinted\r\nPROPERTY Get x\r\n", 0, 17},
      {"If x\r\nNext\r\nIncr i\r\n", 0, 20},
      {"If x\r\nNext\r\nIncr i", 0, 12},  // "In", and too few bytes for the quick no
      {"If x\r\nNext\r\n\xD0r\r\n", 0, 16},
      {"end\r\n", 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.found, plain(c.text, c.from)) << c.text;
}

// Where the next candidate after the one at c is, found by hand: the
// plain search from the start of the next line.
size_t plainAfter(std::string_view text, size_t c) {
  size_t end = text.find_first_of("\r\n", c);
  if (end == std::string_view::npos || end + 1 == text.size()) return text.size();
  return plain(text, end + 1 + (text[end] == '\r' && text[end + 1] == '\n'));
}

TEST(LineIndex, CandidateAfterPassesOverTheCandidatesLine) {
  struct Case { std::string_view text; size_t candidate, found; };
  const Case cases[] = {
      {"method end interface x\r\nEnd Interface\r\n", 0, 24},  // not "end" inside the line
      {"men\r\n", 0, 5},
      {"sub\rsub", 0, 4},
      {"sub\r", 0, 4},
      {"sub x\r\n\r\nx\r\n  fu", 0, 14},
      {"sub", 0, 3},
      {"sub x\nx\n#if", 0, 8},
      {"sub\n\nfu", 0, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.found, plainAfter(c.text, c.candidate)) << c.text;
    for (IndexKind kind : {IndexKind::Plain, IndexKind::Best}) {
      LineCursor cursor;
      startLineCursor(cursor, c.text.data(), c.text.size(), kind);
      EXPECT_EQ(c.found, nextCandidateAfter(cursor, nextCandidate(cursor, c.candidate))) << c.text;
    }
  }
}

// The calls a scanner makes on one window: from each line start, either the
// line is taken whatever it holds (its end is asked for), or the next
// candidate is, and then its end or, when the classifier turns it down, the
// candidate after it. Each answer is written down, for comparing kinds.
std::vector<size_t> walk(IndexKind kind, const std::string& text, std::mt19937 random) {
  LineCursor cursor;
  startLineCursor(cursor, text.data(), text.size(), kind);
  std::vector<size_t> answers;
  size_t at = 0;
  while (at < text.size()) {
    size_t start = at;
    if (random() % 3) {
      start = nextCandidate(cursor, at);
      while (start < text.size() && random() % 2) {
        size_t after = nextCandidateAfter(cursor, start);
        EXPECT_EQ(plainAfter(text, start), after) << "kind " << int(kind) << " at " << start;
        answers.push_back(start = after);
      }
      answers.push_back(start);
      if (start == text.size()) break;
    }
    size_t end = nextLineEnd(cursor, start);
    answers.push_back(end);
    if (end == text.size()) break;
    at = end + 1 + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n');
  }
  return answers;
}

TEST(LineIndex, BlockSearchesAgreeWithThePlainOne) {
  std::mt19937 random(13);
  const std::string pieces[] = {" ", "\t", "\r", "\n", "\r\n", "su", "SU", "fu", "en", "iN", "Me", "pR",
                                "sx", "e", "x", "\xD0", "\xF5", "#", "#i", "#E", "\x03i", "\n\n", "\n\r", std::string(61, ' '), std::string(70, '\t'),
                                std::string(64, 'x'), std::string(130, 'y'), "(", "\x1A",
                                // whole first words and what follows, for the quick no
                                "End If", "end  interface", "END\tIn", "Incr i", "sub ", "#If ", "#endif", "Property"};
  const IndexKind kinds[] = {IndexKind::Sse2, IndexKind::Avx2, IndexKind::Best};
  for (int round = 0; round < 6000; ++round) {
    std::string text;
    for (int n = static_cast<int>(random() % 60); n > 0; --n) text += pieces[random() % std::size(pieces)];
    std::mt19937 choices(random());  // the same calls for every kind
    std::vector<size_t> expected = walk(IndexKind::Plain, text, choices);
    for (IndexKind kind : kinds) {
      if (!indexAvailable(kind)) continue;
      ASSERT_EQ(expected, walk(kind, text, choices)) << "kind " << int(kind) << " [" << text << ']';
    }
  }
}

// Windows of many chunks, so that line starts, CR LF pairs and blank runs
// carry from one chunk into the next.
TEST(LineIndex, BlockSearchesAgreeAcrossChunks) {
  std::mt19937 random(17);
  const std::string lines[] = {"Sub A\r\n", "x = 1\r\n", "\r\n", "\r", "  end if\r\n",
                               std::string(200, ' ') + "me\r\n", std::string(4000, 'x') + "\r\n",
                               std::string(5000, '\t') + "pr\r\n", "\n\r\n", "#if x\n", "\n", "\r",
                               std::string(63, ' ') + "\r", "\n" + std::string(100, ' ') + "su"};
  for (int round = 0; round < 40; ++round) {
    std::string text;
    while (text.size() < 40000) text += lines[random() % std::size(lines)];
    std::mt19937 choices(random());
    std::vector<size_t> expected = walk(IndexKind::Plain, text, choices);
    for (IndexKind kind : {IndexKind::Sse2, IndexKind::Avx2}) {
      if (!indexAvailable(kind)) continue;
      ASSERT_EQ(expected, walk(kind, text, choices)) << "kind " << int(kind) << " round " << round;
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
