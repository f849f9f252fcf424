// Single-byte ANSI text: letter case and conversion to and from UTF-16.
//
// On Windows these follow the system's ANSI code page; elsewhere they follow
// Windows-1252, the code page of the tool's users. Only the platform layer
// converts to UTF-16; the text logic uses the case mappings.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace codeloom {

char lowerAnsi(char c);
char upperAnsi(char c);
std::string toLowerAnsi(std::string_view text);
std::string toUpperAnsi(std::string_view text);

// The lower-case mapping as a table indexed by unsigned byte, for loops
// that fold the case of many bytes. The code page does not change while
// the program runs, so the mapping is taken once; inline, as the header
// scanner asks for it on every line it looks at.
std::array<char, 256> makeLowerAnsiTable();
inline const std::array<char, 256>& lowerAnsiTable() {
  static const std::array<char, 256> table = makeLowerAnsiTable();
  return table;
}

// Whether text, lower-cased, is lowerWord (written in lower case). Inline:
// the header scanner asks it of every word it looks at.
inline bool equalsLowerAnsi(std::string_view text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  const auto& lower = lowerAnsiTable();
  for (size_t k = 0; k < text.size(); ++k)
    if (lower[static_cast<unsigned char>(text[k])] != lowerWord[k]) return false;
  return true;
}

// Whether setting bit 5 folds case as lower does for the given bytes: every
// byte that lower maps to one of them has, with bit 5 set, the same value
// as that one with bit 5 set. Fast paths that fold ASCII letters by bit 5
// ask it first, as a code page may lower-case other bytes to such letters.
bool foldsByBit5(const std::array<char, 256>& lower, std::string_view bytes);

std::u16string ansiToUtf16(std::string_view text);
// Characters the code page cannot hold become '?', never a look-alike.
std::string utf16ToAnsi(std::u16string_view text);

}  // namespace codeloom
