#include "platform/ansi.h"

namespace codeloom {

std::array<char, 256> makeLowerAnsiTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = lowerAnsi(static_cast<char>(c));
  return table;
}

bool foldsByBit5(const std::array<char, 256>& lower, std::string_view bytes) {
  for (int b = 0; b < 256; ++b) {
    char l = lower[b];
    if (bytes.find(l) != std::string_view::npos && ((b | 0x20) & 0xff) != ((l | 0x20) & 0xff)) return false;
  }
  return true;
}

std::string toLowerAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lowerAnsi(c);
  return out;
}

std::string toUpperAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = upperAnsi(c);
  return out;
}

}  // namespace codeloom
