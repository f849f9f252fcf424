#include "headers/source_scanner.h"

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

// Puts clause (it starts with a space) into a declaration in front of its
// first "(", dropping the spaces before the "(" and leaving one space between
// the clause and it. A declaration without "(" has no parameter list to go
// by; the clause then goes where the parameter list would begin, directly
// after the procedure name on the first line, at noParenAt, which moves past
// the clause so that an Alias follows the Lib inserted before it. That keeps
// PowerBASIC's order: Declare Sub Name Lib "..." Alias "..." [As Type].
void insertClause(std::string& declaration, std::string_view clause, size_t& noParenAt) {
  size_t paren = declaration.find('(');
  if (paren == std::string::npos) {
    declaration.insert(noParenAt, clause);
    noParenAt += clause.size();
    return;
  }
  size_t cut = paren;
  // The declaration starts with "Declare Sub" or "Declare Function": the
  // walk back over spaces stops at a letter at the latest.
  while (declaration[cut - 1] == ' ') --cut;
  declaration.replace(cut, paren - cut, clause);
  declaration.insert(cut + clause.size(), 1, ' ');
}

// A procedure whose first (normalised) line is in line: reads its
// continuation lines and, when it is marked Common or Export, appends its
// Declare statement in the form the mode asks for.
void writeProcedure(std::string& header, std::string& line, std::string& declaration,
                    LineReader& reader, HeaderMode mode) {
  constexpr std::string_view kDeclare = "Declare ";
  // The name follows the keyword and ends at a space or "(". classify saw
  // text after the keyword's space, and cleaning left no space at the end.
  size_t nameStart = line.find_first_not_of(' ', line.find(' '));
  size_t nameEnd = line.find_first_of(" (", nameStart);
  if (nameEnd == std::string::npos) nameEnd = line.size();
  size_t nameAt = kDeclare.size() + nameStart;
  size_t noParenAt = kDeclare.size() + nameEnd;

  declaration.assign(kDeclare);
  declaration += line;
  declaration += kLineEnd;
  while (continues(line) && readNormalised(reader, line)) {
    declaration.append(kDeclarationIndent, ' ');
    declaration += line;
    declaration += kLineEnd;
  }

  bool exported = containsWord(declaration, "export");
  if (!exported && !containsWord(declaration, "common")) return;

  if (mode == HeaderMode::Dll && exported) {
    std::string alias = " Alias \"" +
                        toUpperAnsi(std::string_view(declaration).substr(nameAt, nameEnd - nameStart)) +
                        "\"";
    if (!containsWord(declaration, "lib")) insertClause(declaration, kLibClause, noParenAt);
    if (!containsWord(declaration, "alias")) insertClause(declaration, alias, noParenAt);
  }
  halveSpaces(declaration);
  if (mode != HeaderMode::Compile) removeWord(declaration, "export");
  if (mode == HeaderMode::Dll) removeWord(declaration, "common");
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
        writeProcedure(header, line, declaration, reader, mode);
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
