#include "headers/declare_audit.h"

#include <map>
#include <utility>

#include "platform/ansi.h"
#include "platform/text_lines.h"

namespace codeloom {
namespace {

constexpr auto npos = std::string_view::npos;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameByte(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
bool isSuffixByte(char c) {
  return c == '&' || c == '%' || c == '!' || c == '#' || c == '@' || c == '$' || c == '?';
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// ---- Statements ------------------------------------------------------------

// A line's code is its text before a comment's "'" outside a string.
struct LineCode {
  std::string_view code;
  bool unclosedString = false;  // a string runs to the line's end
};

LineCode codeOfLine(std::string_view line) {
  bool inString = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') inString = !inString;
    if (line[i] == '\'' && !inString) return {line.substr(0, i), false};
  }
  return {line, inString};
}

struct Statement {
  std::string code;  // its lines' code, one blank where a "_" joined two
  size_t line = 0;   // of its first line
};

// The next line and the lines a "_" at the end of its code continues on.
// A "_" inside an unclosed string continues nothing.
bool nextStatement(LineReader& reader, size_t& lineNumber, Statement& statement) {
  std::string_view line;
  if (!reader.next(line)) return false;
  statement = Statement{};
  statement.line = ++lineNumber;
  for (;;) {
    LineCode lineCode = codeOfLine(line);
    std::string_view code = withoutTrailingBlanks(lineCode.code);
    bool continues = !lineCode.unclosedString && !code.empty() && code.back() == '_';
    if (continues) code.remove_suffix(1);
    statement.code.append(code);
    if (!continues || !reader.next(line)) return true;
    ++lineNumber;
    statement.code += ' ';
  }
}

// The first word of code in capitals, with a leading "#" of a metastatement.
std::string firstWord(std::string_view code) {
  size_t end = code.empty() || code[0] != '#' ? 0 : 1;
  while (end < code.size() && isNameByte(code[end])) ++end;
  return toUpperAnsi(code.substr(0, end));
}

// ---- Tokens ----------------------------------------------------------------

enum class TokenKind { Word, String, Number, Symbol };

struct Token {
  TokenKind kind;
  std::string_view text;  // a string's without its quotes
};

// Words are names with any type suffix, and equates ("%MAX_PATH").
bool tokenize(std::string_view code, std::vector<Token>& tokens, std::string& problem) {
  size_t at = 0;
  while (at < code.size()) {
    char c = code[at];
    size_t start = at;
    if (isBlank(c)) {
      ++at;
    } else if (c == '"') {
      size_t close = code.find('"', at + 1);
      if (close == npos) {
        problem = "a string without its closing quote";
        return false;
      }
      tokens.push_back({TokenKind::String, code.substr(at + 1, close - at - 1)});
      at = close + 1;
    } else if (isLetter(c) || ((c == '%' || c == '$') && at + 1 < code.size() && isLetter(code[at + 1]))) {
      ++at;
      while (at < code.size() && isNameByte(code[at])) ++at;
      while (at < code.size() && isSuffixByte(code[at])) ++at;
      tokens.push_back({TokenKind::Word, code.substr(start, at - start)});
    } else if (isDigit(c)) {
      while (at < code.size() && isDigit(code[at])) ++at;
      tokens.push_back({TokenKind::Number, code.substr(start, at - start)});
    } else {
      tokens.push_back({TokenKind::Symbol, code.substr(at++, 1)});
    }
  }
  return true;
}

bool isWord(const Token& token, std::string_view keyword) {
  return token.kind == TokenKind::Word && toUpperAnsi(token.text) == keyword;
}

bool isSymbol(const Token& token, char symbol) {
  return token.kind == TokenKind::Symbol && token.text[0] == symbol;
}

// Words that end a type: the clauses of a Declare, and the words a
// procedure's own first line may carry.
bool endsType(const Token& token) {
  for (std::string_view word : {"LIB", "ALIAS", "BDECL", "CDECL", "SDECL", "AS", "EXPORT", "COMMON",
                                "PRIVATE", "THREADSAFE"})
    if (isWord(token, word)) return true;
  return false;
}

// The type a name's suffix stands for; empty for no suffix, nullopt for an
// unknown one.
std::optional<std::string> suffixType(std::string_view suffix) {
  static const std::pair<std::string_view, std::string_view> kSuffixes[] = {
      {"", ""},          {"&", "LONG"},   {"&&", "QUAD"}, {"%", "INTEGER"},  {"!", "SINGLE"},
      {"#", "DOUBLE"},   {"##", "EXT"},   {"@", "CUR"},   {"@@", "CUX"},     {"$", "STRING"},
      {"$$", "WSTRING"}, {"?", "BYTE"},   {"??", "WORD"}, {"???", "DWORD"},
  };
  for (const auto& [written, type] : kSuffixes)
    if (suffix == written) return std::string(type);
  return std::nullopt;
}

// A word's name and the type of its suffix; false for an unknown suffix.
bool splitName(std::string_view word, std::string& name, std::string& type, std::string& problem) {
  size_t end = word.size();
  while (end > 0 && isSuffixByte(word[end - 1])) --end;
  name = std::string(word.substr(0, end));
  std::optional<std::string> known = suffixType(word.substr(end));
  if (!known) {
    problem = "'" + std::string(word) + "' has an unknown type suffix";
    return false;
  }
  type = *known;
  return true;
}

// ---- Parsing ---------------------------------------------------------------

// The next token to read, and where the range being read ends: at a
// parameter's "," or ")", or at the statement's end.
struct Cursor {
  const std::vector<Token>& tokens;
  size_t at;
  size_t end;
  bool done() const { return at >= end; }
  const Token& peek() const { return tokens[at]; }
};

// The type after AS: its words, numbers and "*" up to the next clause.
bool readType(Cursor& cursor, std::string& type, std::string& problem) {
  type.clear();
  while (!cursor.done() && !endsType(cursor.peek()) &&
         (cursor.peek().kind == TokenKind::Word || cursor.peek().kind == TokenKind::Number ||
          isSymbol(cursor.peek(), '*'))) {
    if (!type.empty()) type += ' ';
    type += toUpperAnsi(cursor.peek().text);
    ++cursor.at;
  }
  if (type.empty()) problem = "AS without a type";
  return !type.empty();
}

std::string unexpected(const Token& token) {
  std::string shown = token.kind == TokenKind::String ? "\"" + std::string(token.text) + "\""
                                                      : std::string(token.text);
  return "'" + shown + "' is not understood here";
}

// One parameter: [OPTIONAL|OPT] [BYVAL|BYREF] name[()] [AS type], in the
// cursor's range.
bool readParameter(Cursor cursor, size_t number, DeclaredParameter& parameter, std::string& problem) {
  const std::string which = "parameter " + std::to_string(number);
  bool byRef = false;
  for (; !cursor.done(); ++cursor.at) {
    const Token& token = cursor.peek();
    bool* flag = isWord(token, "OPTIONAL") || isWord(token, "OPT") ? &parameter.optional
                 : isWord(token, "BYVAL")                          ? &parameter.byVal
                 : isWord(token, "BYREF")                          ? &byRef
                                                                   : nullptr;
    if (!flag) break;
    if (*flag) {
      problem = which + " repeats " + toUpperAnsi(token.text);
      return false;
    }
    *flag = true;
  }
  if (parameter.byVal && byRef) {
    problem = which + " is both BYVAL and BYREF";
    return false;
  }
  if (cursor.done() || cursor.peek().kind != TokenKind::Word || endsType(cursor.peek())) {
    problem = which + " has no name";
    return false;
  }
  std::string name;
  if (!splitName(cursor.peek().text, name, parameter.type, problem)) return false;
  ++cursor.at;
  if (cursor.end - cursor.at >= 2 && isSymbol(cursor.peek(), '(') && isSymbol(cursor.tokens[cursor.at + 1], ')')) {
    parameter.array = true;
    cursor.at += 2;
  }
  if (!cursor.done() && isWord(cursor.peek(), "AS")) {
    if (!parameter.type.empty()) {
      problem = which + " has both a type suffix and AS";
      return false;
    }
    ++cursor.at;
    if (!readType(cursor, parameter.type, problem)) {
      problem = which + ": " + problem;
      return false;
    }
  }
  if (!cursor.done()) {
    problem = which + ": " + unexpected(cursor.peek());
    return false;
  }
  return true;
}

// The parameters between the "(" at cursor.at and its ")"; leaves the
// cursor past the ")". Commas inside inner parentheses do not split.
bool readParameters(Cursor& cursor, std::vector<DeclaredParameter>& parameters, std::string& problem) {
  size_t start = ++cursor.at;
  int depth = 0;
  for (; !cursor.done(); ++cursor.at) {
    const Token& token = cursor.peek();
    bool closes = isSymbol(token, ')') && depth == 0;
    if (closes || (isSymbol(token, ',') && depth == 0)) {
      bool emptyList = closes && parameters.empty() && cursor.at == start;
      if (!emptyList) {
        if (cursor.at == start) {
          problem = "parameter " + std::to_string(parameters.size() + 1) + " is empty";
          return false;
        }
        DeclaredParameter parameter;
        if (!readParameter(Cursor{cursor.tokens, start, cursor.at}, parameters.size() + 1, parameter, problem))
          return false;
        parameters.push_back(parameter);
      }
      start = cursor.at + 1;
      if (closes) {
        ++cursor.at;
        return true;
      }
    } else if (isSymbol(token, '(')) {
      ++depth;
    } else if (isSymbol(token, ')')) {
      --depth;
    }
  }
  problem = "a '(' without its ')'";
  return false;
}

// Reads the string after a LIB or ALIAS at cursor.at.
bool readClauseString(Cursor& cursor, std::string& value, std::string& problem) {
  std::string keyword = toUpperAnsi(cursor.peek().text);
  ++cursor.at;
  if (cursor.done() || cursor.peek().kind != TokenKind::String) {
    problem = keyword + " without a quoted name";
    return false;
  }
  value = std::string(cursor.peek().text);
  ++cursor.at;
  return true;
}

// DECLARE {SUB|FUNCTION} name, then its clauses in any order.
bool readDeclare(const std::vector<Token>& tokens, ParsedDeclare& declare, std::string& problem) {
  Cursor cursor{tokens, 0, tokens.size()};
  if (cursor.done() || !isWord(cursor.peek(), "DECLARE")) {
    problem = "not a Declare";
    return false;
  }
  ++cursor.at;
  if (!cursor.done() && isWord(cursor.peek(), "FUNCTION")) {
    declare.kind = ProcedureKind::Function;
  } else if (cursor.done() || !isWord(cursor.peek(), "SUB")) {
    problem = "DECLARE is followed by neither SUB nor FUNCTION";
    return false;
  }
  ++cursor.at;
  if (cursor.done() || cursor.peek().kind != TokenKind::Word || endsType(cursor.peek())) {
    problem = "no procedure name";
    return false;
  }
  declare.writtenName = cursor.peek().text;
  if (!splitName(cursor.peek().text, declare.name, declare.resultType, problem)) return false;
  bool suffixTyped = !declare.resultType.empty();
  if (suffixTyped && declare.kind == ProcedureKind::Sub) {
    problem = "a SUB's name has a type suffix";
    return false;
  }
  ++cursor.at;
  bool hasConvention = false, hasParameters = false, hasAs = false;
  auto second = [&](bool seen, const char* what) {
    if (seen) problem = std::string("a second ") + what;
    return seen;
  };
  while (!cursor.done()) {
    const Token& token = cursor.peek();
    std::string upper = toUpperAnsi(token.text);
    if (isWord(token, "LIB")) {
      if (second(declare.hasLib, "LIB clause") || !readClauseString(cursor, declare.lib, problem)) return false;
      declare.hasLib = true;
    } else if (isWord(token, "ALIAS")) {
      if (second(declare.alias.has_value(), "ALIAS clause") ||
          !readClauseString(cursor, declare.alias.emplace(), problem))
        return false;
    } else if (isWord(token, "SDECL") || isWord(token, "CDECL") || isWord(token, "BDECL")) {
      if (second(std::exchange(hasConvention, true), "calling convention")) return false;
      declare.convention = upper == "CDECL"   ? CallingConvention::Cdecl
                           : upper == "BDECL" ? CallingConvention::Bdecl
                                              : CallingConvention::Sdecl;
      ++cursor.at;
    } else if (isSymbol(token, '(')) {
      if (second(std::exchange(hasParameters, true), "parameter list") ||
          !readParameters(cursor, declare.parameters, problem))
        return false;
    } else if (isWord(token, "AS")) {
      if (declare.kind == ProcedureKind::Sub) {
        problem = "a SUB has no result type";
        return false;
      }
      if (suffixTyped) {
        problem = "the name has both a type suffix and AS";
        return false;
      }
      if (second(std::exchange(hasAs, true), "result type")) return false;
      ++cursor.at;
      if (!readType(cursor, declare.resultType, problem)) return false;
    } else if (upper == "EXPORT" || upper == "COMMON" || upper == "PRIVATE" || upper == "THREADSAFE") {
      ++cursor.at;  // the words a procedure's own line carries; they change no call
    } else {
      problem = unexpected(token);
      return false;
    }
  }
  return true;
}

// An unreadable Declare still tells whether it imports and from where, so
// that one of another library is left alone.
void findLibOfUnreadable(const std::vector<Token>& tokens, ParsedDeclare& declare) {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (!isWord(tokens[i], "LIB")) continue;
    declare.hasLib = true;
    declare.lib = i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::String ? std::string(tokens[i + 1].text)
                                                                                  : std::string();
    return;
  }
}

ParsedDeclare readStatement(const Statement& statement) {
  ParsedDeclare declare;
  std::vector<Token> tokens;
  std::string problem;
  if (tokenize(statement.code, tokens, problem)) readDeclare(tokens, declare, problem);
  if (!problem.empty()) {
    ParsedDeclare unreadable;
    unreadable.problem = problem;
    findLibOfUnreadable(tokens, unreadable);
    return unreadable;
  }
  return declare;
}

ParsedDeclare readDeclareText(std::string_view text) {
  LineReader reader(text);
  size_t lineNumber = 0;
  Statement statement, more;
  nextStatement(reader, lineNumber, statement);  // an empty text leaves it empty
  ParsedDeclare declare = readStatement(statement);
  while (declare.problem.empty() && nextStatement(reader, lineNumber, more)) {
    if (more.code.find_first_not_of(" \t") == std::string::npos) continue;
    declare = ParsedDeclare{};
    declare.problem = "more than one statement";
  }
  return declare;
}

// ---- Auditing --------------------------------------------------------------

std::string entryPoint(const ParsedDeclare& declare) {
  return declare.alias ? *declare.alias : toUpperAnsi(declare.writtenName);
}

// LoadLibrary adds ".DLL" to a name without an extension and ignores case.
std::string libraryKey(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  std::string key = toUpperAnsi(slash == npos ? path : path.substr(slash + 1));
  if (key.find('.') == std::string::npos) key += ".DLL";
  return key;
}

bool exclusive(const std::vector<IfBranch>& a, const std::vector<IfBranch>& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i].group != b[i].group) return false;
    if (a[i].branch != b[i].branch) return true;
  }
  return false;
}

const char* conventionName(CallingConvention convention) {
  switch (convention) {
    case CallingConvention::Cdecl: return "CDECL";
    case CallingConvention::Bdecl: return "BDECL";
    case CallingConvention::Sdecl: break;
  }
  return "SDECL";
}

// The exports, read, and looked up by entry point and by name; of several
// with one key the first counts.
struct Audit {
  std::string_view headerName;
  const std::vector<ExportedProcedure>& exports;
  std::vector<ParsedDeclare> exported;  // in export order
  std::map<std::string, size_t> byEntry, byUpperEntry, byUpperName;
};

Audit readExports(std::string_view headerName, const std::vector<ExportedProcedure>& exports) {
  Audit audit{headerName, exports, {}, {}, {}, {}};
  for (size_t i = 0; i < exports.size(); ++i) {
    const ParsedDeclare& procedure = audit.exported.emplace_back(readDeclareText(exports[i].declaration));
    if (!procedure.problem.empty()) continue;
    audit.byEntry.emplace(entryPoint(procedure), i);
    audit.byUpperEntry.emplace(toUpperAnsi(entryPoint(procedure)), i);
    audit.byUpperName.emplace(toUpperAnsi(procedure.name), i);
  }
  return audit;
}

// The export a Declare's entry point names: exactly, else ignoring case,
// as GetProcAddress would not.
std::optional<size_t> pairedExport(const Audit& audit, const std::string& entry) {
  if (auto exact = audit.byEntry.find(entry); exact != audit.byEntry.end()) return exact->second;
  if (auto other = audit.byUpperEntry.find(toUpperAnsi(entry)); other != audit.byUpperEntry.end())
    return other->second;
  return std::nullopt;
}

std::vector<AuditFinding> checkDeclare(const Audit& audit, const ParsedDeclare& declare,
                                       std::optional<size_t> paired, std::string_view dllShown) {
  std::vector<AuditFinding> findings;
  std::string entry = entryPoint(declare);
  if (!paired) {
    findings.push_back({std::string(audit.headerName), declare.line, declare.column, FindingLevel::Error,
                        "entry point '" + entry + "' is missing from " + std::string(dllShown)});
    return findings;
  }
  const ExportedProcedure& where = audit.exports[*paired];
  const ParsedDeclare& dll = audit.exported[*paired];
  std::string dllEntry = entryPoint(dll);
  std::string lead = "'" + dllEntry + "': ";
  std::string at = " (" + where.file + ":" + std::to_string(where.line) + ")";
  auto report = [&](FindingLevel level, std::string message) {
    findings.push_back(
        {std::string(audit.headerName), declare.line, declare.column, level, lead + message + at});
  };
  auto error = [&](std::string message) { report(FindingLevel::Error, std::move(message)); };
  // A type given on one side only is a warning: the other side may rely
  // on a DEFtype statement.
  auto compareTypes = [&](const std::string& what, const std::string& header, const std::string& inDll) {
    if (header == inDll) return;
    if (!header.empty() && !inDll.empty())
      error(what + " is " + header + " in the header, " + inDll + " in the DLL");
    else
      report(FindingLevel::Warning, what + (header.empty() ? " has no type" : " is " + header) +
                                        " in the header, " + (inDll.empty() ? "no type" : inDll) + " in the DLL");
  };

  if (entry != dllEntry)
    error("entry point '" + entry + "' in the header, '" + dllEntry +
          "' in the DLL, and GetProcAddress compares letter case");
  if (declare.kind != dll.kind)
    error(declare.kind == ProcedureKind::Sub ? "SUB in the header, FUNCTION in the DLL"
                                             : "FUNCTION in the header, SUB in the DLL");
  if (declare.convention != dll.convention)
    error(std::string("calling convention ") + conventionName(declare.convention) + " in the header, " +
          conventionName(dll.convention) + " in the DLL");
  size_t count = declare.parameters.size();
  if (count != dll.parameters.size()) {
    // Places would not line up, so the parameters are not compared one by one.
    error(std::to_string(count) + (count == 1 ? " parameter" : " parameters") + " in the header, " +
          std::to_string(dll.parameters.size()) + " in the DLL");
  } else {
    for (size_t i = 0; i < count; ++i) {
      const DeclaredParameter& h = declare.parameters[i];
      const DeclaredParameter& d = dll.parameters[i];
      std::string which = "parameter " + std::to_string(i + 1);
      if (h.byVal != d.byVal)
        error(which + (h.byVal ? " is BYVAL in the header, BYREF" : " is BYREF in the header, BYVAL") + " in the DLL");
      if (h.optional != d.optional)
        error(which + (h.optional ? " is OPTIONAL in the header, required" : " is required in the header, OPTIONAL") +
              " in the DLL");
      if (h.array != d.array)
        error(which + (h.array ? " is an array in the header, a scalar" : " is a scalar in the header, an array") +
              " in the DLL");
      compareTypes(which, h.type, d.type);
    }
  }
  if (declare.kind == ProcedureKind::Function && dll.kind == ProcedureKind::Function)
    compareTypes("the result", declare.resultType, dll.resultType);

  // Calls by this name reach another procedure than the one of the name.
  if (auto named = audit.byUpperName.find(toUpperAnsi(declare.name)); named != audit.byUpperName.end()) {
    std::string otherEntry = entryPoint(audit.exported[named->second]);
    const ExportedProcedure& other = audit.exports[named->second];
    if (toUpperAnsi(otherEntry) != toUpperAnsi(dllEntry))
      report(FindingLevel::Warning, "declared as " + declare.name + ", the name of the DLL's '" + otherEntry + "' (" +
                                        other.file + ":" + std::to_string(other.line) + "), so calls to " +
                                        declare.name + " reach '" + dllEntry + "' instead");
  }
  return findings;
}

bool hasError(const std::vector<AuditFinding>& findings) {
  for (const AuditFinding& finding : findings)
    if (finding.level == FindingLevel::Error) return true;
  return false;
}

// Of Declares that exclude each other, the one whose findings stand: the
// first with none, else the first with warnings only, else the first.
size_t chosenAlternative(const std::vector<size_t>& alternatives,
                         const std::vector<std::vector<AuditFinding>>& findings) {
  for (size_t i : alternatives)
    if (findings[i].empty()) return i;
  for (size_t i : alternatives)
    if (!hasError(findings[i])) return i;
  return alternatives.front();
}

size_t rootOf(std::vector<size_t>& parent, size_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

}  // namespace

std::vector<ParsedDeclare> parseDeclares(std::string_view text) {
  std::vector<ParsedDeclare> declares;
  std::vector<IfBranch> open;
  size_t groups = 0;
  LineReader reader(text);
  size_t lineNumber = 0;
  Statement statement;
  while (nextStatement(reader, lineNumber, statement)) {
    size_t start = statement.code.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    std::string word = firstWord(std::string_view(statement.code).substr(start));
    if (word == "#IF") {
      open.push_back({++groups, 1});
    } else if (word == "#ELSEIF" || word == "#ELSE") {
      if (!open.empty()) ++open.back().branch;
    } else if (word == "#ENDIF") {
      if (!open.empty()) open.pop_back();
    } else if (word == "DECLARE") {
      statement.code.erase(0, start);
      ParsedDeclare declare = readStatement(statement);
      declare.line = statement.line;
      declare.column = start + 1;
      declare.ifBranches = open;
      declares.push_back(std::move(declare));
    }
  }
  return declares;
}

std::optional<ParsedDeclare> parseDeclareStatement(std::string_view statement, std::string* problem) {
  ParsedDeclare declare = readDeclareText(statement);
  if (problem) *problem = declare.problem;
  if (!declare.problem.empty()) return std::nullopt;
  return declare;
}

std::vector<AuditFinding> auditHeader(std::string_view headerName, std::string_view headerText,
                                      const std::vector<ExportedProcedure>& exports,
                                      std::string_view dllName) {
  const Audit audit = readExports(headerName, exports);
  const std::string dllShown = dllName.empty() ? "the DLL" : std::string(dllName);
  const std::string dllKey = libraryKey(dllName);

  std::vector<ParsedDeclare> declares = parseDeclares(headerText);
  std::vector<std::vector<AuditFinding>> findings(declares.size());
  std::vector<bool> shown(declares.size(), false);
  std::vector<bool> declared(exports.size(), false);
  std::map<std::string, std::vector<size_t>> byEntry;  // checked readable Declares
  for (size_t i = 0; i < declares.size(); ++i) {
    const ParsedDeclare& declare = declares[i];
    bool readable = declare.problem.empty();
    // An unreadable LIB clause may name the DLL.
    bool imports = declare.hasLib && (dllName.empty() || libraryKey(declare.lib) == dllKey ||
                                      (!readable && declare.lib.empty()));
    if (!imports) continue;
    if (!readable) {
      findings[i].push_back({std::string(headerName), declare.line, declare.column, FindingLevel::Error,
                             "cannot read this Declare: " + declare.problem});
      shown[i] = true;
      continue;
    }
    std::optional<size_t> paired = pairedExport(audit, entryPoint(declare));
    if (paired) declared[*paired] = true;
    findings[i] = checkDeclare(audit, declare, paired, dllShown);
    byEntry[toUpperAnsi(entryPoint(declare))].push_back(i);
  }

  // Declares of one entry point in different branches of one #IF group are
  // alternatives; only the chosen one's findings are shown.
  for (const auto& [entry, sameEntry] : byEntry) {
    std::vector<size_t> parent(sameEntry.size());
    for (size_t a = 0; a < parent.size(); ++a) parent[a] = a;
    for (size_t a = 0; a < sameEntry.size(); ++a)
      for (size_t b = a + 1; b < sameEntry.size(); ++b)
        if (exclusive(declares[sameEntry[a]].ifBranches, declares[sameEntry[b]].ifBranches))
          parent[rootOf(parent, b)] = rootOf(parent, a);
    std::map<size_t, std::vector<size_t>> sets;
    for (size_t a = 0; a < sameEntry.size(); ++a) sets[rootOf(parent, a)].push_back(sameEntry[a]);
    for (const auto& [root, alternatives] : sets) shown[chosenAlternative(alternatives, findings)] = true;
  }

  std::vector<AuditFinding> all;
  for (size_t i = 0; i < declares.size(); ++i)
    if (shown[i]) all.insert(all.end(), findings[i].begin(), findings[i].end());
  for (size_t i = 0; i < exports.size(); ++i) {
    const ExportedProcedure& procedure = exports[i];
    if (!audit.exported[i].problem.empty())
      all.push_back({procedure.file, procedure.line, procedure.column, FindingLevel::Error,
                     "cannot read the Declare built for this procedure: " + audit.exported[i].problem});
    else if (!declared[i])
      all.push_back({procedure.file, procedure.line, procedure.column, FindingLevel::Warning,
                     "'" + entryPoint(audit.exported[i]) + "' has no Declare in " + std::string(headerName)});
  }
  return all;
}

std::string formatFinding(const AuditFinding& finding) {
  return finding.file + ":" + std::to_string(finding.line) + ":" + std::to_string(finding.column) +
         (finding.level == FindingLevel::Error ? ": error: " : ": warning: ") + finding.message;
}

}  // namespace codeloom
