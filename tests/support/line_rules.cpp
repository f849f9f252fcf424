#include "support/line_rules.h"

#include "platform/ansi.h"

namespace codeloom {

void normaliseLine(std::string& text) {
  for (char& c : text)
    if (c == '\t') c = ' ';
  halveSpaces(text);
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && toLowerAnsi(text.substr(0, prefix.size())) == toLowerAnsi(prefix);
}

size_t findWord(std::string_view text, std::string_view word) {
  // The search of " word " in a copy padded with a space at each end, with
  // CR, LF and tab turned into spaces: it finds the space before the word.
  std::string padded = " " + toLowerAnsi(text) + " ";
  for (char& c : padded)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  return padded.find(" " + toLowerAnsi(word) + " ");
}

bool containsWord(std::string_view text, std::string_view word) {
  return findWord(text, word) != std::string::npos;
}

size_t findMarkingWord(std::string_view text, std::string_view word) {
  std::string padded = " " + toLowerAnsi(text) + " ";
  for (char& c : padded)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  const std::string lower = toLowerAnsi(word);
  // padded[at] stands before the word's first letter text[at].
  for (size_t at = 0; at + lower.size() + 2 <= padded.size(); ++at) {
    if ((padded[at] == ' ' || padded[at] == ')') && padded.compare(at + 1, lower.size(), lower) == 0 &&
        padded[at + 1 + lower.size()] == ' ')
      return at;
  }
  return std::string::npos;
}

void removeMarkingWordAt(std::string& text, size_t at, size_t size) {
  if (at > 0 && text[at - 1] == ')') text.erase(at, size);
  else if (at > 0) text.erase(at - 1, size + 1);
}

void removeWord(std::string& text, std::string_view word) {
  size_t at = findWord(text, word);
  if (at == std::string::npos || at == 0) return;
  text.erase(at - 1, word.size() + 1);
}

void halveSpaces(std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ') ++i;
  }
  text = out;
}

size_t codeEnd(std::string_view line) {
  bool inString = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') inString = !inString;
    else if (line[i] == '\'' && !inString) return i;
  }
  return line.size();
}

}  // namespace codeloom
