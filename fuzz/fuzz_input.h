// The input layout shared by the fuzz targets, simple enough to write seed
// files by hand: one flags byte, then parts separated by NUL bytes. Part
// `count - 1` takes the rest of the input, NULs included; missing parts are
// empty.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace codeloom::fuzz {

struct FuzzInput {
  uint8_t flags = 0;
  std::vector<std::string_view> parts;
};

inline FuzzInput splitInput(const uint8_t* data, size_t size, size_t count) {
  FuzzInput input;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  if (!rest.empty()) {
    input.flags = static_cast<uint8_t>(rest.front());
    rest.remove_prefix(1);
  }
  for (size_t i = 0; i + 1 < count; ++i) {
    size_t zero = rest.find('\0');
    input.parts.push_back(rest.substr(0, zero));
    rest = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
  }
  input.parts.push_back(rest);
  return input;
}

// True when every CR of text is followed by LF and a non-empty text ends in
// CR LF: every line the tool writes ends that way.
inline bool linesEndInCrLf(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
  return text.empty() || text.ends_with("\r\n");
}

// An invariant that does not hold: a crash that libFuzzer records with its input.
#define FUZZ_CHECK(condition)                                                  \
  do {                                                                         \
    if (!(condition)) {                                                        \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,    \
                   #condition);                                                \
      std::abort();                                                            \
    }                                                                          \
  } while (false)

}  // namespace codeloom::fuzz
