#include "headers/line_kinds.h"

#include <cstring>
#include <string>

#include "platform/ansi.h"

namespace codeloom {
namespace {

using line_rules_derived::key;
using line_rules_derived::keySlot;
using line_rules_derived::kKeySlots;

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The bytes that end a line's first word: blanks, line ends and a comment's "'".
constexpr std::array<bool, 256> kEndsFirstWord = [] {
  std::array<bool, 256> ends{};
  for (unsigned char c : {' ', '\t', '\r', '\n', '\''}) ends[c] = true;
  return ends;
}();

// The rules that may fit a line whose first non-blank is p, from its first
// four bytes (the key): none when they are no rule's key.
uint16_t rulesForKey(const char* p) {
  using namespace line_rules_derived;
  const auto& lower = lowerAnsiTable();
  const bool folded = quickNoFolds();
  auto fold = [&](char c) { return folded ? foldByBit5(c) : lower[static_cast<unsigned char>(c)]; };
  const uint32_t k = key(fold(p[0]), fold(p[1]), fold(p[2]), fold(p[3]));
  const LeadingKey& entry = (folded ? kFoldedKeys : kLeadingKeys)[keySlot(k)];
  return entry.key == k ? entry.rules : 0;
}

// The rules' first words, padded with zeros.
constexpr size_t kPaddedWord = 16;
static_assert(kLongestFirstWord < kPaddedWord, "a first word and the byte after it fit the padding");
constexpr auto kPaddedFirstWords = [] {
  std::array<std::array<char, kPaddedWord>, std::size(kLineRules)> words{};
  for (size_t r = 0; r < std::size(kLineRules); ++r)
    for (size_t k = 0; k < kLineRules[r].first.size(); ++k) words[r][k] = kLineRules[r].first[k];
  return words;
}();

}  // namespace

bool keysFoldByBit5(const std::array<char, 256>& lower) {
  using namespace line_rules_derived;
  std::string bytes;
  for (const LeadingKey& entry : kLeadingKeys) {
    if (entry.key == 0) continue;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((entry.key >> shift) & 0xff);
    if (entry.second0 != 0) bytes += {entry.second0, entry.second1};
  }
  return foldsByBit5(lower, bytes);
}

LineKind classifyLine(std::string_view text, bool cut) {
  const auto& lower = lowerAnsiTable();
  const size_t n = text.size();
  auto atEnd = [&](size_t i) { return i == n || text[i] == '\r' || text[i] == '\n'; };
  auto open = [&](size_t i) { return i == n && cut; };  // the line goes on past text
  auto blanksFrom = [&](size_t i) {
    while (i < n && isBlank(text[i])) ++i;
    return i;
  };
  auto is = [&](size_t at, std::string_view word) {
    for (size_t k = 0; k < word.size(); ++k)
      if (lower[static_cast<unsigned char>(text[at + k])] != word[k]) return false;
    return true;
  };
  constexpr size_t kLongestFirst = kLongestFirstWord;
  const size_t start = blanksFrom(0);
  if (start + 8 <= n && isNoKeywordLine(text.data() + start)) return LineKind::Other;
  // Only the rules of the line's key are tried, when its four bytes are there.
  const uint16_t rules = start + 4 <= n ? rulesForKey(text.data() + start) : uint16_t(~0u);
  if (rules == 0) return LineKind::Other;
  // The first word, lower-cased and padded with zeros as the rules' are,
  // so that a rule's word is compared at once.
  char word[kPaddedWord] = {};
  size_t end = start;
  while (end < n && !kEndsFirstWord[static_cast<unsigned char>(text[end])] && end - start <= kLongestFirst) {
    word[end - start] = lower[static_cast<unsigned char>(text[end])];
    ++end;
  }
  if (end - start > kLongestFirst) return LineKind::Other;
  if (open(end)) return LineKind::Unknown;
  const bool quoteAfter = !atEnd(end) && text[end] == '\'';  // the word runs into a comment
  const size_t next = blanksFrom(end);  // after the first word's blanks, if any
  for (size_t r = 0; r < std::size(kLineRules); ++r) {
    const LineRule& k = kLineRules[r];
    // The length too: a NUL byte in the line's word is no padding.
    if (!(rules >> r & 1) || end - start != k.first.size() ||
        std::memcmp(word, kPaddedFirstWords[r].data(), kPaddedWord) != 0)
      continue;
    if (k.alone) return k.kind;
    if (quoteAfter) continue;
    if (atEnd(next)) {
      if (open(next)) return LineKind::Unknown;
      continue;
    }
    if (k.second.empty()) return k.kind;
    if (next - end > 2) continue;
    size_t present = 0;  // of second, before the line or the text ends
    while (present < k.second.size() && !atEnd(next + present)) ++present;
    if (present < k.second.size()) {
      // The text ends inside second: known when what is there already differs.
      if (open(next + present) && is(next, k.second.substr(0, present))) return LineKind::Unknown;
      continue;
    }
    if (!is(next, k.second)) continue;
    if (!k.whole) return k.kind;
    size_t after = next + k.second.size();
    size_t more = blanksFrom(after);
    if (open(more)) return LineKind::Unknown;
    if (more != after && !atEnd(more)) return k.kind;
  }
  return LineKind::Other;
}

}  // namespace codeloom
