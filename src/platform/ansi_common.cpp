#include "platform/ansi.h"

namespace codeloom {

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
