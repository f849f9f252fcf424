#include "headers/conditions.h"

#include <limits>
#include <vector>

#include "platform/ansi.h"

namespace codeloom {
namespace {

using Value = std::optional<int64_t>;

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

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
// depend on the compiler and the kind of program.
bool isCompilerName(std::string_view bareName) {
  return bareName.size() >= 3 && equalsLowerAnsi(bareName.substr(0, 3), "pb_");
}

// Wrapping arithmetic: two's complement in unsigned, never overflow.
int64_t wrap(uint64_t value) { return static_cast<int64_t>(value); }
uint64_t bits(int64_t value) { return static_cast<uint64_t>(value); }

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
    ++pos;
    size_t length = nameLength(text.substr(pos));
    if (length == 0) return std::nullopt;
    // Built in place: "%" + a temporary sets off a false -Wrestrict in GCC 12.
    std::string name(1, '%');
    name += toLowerAnsi(text.substr(pos, length));
    pos += length;
    if (name == "%def" && takeChar('(')) {
      Value defined = parseDefined();
      if (!defined || !takeChar(')')) return std::nullopt;
      return defined;
    }
    if (isCompilerName(name.substr(1))) return std::nullopt;
    auto found = equates.numbers.find(name);
    if (found == equates.numbers.end()) return std::nullopt;
    return found->second;
  }

  // The name inside %DEF( ): -1 when defined, 0 when surely not.
  Value parseDefined() {
    skipBlanks();
    std::string_view rest = text.substr(pos);
    size_t sigil = sigilLength(rest);
    size_t length = sigil ? nameLength(rest.substr(sigil)) : 0;
    if (length == 0) return std::nullopt;
    std::string name = toLowerAnsi(rest.substr(0, sigil + length));
    pos += sigil + length;
    if (isCompilerName(name.substr(sigil))) return std::nullopt;
    bool defined = name[0] == '%' ? equates.numbers.count(name) != 0 : equates.strings.count(name) != 0;
    if (defined) return -1;
    if (equates.uncertain.count(name) || !equates.everyIncludeFound) return std::nullopt;
    return 0;
  }

  Value parseNumber() {
    unsigned base = 10;
    if (text[pos] == '&') {
      ++pos;
      char radix = pos < text.size() ? lowerAnsi(text[pos]) : '\0';
      base = radix == 'h' ? 16 : radix == 'b' ? 2 : 8;
      if (radix == 'h' || radix == 'b' || radix == 'o') ++pos;
    }
    uint64_t value = 0;
    // Above this, one more digit no longer fits: 64 bits for &H, &B and &O,
    // INT64_MAX for decimal.
    uint64_t limit = base == 10 ? uint64_t(std::numeric_limits<int64_t>::max()) : ~uint64_t(0);
    size_t digits = 0;
    for (; pos < text.size(); ++pos, ++digits) {
      unsigned digit = digitValue(text[pos]);
      if (digit >= base) break;
      if (value > (limit - digit) / base) return std::nullopt;
      value = value * base + digit;
    }
    if (digits == 0) return std::nullopt;
    skipTypeSuffix();
    return wrap(value);
  }

  static unsigned digitValue(char c) {
    if (isDigit(c)) return unsigned(c - '0');
    char lower = lowerAnsi(c);
    if (lower >= 'a' && lower <= 'f') return unsigned(lower - 'a' + 10);
    return 99;
  }

  // The literal's type takes nothing from its value here: every equate is a
  // 64-bit integer.
  void skipTypeSuffix() {
    for (std::string_view suffix : {"&&", "&", "%", "???", "??", "?", "!", "##", "#", "@@", "@"})
      if (text.substr(pos).starts_with(suffix)) {
        pos += suffix.size();
        return;
      }
  }
};

// One statement that defines an equate: its name (with sigil, lower-cased)
// and its value's text.
struct EquateStatement {
  std::string name;
  std::string_view valueText;
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

// The equates a line defines, in order, those of %PB_ names left out. A
// line is split into statements at ":" outside double quotes and ends at
// a "'" outside them or a REM statement.
std::vector<EquateStatement> equateStatements(std::string_view line, bool& anyEquate) {
  std::vector<std::string_view> statements;
  bool quoted = false;
  size_t start = 0, end = 0;
  for (; end < line.size(); ++end) {
    char c = line[end];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\'') break;
    if (c == ':') {
      statements.push_back(line.substr(start, end - start));
      start = end + 1;
    }
  }
  statements.push_back(line.substr(start, end - start));

  std::vector<EquateStatement> found;
  anyEquate = false;
  for (std::string_view statement : statements) {
    statement = trimBlanks(statement);
    if (startsWithRem(statement)) break;
    size_t sigil = sigilLength(statement);
    size_t length = sigil ? nameLength(statement.substr(sigil)) : 0;
    if (length == 0) continue;
    std::string_view rest = trimBlanks(statement.substr(sigil + length));
    if (!rest.starts_with('=')) continue;
    anyEquate = true;
    if (isCompilerName(statement.substr(sigil, length))) continue;
    found.push_back({toLowerAnsi(statement.substr(0, sigil + length)), rest.substr(1)});
  }
  return found;
}

}  // namespace

std::optional<int64_t> evaluateCondition(std::string_view expression, const Equates& equates) {
  Parser parser{expression, equates};
  Value value = parser.parseXor();
  if (!value || !parser.atEnd()) return std::nullopt;
  return value;
}

bool applyEquateLine(std::string_view line, Equates& equates) {
  bool anyEquate = false;
  for (const EquateStatement& statement : equateStatements(line, anyEquate)) {
    if (!equates.uncertain.empty()) equates.uncertain.erase(statement.name);
    if (statement.name[0] == '%')
      equates.numbers[statement.name] = evaluateCondition(statement.valueText, equates);
    else
      equates.strings.insert(statement.name);
  }
  return anyEquate;
}

bool markEquateLineUnknown(std::string_view line, Equates& equates) {
  bool anyEquate = false;
  for (const EquateStatement& statement : equateStatements(line, anyEquate))
    markUnknown(equates, statement.name);
  return anyEquate;
}

void markUnknown(Equates& equates, std::string_view name) {
  size_t sigil = sigilLength(name);
  size_t length = nameLength(name.substr(sigil));
  if (sigil == 0 || length == 0 || sigil + length != name.size()) return;
  if (isCompilerName(name.substr(sigil))) return;
  std::string key = toLowerAnsi(name);
  if (auto number = equates.numbers.find(key); number != equates.numbers.end()) {
    number->second.reset();
    return;
  }
  if (equates.strings.count(key)) return;
  equates.uncertain.insert(key);
}

}  // namespace codeloom
