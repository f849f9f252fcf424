#include "support/line_rules.h"

#include <gtest/gtest.h>

#include "platform/ansi.h"

namespace codeloom {
namespace {

std::string normalised(std::string text) {
  normaliseLine(text);
  return text;
}

std::string withoutWord(std::string text, std::string_view word) {
  removeWord(text, word);
  return text;
}

std::string halved(std::string text) {
  halveSpaces(text);
  return text;
}

TEST(LineRules, NormaliseLine) {
  struct Case { std::string in, out; };
  const Case cases[] = {
      {"", ""},
      {" \t  \t ", ""},
      {"\tSub\tFoo", "Sub Foo"},
      {"a\t\tb", "a b"},
      {"a  b", "a b"},
      {"a   b", "a  b"},
      {"a    b", "a  b"},
      {"a     b", "a   b"},
      {"a \t b", "a  b"},           // tabs count as spaces in the run
      {"   Function Foo   ", "Function Foo"},
      {"a\nb \n", "a\nb \n"},        // LF is kept, inside and at the end
      {"\r a \r", "\r a \r"},       // only spaces are trimmed
      {"x", "x"},
      {"a \tb", "a b"},
      {"a b ", "a b"},
      {"a b\t", "a b"},
      {"a b c", "a b c"},
      {"a b  c\t", "a b c"},
      {" ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, normalised(c.in)) << '[' << c.in << ']';
}

TEST(LineRules, StartsWithNoCase) {
  EXPECT_TRUE(startsWithNoCase("SUB Main", "sub "));
  EXPECT_TRUE(startsWithNoCase("sub main", "sub "));
  EXPECT_FALSE(startsWithNoCase("Sub", "sub "));  // shorter than the prefix
  EXPECT_FALSE(startsWithNoCase("Subclass x", "sub "));
  EXPECT_TRUE(startsWithNoCase("x", ""));
}

TEST(LineRules, ContainsWord) {
  struct Case { std::string_view text, word; bool expected; };
  const Case cases[] = {
      {"Declare Sub A() Export\r\n", "export", true},
      {"Declare Function F(a, _\r\n          b) EXPORT As Long\r\n", "export", true},
      {"Declare Sub A Lib \"export.dll\" ()", "export", false},
      {"Sub ExportAll()", "export", false},
      {"Sub A(x)Export", "export", false},   // "(" ")" join letters into a word
      {"export", "export", true},
      {"\texport\t", "export", true},
      {"a\nexport", "export", true},
      {"exports", "export", false},
      {"xexport", "export", false},
      {"Common", "COMMON", true},
      {"", "export", false},
      {"", "", true},
      {"ab", "abc", false},
      {"x A\tb y", "a b", true},   // a word with a blank in it: any delimiter matches
      {"a\tb", "a\tb", false},     // tabs in the text count as spaces, never as tabs
      {"  ", "", true},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, containsWord(c.text, c.word)) << c.text;
}

TEST(LineRules, RemoveWord) {
  struct Case { std::string text; std::string_view word; std::string out; };
  const Case cases[] = {
      {"Declare Sub A() Export\r\n", "export", "Declare Sub A()\r\n"},
      {"Export x", "export", "Export x"},                 // first thing: left alone
      {"a Export b Export c", "export", "a b Export c"},  // first occurrence only
      {"a\r\nEXPORT b", "export", "a\r b"},                // the LF in front goes
      {"a\tExport", "export", "a"},
      {"Sub A Lib \"export.dll\"", "export", "Sub A Lib \"export.dll\""},
      {"no such word", "export", "no such word"},
      {"", "export", ""},
      {"x a\nb y", "A B", "x y"},
      {"x a\r\nb y", "A B", "x a\r\nb y"},  // CR LF is two spaces
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, withoutWord(c.text, c.word)) << c.text;
}

TEST(LineRules, FindMarkingWord) {
  constexpr size_t none = std::string::npos;
  struct Case { std::string_view text, word; size_t at; };
  const Case cases[] = {
      {"Sub A()EXPORT", "export", 7},
      {"Sub A()Export\r\n", "export", 7},
      {"Sub A() Export", "export", 8},
      {"Export", "export", 0},
      {"Sub A()Exports", "export", none},    // the word must still end
      {"Sub A()Export(", "export", none},
      {"Sub A()Export)", "export", none},
      {"Sub A(Export)", "export", none},     // "(" is no delimiter
      {"Sub A)\tExport", "export", 7},
      {"a)common b) Common", "common", 2},   // the first of either kind
      {"a Common b)common", "common", 2},
      {"a))Ex10\r", "ex10", 3},
      {"Lib \"export.dll\"", "export", none},
      {"Sub A()Export\rx", "export", 7},     // the comment's "'" reads as CR
      {"", "export", none},
  };
  for (const Case& c : cases) EXPECT_EQ(c.at, findMarkingWord(c.text, c.word)) << c.text;
}

TEST(LineRules, RemoveMarkingWord) {
  struct Case { std::string text; std::string_view word; std::string out; };
  const Case cases[] = {
      {"Declare Sub A()EXPORT\r\n", "export", "Declare Sub A()\r\n"},  // the ")" stays
      {"Declare Sub A() Export\r\n", "export", "Declare Sub A()\r\n"},
      {"a()Export b", "export", "a() b"},
      {"a Export )Export", "export", "a )Export"},  // only the first goes
      {"a Export)Export", "export", "a Export)"},   // "Export)" is no word
      {"Export x", "export", "Export x"},
      {"a\r\n)Common x", "common", "a\r\n) x"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    size_t at = findMarkingWord(text, c.word);
    ASSERT_NE(std::string::npos, at) << c.text;
    removeMarkingWordAt(text, at, c.word.size());
    EXPECT_EQ(c.out, text) << c.text;
  }
}

TEST(LineRules, CodeEndIsTheFirstQuoteMarkOutsideAString) {
  struct Case { std::string_view line; size_t end; };
  const Case cases[] = {
      {"", 0},
      {"Sub A()", 7},
      {"Sub A() ' note", 8},
      {"'", 0},
      {"Alias \"it's\" (x) ' c", 17},
      {"Alias \"it's\" (x)", 16},
      {"a \"\"' b", 4},      // an empty string
      {"a \"x\"\"'\" ' b", 9},  // a doubled quote inside a string
      {"a(\"x) ' Export", 14},  // an open string runs to the line's end
      {"a ' b ' c", 2},
      {"a\n' b", 2},           // a lone LF is part of the line
  };
  for (const Case& c : cases) EXPECT_EQ(c.end, codeEnd(c.line)) << c.line;
}

TEST(LineRules, HalveSpaces) {
  EXPECT_EQ("", halved(""));
  EXPECT_EQ("a b", halved("a b"));
  EXPECT_EQ("a b", halved("a  b"));
  EXPECT_EQ("a  b", halved("a   b"));
  EXPECT_EQ("a  b", halved("a    b"));
  EXPECT_EQ(std::string(10, ' ') + "x", halved(std::string(20, ' ') + "x"));
  EXPECT_EQ("a\t\tb", halved("a\t\tb"));
  EXPECT_EQ("a ", halved("a "));  // a space without a partner stays
  EXPECT_EQ("a  ", halved("a   "));
}

}  // namespace
}  // namespace codeloom
