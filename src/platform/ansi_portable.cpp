// Windows-1252 mappings for builds without the Windows code-page API.
#include "platform/ansi.h"

#include <array>

namespace codeloom {
namespace {

// Code points of 0x80..0x9F; the five bytes Windows-1252 leaves undefined
// map to the C1 control of the same value, as Windows itself does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct CaseTables {
  std::array<unsigned char, 256> lower{};
  std::array<unsigned char, 256> upper{};
  constexpr CaseTables() {
    for (int c = 0; c < 256; ++c) lower[c] = upper[c] = static_cast<unsigned char>(c);
    auto pair = [this](int up, int low) {
      lower[up] = static_cast<unsigned char>(low);
      upper[low] = static_cast<unsigned char>(up);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) pair(c, c + 32);  // 0xD7 and 0xF7 are x and ÷
    pair(0x8A, 0x9A);  // Š š
    pair(0x8C, 0x9C);  // Œ œ
    pair(0x8E, 0x9E);  // Ž ž
    pair(0x9F, 0xFF);  // Ÿ ÿ
  }
};

// Built by the compiler: no start-up work and no guarded first use.
constexpr CaseTables kCaseTables;

const CaseTables& caseTables() { return kCaseTables; }

}  // namespace

char lowerAnsi(char c) {
  return static_cast<char>(caseTables().lower[static_cast<unsigned char>(c)]);
}

char upperAnsi(char c) {
  return static_cast<char>(caseTables().upper[static_cast<unsigned char>(c)]);
}

std::u16string ansiToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    wide.push_back(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
  }
  return wide;
}

std::string utf16ToAnsi(std::u16string_view text) {
  std::string ansi;
  ansi.reserve(text.size());
  for (char16_t w : text) {
    char out = '?';
    if (w < 0x80 || (w >= 0xA0 && w < 0x100)) {
      out = static_cast<char>(w);
    } else {
      for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == w) out = static_cast<char>(0x80 + i);
    }
    ansi.push_back(out);
  }
  return ansi;
}

}  // namespace codeloom
