#include "headers/conditions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/grow_only_memory.h"

namespace codeloom {
namespace {

using Result = std::optional<int64_t>;
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

struct ConditionCase {
  const char* expression;
  Result expected;
};

void expectConditions(const Equates& equates, std::initializer_list<ConditionCase> cases) {
  for (const ConditionCase& row : cases)
    EXPECT_EQ(row.expected, evaluateCondition(row.expression, equates)) << row.expression;
}

// The equates as one line: "%a=1" (a value), "%b=?" (no value), "$c",
// "~%d" (uncertain); numbers, strings, then uncertain ones, each sorted.
std::string describeEquates(const Equates& equates) {
  std::vector<std::string> numbers, strings, uncertain;
  for (size_t index = 0; index < equates.entryCount; ++index) {
    const Equates::Entry& entry = equateAt(equates, index);
    std::string name = toLowerAnsi(equateName(equates, entry));
    switch (entry.known) {
      case EquateKnown::Value: numbers.push_back(name + "=" + std::to_string(entry.value)); break;
      case EquateKnown::NoValue: numbers.push_back(name + "=?"); break;
      case EquateKnown::String: strings.push_back(name); break;
      case EquateKnown::Uncertain: uncertain.push_back("~" + name); break;
    }
  }
  std::string out;
  for (std::vector<std::string>* items : {&numbers, &strings, &uncertain}) {
    std::sort(items->begin(), items->end());
    for (const std::string& item : *items) out += (out.empty() ? "" : " ") + item;
  }
  return out;
}

TEST(Conditions, Literals) {
  expectConditions(Equates{}, {
      {"0", 0},
      {"42", 42},
      {"0007", 7},
      {"&H1F", 31},
      {"&hff", 255},
      {"&HB", 11},
      {"&B101", 5},
      {"&O17", 15},
      {"&17", 15},
      {"7&", 7},
      {"7%", 7},
      {"7?", 7},
      {"7???", 7},
      {"7#", 7},
      {"7@@", 7},
      {"&HFF&", 255},
      {"9223372036854775807", kInt64Max},
      {"&H7FFFFFFFFFFFFFFF", kInt64Max},
      {"&HFFFFFFFFFFFFFFFF", -1},
      {"&H8000000000000000", kInt64Min},
      {"&B1111111111111111111111111111111111111111111111111111111111111111", -1},
      {"&O1777777777777777777777", -1},
      // Too big for 64 bits, or no number at all.
      {"9223372036854775808", std::nullopt},
      {"-9223372036854775808", std::nullopt},
      {"&H10000000000000000", std::nullopt},
      {"&B11111111111111111111111111111111111111111111111111111111111111111", std::nullopt},
      {"&O2000000000000000000000", std::nullopt},
      {"&H", std::nullopt},
      {"&", std::nullopt},
      {"&8", std::nullopt},
      {"&B2", std::nullopt},
      {"1.5", std::nullopt},
      {"1E3", std::nullopt},
      {"7$", std::nullopt},
      {"\"a\"", std::nullopt},
      {"CVQ(\"DemoMode\")", std::nullopt},
  });
}

TEST(Conditions, OperatorsAndPrecedence) {
  expectConditions(Equates{}, {
      {"1 + 2 * 3", 7},
      {"(1 + 2) * 3", 9},
      {"1 - 2 - 3", -4},
      {"-2 * 3", -6},
      {"2 * -3", -6},
      {"2 - -3", 5},
      {"--5", 5},
      {"7 / 2", 3},
      {"-7 / 2", -3},
      {"7 \\ 2", 3},
      {"8 \\ 2 * 2", 2},   // * before \.
      {"8 / 2 * 2", 8},    // * and / from the left
      {"10 - 4 \\ 2", 8},  // \ before -
      {"2 + 3 = 5", -1},
      {"1 = 1", -1},
      {"1 <> 1", 0},
      {"1 < 2", -1},
      {"1 > 2", 0},
      {"1 <= 1", -1},
      {"2 >= 2", -1},
      {"1 < 2 = -1", -1},  // (1 < 2) = -1
      {"NOT 0", -1},
      {"NOT 5", -6},
      {"NOT 1 = 2", -1},  // NOT (1 = 2)
      {"6 AND 3", 2},
      {"6 OR 3", 7},
      {"6 XOR 3", 5},
      {"1 OR 2 AND 0", 1},   // AND before OR
      {"1 XOR 1 OR 1", 0},   // OR before XOR
      {"3 AND NOT 1", 2},
      {"not 0 And 1 oR 0 xoR 0", 1},
      {"NOT(0)", -1},
      {"1 AND(0)", 0},
      {"1\t+\t2", 3},
      {"  (((1)))  ", 1},
      {"1 + 2 ' comment", 3},
      {"1'", 1},
      // 64 bits wrap.
      {"&H7FFFFFFFFFFFFFFF + 1", kInt64Min},
      {"&H8000000000000000 - 1", kInt64Max},
      {"-&H8000000000000000", kInt64Min},
      {"&H8000000000000000 * -1", kInt64Min},
      {"&H100000000 * &H100000000", 0},
      // Unknown.
      {"1 / 0", std::nullopt},
      {"1 \\ 0", std::nullopt},
      {"&H8000000000000000 / -1", std::nullopt},
      {"&H8000000000000000 \\ -1", std::nullopt},
      {"", std::nullopt},
      {"' only a comment", std::nullopt},
      {"1 2", std::nullopt},
      {"1 +", std::nullopt},
      {"1 + ' comment", std::nullopt},
      {"(1", std::nullopt},
      {"1)", std::nullopt},
      {"+1", std::nullopt},
      {"1 MOD 2", std::nullopt},
      {"2 ^ 2", std::nullopt},
      {"1 =< 2", std::nullopt},
      {"1 == 1", std::nullopt},
      {"1 ANDNOT 2", std::nullopt},
      {"-NOT 0", std::nullopt},
      {"1 + NOT 0", std::nullopt},
      {"1 : 2", std::nullopt},
  });
}

TEST(Conditions, Equates) {
  Equates equates;
  for (const char* line : {"%ONE = 1", "%Two = %one + 1", "%NEG = -5", "$NAME = \"x\"",
                           "%PB_WIN32 = 1", "%HALF = 1 / 0"})
    applyEquateLine(line, equates);
  expectConditions(equates, {
      {"%ONE", 1},
      {"%one + %TWO", 3},
      {"%two = 2", -1},
      {"-%NEG", 5},
      {"%ONE AND %DEF(%Two)", 1},
      {"%DEF(%ONE)", -1},
      {"%def ( %one )", -1},
      {"%DEF(%HALF)", -1},
      {"%DEF(%MISSING)", 0},
      {"NOT %DEF(%MISSING)", -1},
      {"%DEF($NAME)", -1},
      {"%DEF($ONE)", 0},   // the string equates are another set of names
      {"%DEF(%NAME)", 0},
      {"%DEF($$NAME)", 0},
      // Unknown.
      {"%MISSING", std::nullopt},
      {"%HALF", std::nullopt},
      {"%HALF * 0", std::nullopt},
      {"%PB_WIN32", std::nullopt},
      {"%DEF(%PB_WIN32)", std::nullopt},
      {"%DEF(%pb_dll32)", std::nullopt},
      {"%DEF(ONE)", std::nullopt},
      {"%DEF(%ONE", std::nullopt},
      {"%DEF()", std::nullopt},
      {"%DEF(%ONE, %TWO)", std::nullopt},
      {"%DEF", std::nullopt},
      {"$NAME", std::nullopt},
      {"%", std::nullopt},
      {"%1", std::nullopt},
      {"% ONE", std::nullopt},
      {"%ONE%", std::nullopt},
      {"ONE", std::nullopt},
  });
}

TEST(Conditions, AnIncludeNotReadLeavesUndefinedNamesUnknown) {
  Equates equates;
  applyEquateLine("%ONE = 1 : $TWO = \"2\"", equates);
  equates.everyIncludeFound = false;
  expectConditions(equates, {
      {"%ONE", 1},
      {"%DEF(%ONE)", -1},
      {"%DEF($TWO)", -1},
      {"%DEF(%MISSING)", std::nullopt},
      {"%DEF($MISSING)", std::nullopt},
      {"NOT %DEF(%MISSING)", std::nullopt},
  });
}

TEST(Conditions, EquatesOfUndecidedGroups) {
  Equates equates;
  applyEquateLine("%ONE = 1", equates);
  markUnknown(equates, "%Maybe");
  markEquateLineUnknown("%ONE = 7 : $TEXT = \"t\"", equates);
  EXPECT_EQ("%one=? ~$text ~%maybe", describeEquates(equates));
  expectConditions(equates, {
      {"%DEF(%ONE)", -1},
      {"%ONE", std::nullopt},
      {"%DEF(%MAYBE)", std::nullopt},
      {"%MAYBE", std::nullopt},
      {"%DEF($TEXT)", std::nullopt},
  });
  // Defined for sure later on.
  applyEquateLine("%Maybe = 3", equates);
  applyEquateLine("$Text = \"u\"", equates);
  EXPECT_EQ("%maybe=3 %one=? $text", describeEquates(equates));
  expectConditions(equates, {{"%DEF(%MAYBE)", -1}, {"%MAYBE", 3}, {"%DEF($TEXT)", -1}});
  // A value is worked out before its name is defined: whether %SELF stood
  // defined then is not known.
  markUnknown(equates, "%Self");
  applyEquateLine("%Self = %DEF(%SELF)", equates);
  expectConditions(equates, {{"%DEF(%SELF)", -1}, {"%SELF", std::nullopt}});
}

// Enough names to fill more than one chunk of entries and one block of
// names, and a name longer than a block, which gets a block of its own.
// On the heap and on huge pages.
TEST(Conditions, ManyEquatesInAnyCase) {
  GrowOnlyMemory hugePages(GrowOnlyMemory::Pages::Huge);
  std::pmr::memory_resource* heap = std::pmr::get_default_resource();
  for (std::pmr::memory_resource* memory : {heap, static_cast<std::pmr::memory_resource*>(&hugePages)}) {
    Equates equates(memory);
    const int count = 9000;
    const std::string longName = "%L" + std::string(70000, 'n');
    for (int k = 0; k < count; ++k) {
      applyEquateLine("%Wm_Name_" + std::to_string(k) + " = " + std::to_string(k), equates);
      if (k == 4500) applyEquateLine(longName + " = 5", equates);
    }
    applyEquateLine("%WM_NAME_17 = -1", equates);
    markUnknown(equates, "%wm_name_18");
    EXPECT_EQ(size_t(count + 1), equates.entryCount);
    for (int k = 0; k < count; ++k) {
      const Result expected = k == 17 ? -1 : k == 18 ? Result() : Result(k);
      EXPECT_EQ(expected, evaluateCondition("%WM_NAME_" + std::to_string(k), equates)) << k;
    }
    EXPECT_EQ(Result(5), evaluateCondition(longName, equates));
    EXPECT_EQ(Result(0), evaluateCondition("%DEF(%wm_name_" + std::to_string(count) + ")", equates));
  }
}

TEST(Conditions, EquateLines) {
  struct Row {
    const char* line;
    bool isEquate;
    const char* equates;
  };
  const Row rows[] = {
      {"%A = 1", true, "%a=1"},
      {"%a=&H10 ' sixteen", true, "%a=16"},
      {"%A = %B", true, "%a=?"},
      {"%A = 1 +", true, "%a=?"},
      {"%A = CVQ(\"x\")", true, "%a=?"},
      {"$Title = \"x: 'y\"", true, "$title"},
      {"$$Wide = \"w\"$$", true, "$$wide"},
      {"%A = 1 : %B = 2", true, "%a=1 %b=2"},
      {"%A = 1:%B = %A + 1", true, "%a=1 %b=2"},
      {"%A = 1 : %A = 2", true, "%a=2"},
      {"x = 1 : %B = 2", true, "%b=2"},
      {"$A = \"x\" : %B = 1", true, "%b=1 $a"},
      {"%A = 1 ' : %B = 2", true, "%a=1"},
      {"%A = 1 : REM %B = 2", true, "%a=1"},
      {"%PB_WIN32 = 1", true, ""},
      {"%pb_exe = 1 : %A = %PB_EXE", true, "%a=?"},
      {"%A", false, ""},
      {"%A + 1", false, ""},
      {"A = 1", false, ""},
      {"%1A = 1", false, ""},
      {"' %A = 1", false, ""},
      {"REM %A = 1", false, ""},
      {"Print \"x:%A = 1\"", false, ""},
      {"", false, ""},
  };
  for (const Row& row : rows) {
    Equates equates;
    EXPECT_EQ(row.isEquate, applyEquateLine(row.line, equates)) << row.line;
    EXPECT_EQ(row.equates, describeEquates(equates)) << row.line;
  }
}

// A line of the common shape, "%NAME = literal", is read in one pass; the
// same line with a statement after it goes the general way. Both agree.
TEST(Conditions, TheCommonShapeReadsAsTheGeneralWay) {
  const char* lines[] = {
      "%A = 1",         "  %Wm_Char=&H102  ' comment", "%A = &HFF&",      "%A = 7???",  "%A = 7%%",
      "%A = &b101",     "%A = &O17",                   "%A = &17",        "%A = &H",    "%A = 0x10",
      "%A = 9223372036854775807",                      "%A = 9223372036854775808",      "%A = &HFFFFFFFFFFFFFFFF",
      "%A = &H10000000000000000",                      "%A = 1 2",        "%A = 1'",    "%A	=	42	",
      "%PB_A = 1",      "%A = -1",                     "%A = 1 + 1",      "%A=",        "%A = 1 REM",
  };
  for (const char* line : lines) {
    Equates common, general;
    const bool isEquate = applyEquateLine(line, common);
    EXPECT_EQ(isEquate, applyEquateLine(std::string(line) + " : REM", general)) << line;
    EXPECT_EQ(describeEquates(general), describeEquates(common)) << line;
  }
}

TEST(Conditions, MarkingUnknown) {
  struct Row {
    const char* before;  // an equate line applied first, or ""
    const char* name;
    const char* equates;
  };
  const Row rows[] = {
      {"", "%X", "~%x"},
      {"", "$$W", "~$$w"},
      {"", "X", ""},
      {"", "%PB_X", ""},
      {"", "$pb_x", ""},
      {"", "%x y", ""},
      {"", "%", ""},
      {"", "", ""},
      {"%A = 1", "%a", "%a=?"},
      {"$S = \"s\"", "$S", "$s"},
      {"$S = \"s\"", "%S", "$s ~%s"},
  };
  for (const Row& row : rows) {
    Equates equates;
    applyEquateLine(row.before, equates);
    markUnknown(equates, row.name);
    EXPECT_EQ(row.equates, describeEquates(equates)) << row.before << " / " << row.name;
  }
  Equates equates;
  EXPECT_TRUE(markEquateLineUnknown("%PB_X = 1 : %Y = 2", equates));
  EXPECT_FALSE(markEquateLineUnknown("%Z + 1", equates));
  EXPECT_EQ("~%y", describeEquates(equates));
}

TEST(Conditions, NestingIsBounded) {
  auto nested = [](int depth, const char* open, const char* inner, const char* close) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
  };
  Equates none;
  EXPECT_EQ(1, evaluateCondition(nested(kMaxConditionDepth, "(", "1", ")"), none));
  EXPECT_EQ(std::nullopt, evaluateCondition(nested(kMaxConditionDepth + 1, "(", "1", ")"), none));
  EXPECT_EQ(std::nullopt, evaluateCondition(nested(200, "(", "1", ")"), none));
  EXPECT_EQ(std::nullopt, evaluateCondition(nested(100000, "(", "1", ")"), none));
  EXPECT_EQ(std::nullopt, evaluateCondition(nested(100000, "(", "", ""), none));
  EXPECT_EQ(1, evaluateCondition(nested(kMaxConditionDepth, "-", "1", ""), none));
  EXPECT_EQ(std::nullopt, evaluateCondition(nested(kMaxConditionDepth + 1, "-", "1", ""), none));
  EXPECT_EQ(0, evaluateCondition(nested(kMaxConditionDepth, "NOT ", "0", ""), none));
  EXPECT_EQ(std::nullopt, evaluateCondition(nested(kMaxConditionDepth + 1, "NOT ", "0", ""), none));
  EXPECT_EQ(std::nullopt, evaluateCondition(nested(100000, "NOT -(", "0", ")"), none));
  // A long chain is a loop, not a descent.
  std::string sum = "1";
  for (int i = 1; i < 100000; ++i) sum += "+1";
  EXPECT_EQ(100000, evaluateCondition(sum, none));
}

}  // namespace
}  // namespace codeloom
