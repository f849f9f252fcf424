#include "headers/line_kinds.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "headers/line_index.h"

namespace codeloom {
namespace {

std::string withCase(std::string_view word, int variant) {
  std::string out(word);
  for (size_t i = 0; i < out.size(); ++i)
    if (variant == 1 || (variant == 2 && i % 2 == 0)) out[i] = static_cast<char>(std::toupper(out[i]));
  return out;
}

// A line that fits the rule and no rule before it.
std::string fitting(const LineRule& rule, int variant) {
  const std::string_view blanks[] = {"", "  \t", "\t"};
  std::string line = std::string(blanks[variant]) + withCase(rule.first, variant);
  if (rule.alone) return line + (variant == 1 ? "'note" : variant == 2 ? " \t' note" : "");
  line += variant == 1 ? "\t" : " ";
  if (rule.second.empty()) return line + "Foo(x)";
  line += withCase(rule.second, variant);
  return rule.whole ? line + " Foo" : line + " x";
}

// Where every search of the line index finds the first candidate of text,
// or a difference between them.
size_t candidateOf(const std::string& text) {
  size_t found = std::string::npos;
  for (IndexKind kind : {IndexKind::Plain, IndexKind::Sse2, IndexKind::Avx2}) {
    if (!indexAvailable(kind)) continue;
    LineCursor cursor;
    startLineCursor(cursor, text.data(), text.size(), kind);
    size_t at = nextCandidate(cursor, 0);
    if (found != std::string::npos && at != found) return std::string::npos - 1;
    found = at;
  }
  return found;
}

// Lines around it, so that the SIMD searches (which leave the last 64 bytes
// of a window to the plain loop) see the line in their blocks.
const std::string kBefore = "x = 1\r\n" + std::string(70, 'y') + "\n";
const std::string kAfter = "\r\n" + std::string(140, 'z') + "\r\n";

TEST(LineKinds, EveryRuleReachesTheClassifierThroughEverySearch) {
  for (const LineRule& rule : kLineRules) {
    for (int variant = 0; variant < 3; ++variant) {
      std::string line = fitting(rule, variant);
      size_t start = line.find_first_not_of(" \t");
      EXPECT_EQ(kBefore.size() + start, candidateOf(kBefore + line + kAfter)) << line;
      EXPECT_EQ(rule.kind, classifyLine(line)) << line;
      EXPECT_EQ(rule.kind, classifyLine(line + kAfter)) << line;  // the quick key test sees 8 bytes
    }
  }
}

TEST(LineKinds, NearMissesDoNot) {
  for (const LineRule& rule : kLineRules) {
    std::string line = fitting(rule, 0);
    std::string first(rule.first);
    // Another second byte: the index passes the line over (a first byte
    // that is no letter takes any second byte).
    if (std::isalpha(static_cast<unsigned char>(first[0]))) {
      std::string other = line;
      other[1] = first[1] == 'x' ? 'y' : 'x';
      std::string text = kBefore + other + kAfter;
      EXPECT_EQ(text.size(), candidateOf(text)) << other;  // no line of it is a candidate
    }
    // The first word longer (by a letter or a NUL), shorter by its last
    // byte, or glued to what follows.
    for (std::string miss : {first + "x Foo", first + std::string(1, '\0') + " Foo",
                             first.substr(0, first.size() - 1) + " Foo", first + "(x)"}) {
      EXPECT_EQ(LineKind::Other, classifyLine(miss)) << miss;
      EXPECT_EQ(LineKind::Other, classifyLine(miss + kAfter)) << miss;
    }
    // A first word that needs text after it, alone.
    if (!rule.alone) {
      EXPECT_EQ(LineKind::Other, classifyLine(first + "  ")) << first;
    }
  }
}

// The folded quick no turns down a line only where the table's does: over
// every rule's words in mixed case, with the blanks, near-letters (bit 5
// apart: "@", "[", "`") and high bytes the folding could confuse.
TEST(LineKinds, FoldedQuickNoNeverTurnsDownWhatTheTableLetsThrough) {
  ASSERT_TRUE(keysFoldByBit5(lowerAnsiTable()));
  std::string alphabet = " \t#'()=@[`{\x01\x09\x29\xc9\xe9\xff";
  for (const LineRule& rule : kLineRules) alphabet += withCase(std::string(rule.first) + std::string(rule.second), 1) +
                                                      std::string(rule.first) + std::string(rule.second);
  uint32_t state = 12345;
  auto next = [&state] { return state = state * 1103515245u + 12345u, state >> 16; };
  size_t turnedDown = 0;
  for (int round = 0; round < 200000; ++round) {
    char line[8];
    // Half the lines start with a rule's first word, so that keys match.
    const LineRule& rule = kLineRules[next() % std::size(kLineRules)];
    size_t from = 0;
    if (next() % 2) {
      for (; from < rule.first.size() && from < 8; ++from)
        line[from] = next() % 2 ? static_cast<char>(std::toupper(rule.first[from])) : rule.first[from];
    }
    for (size_t i = from; i < 8; ++i) line[i] = alphabet[next() % alphabet.size()];
    bool byTable = isNoKeywordLineByTable(lowerAnsiTable(), line);
    if (isNoKeywordLineFolded(line)) {
      ASSERT_TRUE(byTable) << std::string(line, 8);
      ++turnedDown;
    }
  }
  EXPECT_GT(turnedDown, 10000u);  // it does turn lines down
}

TEST(LineKinds, AFoldThatMissesALetterIsNotUsed) {
  std::array<char, 256> lower = lowerAnsiTable();
  EXPECT_TRUE(keysFoldByBit5(lower));
  lower[0xCD] = 'i';  // a code page whose capital I-acute lower-cases to "i"
  EXPECT_FALSE(keysFoldByBit5(lower));
}

}  // namespace
}  // namespace codeloom
