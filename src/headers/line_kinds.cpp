#include "headers/line_kinds.h"

#include <array>
#include <cstdint>

#include "platform/ansi.h"

namespace codeloom {
namespace {

bool endsFirstWord(char c) { return isBlank(c) || c == '\'' || c == '\r' || c == '\n'; }

// Whether what follows the first word (from its end on) is as the rule says.
bool followsAsRuled(const LineRule& rule, std::string_view rest) {
  auto blanks = [&](size_t from) {
    while (from < rest.size() && isBlank(rest[from])) ++from;
    return from;
  };
  const size_t next = blanks(0);
  if (rule.follows == Follows::Nothing) return rest.empty() || isBlank(rest[0]) || rest[0] == '\'';
  if (next == 0 || next == rest.size()) return false;  // no blank, or nothing after them
  if (rule.follows == Follows::MoreText) return true;
  if (next > 2 || !equalsLowerAnsi(rest.substr(next, rule.second.size()), rule.second)) return false;
  if (rule.follows == Follows::SecondWord) return true;
  const size_t after = next + rule.second.size(), more = blanks(after);
  return more > after && more < rest.size();
}

// The rows of kLineRules whose word starts with each byte, as bits: the
// classifier tries those alone. A table of more rows is read row by row.
constexpr bool kRowsAsBits = std::size(kLineRules) <= 64;
const std::array<uint64_t, 256>& rowsStartingWith() {
  static const std::array<uint64_t, 256> rows = [] {
    std::array<uint64_t, 256> bits{};
    for (size_t k = 0; k < std::size(kLineRules) && kRowsAsBits; ++k)
      bits[static_cast<unsigned char>(kLineRules[k].first[0])] |= uint64_t(1) << k;
    return bits;
  }();
  return rows;
}

}  // namespace

LineKind classifyLine(std::string_view line, std::span<const LineRule> rules) {
  size_t start = 0;
  while (start < line.size() && isBlank(line[start])) ++start;
  if (start == line.size() || endsFirstWord(line[start])) return LineKind::Other;
  const char first = lowerAnsiTable()[static_cast<unsigned char>(line[start])];
  // The first word is found when a rule asks for it whole: Follows::Anything
  // asks only how it starts, and no rule's word holds a byte that ends one.
  std::string_view word, rest;
  auto fits = [&](const LineRule& rule) {
    if (rule.follows == Follows::Anything) return equalsLowerAnsi(line.substr(start, rule.first.size()), rule.first);
    if (word.empty()) {
      size_t end = start;
      while (end < line.size() && !endsFirstWord(line[end])) ++end;
      word = line.substr(start, end - start), rest = line.substr(end);
    }
    return equalsLowerAnsi(word, rule.first) && followsAsRuled(rule, rest);
  };
  if (kRowsAsBits && rules.data() == std::data(kLineRules)) {  // the product's table, or its first rows
    uint64_t rows = rowsStartingWith()[static_cast<unsigned char>(first)];
    if (rules.size() < 64) rows &= (uint64_t(1) << rules.size()) - 1;
    for (; rows; rows &= rows - 1)
      if (const LineRule& rule = rules[static_cast<size_t>(__builtin_ctzll(rows))]; fits(rule)) return rule.kind;
    return LineKind::Other;
  }
  for (const LineRule& rule : rules)
    if (rule.first[0] == first && fits(rule)) return rule.kind;  // most rules, told by the first letter
  return LineKind::Other;
}

}  // namespace codeloom
