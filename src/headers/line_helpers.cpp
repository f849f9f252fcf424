#include "headers/line_helpers.h"

#include <array>

#include "platform/ansi.h"

namespace codeloom {

std::array<char, 256> makeLowerAnsiTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = lowerAnsi(static_cast<char>(c));
  return table;
}

namespace {

inline char lowerWith(const std::array<char, 256>& table, char c) {
  return table[static_cast<unsigned char>(c)];
}

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The bytes that delimit a word: space, tab, CR and LF.
constexpr std::array<bool, 256> kDelimiter = [] {
  std::array<bool, 256> d{};
  d[' '] = d['\t'] = d['\r'] = d['\n'] = true;
  return d;
}();

inline bool isDelimiter(char c) { return kDelimiter[static_cast<unsigned char>(c)]; }

// A character as the word tests see it: CR, LF and tab stand for a space.
inline char wordChar(const std::array<char, 256>& table, char c) {
  return c == '\r' || c == '\n' || c == '\t' ? ' ' : lowerWith(table, c);
}

}  // namespace

// The smallest index at which word starts with a delimiter (or an end of
// text) on each side: the same place as the search of " word " in a copy of
// text padded with a space at each end, with CR, LF and tab turned into
// spaces.
size_t findWord(std::string_view text, std::string_view word) {
  const auto& table = lowerAnsiTable();
  const size_t n = word.size();
  bool plainWord = n > 0;
  for (char c : word) plainWord = plainWord && !isDelimiter(c);
  if (plainWord) {
    // A word without delimiters can only match a whole run of
    // non-delimiters, so only runs of its length are compared.
    size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && isDelimiter(text[i])) ++i;
      size_t start = i;
      while (i < text.size() && !isDelimiter(text[i])) ++i;
      if (i - start != n) continue;
      size_t k = 0;
      while (k < n && lowerWith(table, text[start + k]) == lowerWith(table, word[k])) ++k;
      if (k == n) return start;
    }
    return std::string_view::npos;
  }
  // The general case, for an empty word or one with blanks in it.
  if (n > text.size()) return std::string_view::npos;
  for (size_t i = 0; i + n <= text.size(); ++i) {
    if (i > 0 && wordChar(table, text[i - 1]) != ' ') continue;
    if (i + n < text.size() && wordChar(table, text[i + n]) != ' ') continue;
    size_t k = 0;
    while (k < n && wordChar(table, text[i + k]) == lowerWith(table, word[k])) ++k;
    if (k == n) return i;
  }
  return std::string_view::npos;
}

void halveSpaces(std::string& text) {
  size_t out = 0;
  for (size_t in = 0; in < text.size(); ++in) {
    text[out++] = text[in];
    if (text[in] == ' ' && in + 1 < text.size() && text[in + 1] == ' ') ++in;
  }
  text.resize(out);
}

size_t codeEnd(std::string_view line) {
  bool inString = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') inString = !inString;
    else if (line[i] == '\'' && !inString) return i;
  }
  return line.size();
}

void normaliseLine(std::string& text) {
  // The three steps fused into one pass: a run of n blanks (tabs counted as
  // spaces) keeps (n + 1) / 2 spaces, and runs at either end go entirely.
  const size_t n = text.size();
  size_t in = 0;
  if (n > 0 && !isBlank(text[0])) {
    // Most lines need nothing done: skip to the first blank run that changes
    // (a tab, two blanks, or blanks at the end); before it nothing moves.
    in = 1;
    while (in < n && !(isBlank(text[in]) &&
                       (text[in] == '\t' || in + 1 == n || isBlank(text[in + 1]))))
      ++in;
    if (in == n) return;
  }
  size_t out = in;
  if (in == 0)
    while (in < n && isBlank(text[in])) ++in;
  while (in < n) {
    if (!isBlank(text[in])) {
      text[out++] = text[in++];
      continue;
    }
    size_t end = in;
    while (end < n && isBlank(text[end])) ++end;
    if (end == n) break;
    for (size_t keep = (end - in + 1) / 2; keep > 0; --keep) text[out++] = ' ';
    in = end;
  }
  text.resize(out);
}

bool containsWord(std::string_view text, std::string_view word) {
  return findWord(text, word) != std::string_view::npos;
}

void removeWord(std::string& text, std::string_view word) {
  size_t at = findWord(text, word);
  if (at == std::string_view::npos || at == 0) return;
  text.erase(at - 1, word.size() + 1);
}

}  // namespace codeloom
