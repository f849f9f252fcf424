// The header writer's line rules as they read, for the plain scanner that
// checks the fast one: a line cleaned up, a first-word test, and the word
// tests on a declaration that may span several lines. Texts are single-byte
// ANSI; letter case follows the ANSI code page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace codeloom {

// Tabs become spaces, each pair of spaces becomes one in a single left-to-right
// pass (a run of n spaces keeps (n + 1) / 2), then leading and trailing spaces
// go. Only spaces are trimmed: CR, LF and other bytes at the ends stay.
void normaliseLine(std::string& text);

// True when text starts with prefix, ignoring letter case.
bool startsWithNoCase(std::string_view text, std::string_view prefix);

// Where word occurs in text, ignoring letter case, with a space, tab, CR,
// LF or an end of the text on each side: the index of its first letter, or
// npos. "export" is not in "export.dll".
size_t findWord(std::string_view text, std::string_view word);
bool containsWord(std::string_view text, std::string_view word);

// Where a marking word (Export, Common or a macro standing for one) occurs:
// as findWord finds it, or directly after a ")" ("Sub A()Export") with a
// delimiter or the text's end after it; the first of either kind, or npos.
size_t findMarkingWord(std::string_view text, std::string_view word);

// Removes the size bytes at `at` where findMarkingWord found a word: after a
// ")" the word alone, else with the one delimiter in front as removeWord
// does (and nothing at the very start of the text).
void removeMarkingWordAt(std::string& text, size_t at, size_t size);

// Removes the first occurrence of word (as findWord finds it) together
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
