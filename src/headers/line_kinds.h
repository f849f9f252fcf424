// The lines the header writer copies or acts on, by their first words,
// stated once in kLineRules. The classifier reads the table; the quick
// tests in front of it are derived from it at compile time: the four-byte
// keys that turn most other lines down, and the leading byte pairs that the
// line index looks for (its plain loop and its SIMD masks alike). Adding a
// kind of line is adding a row.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

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
};

// An open-addressing set of the keys, 64 slots for a few rules.
constexpr size_t kKeySlots = 64;
constexpr size_t keySlot(uint32_t k) { return (k * 0x9E3779B1u) >> 26; }

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

constexpr std::array<LeadingKey, kKeySlots> leadingKeys() {
  std::array<LeadingKey, kKeySlots> slots{};
  auto add = [&slots](LeadingKey k) {
    size_t at = keySlot(k.key);
    while (slots[at].key != 0 && slots[at].key != k.key) at = (at + 1) % kKeySlots;
    slots[at] = k;
  };
  for (const LineRule& rule : kLineRules) {
    std::string_view w = rule.first;
    if (w.size() >= 4) {
      add({key(w[0], w[1], w[2], w[3])});
      continue;
    }
    LeadingKey k;
    if (onlyWithSecondWord(w)) k.second0 = rule.second[0], k.second1 = rule.second[1];
    for (char blank : {' ', '\t'}) {
      k.key = key(w[0], w[1], w[2], blank);
      add(k);
    }
  }
  return slots;
}

}  // namespace line_rules_derived

inline constexpr auto kLeadingPairs = line_rules_derived::leadingPairs();
inline constexpr auto kLeadingKeys = line_rules_derived::leadingKeys();
inline constexpr size_t kLongestFirstWord = line_rules_derived::longestFirstWord();

// A quick no for most lines the index lets through ("End If", "Print",
// "Incr", "#Include"), from the eight bytes at a line's first non-blank p,
// lower-cased by lower: the first four must be a rule's key, and a key
// that asks for a second word must have its first two letters after one or
// two blanks. classifyLine starts with it; the scanner asks it first,
// inline, for the many lines it turns down.
inline bool isNoKeywordLine(const std::array<char, 256>& lower, const char* p) {
  using namespace line_rules_derived;
  auto at = [&](int i) { return lower[static_cast<unsigned char>(p[i])]; };
  const uint32_t k = key(at(0), at(1), at(2), at(3));
  for (size_t slot = keySlot(k);; slot = (slot + 1) % kKeySlots) {
    const LeadingKey& entry = kLeadingKeys[slot];
    if (entry.key == 0) return true;
    if (entry.key != k) continue;
    if (entry.second0 == 0) return false;
    int second = p[4] == ' ' || p[4] == '\t' ? 5 : 4;
    return !(at(second) == entry.second0 && at(second + 1) == entry.second1);
  }
}

}  // namespace codeloom
