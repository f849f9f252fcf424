#include "headers/source_scanner.h"

#include <algorithm>

#include "headers/line_helpers.h"
#include "platform/ansi.h"
#include "platform/text_lines.h"

namespace codeloom {
namespace {

constexpr std::string_view kBannerRule =
    "'----------------------------------------------------------------------";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kLibClause = " Lib \"export.dll\"";
constexpr size_t kDeclarationIndent = 20;  // halved to 10 with the declaration
constexpr size_t kMemberIndent = 22;

enum class LineKind { Other, Procedure, InterfaceEnd, InterfaceStart, Member };

// A quick look at a raw line before any cleaning. Every line the scanner
// writes begins with Sub, End, Method, Inherit, Function, Property or
// Interface followed by a blank (every prefix tested has a space after its
// first word), and cleaning neither changes the first word nor
// removes the blanks after it unless they end the line. So a line whose first
// word is none of them is dropped at once, as most lines of a file are.
bool mayBeWritten(std::string_view raw, const std::array<char, 256>& lower) {
  constexpr size_t kLongest = 9;  // "interface"
  size_t start = 0;
  while (start < raw.size() && (raw[start] == ' ' || raw[start] == '\t')) ++start;
  if (start == raw.size()) return false;
  switch (lower[static_cast<unsigned char>(raw[start])]) {
    case 's': case 'e': case 'm': case 'i': case 'f': case 'p': break;
    default: return false;
  }
  size_t end = start;
  while (end < raw.size() && raw[end] != ' ' && raw[end] != '\t') {
    if (++end - start > kLongest) return false;
  }
  if (end == raw.size()) return false;
  const char* word = raw.data() + start;
  auto is = [&](std::string_view keyword) {
    for (size_t k = 0; k < keyword.size(); ++k)
      if (lower[static_cast<unsigned char>(word[k])] != lower[static_cast<unsigned char>(keyword[k])])
        return false;
    return true;
  };
  switch (end - start) {
    case 3: {
      if (is("sub")) return true;
      // Of the many End lines only End Interface matters.
      size_t next = raw.find_first_not_of(" \t", end);
      return is("end") && next != std::string_view::npos &&
             lower[static_cast<unsigned char>(raw[next])] == lower['i'];
    }
    case 6: return is("method");
    case 7: return is("inherit");
    case 8: return is("function") || is("property");
    case 9: return is("interface");
    default: return false;
  }
}

// Classifies a line that mayBeWritten let through by the start of its
// normalised text. Only that start is built (the longest prefix tested has 13
// characters), so the many lines that are never written are neither copied
// nor cleaned.
LineKind classify(std::string_view raw) {
  char buffer[16];
  std::string_view line(buffer, normalisedPrefix(raw, buffer, sizeof buffer));
  // The first letter picks the tests worth running. Cleaning keeps the first
  // word, so it is one of the six letters mayBeWritten allows.
  switch (lowerAnsi(line[0])) {
    case 'f':
      if (startsWithNoCase(line, "function ") && !startsWithNoCase(line, "function ="))
        return LineKind::Procedure;
      break;
    case 's':
      if (startsWithNoCase(line, "sub ")) return LineKind::Procedure;
      break;
    case 'e':
      if (startsWithNoCase(line, "end interface")) return LineKind::InterfaceEnd;
      break;
    case 'i':
      if (startsWithNoCase(line, "interface ")) return LineKind::InterfaceStart;
      if (startsWithNoCase(line, "inherit ")) return LineKind::Member;
      break;
    case 'p':
      if (startsWithNoCase(line, "property get ") || startsWithNoCase(line, "property set "))
        return LineKind::Member;
      break;
    default:  // 'm'
      if (startsWithNoCase(line, "method ") && !startsWithNoCase(line, "method ="))
        return LineKind::Member;
      break;
  }
  return LineKind::Other;
}

bool continues(const std::string& line) { return !line.empty() && line.back() == '_'; }

// Reads the next line, normalised, into line; false at the end of the file.
bool readNormalised(LineReader& reader, std::string& line) {
  std::string_view raw;
  if (!reader.next(raw)) return false;
  line.assign(raw);
  normaliseLine(line);
  return true;
}

void appendBanner(std::string& header, std::string_view path) {
  std::string_view name = path.substr(path.rfind('\\') + 1);  // npos + 1 == 0
  header += kBannerRule;
  header += kLineEnd;
  header += "' ";
  header += name;
  header += kLineEnd;
  header += kBannerRule;
  header += kLineEnd;
}

// The declaration as the keyword tests see it, position for position: a
// comment's "'" becomes a CR, which ends a word as a line end does, and the
// rest of the comment a byte that no keyword, "(" or space holds. So words
// in a comment neither mark a procedure nor are removed from it.
void appendCode(std::string& code, std::string_view line) {
  size_t end = codeEnd(line);
  code += line.substr(0, end);
  if (end == line.size()) return;
  code += '\r';
  code.append(line.size() - end - 1, '\x01');
}

// Puts clause (it starts with a space) into a declaration in front of the
// first "(" of its code, dropping the spaces before the "(" and leaving one
// space between the clause and it; code follows every edit. A declaration
// without "(" has no parameter list to go by; the clause then goes where the
// parameter list would begin, directly after the procedure name on the first
// line, at noParenAt, which moves past the clause so that an Alias follows
// the Lib inserted before it. That keeps PowerBASIC's order: Declare Sub
// Name Lib "..." Alias "..." [As Type].
void insertClause(std::string& declaration, std::string& code, std::string_view clause,
                  size_t& noParenAt) {
  size_t paren = code.find('(');
  if (paren == std::string::npos) {
    declaration.insert(noParenAt, clause);
    code.insert(noParenAt, clause);
    noParenAt += clause.size();
    return;
  }
  size_t cut = paren;
  // The declaration starts with "Declare Sub" or "Declare Function": the
  // walk back over spaces stops at a letter at the latest.
  while (code[cut - 1] == ' ') --cut;
  for (std::string* text : {&declaration, &code}) {
    text->replace(cut, paren - cut, clause);
    text->insert(cut + clause.size(), 1, ' ');
  }
}

// halveSpaces on the declaration, with code cut in step.
void halveSpacesAlong(std::string& declaration, std::string& code) {
  size_t out = 0;
  for (size_t in = 0; in < declaration.size(); ++in, ++out) {
    declaration[out] = declaration[in];
    code[out] = code[in];
    if (declaration[in] == ' ' && in + 1 < declaration.size() && declaration[in + 1] == ' ') ++in;
  }
  declaration.resize(out);
  code.resize(out);
}

// removeWord on the code, with the same bytes taken out of the declaration.
void removeCodeWord(std::string& declaration, std::string& code, std::string_view word) {
  size_t at = findWord(code, word);
  if (at == std::string::npos || at == 0) return;  // as removeWord decides
  declaration.erase(at - 1, word.size() + 1);
  code.erase(at - 1, word.size() + 1);
}

// A procedure whose first (normalised) line is in line: reads its
// continuation lines and, when its code is marked Common or Export, appends
// its Declare statement in the form the mode asks for.
void writeProcedure(std::string& header, std::string& line, std::string& declaration,
                    std::string& code, LineReader& reader, HeaderMode mode) {
  constexpr std::string_view kDeclare = "Declare ";
  // The name follows the keyword and ends at a space, "(" or a comment.
  // classify saw text after the keyword's space, and cleaning left no space
  // at the end.
  size_t nameStart = line.find_first_not_of(' ', line.find(' '));
  size_t nameEnd = std::min(line.find_first_of(" (", nameStart), codeEnd(line));
  nameEnd = std::max(nameEnd, nameStart);
  size_t nameAt = kDeclare.size() + nameStart;
  size_t noParenAt = kDeclare.size() + nameEnd;

  declaration.assign(kDeclare);
  declaration += line;
  declaration += kLineEnd;
  code.assign(kDeclare);
  appendCode(code, line);
  code += kLineEnd;
  while (continues(line) && readNormalised(reader, line)) {
    declaration.append(kDeclarationIndent, ' ');
    declaration += line;
    declaration += kLineEnd;
    code.append(kDeclarationIndent, ' ');
    appendCode(code, line);
    code += kLineEnd;
  }

  bool exported = containsWord(code, "export");
  if (!exported && !containsWord(code, "common")) return;

  if (mode == HeaderMode::Dll && exported) {
    std::string alias = " Alias \"" +
                        toUpperAnsi(std::string_view(declaration).substr(nameAt, nameEnd - nameStart)) +
                        "\"";
    if (!containsWord(code, "lib")) insertClause(declaration, code, kLibClause, noParenAt);
    if (!containsWord(code, "alias")) insertClause(declaration, code, alias, noParenAt);
  }
  halveSpacesAlong(declaration, code);
  if (mode != HeaderMode::Compile) removeCodeWord(declaration, code, "export");
  if (mode == HeaderMode::Dll) removeCodeWord(declaration, code, "common");
  header += declaration;
}

// The lower-cased name of the interface that line starts: the first word
// after "interface ". As classify found that space and cleaning left none at
// the end of the line, a word follows.
std::string interfaceName(std::string_view line) {
  std::string_view rest = line.substr(std::string_view("interface ").size());
  rest = rest.substr(rest.find_first_not_of(' '));
  return toLowerAnsi(rest.substr(0, rest.find(' ')));
}

}  // namespace

void scanSourceFile(std::string& header, InterfaceNames& interfaceNames,
                    std::string_view path, std::string_view bytes, HeaderMode mode) {
  appendBanner(header, path);

  LineReader reader(bytes);
  std::string line;         // the current line, normalised, when it is written
  std::string declaration;  // reused by every procedure of the file
  std::string code;         // the declaration without its comments
  bool skipInterface = false;  // inside an interface that is already written
  const std::array<char, 256>& lower = lowerAnsiTable();
  for (std::string_view raw; reader.next(raw);) {
    if (!mayBeWritten(raw, lower)) continue;
    LineKind kind = classify(raw);
    if (kind == LineKind::Other) continue;
    line.assign(raw.substr(raw.find_first_not_of(" \t")));  // cleaning drops them anyway
    normaliseLine(line);
    switch (kind) {
      case LineKind::Procedure:
        writeProcedure(header, line, declaration, code, reader, mode);
        break;
      case LineKind::InterfaceEnd:
        if (skipInterface) {
          skipInterface = false;
        } else {
          header += line;
          header += kLineEnd;
        }
        break;
      case LineKind::InterfaceStart: {
        std::string name = interfaceName(line);
        if (interfaceNames.count(name)) {
          skipInterface = true;
        } else {
          header += kLineEnd;
          header += line;
          header += kLineEnd;
          interfaceNames.insert(std::move(name));
        }
        break;
      }
      default:  // LineKind::Member, as Other lines went on above
        // A skipped member's continuation lines are left to the loop.
        if (skipInterface) break;
        header += "  ";
        header += line;
        header += kLineEnd;
        while (continues(line) && readNormalised(reader, line)) {
          header.append(kMemberIndent, ' ');
          header += line;
          header += kLineEnd;
        }
        break;
    }
  }
  header += kLineEnd;
}

}  // namespace codeloom
