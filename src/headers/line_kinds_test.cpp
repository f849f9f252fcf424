#include "headers/line_kinds.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "headers/line_index.h"
#include "support/mask_kernels.h"

namespace codeloom {
namespace {

TEST(LineKinds, Lines) {
  struct Case { std::string_view line; LineKind kind; };
  const Case cases[] = {
      {"Sub A", LineKind::Procedure},
      {"  \tsUB A(x) Export", LineKind::Procedure},
      {"Sub 'comment", LineKind::Procedure},
      {"Sub", LineKind::Other},  // nothing after the keyword
      {"Sub   ", LineKind::Other},
      {"Sub'x", LineKind::Other},
      {"Subclass x", LineKind::Other},
      {"Function = 5", LineKind::Other},
      {"Function\t\t= 5", LineKind::Other},
      {"Function   = 5", LineKind::Procedure},  // three blanks: no assignment as the rule reads it
      {"Function=5", LineKind::Other},
      {"Function F() As Long", LineKind::Procedure},
      {"End Interface", LineKind::InterfaceEnd},
      {"end\t interfaces", LineKind::InterfaceEnd},
      {"End   Interface", LineKind::Other},
      {"End If", LineKind::Other},
      {"Interface IA", LineKind::InterfaceStart},
      {"Property Get X() As Long", LineKind::Member},
      {"Property Get", LineKind::Other},
      {"Property Get   ", LineKind::Other},
      {"Property Let X()", LineKind::Other},
      {"Method = 1", LineKind::Other},
      {"Method M()", LineKind::Member},
      {"Member Call X()", LineKind::Member},
      {"Inherit IUnknown", LineKind::Member},
      {"#If %X", LineKind::GroupOpen},
      {"#If", LineKind::Other},
      {"#ElseIf %Y", LineKind::GroupNext},
      {"#Else", LineKind::GroupNext},
      {"#else ' note", LineKind::GroupNext},
      {"#ELSE'note", LineKind::GroupNext},
      {"#Elsex", LineKind::Other},
      {"#EndIf", LineKind::GroupClose},
      {"#Include \"x.inc\"", LineKind::Include},
      {"#Include", LineKind::Other},
      {"#Compile Dll", LineKind::Compile},
      {"Macro Ex = Export", LineKind::Macro},
      {"%WINDOWSDLL = 0", LineKind::Equate},
      {"  $Title=\"x\"", LineKind::Equate},
      {"%", LineKind::Equate},
      {"x = %A", LineKind::Other},
      {std::string_view("Sub\0 A", 6), LineKind::Other},  // a NUL byte is part of the word
      {"", LineKind::Other},
  };
  for (const Case& c : cases) EXPECT_EQ(c.kind, classifyLine(c.line)) << c.line;
}

// A line that fits the rule, in a case and with blanks chosen by variant.
std::string fitting(const LineRule& rule, int variant) {
  auto cased = [variant](std::string_view word) {
    std::string out(word);
    for (size_t i = 0; i < out.size(); ++i)
      if (variant == 1 || (variant == 2 && i % 2 == 0)) out[i] = static_cast<char>(std::toupper(out[i]));
    return out;
  };
  const std::string_view lead[] = {"", "  \t", "\t"}, blank[] = {" ", "\t", "  "};
  std::string line = std::string(lead[variant]) + cased(rule.first);
  switch (rule.follows) {
    case Follows::Nothing: return line + (variant == 1 ? "'note" : variant == 2 ? " \t' note" : "");
    case Follows::MoreText: return line + std::string(blank[variant]) + "Foo(x)";
    case Follows::SecondWord: return line + std::string(blank[variant]) + cased(rule.second) + " x";
    case Follows::SecondWordThenText: return line + std::string(blank[variant]) + cased(rule.second) + " Foo";
    case Follows::Anything: return line + (variant == 1 ? "NAME=1" : "Name = 1");
  }
  return line;
}

// Where the line index, with each kernel, finds the first candidate of
// text; npos - 1 when the kernels disagree.
size_t candidateOf(const std::string& text, const LineSearch& search) {
  size_t found = std::string::npos;
  for (MaskKernel kernel : kernelsToTest()) {
    UsingKernel using_(kernel);
    LineCursor cursor;
    startLineCursor(cursor, text.data(), text.size(), search);
    size_t at = nextCandidate(cursor, 0);
    if (found != std::string::npos && at != found) return std::string::npos - 1;
    found = at;
  }
  return found;
}

// Lines around it, so that the line sits inside the kernels' blocks.
const std::string kBefore = "q = 1\r\n" + std::string(70, 'y') + "\n";
const std::string kAfter = "\r\n" + std::string(140, 'z') + "\r\n";

// Every row of a table, in every variant: the index lets its line through
// with each kernel, the quick no does not turn it down, and the classifier
// names its kind; a line with another second byte the index passes over.
void walkEveryRow(std::span<const LineRule> rules) {
  const LineSearch search = makeLineSearch(rules);
  for (const LineRule& rule : rules) {
    for (int variant = 0; variant < 3; ++variant) {
      std::string line = fitting(rule, variant);
      size_t start = line.find_first_not_of(" \t");
      EXPECT_EQ(kBefore.size() + start, candidateOf(kBefore + line + kAfter, search)) << line;
      EXPECT_EQ(rule.kind, classifyLine(line, rules)) << line;
    }
    std::string line = fitting(rule, 0);
    if (std::isalpha(static_cast<unsigned char>(line[0])) && line.size() > 1) {
      line[1] = line[1] == 'x' ? 'y' : 'x';
      std::string text = kBefore + line + kAfter;
      EXPECT_EQ(text.size(), candidateOf(text, search)) << line;
    }
  }
}

TEST(LineKinds, EveryRuleReachesTheClassifierThroughEverySearch) { walkEveryRow(kLineRules); }

// Forty rows: more leading pairs than a nibble table holds, first words of
// three letters and of one, several rows to a first word, first bytes that
// are no letters. Everything the searches use is derived from the table.
constexpr LineRule kManyRules[] = {
    {"function", Follows::SecondWord, "=", LineKind::Other},
    {"function", Follows::MoreText, "", LineKind::Procedure},
    {"sub", Follows::MoreText, "", LineKind::Procedure},
    {"end", Follows::SecondWord, "interface", LineKind::InterfaceEnd},
    {"end", Follows::SecondWord, "class", LineKind::InterfaceEnd},
    {"interface", Follows::MoreText, "", LineKind::InterfaceStart},
    {"property", Follows::SecondWordThenText, "get", LineKind::Member},
    {"property", Follows::SecondWordThenText, "set", LineKind::Member},
    {"property", Follows::SecondWordThenText, "let", LineKind::Member},
    {"inherit", Follows::MoreText, "", LineKind::Member},
    {"member", Follows::MoreText, "", LineKind::Member},
    {"method", Follows::SecondWord, "=", LineKind::Other},
    {"method", Follows::MoreText, "", LineKind::Member},
    {"#if", Follows::MoreText, "", LineKind::GroupOpen},
    {"#elseif", Follows::MoreText, "", LineKind::GroupNext},
    {"#else", Follows::Nothing, "", LineKind::GroupNext},
    {"#endif", Follows::Nothing, "", LineKind::GroupClose},
    {"#compile", Follows::MoreText, "", LineKind::Other},
    {"#include", Follows::MoreText, "", LineKind::Other},
    {"%def", Follows::Nothing, "", LineKind::Other},
    {"$name", Follows::MoreText, "", LineKind::Member},
    {"macro", Follows::MoreText, "", LineKind::Procedure},
    {"class", Follows::MoreText, "", LineKind::InterfaceStart},
    {"type", Follows::MoreText, "", LineKind::Member},
    {"union", Follows::MoreText, "", LineKind::Member},
    {"global", Follows::MoreText, "", LineKind::Other},
    {"threaded", Follows::MoreText, "", LineKind::Other},
    {"callback", Follows::SecondWordThenText, "function", LineKind::Procedure},
    {"thread", Follows::SecondWordThenText, "function", LineKind::Procedure},
    {"declare", Follows::SecondWord, "sub", LineKind::Member},
    {"declare", Follows::SecondWord, "function", LineKind::Member},
    {"event", Follows::SecondWordThenText, "source", LineKind::Member},
    {"local", Follows::MoreText, "", LineKind::Other},
    {"dim", Follows::MoreText, "", LineKind::Other},
    {"redim", Follows::MoreText, "", LineKind::Other},
    {"enum", Follows::MoreText, "", LineKind::Member},
    {"x", Follows::MoreText, "", LineKind::Procedure},
    {"@at", Follows::MoreText, "", LineKind::Member},
    {"_line", Follows::Nothing, "", LineKind::GroupClose},
    {"\xe9t\xe9", Follows::MoreText, "", LineKind::Member},
};
static_assert(std::size(kManyRules) == 40);

TEST(LineKinds, ALargerTableWorksThroughEverySearch) { walkEveryRow(kManyRules); }

// The quick no never turns down a line that fits a rule, for the product's
// table and the larger one, in mixed case with the bytes folding could
// confuse; and it does turn most other lines down.
TEST(LineKinds, TheQuickNoNeverTurnsDownALineThatFits) {
  for (std::span<const LineRule> rules : {std::span<const LineRule>(kLineRules), std::span<const LineRule>(kManyRules)}) {
    const LineSearch search = makeLineSearch(rules);
    std::string alphabet = " \t#'()=@[`{\x01\x09\x29\xc9\xe9\xff";
    for (const LineRule& rule : rules) alphabet += std::string(rule.first) + std::string(rule.second) + "GET";
    std::mt19937 random(3);
    size_t turnedDown = 0;
    for (int round = 0; round < 100000; ++round) {
      std::string line;
      if (random() % 2) line = fitting(rules[random() % rules.size()], static_cast<int>(random() % 3));
      while (line.size() < 12) line += alphabet[random() % alphabet.size()];
      const size_t start = line.find_first_not_of(" \t");
      if (start + 8 > line.size()) continue;
      if (mayFitARule(search, line.data() + start)) continue;
      ++turnedDown;
      ASSERT_EQ(LineKind::Other, classifyLine(line, rules)) << line;
    }
    EXPECT_GT(turnedDown, 20000u);
  }
}

}  // namespace
}  // namespace codeloom
