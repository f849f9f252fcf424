#include "headers/line_helpers.h"

#include <gtest/gtest.h>

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

TEST(LineHelpers, NormaliseLine) {
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

TEST(LineHelpers, NormalisedPrefixIsTheStartOfTheNormalisedLine) {
  const std::string lines[] = {
      "", " \t ", "\t\tProperty   Get  x", "sub   ", "sub  \t", "sub   x", "Function=5",
      "  End    Interface  ", "a b c d e f g h i j k l m", "abcdefghijklmnopqrstuvwxyz",
      "method\t \t=", "x\n  y",
  };
  for (const std::string& line : lines) {
    for (size_t capacity : {0, 1, 4, 9, 13, 16, 40}) {
      char buffer[40];
      std::string expected = normalised(line).substr(0, capacity);
      EXPECT_EQ(expected, std::string(buffer, normalisedPrefix(line, buffer, capacity)))
          << '[' << line << "] " << capacity;
    }
  }
}

TEST(LineHelpers, StartsWithNoCase) {
  struct Case { std::string_view text, prefix; bool expected; };
  const Case cases[] = {
      {"SUB Main", "sub ", true},
      {"sub main", "sub ", true},
      {"Sub", "sub ", false},
      {"Subclass x", "sub ", false},
      {"", "", true},
      {"x", "", true},
      {"", "x", false},
      {"FUNCTION = 5", "function =", true},
      {"End Interface", "END INTERFACE", true},
      {"\xC4ndern", "\xE4nd", true},  // Ä and ä in the ANSI code page
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, startsWithNoCase(c.text, c.prefix)) << c.text;
}

TEST(LineHelpers, ContainsWord) {
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

TEST(LineHelpers, RemoveWord) {
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

TEST(LineHelpers, HalveSpaces) {
  EXPECT_EQ("", halved(""));
  EXPECT_EQ("a b", halved("a b"));
  EXPECT_EQ("a b", halved("a  b"));
  EXPECT_EQ("a  b", halved("a   b"));
  EXPECT_EQ("a  b", halved("a    b"));
  EXPECT_EQ(std::string(10, ' ') + "x", halved(std::string(20, ' ') + "x"));
  EXPECT_EQ("a\t\tb", halved("a\t\tb"));
}

}  // namespace
}  // namespace codeloom
