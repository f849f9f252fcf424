#include "headers/conditions.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "platform/ansi.h"

namespace codeloom {
namespace {

using Value = std::optional<int64_t>;

constexpr bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Letters, digits and "_": one load a byte, as API includes hold long names.
constexpr std::array<bool, 256> kNameBytes = [] {
  std::array<bool, 256> bytes{};
  for (int c = 0; c < 256; ++c) bytes[c] = isLetter(char(c)) || isDigit(char(c)) || c == '_';
  return bytes;
}();
bool isNameChar(char c) { return kNameBytes[static_cast<unsigned char>(c)]; }

// A digit's value in any base up to 16, either case; 99 for no digit.
constexpr std::array<uint8_t, 256> kDigitValues = [] {
  std::array<uint8_t, 256> values{};
  values.fill(99);
  for (int c = 0; c < 10; ++c) values['0' + c] = uint8_t(c);
  for (int c = 0; c < 6; ++c) values['a' + c] = values['A' + c] = uint8_t(10 + c);
  return values;
}();

// The length of the name that starts text, a letter then letters, digits and "_".
size_t nameLength(std::string_view text) {
  if (text.empty() || !isLetter(text[0])) return 0;
  size_t length = 1;
  while (length < text.size() && isNameChar(text[length])) ++length;
  return length;
}

// The length of the sigil that starts text: "%", "$" or "$$"; 0 for none.
size_t sigilLength(std::string_view text) {
  if (text.starts_with("$$")) return 2;
  return text.starts_with("$") || text.starts_with("%") ? 1 : 0;
}

// The compiler's own equates: their values and whether they are defined
// depend on the compiler and the kind of program. Names hold only ASCII
// letters, digits and "_": setting bit 5 folds "P" and "B" alone to "p"
// and "b".
bool isCompilerName(std::string_view bareName) {
  return bareName.size() >= 3 && (bareName[0] | 0x20) == 'p' && (bareName[1] | 0x20) == 'b' && bareName[2] == '_';
}

// Wrapping arithmetic: two's complement in unsigned, never overflow.
int64_t wrap(uint64_t value) { return static_cast<int64_t>(value); }
uint64_t bits(int64_t value) { return static_cast<uint64_t>(value); }

// Names are a sigil, then letters, digits and "_": setting bit 5 folds
// their letters to lower case and keeps every other byte of them apart.
constexpr uint64_t kFoldBits = 0x2020202020202020ull;

// Eight bytes at a time, folded: names of API equates run to twenty bytes
// and more.
uint32_t hashName(std::string_view name) {
  const char* bytes = name.data();
  const size_t size = name.size();
  uint64_t hash = size;
  auto mix = [&hash](uint64_t word) {
    hash = (hash ^ (word | kFoldBits)) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 32;
  };
  auto load = [](const char* at) {
    uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
  };
  size_t at = 0;
  for (; at + 8 <= size; at += 8) mix(load(bytes + at));
  if (at < size) {  // the rest in the low bytes, in registers: no read past the name
    uint64_t word = 0;
    if (size >= 8) word = load(bytes + size - 8) >> (8 * (8 - (size - at)));
    else
      for (size_t k = size; k-- > 0;) word = word << 8 | static_cast<uint8_t>(bytes[k]);
    mix(word);
  }
  return static_cast<uint32_t>(hash);
}

bool sameName(std::string_view stored, std::string_view name) {
  if (stored.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if ((stored[i] | 0x20) != (name[i] | 0x20)) return false;
  return true;
}

// The slot that holds name, or the free one where it would go.
size_t findSlot(const Equates& equates, std::string_view name, uint32_t hash) {
  const size_t mask = equates.slots.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const Equates::Slot& held = equates.slots[slot];
    if (held.entry == 0) return slot;
    if (held.hash == hash && sameName(equateName(equates, equateAt(equates, held.entry - 1)), name)) return slot;
  }
}

constexpr size_t kNameBlockBytes = size_t(16) << 10;

// Eight times the slots, kept at most half full, so that probes stay short.
// Each growth moves every name into slots spread over fresh memory: an API
// file of ten thousand equates grows the table three times, not nine.
void growSlots(Equates& equates) {
  std::pmr::vector<Equates::Slot> slots(std::max<size_t>(64, equates.slots.size() * 8), equates.slots.get_allocator());
  const size_t mask = slots.size() - 1;
  for (const Equates::Slot& held : equates.slots) {
    if (held.entry == 0) continue;
    size_t slot = held.hash & mask;
    while (slots[slot].entry) slot = (slot + 1) & mask;
    slots[slot] = held;
  }
  equates.slots = std::move(slots);
}

// The entry of name (a sigil and a name, any case), added as `known` when new.
Equates::Entry& entryOf(Equates& equates, std::string_view name, EquateKnown known,
                        const uint32_t hash) {
  if (equates.entryCount * 2 >= equates.slots.size()) growSlots(equates);
  Equates::Slot& slot = equates.slots[findSlot(equates, name, hash)];
  if (slot.entry) return const_cast<Equates::Entry&>(equateAt(equates, slot.entry - 1));
  auto& blocks = equates.nameBlocks;
  if (blocks.empty() || blocks.back().size() - equates.nameBlockUsed < name.size()) {
    blocks.emplace_back(std::max(kNameBlockBytes, name.size()), '\0');
    equates.nameBlockUsed = 0;
  }
  const size_t nameAt = equates.nameBlockUsed;
  std::memcpy(blocks.back().data() + nameAt, name.data(), name.size());
  equates.nameBlockUsed += name.size();
  if (equates.entryCount % Equates::kEntriesPerChunk == 0)
    equates.entryChunks.emplace_back().reserve(Equates::kEntriesPerChunk);
  Equates::Entry& entry = equates.entryChunks.back().emplace_back(
      Equates::Entry{0, static_cast<uint32_t>(blocks.size() - 1), static_cast<uint32_t>(nameAt),
                     static_cast<uint32_t>(name.size()), known});
  slot = {hash, static_cast<uint32_t>(++equates.entryCount)};
  return entry;
}
Equates::Entry& entryOf(Equates& equates, std::string_view name, EquateKnown known) {
  return entryOf(equates, name, known, hashName(name));
}

struct Parser {
  std::string_view text;
  const Equates& equates;
  size_t pos = 0;
  int depth = 0;

  void skipBlanks() {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
  }

  // The end of the condition: the text's end or a comment.
  bool atEnd() {
    skipBlanks();
    return pos == text.size() || text[pos] == '\'';
  }

  bool takeChar(char c) {
    skipBlanks();
    if (pos < text.size() && text[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }

  // Takes a keyword (lower case) that is not the start of a longer word.
  bool takeWord(std::string_view word) {
    skipBlanks();
    if (text.size() - pos < word.size()) return false;
    if (!equalsLowerAnsi(text.substr(pos, word.size()), word)) return false;
    size_t end = pos + word.size();
    if (end < text.size() && isNameChar(text[end])) return false;
    pos = end;
    return true;
  }

  // Enters one more level of nesting; false when it is too deep.
  bool enter() { return ++depth <= kMaxConditionDepth; }

  Value parseXor() {
    Value left = parseOr();
    while (left && takeWord("xor")) {
      Value right = parseOr();
      if (!right) return std::nullopt;
      left = *left ^ *right;
    }
    return left;
  }

  Value parseOr() {
    Value left = parseAnd();
    while (left && takeWord("or")) {
      Value right = parseAnd();
      if (!right) return std::nullopt;
      left = *left | *right;
    }
    return left;
  }

  Value parseAnd() {
    Value left = parseNot();
    while (left && takeWord("and")) {
      Value right = parseNot();
      if (!right) return std::nullopt;
      left = *left & *right;
    }
    return left;
  }

  Value parseNot() {
    if (!takeWord("not")) return parseRelation();
    if (!enter()) return std::nullopt;
    Value operand = parseNot();
    --depth;
    if (!operand) return std::nullopt;
    return ~*operand;
  }

  // Relations chain from the left: a < b < c compares (a < b) with c.
  Value parseRelation() {
    Value left = parseAdditive();
    while (left) {
      skipBlanks();
      std::string_view rest = text.substr(pos);
      std::string_view op;
      for (std::string_view candidate : {"<>", "<=", ">=", "<", ">", "="})
        if (rest.starts_with(candidate)) {
          op = candidate;
          break;
        }
      if (op.empty()) break;
      pos += op.size();
      Value right = parseAdditive();
      if (!right) return std::nullopt;
      bool holds = op == "<>"   ? *left != *right
                   : op == "<=" ? *left <= *right
                   : op == ">=" ? *left >= *right
                   : op == "<"  ? *left < *right
                   : op == ">"  ? *left > *right
                                : *left == *right;
      left = holds ? -1 : 0;
    }
    return left;
  }

  Value parseAdditive() {
    Value left = parseIntegerDivision();
    while (left) {
      bool plus = takeChar('+');
      if (!plus && !takeChar('-')) break;
      Value right = parseIntegerDivision();
      if (!right) return std::nullopt;
      left = wrap(plus ? bits(*left) + bits(*right) : bits(*left) - bits(*right));
    }
    return left;
  }

  Value parseIntegerDivision() {
    Value left = parseMultiplicative();
    while (left && takeChar('\\')) {
      Value right = parseMultiplicative();
      if (!right) return std::nullopt;
      left = divide(*left, *right);
    }
    return left;
  }

  Value parseMultiplicative() {
    Value left = parseUnary();
    while (left) {
      bool times = takeChar('*');
      if (!times && !takeChar('/')) break;
      Value right = parseUnary();
      if (!right) return std::nullopt;
      left = times ? Value(wrap(bits(*left) * bits(*right))) : divide(*left, *right);
    }
    return left;
  }

  static Value divide(int64_t dividend, int64_t divisor) {
    if (divisor == 0) return std::nullopt;
    if (dividend == std::numeric_limits<int64_t>::min() && divisor == -1) return std::nullopt;
    return dividend / divisor;
  }

  Value parseUnary() {
    if (!takeChar('-')) return parsePrimary();
    if (!enter()) return std::nullopt;
    Value operand = parseUnary();
    --depth;
    if (!operand) return std::nullopt;
    return wrap(0 - bits(*operand));
  }

  Value parsePrimary() {
    skipBlanks();
    if (pos == text.size()) return std::nullopt;
    char c = text[pos];
    if (c == '(') {
      ++pos;
      if (!enter()) return std::nullopt;
      Value inner = parseXor();
      --depth;
      if (!inner || !takeChar(')')) return std::nullopt;
      return inner;
    }
    if (c == '%') return parseEquate();
    if (isDigit(c) || c == '&') return parseNumber();
    return std::nullopt;
  }

  // %NAME or %DEF(%NAME) / %DEF($NAME) / %DEF($$NAME).
  Value parseEquate() {
    const size_t start = pos++;
    const size_t length = nameLength(text.substr(pos));
    if (length == 0) return std::nullopt;
    const std::string_view bareName = text.substr(pos, length);
    pos += length;
    if (equalsLowerAnsi(bareName, "def") && takeChar('(')) {
      Value defined = parseDefined();
      if (!defined || !takeChar(')')) return std::nullopt;
      return defined;
    }
    if (isCompilerName(bareName)) return std::nullopt;
    const Equates::Entry* entry = findEquate(equates, text.substr(start, length + 1));
    if (!entry || entry->known != EquateKnown::Value) return std::nullopt;
    return entry->value;
  }

  // The name inside %DEF( ): -1 when defined, 0 when surely not.
  Value parseDefined() {
    skipBlanks();
    const std::string_view rest = text.substr(pos);
    const size_t sigil = sigilLength(rest);
    const size_t length = sigil ? nameLength(rest.substr(sigil)) : 0;
    if (length == 0) return std::nullopt;
    pos += sigil + length;
    if (isCompilerName(rest.substr(sigil, length))) return std::nullopt;
    const Equates::Entry* entry = findEquate(equates, rest.substr(0, sigil + length));
    if (entry && entry->known != EquateKnown::Uncertain) return -1;
    if (entry || !equates.everyIncludeFound) return std::nullopt;
    return 0;
  }

  Value parseNumber() {
    unsigned base = 10;
    if (text[pos] == '&') {
      ++pos;
      const char radix = pos < text.size() ? text[pos] | 0x20 : '\0';  // folded: only letters matter
      base = radix == 'h' ? 16 : radix == 'b' ? 2 : 8;
      if (radix == 'h' || radix == 'b' || radix == 'o') ++pos;
    }
    uint64_t value = 0;
    // What fits: 64 bits for &H, &B and &O, INT64_MAX for decimal.
    const uint64_t limit = base == 10 ? uint64_t(std::numeric_limits<int64_t>::max()) : ~uint64_t(0);
    size_t digits = 0;
    for (; pos < text.size(); ++pos, ++digits) {
      const unsigned digit = digitValue(text[pos]);
      if (digit >= base) break;
      if (__builtin_mul_overflow(value, base, &value) || __builtin_add_overflow(value, digit, &value) || value > limit)
        return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    skipTypeSuffix();
    return wrap(value);
  }

  static unsigned digitValue(char c) { return kDigitValues[static_cast<unsigned char>(c)]; }

  // The literal's type takes nothing from its value here: every equate is a
  // 64-bit integer. The suffixes: & && % ? ?? ??? ! # ## @ @@.
  void skipTypeSuffix() {
    if (pos == text.size()) return;
    const char c = text[pos];
    const size_t most = c == '?' ? 3 : c == '&' || c == '#' || c == '@' ? 2 : c == '%' || c == '!' ? 1 : 0;
    for (size_t taken = 0; taken < most && pos < text.size() && text[pos] == c; ++taken) ++pos;
  }
};

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool startsWithRem(std::string_view statement) {
  return statement.size() >= 3 && equalsLowerAnsi(statement.substr(0, 3), "rem") &&
         (statement.size() == 3 || isBlank(statement[3]));
}

// Calls take(name, valueText) for each statement of line that defines an
// equate, in order, those of %PB_ names left out; name is the sigil and the
// name as written. A line is split into statements at ":" outside double
// quotes and ends at a "'" outside them or a REM statement. Returns whether
// a statement defines an equate.
template <typename Take>
bool forEachEquate(std::string_view line, Take take) {
  bool anyEquate = false, quoted = false;
  for (size_t start = 0, end = 0;; ++end) {
    const bool lineEnds = end == line.size() || (!quoted && line[end] == '\'');
    if (!lineEnds) {
      if (line[end] == '"') quoted = !quoted;
      if (quoted || line[end] != ':') continue;
    }
    const std::string_view statement = trimBlanks(line.substr(start, end - start));
    if (startsWithRem(statement)) break;
    const size_t sigil = sigilLength(statement);
    const size_t length = sigil ? nameLength(statement.substr(sigil)) : 0;
    const std::string_view rest = trimBlanks(statement.substr(sigil + length));
    if (length > 0 && rest.starts_with('=')) {
      anyEquate = true;
      if (!isCompilerName(statement.substr(sigil, length))) take(statement.substr(0, sigil + length), rest.substr(1));
    }
    if (lineEnds) break;
    start = end + 1;
  }
  return anyEquate;
}

// One equate may or may not be defined from here on: one surely defined
// stays so, its value unknown.
void markUncertain(Equates& equates, std::string_view name) {
  Equates::Entry& entry = entryOf(equates, name, EquateKnown::Uncertain);
  if (entry.known == EquateKnown::Value) entry.known = EquateKnown::NoValue;
}

// The shape of nearly every line of an API include, "%NAME = literal" and
// perhaps a comment, applied in one pass. False for any other line, which
// the general way reads.
bool appliedAsNumberLiteral(std::string_view line, Equates& equates) {
  size_t at = 0;
  while (at < line.size() && isBlank(line[at])) ++at;
  if (at == line.size() || line[at] != '%') return false;
  const size_t nameAt = at, length = nameLength(line.substr(at + 1));
  if (length == 0) return false;
  const std::string_view name = line.substr(nameAt, length + 1);
  at += length + 1;
  while (at < line.size() && isBlank(line[at])) ++at;
  if (at == line.size() || line[at] != '=' || isCompilerName(name.substr(1))) return false;
  // The name's slot is fetched while the value is read: in a large table it
  // is seldom in cache.
  const uint32_t hash = hashName(name);
  if (!equates.slots.empty()) __builtin_prefetch(&equates.slots[hash & (equates.slots.size() - 1)]);
  Parser parser{line, equates, at + 1};
  parser.skipBlanks();
  if (parser.pos == line.size() || !(isDigit(line[parser.pos]) || line[parser.pos] == '&')) return false;
  const Value value = parser.parseNumber();
  if (!value || !parser.atEnd()) return false;  // atEnd: the line's end or a comment
  Equates::Entry& entry = entryOf(equates, name, EquateKnown::Value, hash);
  entry.known = EquateKnown::Value;
  entry.value = *value;
  return true;
}

}  // namespace

const Equates::Entry* findEquate(const Equates& equates, std::string_view name) {
  if (equates.slots.empty()) return nullptr;
  const uint32_t held = equates.slots[findSlot(equates, name, hashName(name))].entry;
  return held ? &equateAt(equates, held - 1) : nullptr;
}

std::optional<int64_t> evaluateCondition(std::string_view expression, const Equates& equates) {
  Parser parser{expression, equates};
  // Most values are one literal: read it without the descent through every
  // level of precedence.
  parser.skipBlanks();
  if (parser.pos < expression.size() && (isDigit(expression[parser.pos]) || expression[parser.pos] == '&')) {
    Value literal = parser.parseNumber();
    if (literal && parser.atEnd()) return literal;
    parser.pos = 0;
  }
  Value value = parser.parseXor();
  if (!value || !parser.atEnd()) return std::nullopt;
  return value;
}

bool applyEquateLine(std::string_view line, Equates& equates) {
  if (appliedAsNumberLiteral(line, equates)) return true;
  return forEachEquate(line, [&equates](std::string_view name, std::string_view valueText) {
    if (name[0] != '%') {
      entryOf(equates, name, EquateKnown::String).known = EquateKnown::String;
      return;
    }
    // Worked out before the name is defined: "%A = %DEF(%A) + 1" asks
    // about %A as it stood.
    const Value value = evaluateCondition(valueText, equates);
    Equates::Entry& entry = entryOf(equates, name, EquateKnown::NoValue);
    entry.known = value ? EquateKnown::Value : EquateKnown::NoValue;
    entry.value = value.value_or(0);
  });
}

bool markEquateLineUnknown(std::string_view line, Equates& equates) {
  return forEachEquate(line, [&equates](std::string_view name, std::string_view) { markUncertain(equates, name); });
}

void markUnknown(Equates& equates, std::string_view name) {
  const size_t sigil = sigilLength(name);
  const size_t length = nameLength(name.substr(sigil));
  if (sigil == 0 || length == 0 || sigil + length != name.size()) return;
  if (isCompilerName(name.substr(sigil))) return;
  markUncertain(equates, name);
}

}  // namespace codeloom
