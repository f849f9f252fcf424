#include "headers/declaration.h"

#include <algorithm>

#include "headers/line_kinds.h"
#include "platform/ansi.h"
#include "platform/byte_masks.h"

namespace codeloom {
namespace {

constexpr size_t npos = std::string::npos;
constexpr size_t kContinuationIndent = 10;  // 20 blanks, halved with the declaration

// The words a declaration is looked through for.
enum Word { kExport, kCommon, kLib, kAlias, kNoWord };

[[gnu::always_inline]] inline Word wordOf(std::string_view token) {
  switch (token.size()) {  // most tokens are none, told by their length
    case 3: return equalsLowerAnsi(token, "lib") ? kLib : kNoWord;
    case 5: return equalsLowerAnsi(token, "alias") ? kAlias : kNoWord;
    case 6: return equalsLowerAnsi(token, "export") ? kExport : equalsLowerAnsi(token, "common") ? kCommon : kNoWord;
    default: return kNoWord;
  }
}

// Export or Common, written as such or through a macro; kNoWord else.
Word markingWordOf(std::string_view token, const MarkingMacros* macros) {
  Word word = wordOf(token);
  if (word == kExport || word == kCommon) return word;
  if (!macros || macros->empty() || token.empty()) return kNoWord;
  auto found = macros->find(toLowerAnsi(token));
  if (found == macros->end()) return kNoWord;
  return found->second == MarkingWord::Export ? kExport : kCommon;
}

bool isEntryPoint(std::string_view name) {
  return equalsLowerAnsi(name, "libmain") || equalsLowerAnsi(name, "dllmain") || equalsLowerAnsi(name, "pblibmain");
}

// The declaration's text as it is written, at the end of the header, with
// what the clauses and the word removal need to know about it: positions
// in the text.
struct Declaration {
  std::string& text;
  const MarkingMacros* macros = nullptr;  // null when there are none
  size_t start = 0;  // where "Declare" stands
  size_t nameAt = 0, nameSize = 0;
  size_t paren = npos;      // the first "(" of the code outside a string
  size_t parenToken = npos;  // where the token touching that "(" starts
  Word parenWord = kNoWord;  // what that token is, once a clause separates it from the "("
  bool parenGlued = false;   // that word follows a ")" inside the token
  size_t wordAt[kNoWord] = {npos, npos, npos, npos};  // the first of each word in the code
  size_t wordSize[kNoWord] = {};
  bool afterParen[kNoWord] = {};  // that word follows a ")", which stays with it
};

void appendLine(Declaration& d, std::string_view raw) {
  size_t i = 0, n = raw.size();
  while (n > 0 && isBlank(raw[n - 1])) --n;
  while (i < n && isBlank(raw[i])) ++i;
  // Written through a pointer: the line never grows, so room for it is
  // made once and cut to what was written.
  std::string& text = d.text;
  const size_t base = text.size();
  text.resize(base + (n - i) + 2);
  char* const begin = text.data();
  char* out = begin + base;
  bool inCode = true, inString = false;
  size_t token = base;
  auto at = [&] { return static_cast<size_t>(out - begin); };
  auto note = [&](Word word, size_t from, bool afterParen) {
    if (word == kNoWord || d.wordAt[word] != npos) return;
    d.wordAt[word] = from;
    d.wordSize[word] = at() - from;
    d.afterParen[word] = afterParen;
  };
  auto endToken = [&]() __attribute__((always_inline)) {
    if (!inCode) return;
    const std::string_view whole(begin + token, at() - token);
    const Word word = wordOf(whole);
    if (word != kNoWord) return note(word, token, false);
    const bool macros = d.macros != nullptr;
    if (macros) note(markingWordOf(whole, d.macros), token, false);
    // A marking word may follow a ")" directly; without macros, only the
    // six letters of Export or Common can.
    const size_t paren = macros ? whole.rfind(')') : whole.size() >= 7 && whole[whole.size() - 7] == ')' ? whole.size() - 7 : npos;
    if (paren != npos) note(markingWordOf(whole.substr(paren + 1), d.macros), token + paren + 1, true);
  };
  while (i < n) {
    const size_t run = copyRun<' ', '\t', '"', '\'', '('>(raw.data() + i, n - i, out);  // the bytes looked at
    i += run;
    out += run;
    if (i == n) break;
    const char c = raw[i];
    if (isBlank(c)) {
      endToken();
      size_t run = i++;
      while (isBlank(raw[i])) ++i;  // stops before n: the last byte is no blank
      if (i - run == 1) *out++ = ' ';  // most often
      else out = std::fill_n(out, ((i - run + 1) / 2 + 1) / 2, ' ');
      token = at();
      continue;
    }
    if (inCode && c == '"') {
      inString = !inString;
    } else if (inCode && c == '\'' && !inString) {
      endToken();
      inCode = false;
    } else if (inCode && c == '(' && !inString && d.paren == npos) {
      d.paren = at();
      d.parenToken = token;
      const std::string_view touching(begin + token, at() - token);
      d.parenWord = wordOf(touching);
      if (d.parenWord == kNoWord) d.parenWord = markingWordOf(touching, d.macros);
      if (size_t close = touching.rfind(')'); d.parenWord == kNoWord && close != npos) {
        d.parenWord = markingWordOf(touching.substr(close + 1), d.macros);
        d.parenToken = token + close + 1;
        d.parenGlued = true;
      }
    }
    *out++ = c;
    ++i;
  }
  if (inCode) endToken();
  *out++ = '\r';
  *out++ = '\n';
  text.resize(at());
}

// The name follows the keyword and its spaces; it ends at a space, "(" or
// a comment's "'".
void findName(Declaration& d) {
  const std::string& text = d.text;
  size_t at = text.find(' ', d.start + std::string_view("Declare ").size());
  while (text[at] == ' ') ++at;
  size_t end = at;
  for (bool inString = false; text[end] != '\r' && text[end] != ' ' && text[end] != '('; ++end) {
    if (text[end] == '\'' && !inString) break;
    if (text[end] == '"') inString = !inString;
  }
  d.nameAt = at;
  d.nameSize = end - at;
}

struct Edit {
  size_t at, size;
  std::string with;
};

// In mode Dll, where the Lib and Alias clauses go, if any do. nameAt: where
// the library name goes in edit.with.
bool clauseEdit(Declaration& d, std::string_view libraryName, size_t& exportAt, size_t& commonAt, Edit& edit,
                size_t& nameAt) {
  nameAt = std::string_view(" Lib \"").size();
  // The clauses in one string: most Declares get both.
  std::string clauses;
  clauses.reserve(nameAt + libraryName.size() + d.nameSize + 12);
  auto appendLib = [&] { ((clauses += " Lib \"") += libraryName) += '"'; };
  auto spacesBefore = [&](size_t at) {
    size_t cut = at;
    while (d.text[cut - 1] == ' ') --cut;  // "Declare" stops it at the latest
    return cut;
  };
  const bool hasLib = d.wordAt[kLib] != npos;
  bool hasAlias = d.wordAt[kAlias] != npos;
  if (!hasLib && hasAlias) {  // DECLARE takes Lib before Alias
    size_t cut = spacesBefore(d.wordAt[kAlias]);
    appendLib();
    edit = {cut, d.wordAt[kAlias] - cut, std::move(clauses += ' ')};
    return true;
  }
  if (hasLib) nameAt = npos;
  if (!hasLib) appendLib();
  // A clause in front of the "(" makes the token before it a word.
  if (!hasLib && d.paren != npos && d.parenWord == kAlias) hasAlias = true;
  if (!hasAlias) {
    clauses += " Alias \"";
    for (char c : std::string_view(d.text).substr(d.nameAt, d.nameSize)) clauses += upperAnsi(c);
    clauses += '"';
  }
  if (clauses.empty()) return false;
  if (d.paren == npos) {
    // After the name. An empty name (the procedure's own keyword is a
    // marking macro's name) leaves a blank, which the clauses bring again.
    const size_t end = d.nameAt + d.nameSize, cut = d.nameSize ? end : spacesBefore(end);
    edit = {cut, end - cut, std::move(clauses)};
    return true;
  }
  size_t cut = spacesBefore(d.paren);
  edit = {cut, d.paren - cut, std::move(clauses += ' ')};
  // The token becomes a word of its own.
  auto takeToken = [&](Word word, size_t& at) {
    if (d.parenWord != word || at < d.parenToken) return;
    at = d.parenToken;
    d.wordSize[word] = d.paren - d.parenToken;
    d.afterParen[word] = d.parenGlued;
  };
  takeToken(kExport, exportAt);
  takeToken(kCommon, commonAt);
  return true;
}

}  // namespace

bool buildDeclaration(std::span<const std::string_view> lines, const DeclarationRules& rules, std::string& out,
                      DeclarationFacts& facts) {
  Declaration d{out, rules.macros && !rules.macros->empty() ? rules.macros : nullptr, out.size()};
  auto none = [&] {
    out.resize(d.start);
    return false;
  };
  out += "Declare ";
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) out.append(kContinuationIndent, ' ');
    appendLine(d, lines[k]);
  }
  size_t exportAt = d.wordAt[kExport], commonAt = d.wordAt[kCommon];
  if (exportAt == npos && commonAt == npos) return none();
  facts.exported = exportAt != npos;
  findName(d);
  const HeaderMode mode = rules.mode;
  if (mode != HeaderMode::Compile && isEntryPoint(std::string_view(out).substr(d.nameAt, d.nameSize))) return none();
  Edit edits[3];
  size_t count = 0, nameInClause = npos;
  if (mode == HeaderMode::Dll && exportAt != npos &&
      clauseEdit(d, rules.libraryName, exportAt, commonAt, edits[count], nameInClause))
    ++count;
  if (!rules.libraryName.empty()) nameInClause = npos;  // the name is there already
  auto removal = [&](Word word, size_t at) -> Edit {
    return d.afterParen[word] ? Edit{at, d.wordSize[word], ""} : Edit{at - 1, 1 + d.wordSize[word], ""};
  };
  if (mode != HeaderMode::Compile && exportAt != npos) edits[count++] = removal(kExport, exportAt);
  if (mode == HeaderMode::Dll && commonAt != npos) edits[count++] = removal(kCommon, commonAt);
  // From the back, so that the places in front stay where they are; at the
  // name's end, the word after it goes before the clauses come.
  std::sort(edits, edits + count, [](const Edit& a, const Edit& b) { return a.at != b.at ? a.at > b.at : a.size > b.size; });
  size_t& libraryNameAt = facts.libraryNameAt;
  libraryNameAt = npos;
  for (size_t k = 0; k < count; ++k) {
    const Edit& edit = edits[k];
    out.replace(edit.at, edit.size, edit.with);
    if (libraryNameAt != npos) libraryNameAt += edit.with.size() - edit.size;  // an edit in front moves it
    if (!edit.with.empty() && nameInClause != npos) libraryNameAt = edit.at + nameInClause;
  }
  if (libraryNameAt != npos) libraryNameAt -= d.start;
  return true;
}

bool mentionsMarkingWord(std::string_view line) {
  static const PairTables kStarts = makePairTables({{'e', 'x'}, {'c', 'o'}});
  return anyPairIn(line, kStarts, [&](size_t at) {
    std::string_view six = line.substr(at, 6);
    return equalsLowerAnsi(six, "export") || equalsLowerAnsi(six, "common");
  });
}

}  // namespace codeloom
