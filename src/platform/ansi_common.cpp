#include "platform/ansi.h"

namespace codeloom {

std::array<char, 256> makeLowerAnsiTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = lowerAnsi(static_cast<char>(c));
  return table;
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
