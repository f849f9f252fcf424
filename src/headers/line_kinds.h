// The lines the header writer copies or acts on, told by their first words.
// kLineRules states them once; the classifier reads the table, and the line
// index derives its quick tests from it (line_index.h). Adding a kind of
// line is adding a row.
#pragma once

#include <iterator>
#include <span>
#include <string_view>

namespace codeloom {

// The metastatements: #IF opens a group, #ELSEIF and #ELSE go on with it,
// #ENDIF closes it. Macro may define a marking word, Compile name the DLL;
// Include and Equate matter only where includes are followed.
enum class LineKind {
  Other, Procedure, InterfaceEnd, InterfaceStart, Member, GroupOpen, GroupNext, GroupClose, Macro, Compile,
  Include, Equate
};

// What may follow a rule's first word.
enum class Follows {
  MoreText,            // blanks, then more text
  SecondWord,          // one or two blanks, then `second` (and anything)
  SecondWordThenText,  // one or two blanks, `second`, blanks, more text
  Nothing,             // the line's end, blanks or a comment's "'"
  Anything,            // with a rule whose `first` starts the first word
};

// A line fits a rule when its first word (after blanks, up to a blank, the
// line's end or a "'") is `first`, ignoring case, followed as `follows`
// says; with Follows::Anything, when the first word starts with `first`.
// The first rule that fits decides. Words are written in lower case.
struct LineRule {
  std::string_view first;
  Follows follows;
  std::string_view second;
  LineKind kind;
};

inline constexpr LineRule kLineRules[] = {
    {"#include", Follows::MoreText, "", LineKind::Include},
    {"%", Follows::Anything, "", LineKind::Equate},
    {"$", Follows::Anything, "", LineKind::Equate},
    {"function", Follows::SecondWord, "=", LineKind::Other},  // assigns the function's result
    {"function", Follows::MoreText, "", LineKind::Procedure},
    {"sub", Follows::MoreText, "", LineKind::Procedure},
    {"end", Follows::SecondWord, "interface", LineKind::InterfaceEnd},
    {"interface", Follows::MoreText, "", LineKind::InterfaceStart},
    {"property", Follows::SecondWordThenText, "get", LineKind::Member},
    {"property", Follows::SecondWordThenText, "set", LineKind::Member},
    {"inherit", Follows::MoreText, "", LineKind::Member},
    {"member", Follows::MoreText, "", LineKind::Member},  // MEMBER CALL, GET, LET, SET
    {"method", Follows::SecondWord, "=", LineKind::Other},  // assigns the method's result
    {"method", Follows::MoreText, "", LineKind::Member},
    {"#if", Follows::MoreText, "", LineKind::GroupOpen},
    {"#elseif", Follows::MoreText, "", LineKind::GroupNext},
    {"#else", Follows::Nothing, "", LineKind::GroupNext},
    {"#endif", Follows::Nothing, "", LineKind::GroupClose},
    {"macro", Follows::MoreText, "", LineKind::Macro},
    {"#compile", Follows::MoreText, "", LineKind::Compile},
};

// Include and Equate lines matter only where includes are followed. Their
// rules stand first: a scan that follows none searches for the rules after
// them alone (in an API file, most lines are equates), and one that does
// finds an equate at the first row it reads.
inline constexpr size_t kIncludeRules = 3;
constexpr bool includeRulesStandFirst() {
  for (size_t k = 0; k < std::size(kLineRules); ++k) {
    const bool following = kLineRules[k].kind == LineKind::Include || kLineRules[k].kind == LineKind::Equate;
    if (following != (k < kIncludeRules)) return false;
  }
  return true;
}
static_assert(includeRulesStandFirst());

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The kind of one whole line (without its line end) by the first rule of
// rules that it fits.
LineKind classifyLine(std::string_view line, std::span<const LineRule> rules = kLineRules);

}  // namespace codeloom
