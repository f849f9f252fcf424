#include "headers/line_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/mask_kernels.h"

namespace codeloom {
namespace {

// The contract read plainly: line by line from `from`, the first non-blank
// of the first line that starts a leading pair and that the quick no lets
// through where eight bytes are there.
size_t plainCandidate(std::string_view text, size_t from, const LineSearch& search) {
  for (size_t at = from; at < text.size();) {
    size_t p = at;
    while (isBlank(text[p])) ++p;  // a line ends before the text does
    if (search.leadingPairs.matches(text[p], text[p + 1]) &&
        (p + 8 > text.size() || mayFitARule(search, text.data() + p)))
      return p;
    size_t end = text.find_first_of("\r\n", at);
    at = end + 1 + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n');
  }
  return text.size();
}

size_t candidate(std::string_view text, size_t from = 0) {
  LineCursor cursor;
  startLineCursor(cursor, text.data(), text.size());
  return nextCandidate(cursor, from);
}

TEST(LineIndex, Candidates) {
  struct Case { std::string_view text; size_t from, found; };
  const Case cases[] = {
      {"", 0, 0},
      {"x = 1\r\n", 0, 7},
      {"Sub A\r\n", 0, 0},
      {"  \tsUb A\r\n", 0, 3},
      {"x\r\nEnd If\r\n", 0, 11},  // a pair, but the quick no turns the line down
      {"x\r\nEnd Interface\r\n", 0, 3},
      {"x\r\nEnd If\r\n", 0, 11},
      {"x\r\nEnd\r\n", 0, 3},     // fewer than eight bytes: the classifier decides
      {"x\rfu\r\n", 0, 2},         // a lone CR ends a line
      {"x\nsub\r\n", 0, 2},        // so does a lone LF
      {"x\r\n\nsub\r\n", 0, 4},    // an LF after the CR LF ends an empty line
      {"x\n\rsub\r\n", 0, 3},      // LF, then a lone CR
      {"x\n  #If a\n", 0, 4},      // metastatements: "#" as it stands
      {"x\n#ELSE\n#endif\n", 0, 2},
      {"x\n\x03i\n\x03\n#x\n", 0, 7},  // not 0x03, which folds to "#" by bit 5
      {"me\r\nme\r\n", 4, 4},
      {"Select x\r\nprint\r\nInt\r\nMsgBox\r\n", 0, 30},
      {"Select x\r\nPrinted\r\nPROPERTY Get x\r\n", 0, 19},
      {"If x\r\nNext\r\nIncr i\r\n", 0, 20},
      {"If x\r\nNext\r\nIncr i\r\n#Elsewhere\r\n", 0, 20},  // "#" alone; eight bytes, but no key
      {"If x\r\nNext\r\n\xD0r\r\n", 0, 16},
  };
  for (MaskKernel kernel : kernelsToTest()) {
    UsingKernel using_(kernel);
    for (const Case& c : cases) EXPECT_EQ(c.found, candidate(c.text, c.from)) << kernelName(kernel) << ": " << c.text;
  }
}

// The calls a scanner makes on a window: from each line start, either the
// line's end (a continuation line), or the next candidate and its end. Each
// answer is checked against the plain reading.
std::vector<size_t> walk(const std::string& text, std::mt19937 random) {
  const LineSearch& search = productLineSearch();
  LineCursor cursor;
  startLineCursor(cursor, text.data(), text.size());
  std::vector<size_t> answers;
  for (size_t at = 0; at < text.size();) {
    if (random() % 3) {
      const size_t expected = plainCandidate(text, at, search);
      at = nextCandidate(cursor, at);
      EXPECT_EQ(expected, at);
      answers.push_back(at);
      if (at == text.size()) break;
    }
    size_t end = nextLineEnd(cursor, at);
    EXPECT_EQ(text.find_first_of("\r\n", at), end);
    answers.push_back(end);
    at = end + 1 + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n');
  }
  return answers;
}

// Whole lines of pieces that stress the masks: blank runs and line ends on
// block and chunk borders, near misses of the pairs, bytes that fold to them.
std::string randomLines(std::mt19937& random, size_t atLeast) {
  const std::string pieces[] = {" ", "\t", "su", "SU", "fu", "en", "iN", "Me", "pR", "sx", "e", "x", "\xD0", "\xF5",
                                "#", "#i", "#E", "\x03i", std::string(61, ' '), std::string(70, '\t'),
                                std::string(64, 'x'), std::string(130, 'y'), "(", "End If", "end  interface",
                                "END\tIn", "Incr i", "sub ", "#If ", "#endif", "Property", std::string(5000, ' ')};
  const std::string ends[] = {"\r\n", "\r", "\n", "\n\r", "\r\n\r\n"};
  std::string text;
  while (text.size() < atLeast || random() % 4) {
    for (int n = static_cast<int>(random() % 4); n > 0; --n) text += pieces[random() % std::size(pieces)];
    text += ends[random() % std::size(ends)];
    if (text.size() > 4 * atLeast + 20000) break;
  }
  return text;
}

TEST(LineIndex, EveryKernelAgreesWithThePlainReading) {
  std::mt19937 random(13);
  for (int round = 0; round < 400; ++round) {
    const std::string text = randomLines(random, round % 4 == 0 ? 20000 : 100);
    const LineSearch& search = productLineSearch();
    std::vector<size_t> plain;
    for (size_t at = 0; at < text.size();) {
      at = plainCandidate(text, at, search);
      plain.push_back(at);
      if (at == text.size()) break;
      size_t end = text.find_first_of("\r\n", at);
      at = end + 1 + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n');
    }
    std::mt19937 choices(random());
    for (MaskKernel kernel : kernelsToTest()) {
      UsingKernel using_(kernel);
      LineCursor cursor;
      startLineCursor(cursor, text.data(), text.size());
      std::vector<size_t> found;
      for (size_t at = 0; at < text.size();) {
        at = nextCandidate(cursor, at);
        found.push_back(at);
        if (at == text.size()) break;
        size_t end = nextLineEnd(cursor, at);
        at = end + 1 + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n');
      }
      ASSERT_EQ(plain, found) << kernelName(kernel) << " round " << round;
      walk(text, choices);
    }
  }
}

}  // namespace
}  // namespace codeloom
