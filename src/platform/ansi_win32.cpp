// The system's ANSI code page, through the Windows API.
#include "platform/ansi.h"

#include <windows.h>

#include <array>

namespace codeloom {
namespace {

// One call per table: CharLowerBuffA over all 256 bytes gives the code
// page's mapping without a user32 call per character later.
struct CaseTables {
  std::array<char, 256> lower{};
  std::array<char, 256> upper{};
  CaseTables() {
    for (int c = 0; c < 256; ++c) lower[c] = upper[c] = static_cast<char>(c);
    CharLowerBuffA(lower.data() + 1, 255);  // byte 0 would end nothing, but keep it 0
    CharUpperBuffA(upper.data() + 1, 255);
  }
};

const CaseTables& caseTables() {
  static const CaseTables tables;
  return tables;
}

}  // namespace

char lowerAnsi(char c) { return caseTables().lower[static_cast<unsigned char>(c)]; }
char upperAnsi(char c) { return caseTables().upper[static_cast<unsigned char>(c)]; }

std::u16string ansiToUtf16(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string wide(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(wide.data()), n);
  return wide;
}

std::string utf16ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  // Without WC_NO_BEST_FIT_CHARS Windows writes a look-alike for a missing
  // character (a fullwidth backslash becomes "\\", infinity "8"), which can
  // name another file. A UTF-8 code page holds every character and takes
  // neither the flag nor a default character.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* unmapped = utf8 ? nullptr : "?";
  int n = WideCharToMultiByte(CP_ACP, flags, wide, static_cast<int>(text.size()), nullptr, 0,
                              unmapped, nullptr);
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide, static_cast<int>(text.size()), ansi.data(), n,
                      unmapped, nullptr);
  return ansi;
}

}  // namespace codeloom
