#include "headers/source_scanner.h"

#include <algorithm>
#include <cstring>

#include "headers/line_helpers.h"
#include "headers/line_index.h"
#include "platform/ansi.h"

namespace codeloom {
namespace {

constexpr std::string_view kBannerRule =
    "'----------------------------------------------------------------------";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDeclare = "Declare ";
constexpr std::string_view kLibClause = " Lib \"export.dll\"";
constexpr size_t kDeclarationIndent = 20;  // halved to 10 with the declaration
constexpr size_t kMemberIndent = 22;

// Unknown: the text ends (a line cut by a window's end) before its kind is.
enum class LineKind { Other, Procedure, InterfaceEnd, InterfaceStart, Member, Unknown };

// What a line is, by its first words; the first entry that fits decides. A
// line fits when its first word is `first` (ignoring case) followed by blanks;
// then, when `second` is empty, by more text; else the blanks are one or two
// (they normalise to one space) and the text goes on with `second`, and when
// `whole`, with blanks and more text after it.
struct Keyword {
  std::string_view first, second;
  bool whole;
  LineKind kind;
};
constexpr Keyword kKeywords[] = {
    {"function", "=", false, LineKind::Other},  // assigns the function's result
    {"function", "", false, LineKind::Procedure},
    {"sub", "", false, LineKind::Procedure},
    {"end", "interface", false, LineKind::InterfaceEnd},
    {"interface", "", false, LineKind::InterfaceStart},
    {"property", "get", true, LineKind::Member},
    {"property", "set", true, LineKind::Member},
    {"inherit", "", false, LineKind::Member},
    {"method", "=", false, LineKind::Other},  // assigns the method's result
    {"method", "", false, LineKind::Member},
};

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Classifies a raw line (without its line end), reading its first words
// once. cut: the line goes on past raw, so a kind that depends on what
// follows is Unknown.
LineKind classifyLine(std::string_view raw, bool cut = false) {
  const auto& lower = lowerAnsiTable();
  const size_t n = raw.size();
  auto blanksFrom = [&](size_t i) {
    while (i < n && isBlank(raw[i])) ++i;
    return i;
  };
  auto wordEnd = [&](size_t i) {
    while (i < n && !isBlank(raw[i])) ++i;
    return i;
  };
  auto is = [&](size_t at, std::string_view word) {
    for (size_t k = 0; k < word.size(); ++k)
      if (lower[static_cast<unsigned char>(raw[at + k])] != word[k]) return false;
    return true;
  };
  const size_t start = blanksFrom(0), end = wordEnd(start);
  if (end == n && cut) return LineKind::Unknown;
  const size_t next = blanksFrom(end);  // after the first word's blanks, if any
  for (const Keyword& k : kKeywords) {
    if (end - start != k.first.size() || !is(start, k.first)) continue;
    if (next == n) {
      if (cut) return LineKind::Unknown;
      continue;
    }
    if (k.second.empty()) return k.kind;
    if (next - end > 2) continue;
    if (n - next < k.second.size()) {
      // The text ends inside second: known when what is there already differs.
      if (cut && is(next, k.second.substr(0, n - next))) return LineKind::Unknown;
      continue;
    }
    if (!is(next, k.second)) continue;
    if (!k.whole) return k.kind;
    size_t after = next + k.second.size();
    size_t more = blanksFrom(after);
    if (more == n && cut) return LineKind::Unknown;
    if (more != after && more != n) return k.kind;
  }
  return LineKind::Other;
}

bool continues(const std::string& line) { return !line.empty() && line.back() == '_'; }

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

// halveSpaces on the declaration, with code cut in step; at, a position of
// a non-space, moves with its byte.
void halveSpacesAlong(std::string& declaration, std::string& code, size_t* at = nullptr) {
  size_t out = 0;
  for (size_t in = 0; in < declaration.size(); ++in, ++out) {
    if (at && *at == in) *at = out;
    declaration[out] = declaration[in];
    code[out] = code[in];
    if (declaration[in] == ' ' && in + 1 < declaration.size() && declaration[in + 1] == ' ') ++in;
  }
  declaration.resize(out);
  code.resize(out);
}

// removeWord on the code, with the same bytes taken out of the declaration;
// at is where findWord finds the word, or npos.
void removeCodeWord(std::string& declaration, std::string& code, std::string_view word, size_t at) {
  if (at == std::string::npos || at == 0) return;  // as removeWord decides
  declaration.erase(at - 1, word.size() + 1);
  code.erase(at - 1, word.size() + 1);
}

void removeCodeWord(std::string& declaration, std::string& code, std::string_view word) {
  removeCodeWord(declaration, code, word, findWord(code, word));
}

// Where findWord finds each of the four words of a declaration, found in
// one pass over its code.
struct Keywords {
  size_t exportAt = std::string::npos, commonAt = std::string::npos, libAt = std::string::npos,
         aliasAt = std::string::npos;
};

Keywords findKeywords(std::string_view code) {
  const auto& lower = lowerAnsiTable();
  auto isDelimiter = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  auto is = [&](size_t at, std::string_view word) {
    for (size_t k = 0; k < word.size(); ++k)
      if (lower[static_cast<unsigned char>(code[at + k])] != word[k]) return false;
    return true;
  };
  auto note = [](size_t& slot, size_t at) {
    if (slot == std::string::npos) slot = at;
  };
  Keywords found;
  for (size_t i = 0; i < code.size();) {
    while (i < code.size() && isDelimiter(code[i])) ++i;
    size_t start = i;
    while (i < code.size() && !isDelimiter(code[i])) ++i;
    switch (i - start) {
      case 3: if (is(start, "lib")) note(found.libAt, start); break;
      case 5: if (is(start, "alias")) note(found.aliasAt, start); break;
      case 6:
        if (is(start, "export")) note(found.exportAt, start);
        else if (is(start, "common")) note(found.commonAt, start);
        break;
      default: break;
    }
  }
  return found;
}

// The first line of a procedure, normalised, is in scan.line.
void startDeclaration(SourceScan& scan) {
  const std::string& line = scan.line;
  // The name follows the keyword and ends at a space, "(" or a comment.
  // classifyLine saw text after the keyword's space, and cleaning left no
  // space at the end.
  size_t nameStart = line.find_first_not_of(' ', line.find(' '));
  size_t nameEnd = std::min(line.find_first_of(" (", nameStart), codeEnd(line));
  nameEnd = std::max(nameEnd, nameStart);
  scan.nameAt = kDeclare.size() + nameStart;
  scan.nameSize = nameEnd - nameStart;
  scan.noParenAt = kDeclare.size() + nameEnd;
  scan.declaration.assign(kDeclare);
  scan.declaration += line;
  scan.declaration += kLineEnd;
  scan.code.assign(kDeclare);
  appendCode(scan.code, line);
  scan.code += kLineEnd;
}

void continueDeclaration(SourceScan& scan) {
  scan.declaration.append(kDeclarationIndent, ' ');
  scan.declaration += scan.line;
  scan.declaration += kLineEnd;
  scan.code.append(kDeclarationIndent, ' ');
  appendCode(scan.code, scan.line);
  scan.code += kLineEnd;
}

// The declaration is complete: when its code is marked Common or Export, it
// is written in the form the mode asks for.
void finishDeclaration(SourceScan& scan) {
  std::string& declaration = scan.declaration;
  std::string& code = scan.code;
  Keywords words = findKeywords(code);
  bool exported = words.exportAt != std::string::npos;
  if (!exported && words.commonAt == std::string::npos) return;
  if (scan.mode == HeaderMode::Dll && exported) {
    std::string alias =
        " Alias \"" + toUpperAnsi(std::string_view(declaration).substr(scan.nameAt, scan.nameSize)) + "\"";
    bool hasAlias = words.aliasAt != std::string::npos;
    if (words.libAt == std::string::npos) {
      insertClause(declaration, code, kLibClause, scan.noParenAt);
      // The clause may turn the name before a "(" into a word of its own.
      hasAlias = containsWord(code, "alias");
    }
    if (!hasAlias) insertClause(declaration, code, alias, scan.noParenAt);
    halveSpacesAlong(declaration, code);
    removeCodeWord(declaration, code, "export");
    removeCodeWord(declaration, code, "common");
  } else {
    // Nothing inserted: halving moves the words with their bytes, and at
    // most one of them goes (Export in SLL headers, Common in DLL ones).
    size_t at = std::string::npos;
    std::string_view word;
    if (scan.mode == HeaderMode::Sll) at = words.exportAt, word = "export";
    if (scan.mode == HeaderMode::Dll) at = words.commonAt, word = "common";
    halveSpacesAlong(declaration, code, at == std::string::npos ? nullptr : &at);
    removeCodeWord(declaration, code, word, at);
  }
  *scan.header += declaration;
}

// The lower-cased name of the interface that line starts: the first word
// after "interface ". As classifyLine found that space and cleaning left
// none at the end of the line, a word follows.
std::string interfaceName(std::string_view line) {
  std::string_view rest = line.substr(std::string_view("interface ").size());
  rest = rest.substr(rest.find_first_not_of(' '));
  return toLowerAnsi(rest.substr(0, rest.find(' ')));
}

void normaliseInto(std::string& line, std::string_view raw) {
  line.assign(raw);
  normaliseLine(line);
}

// One whole line (raw, without its line end): a continuation line of what
// came before, or a line to classify.
void takeLine(SourceScan& scan, std::string_view raw) {
  std::string& header = *scan.header;
  switch (scan.continuing) {
    case Continuing::Declaration:
      normaliseInto(scan.line, raw);
      continueDeclaration(scan);
      if (!continues(scan.line)) {
        finishDeclaration(scan);
        scan.continuing = Continuing::Nothing;
      }
      return;
    case Continuing::Member:
      normaliseInto(scan.line, raw);
      header.append(kMemberIndent, ' ');
      header += scan.line;
      header += kLineEnd;
      if (!continues(scan.line)) scan.continuing = Continuing::Nothing;
      return;
    case Continuing::Nothing:
      break;
  }
  LineKind kind = classifyLine(raw);
  if (kind == LineKind::Other) return;
  normaliseInto(scan.line, raw);
  switch (kind) {
    case LineKind::Procedure:
      startDeclaration(scan);
      if (continues(scan.line)) scan.continuing = Continuing::Declaration;
      else finishDeclaration(scan);
      break;
    case LineKind::InterfaceEnd:
      if (scan.skipInterface) {
        scan.skipInterface = false;
      } else {
        header += scan.line;
        header += kLineEnd;
      }
      break;
    case LineKind::InterfaceStart: {
      std::string name = interfaceName(scan.line);
      if (scan.interfaceNames->count(name)) {
        scan.skipInterface = true;
      } else {
        header += kLineEnd;
        header += scan.line;
        header += kLineEnd;
        scan.namesAdded.push_back(name);
        scan.interfaceNames->insert(std::move(name));
      }
      break;
    }
    default:  // LineKind::Member
      // A skipped member's continuation lines are read as lines of their own.
      if (scan.skipInterface) break;
      header += "  ";
      header += scan.line;
      header += kLineEnd;
      if (continues(scan.line)) scan.continuing = Continuing::Member;
      break;
  }
}

// Where the line after the CR at cr starts, noting a CR that ends the piece.
size_t afterLineEnd(SourceScan& scan, std::string_view bytes, size_t cr) {
  if (cr + 1 == bytes.size()) {
    scan.afterCr = true;
    return cr + 1;
  }
  return cr + 1 + (bytes[cr + 1] == '\n');
}

// A line that the piece's end cuts off: kept while it may be written, else
// passed over up to its end in a later piece. Its kind is looked for in its
// first bytes only, so that a long cut line costs no repeated work; a line
// still open after them (a keyword and a long run of blanks) is kept whole.
void keepCutLine(SourceScan& scan, std::string_view rest) {
  constexpr size_t kLookedAt = 256;
  bool looked = scan.cut.size() >= kLookedAt;
  scan.cut.append(rest);
  scan.cutLine = true;
  if (scan.continuing == Continuing::Nothing && !looked &&
      classifyLine(scan.cut, true) == LineKind::Other) {
    scan.cut.clear();
    scan.cutLine = false;
    scan.skipLine = true;
  }
}

}  // namespace

void beginSourceScan(SourceScan& scan, std::string& header, InterfaceNames& interfaceNames,
                     std::string_view path, HeaderMode mode) {
  std::string line = std::move(scan.line), declaration = std::move(scan.declaration),
              code = std::move(scan.code), cut = std::move(scan.cut);
  scan = SourceScan{};
  // The buffers keep their room from file to file.
  scan.line = std::move(line);
  scan.declaration = std::move(declaration);
  scan.code = std::move(code);
  scan.cut = std::move(cut);
  scan.cut.clear();
  scan.header = &header;
  scan.interfaceNames = &interfaceNames;
  scan.mode = mode;
  appendBanner(header, path);
}

void scanSourceBytes(SourceScan& scan, std::string_view bytes) {
  if (scan.ended || bytes.empty()) return;
  if (const void* eof = std::memchr(bytes.data(), '\x1A', bytes.size())) {
    bytes = bytes.substr(0, static_cast<size_t>(static_cast<const char*>(eof) - bytes.data()));
    scan.ended = true;
    if (bytes.empty()) return;
  }
  size_t at = 0;
  if (scan.afterCr && !bytes.empty()) {
    scan.afterCr = false;
    at = bytes[0] == '\n';
  }
  LineCursor cursor;
  startLineCursor(cursor, bytes.data(), bytes.size());
  if (scan.skipLine || scan.cutLine) {
    size_t cr = nextCr(cursor, at);
    if (cr == bytes.size()) {
      if (scan.cutLine) keepCutLine(scan, bytes.substr(at));
      return;
    }
    if (scan.cutLine) {
      scan.cut.append(bytes.substr(at, cr - at));
      takeLine(scan, scan.cut);
      scan.cut.clear();
    }
    scan.skipLine = scan.cutLine = false;
    at = afterLineEnd(scan, bytes, cr);
  }
  while (at < bytes.size()) {
    // Continuation lines are taken whatever they hold; other lines only
    // when the index finds they may be written.
    size_t start = at;
    if (scan.continuing == Continuing::Nothing) {
      start = nextCandidate(cursor, at);
      if (start == bytes.size()) {
        // The piece may end inside a line, which the index found is not written.
        char last = bytes.back();
        if (last == '\r') scan.afterCr = true;
        else if (!(last == '\n' && bytes.size() >= 2 && bytes[bytes.size() - 2] == '\r'))
          scan.skipLine = true;
        return;
      }
    }
    size_t cr = nextCr(cursor, start);
    if (cr == bytes.size()) {
      keepCutLine(scan, bytes.substr(start));
      return;
    }
    takeLine(scan, bytes.substr(start, cr - start));
    at = afterLineEnd(scan, bytes, cr);
  }
}

void endSourceScan(SourceScan& scan) {
  if (scan.cutLine) takeLine(scan, scan.cut);  // the last line needs no line end
  if (scan.continuing == Continuing::Declaration) finishDeclaration(scan);
  scan.cut.clear();
  scan.cutLine = scan.skipLine = false;
  *scan.header += kLineEnd;
}

void abandonSourceScan(SourceScan& scan) {
  for (const std::string& name : scan.namesAdded) scan.interfaceNames->erase(name);
  scan.namesAdded.clear();
}

void scanSourceFile(std::string& header, InterfaceNames& interfaceNames,
                    std::string_view path, std::string_view bytes, HeaderMode mode) {
  SourceScan scan;
  beginSourceScan(scan, header, interfaceNames, path, mode);
  scanSourceBytes(scan, bytes);
  endSourceScan(scan);
}

}  // namespace codeloom
