// The lines the header writer copies or acts on, by their first words,
// stated once in kLineRules. The classifier reads the table; the quick
// tests in front of it are derived from it at compile time: the four-byte
// keys that turn most other lines down, and the leading byte pairs that the
// line index looks for (its plain loop and its SIMD masks alike). Adding a
// kind of line is adding a row.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/ansi.h"

namespace codeloom {

// Unknown: the text ends (a line cut by a window's end) before its kind is.
// The metastatements: #IF opens a group, #ELSEIF and #ELSE go on with it,
// #ENDIF closes it.
enum class LineKind {
  Other, Procedure, InterfaceEnd, InterfaceStart, Member, GroupOpen, GroupNext, GroupClose, Unknown
};

// A line fits a rule when its first word is `first` (ignoring case) and,
// when `alone`, ends the line or is followed by blanks or a "'"; otherwise
// it is followed by blanks and then, when `second` is empty, by more text;
// else the blanks are one or two (they normalise to one space) and the text
// goes on with `second`, and when `whole`, with blanks and more text after
// it. The first rule that fits decides; words are written in lower case.
struct LineRule {
  std::string_view first, second;
  bool whole;
  LineKind kind;
  bool alone = false;
};

inline constexpr LineRule kLineRules[] = {
    {"function", "=", false, LineKind::Other},  // assigns the function's result
    {"function", "", false, LineKind::Procedure},
    {"sub", "", false, LineKind::Procedure},
    {"end", "interface", false, LineKind::InterfaceEnd},
    {"interface", "", false, LineKind::InterfaceStart},
    {"property", "get", true, LineKind::Member},
    {"property", "set", true, LineKind::Member},
    {"inherit", "", false, LineKind::Member},
    {"member", "", false, LineKind::Member},  // MEMBER CALL, GET, LET, SET
    {"method", "=", false, LineKind::Other},  // assigns the method's result
    {"method", "", false, LineKind::Member},
    {"#if", "", false, LineKind::GroupOpen},
    {"#elseif", "", false, LineKind::GroupNext},
    {"#else", "", false, LineKind::GroupNext, true},
    {"#endif", "", false, LineKind::GroupClose, true},
};

// Classifies the line that text starts, reading its first words once. The
// line ends at the first CR or LF in text, or with text; then, when cut, it
// goes on past text, so a kind that depends on what follows is Unknown.
LineKind classifyLine(std::string_view text, bool cut = false);

namespace line_rules_derived {

constexpr bool isLetter(char c) { return (c >= 'a' && c <= 'z'); }

constexpr size_t longestFirstWord() {
  size_t longest = 0;
  for (const LineRule& rule : kLineRules) longest = rule.first.size() > longest ? rule.first.size() : longest;
  return longest;
}

// A pair of leading bytes that the line index lets through: a rule's first
// two letters; a first byte that is no letter is enough alone (second 0),
// as such lines are few.
struct LeadingPair {
  char first, second;
};

// Writes the distinct pairs of the rules to pairs, when given, and
// returns how many there are.
constexpr size_t collectLeadingPairs(LeadingPair* pairs) {
  LeadingPair seen[std::size(kLineRules)]{};
  size_t count = 0;
  for (const LineRule& rule : kLineRules) {
    LeadingPair pair{rule.first[0], isLetter(rule.first[0]) ? rule.first[1] : '\0'};
    bool known = false;
    for (size_t k = 0; k < count; ++k) known = known || (seen[k].first == pair.first && seen[k].second == pair.second);
    if (known) continue;
    if (pairs) pairs[count] = pair;
    seen[count++] = pair;
  }
  return count;
}

constexpr auto leadingPairs() {
  std::array<LeadingPair, collectLeadingPairs(nullptr)> pairs{};
  collectLeadingPairs(pairs.data());
  return pairs;
}

// The four lower-cased bytes at a line's first non-blank, as one number.
constexpr uint32_t key(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

// What a line's first four bytes must be for some rule to fit: the first
// word's first four, or a shorter word and a blank. A word that fits only
// with a second word ("end" of "end interface") also asks for that word's
// first two letters after one or two blanks.
struct LeadingKey {
  uint32_t key = 0;  // 0: an empty slot
  char second0 = 0, second1 = 0;
  uint16_t rules = 0;  // bit r: kLineRules[r] may fit a line with this key
};
static_assert(std::size(kLineRules) <= 16, "a key's rules are a 16-bit mask");

constexpr bool onlyWithSecondWord(std::string_view first) {
  for (const LineRule& rule : kLineRules)
    if (rule.first == first && rule.second.size() < 2) return false;
  return true;
}

constexpr bool firstWordsHaveThreeBytes() {
  for (const LineRule& rule : kLineRules)
    if (rule.first.size() < 3) return false;
  return true;
}
static_assert(firstWordsHaveThreeBytes(), "a key holds a first word's first three bytes at least");

// Bit 5 set in a byte: lower case for ASCII letters.
constexpr char foldByBit5(char c) { return static_cast<char>(c | 0x20); }

// The distinct keys of the rules, as the table lower-cases them or, folded,
// with bit 5 set in each byte. Two keys that fold alike keep the looser
// second-word test.
struct KeyList {
  std::array<LeadingKey, 2 * std::size(kLineRules)> keys{};
  size_t count = 0;
};

constexpr KeyList collectKeys(bool folded) {
  KeyList list;
  auto add = [&list](LeadingKey k) {
    for (size_t i = 0; i < list.count; ++i) {
      LeadingKey& known = list.keys[i];
      if (known.key != k.key) continue;
      if (known.second0 != k.second0 || known.second1 != k.second1) known.second0 = known.second1 = 0;
      known.rules |= k.rules;
      return;
    }
    list.keys[list.count++] = k;
  };
  auto byte = [folded](char c) { return folded ? foldByBit5(c) : c; };
  for (size_t r = 0; r < std::size(kLineRules); ++r) {
    const LineRule& rule = kLineRules[r];
    std::string_view w = rule.first;
    LeadingKey k;
    k.rules = uint16_t(1u << r);
    if (w.size() >= 4) {
      k.key = key(byte(w[0]), byte(w[1]), byte(w[2]), byte(w[3]));
      add(k);
      continue;
    }
    if (onlyWithSecondWord(w)) k.second0 = byte(rule.second[0]), k.second1 = byte(rule.second[1]);
    for (char blank : {' ', '\t'}) {
      k.key = key(byte(w[0]), byte(w[1]), byte(w[2]), byte(blank));
      add(k);
    }
  }
  return list;
}

// The keys stand in 64 slots, each in the slot its hash names: a multiplier
// is chosen under which no two keys of either list share one, so that one
// probe decides, with no branch on collisions.
constexpr size_t kKeySlots = 64;
constexpr uint32_t kKeyMultiplier = [] {
  const KeyList lists[] = {collectKeys(false), collectKeys(true)};
  for (uint32_t multiplier = 0x9E3779B1u;; multiplier += 0x3C6EF372u) {  // stays odd
    bool distinct = true;
    for (const KeyList& list : lists) {
      uint64_t used = 0;
      for (size_t i = 0; i < list.count; ++i) {
        uint64_t slot = uint64_t(1) << ((list.keys[i].key * multiplier) >> 26);
        distinct = distinct && !(used & slot);
        used |= slot;
      }
    }
    if (distinct) return multiplier;
  }
}();
constexpr size_t keySlot(uint32_t k) { return (k * kKeyMultiplier) >> 26; }

constexpr std::array<LeadingKey, kKeySlots> leadingKeys(bool folded) {
  std::array<LeadingKey, kKeySlots> slots{};
  const KeyList list = collectKeys(folded);
  for (size_t i = 0; i < list.count; ++i) slots[keySlot(list.keys[i].key)] = list.keys[i];
  return slots;
}

}  // namespace line_rules_derived

inline constexpr auto kLeadingPairs = line_rules_derived::leadingPairs();
inline constexpr auto kLeadingKeys = line_rules_derived::leadingKeys(false);
inline constexpr auto kFoldedKeys = line_rules_derived::leadingKeys(true);
inline constexpr size_t kLongestFirstWord = line_rules_derived::longestFirstWord();

// A quick no for most lines whose leading pair the index finds ("End If",
// "Print", "Incr", "#Include"), from the eight bytes at a line's first non-blank p,
// each byte mapped by fold: the first four must be a rule's key in keys,
// and a key that asks for a second word must have its first two letters
// after one or two blanks.
template <typename Fold>
inline bool isNoKeywordLineIn(const std::array<line_rules_derived::LeadingKey, line_rules_derived::kKeySlots>& keys,
                              Fold fold, const char* p) {
  using namespace line_rules_derived;
  const uint32_t k = key(fold(p[0]), fold(p[1]), fold(p[2]), fold(p[3]));
  const LeadingKey& entry = keys[keySlot(k)];
  // Worked out whole, with no early return: which way a line goes is
  // hard to predict, and a mispredicted branch costs more than the bytes.
  const size_t second = (p[4] == ' ') | (p[4] == '\t') ? 5 : 4;
  const bool secondFits = (entry.second0 == 0) |
                          ((fold(p[second]) == entry.second0) & (fold(p[second + 1]) == entry.second1));
  return (entry.key != k) | !secondFits;
}

// The quick no with the code page's lower case.
inline bool isNoKeywordLineByTable(const std::array<char, 256>& lower, const char* p) {
  return isNoKeywordLineIn(kLeadingKeys, [&lower](char c) { return lower[static_cast<unsigned char>(c)]; }, p);
}

// The same with bit 5 set in each byte instead: no table look-ups, so a
// shorter path for the many lines it turns down. It says no only where
// the table would, when lower maps to a key's byte nothing but that byte
// and its other ASCII case (keysFoldByBit5); it may say no less often.
inline bool isNoKeywordLineFolded(const char* p) {
  using namespace line_rules_derived;
  if constexpr (std::endian::native != std::endian::little) {
    return isNoKeywordLineIn(kFoldedKeys, foldByBit5, p);
  } else {
    // The eight bytes as one number, folded at once: the key is its low
    // half, and the second word's two letters a 16-bit piece of it.
    uint64_t bytes;
    std::memcpy(&bytes, p, 8);
    bytes |= 0x2020202020202020u;
    const auto k = static_cast<uint32_t>(bytes);
    const LeadingKey& entry = kFoldedKeys[keySlot(k)];
    const unsigned second = 32 + 8 * unsigned((p[4] == ' ') | (p[4] == '\t'));
    const auto letters = static_cast<uint16_t>(bytes >> second);
    const uint16_t wanted = uint16_t(uint8_t(entry.second0)) | uint16_t(uint8_t(entry.second1)) << 8;
    return (entry.key != k) | ((wanted != 0) & (letters != wanted));
  }
}

bool keysFoldByBit5(const std::array<char, 256>& lower);

// The quick no that classifyLine starts with and that the line index
// applies to its hits: folded where the code page allows, which every
// Western one does.
inline bool quickNoFolds() {
  static const bool folds = keysFoldByBit5(lowerAnsiTable());
  return folds;
}
inline bool isNoKeywordLine(const char* p) {
  return quickNoFolds() ? isNoKeywordLineFolded(p) : isNoKeywordLineByTable(lowerAnsiTable(), p);
}

}  // namespace codeloom
