// The conditions of #IF. Flags: bit 0 marks an include as not read; bit 1
// makes every other equate line one of a group whose condition is unknown.
// Parts: equate lines (separated by LF), then the condition.
#include <cstdio>
#include <string>

#include "fuzz/fuzz_input.h"
#include "headers/conditions.h"
#include "platform/ansi.h"

namespace codeloom::fuzz {
namespace {

bool isNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// text with every whole %NAME (any case) replaced by the value written as
// a 64-bit &H literal.
std::string substitute(std::string_view text, const std::string& name, int64_t value) {
  char literal[24];
  std::snprintf(literal, sizeof literal, "&H%llX", static_cast<unsigned long long>(value));
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool whole = text.size() - i >= name.size() && toLowerAnsi(text.substr(i, name.size())) == name &&
                 (i + name.size() == text.size() || !isNameByte(text[i + name.size()]));
    if (whole) {
      out += literal;
      i += name.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

// Whether less is known in fewer than in more, and what fewer knows agrees.
bool knowsNoMore(std::optional<int64_t> fewer, std::optional<int64_t> more) {
  return !fewer || fewer == more;
}

}  // namespace
}  // namespace codeloom::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace codeloom;
  using namespace codeloom::fuzz;
  FuzzInput input = splitInput(data, size, 2);
  std::string_view lines = input.parts[0], condition = input.parts[1];

  // The equates of the lines, and the same with less known: some lines in
  // undecided groups, an include not read.
  Equates equates, lessKnown;
  size_t index = 0;
  for (size_t start = 0; start <= lines.size(); ++index) {
    size_t end = std::min(lines.find('\n', start), lines.size());
    std::string_view line = lines.substr(start, end - start);
    bool isEquate = applyEquateLine(line, equates);
    bool undecided = (input.flags & 2) && index % 2 == 1;
    FUZZ_CHECK(isEquate == (undecided ? markEquateLineUnknown(line, lessKnown) : applyEquateLine(line, lessKnown)));
    start = end + 1;
  }
  lessKnown.everyIncludeFound = !(input.flags & 1);

  std::optional<int64_t> value = evaluateCondition(condition, equates);
  FUZZ_CHECK(evaluateCondition(condition, equates) == value);
  FUZZ_CHECK(knowsNoMore(evaluateCondition(condition, lessKnown), value));

  // A known equate written as its value gives the same result; inside
  // %DEF( ) it is no longer a name, so there only known results compare.
  bool mentionsDef = toLowerAnsi(condition).find("%def") != std::string::npos;
  int substitutions = 0;
  for (size_t index = 0; index < equates.entryCount; ++index) {
    const Equates::Entry& entry = equateAt(equates, index);
    if (entry.known != EquateKnown::Value) continue;
    if (++substitutions > 8) break;  // a few names are enough, and keep the run fast
    std::string name = toLowerAnsi(equateName(equates, entry));
    std::optional<int64_t> substituted = evaluateCondition(substitute(condition, name, entry.value), equates);
    if (mentionsDef)
      FUZZ_CHECK(!value || !substituted || value == substituted);
    else
      FUZZ_CHECK(!value || value == substituted);
  }

  // An equate set to the condition takes its value; ":" would split it.
  if (condition.find(':') == std::string_view::npos) {
    Equates assigned = equates;
    FUZZ_CHECK(applyEquateLine("%FUZZ_VALUE = " + std::string(condition), assigned));
    const Equates::Entry* entry = findEquate(assigned, "%FUZZ_value");
    FUZZ_CHECK(entry && entry->known == (value ? EquateKnown::Value : EquateKnown::NoValue));
    FUZZ_CHECK(!value || entry->value == *value);
  }
  return 0;
}
