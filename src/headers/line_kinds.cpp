#include "headers/line_kinds.h"

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

}  // namespace

LineKind classifyLine(std::string_view line, std::span<const LineRule> rules) {
  size_t start = 0;
  while (start < line.size() && isBlank(line[start])) ++start;
  if (start == line.size() || endsFirstWord(line[start])) return LineKind::Other;
  const char first = lowerAnsiTable()[static_cast<unsigned char>(line[start])];
  // The first word is found when a rule asks for it whole: Follows::Anything
  // asks only how it starts, and no rule's word holds a byte that ends one.
  std::string_view word, rest;
  for (const LineRule& rule : rules) {
    if (rule.first[0] != first) continue;  // most rules, told by the first letter
    if (rule.follows == Follows::Anything) {
      if (equalsLowerAnsi(line.substr(start, rule.first.size()), rule.first)) return rule.kind;
      continue;
    }
    if (word.empty()) {
      size_t end = start;
      while (end < line.size() && !endsFirstWord(line[end])) ++end;
      word = line.substr(start, end - start), rest = line.substr(end);
    }
    if (equalsLowerAnsi(word, rule.first) && followsAsRuled(rule, rest)) return rule.kind;
  }
  return LineKind::Other;
}

}  // namespace codeloom
