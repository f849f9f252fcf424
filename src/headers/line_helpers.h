// Text operations of the header writer: line clean-up and keyword tests on
// declarations that may span several lines. Texts are single-byte ANSI;
// letter case follows the ANSI code page.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace codeloom {

// The ANSI lower-case mapping as a table indexed by unsigned byte, for loops
// that fold the case of many bytes. The code page does not change while the
// program runs, so the mapping is taken once; inline, as the scanner asks
// for it on every line it looks at.
std::array<char, 256> makeLowerAnsiTable();
inline const std::array<char, 256>& lowerAnsiTable() {
  static const std::array<char, 256> table = makeLowerAnsiTable();
  return table;
}

// Tabs become spaces, each pair of spaces becomes one in a single left-to-right
// pass (a run of n spaces keeps (n + 1) / 2), then leading and trailing spaces
// go. Only spaces are trimmed: CR, LF and other bytes at the ends stay.
void normaliseLine(std::string& text);

// True when word occurs in text, ignoring letter case, with a space, tab, CR,
// LF or an end of the text on each side. "export" is not in "export.dll".
bool containsWord(std::string_view text, std::string_view word);

// Where containsWord finds word in text: the index of its first letter, or
// npos.
size_t findWord(std::string_view text, std::string_view word);

// Removes the first occurrence of word (as containsWord finds it) together
// with the one delimiter in front of it; the delimiter after it stays. A word
// at the very start of the text is left alone, as is a text without it.
void removeWord(std::string& text, std::string_view word);

// One left-to-right pass that turns each pair of spaces into one space.
void halveSpaces(std::string& text);

// Where the code of one line ends: at its first "'" outside a string literal
// (a comment runs from there to the line's end), else at the line's end. A
// string runs from a double quote to the next one or to the line's end.
size_t codeEnd(std::string_view line);

}  // namespace codeloom
