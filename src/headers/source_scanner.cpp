#include "headers/source_scanner.h"

#include <algorithm>
#include <cstring>

#include "headers/conditional_groups.h"
#include "headers/declaration.h"
#include "headers/line_index.h"
#include "headers/line_kinds.h"
#include "headers/project_lines.h"
#include "platform/ansi.h"
#include "platform/byte_masks.h"
#include "platform/text_lines.h"

namespace codeloom {
namespace {

constexpr std::string_view kBannerRule = "'----------------------------------------------------------------------";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kMemberIndent = "                      ";  // a member's continuation lines

// What the next line is, whatever it holds: the rest of a declaration or
// of a member line that ended with "_".
enum class Continuing { Nothing, Declaration, Member };

struct SourceScan {
  HeaderText* header = nullptr;
  HeaderScan* command = nullptr;
  const LineSearch* search = nullptr;
  std::string_view fileName;  // after the path's last "\"
  std::string_view source;    // the path as reports name it
  bool ended = false;     // a 0x1A was met: the rest is not part of the file
  bool afterCr = false;   // the last window ended with a CR: an LF next belongs to it
  bool skipLine = false;  // inside a cut line that fits no rule
  bool cutLine = false;   // inside a cut line kept in `cut`
  std::string cut;
  size_t cutBlanks = 0;  // the blanks `cut` is known to start with
  Continuing continuing = Continuing::Nothing;
  bool skipInterface = false;  // inside an interface that is already written
  std::string held;  // the declaration's lines so far, raw
  std::vector<size_t> heldEnds;
  bool heldMentions = false;  // one of them mentions a marking word
  std::vector<std::string_view> heldLines;
  SectionNotes notes;
  ConditionalGroups groups;  // around the current line, outermost first
  // Where lines are counted (includes followed, or Declares told of): the
  // line ends of the file before `counted` in wholeLines. Most lines need
  // no number: a line's is counted when asked for (placeOfLine).
  bool countsLines = false;
  size_t linesBefore = 0, counted = 0;
  std::string_view wholeLines;  // the window's whole lines, being taken
  size_t lineAt = 0;            // the first non-blank of the line taken in wholeLines
  bool takingCut = false;       // the line taken is `cut`, whose line is linesBefore + 1
  size_t cutColumn = 0;         // where its first non-blank stands, from 1
  size_t procedureLine = 0, procedureColumn = 0;  // of the declaration held or built
};

// Where the code of a raw line ends: at its first "'" outside a string.
size_t codeEnd(std::string_view raw) {
  if (!std::memchr(raw.data(), '\'', raw.size())) return raw.size();
  bool inString = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"') inString = !inString;
    else if (raw[i] == '\'' && !inString) return i;
  }
  return raw.size();
}

// The line's code, blanks after it removed, ends with "_": a comment after
// the "_" leaves the line continued.
bool continues(std::string_view raw) {
  size_t end = codeEnd(raw);
  while (end > 0 && isBlank(raw[end - 1])) --end;
  return end > 0 && raw[end - 1] == '_';
}

// A raw line as the header writes it: tabs become spaces, each run of n
// blanks keeps (n + 1) / 2 spaces, and blanks at the ends go. Written
// through a pointer, as the line never grows.
void appendNormalised(std::string& out, std::string_view raw) {
  size_t i = 0, n = raw.size();
  while (n > 0 && isBlank(raw[n - 1])) --n;
  while (i < n && isBlank(raw[i])) ++i;
  const size_t base = out.size();
  out.resize(base + (n - i));
  char* to = out.data() + base;
  while (i < n) {
    const size_t copied = copyRun<' ', '\t'>(raw.data() + i, n - i, to);
    i += copied;
    to += copied;
    if (i == n) break;
    const size_t run = i;
    while (isBlank(raw[i])) ++i;  // stops before n: the last byte is no blank
    to = std::fill_n(to, (i - run + 1) / 2, ' ');
  }
  out.resize(static_cast<size_t>(to - out.data()));
}

void appendBanner(std::string& header, std::string_view path) {
  std::string_view name = path.substr(path.rfind('\\') + 1);  // npos + 1 == 0
  ((((header += kBannerRule) += kLineEnd) += "' ") += name) += kLineEnd;
  (header += kBannerRule) += kLineEnd;
}

// The lower-cased name of the interface a raw line starts: the word after
// "interface"; for a dispatch interface, "Interface IDBIND name" or
// "Interface DISPATCH name", the one after that.
std::string interfaceName(std::string_view raw) {
  std::string_view words[2];
  size_t at = raw.find_first_of(" \t", raw.find_first_not_of(" \t"));  // after "interface"
  for (std::string_view& word : words) {
    const size_t start = raw.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    at = std::min(raw.find_first_of(" \t", start), raw.size());
    word = raw.substr(start, at - start);
  }
  // IDBIND alone at the line's end is the name.
  const bool dispatch = equalsLowerAnsi(words[0], "idbind") || equalsLowerAnsi(words[0], "dispatch");
  return toLowerAnsi(dispatch && !words[1].empty() ? words[1] : words[0]);
}

// Counts the line ends of text up to `to`, a line's start or its first
// non-blank, so that the line's number is known.
void countLinesTo(SourceScan& scan, std::string_view text, size_t to) {
  if (to <= scan.counted) return;
  scan.linesBefore += countLineEnds(text.substr(scan.counted, to - scan.counted));
  scan.counted = to;
}

// Where the line being taken stands: its number and the column of its
// first non-blank, both from 1.
struct LinePlace {
  size_t line, column;
};
LinePlace placeOfLine(SourceScan& scan) {
  if (scan.takingCut) return {scan.linesBefore + 1, scan.cutColumn};
  countLinesTo(scan, scan.wholeLines, scan.lineAt);
  size_t lineStart = scan.lineAt;  // blanks stand between it and lineAt
  while (lineStart > 0 && scan.wholeLines[lineStart - 1] != '\r' && scan.wholeLines[lineStart - 1] != '\n') --lineStart;
  return {scan.linesBefore + 1, scan.lineAt - lineStart + 1};
}

// The Declare is built at the header's end; group lines still to be
// written go in front of it.
void writeDeclaration(SourceScan& scan, std::span<const std::string_view> lines) {
  const HeaderScan& command = *scan.command;
  std::string& header = scan.header->text;
  const size_t start = header.size();
  DeclarationFacts facts;
  if (!buildDeclaration(lines, {command.mode, command.libraryName, &command.macros}, header, facts)) return;
  std::string groupLines;
  writeOpenGroups(scan.groups, groupLines);
  header.insert(start, groupLines);
  const size_t declareAt = start + groupLines.size();
  if (facts.libraryNameAt != std::string::npos) scan.header->libraryNameAt.push_back(declareAt + facts.libraryNameAt);
  if (command.declared)
    command.declared({scan.source, scan.procedureLine, scan.procedureColumn, facts.exported,
                      std::string_view(header).substr(declareAt)});
}

// Whether a procedure line may be marked: most are by neither word.
bool mayBeMarked(const SourceScan& scan, std::string_view raw) {
  return !scan.command->macros.empty() || mentionsMarkingWord(raw);
}

// A declaration that went on with "_" has ended: its Declare is built, if
// a line mentions a marking word at all.
void finishHeldDeclaration(SourceScan& scan) {
  scan.continuing = Continuing::Nothing;
  if (!scan.heldMentions) return;
  scan.heldLines.clear();
  size_t start = 0;
  for (size_t end : scan.heldEnds) {
    scan.heldLines.push_back(std::string_view(scan.held).substr(start, end - start));
    start = end;
  }
  writeDeclaration(scan, scan.heldLines);
}

// A line of a procedure's declaration: its first, or one it goes on with.
// A declaration of one line is built from the line itself; a longer one is
// held until it ends.
void takeDeclarationLine(SourceScan& scan, std::string_view raw) {
  const bool first = scan.continuing != Continuing::Declaration, goesOn = continues(raw);
  if (first && !goesOn) {
    if (mayBeMarked(scan, raw)) writeDeclaration(scan, {&raw, 1});
    return;
  }
  if (first) {
    scan.held.clear();
    scan.heldEnds.clear();
    scan.heldMentions = false;
    scan.continuing = Continuing::Declaration;
  }
  scan.held += raw;
  scan.heldEnds.push_back(scan.held.size());
  scan.heldMentions = scan.heldMentions || mayBeMarked(scan, raw);
  if (!goesOn) finishHeldDeclaration(scan);
}

void takeGroupLine(SourceScan& scan, std::string_view raw, LineKind kind) {
  std::string line;
  appendNormalised(line, raw);
  line += kLineEnd;
  const IncludeFollowing* following = scan.command->following;
  takeMetastatement(scan.groups, kind, line, following ? &following->equates : nullptr, scan.header->text);
}

// The lines a DLL project's header depends on: a MACRO line that makes a
// name stand for Export or Common; the first #COMPILE DLL line outside
// every #IF group, which names the DLL for the whole command; and, where
// includes are followed, equates, which may decide conditions, and
// #INCLUDE lines, whose file is read at that point.
void takeProjectLine(SourceScan& scan, std::string_view raw, LineKind kind) {
  HeaderScan& command = *scan.command;
  IncludeFollowing* following = command.following;
  if ((kind == LineKind::Equate || kind == LineKind::Include) && !following) return;
  if (kind == LineKind::Compile && (insideKeptGroup(scan.groups) || !command.compiledDll.empty())) return;
  if (kind == LineKind::Equate) {  // read as written: any run of blanks reads as one, and "'" ends the line
    if (insideKeptGroup(scan.groups)) markEquateLineUnknown(raw, following->equates);  // may or may not be compiled
    else applyEquateLine(raw, following->equates);
    return;
  }
  std::string line;
  appendNormalised(line, raw);
  if (kind == LineKind::Macro) {
    if (std::optional<MarkingMacro> macro = parseMarkingMacro(line)) {
      std::string name = toLowerAnsi(macro->name);
      scan.notes.macrosDefined[name] = macro->word;
      command.macros[std::move(name)] = macro->word;
    }
  } else if (kind == LineKind::Compile) {
    if (std::optional<std::string> name = compiledDllName(line, scan.fileName))
      scan.notes.compiledDll = command.compiledDll = std::move(*name);
  } else if (std::optional<IncludeLine> include = parseIncludeLine(line)) {
    following->read(*include, scan.fileName, placeOfLine(scan).line);
  }
}

// A line of an interface as the header writes it, after the group lines
// still to be written.
void writeInterfaceLine(SourceScan& scan, std::string_view indent, std::string_view raw) {
  writeOpenGroups(scan.groups, scan.header->text);
  scan.header->text += indent;
  appendNormalised(scan.header->text, raw);
  scan.header->text += kLineEnd;
}

// A line that continues nothing, of the kind classifyLine found. In a
// branch that is not read, only metastatements count.
void takeLineOfKind(SourceScan& scan, std::string_view raw, LineKind kind) {
  const bool isMetastatement = kind == LineKind::GroupOpen || kind == LineKind::GroupNext || kind == LineKind::GroupClose;
  if (!isMetastatement && !scan.groups.empty() && !isRead(scan.groups)) return;
  switch (kind) {
    case LineKind::Procedure:
      if (scan.command->declared) {
        const LinePlace place = placeOfLine(scan);
        scan.procedureLine = place.line;
        scan.procedureColumn = place.column;
      }
      takeDeclarationLine(scan, raw);
      break;
    case LineKind::InterfaceEnd:
      if (!scan.skipInterface) writeInterfaceLine(scan, "", raw);
      scan.skipInterface = false;
      break;
    case LineKind::InterfaceStart:
      if (std::string name = interfaceName(raw); scan.command->interfaceNames.count(name)) {
        scan.skipInterface = true;
      } else {
        writeInterfaceLine(scan, kLineEnd, raw);
        scan.notes.namesAdded.push_back(name);
        scan.command->interfaceNames.insert(std::move(name));
      }
      break;
    case LineKind::Member:
      // A skipped member's continuation lines are read as lines of their own.
      if (scan.skipInterface) break;
      writeInterfaceLine(scan, "  ", raw);
      if (continues(raw)) scan.continuing = Continuing::Member;
      break;
    case LineKind::GroupOpen:
    case LineKind::GroupNext:
    case LineKind::GroupClose:
      takeGroupLine(scan, raw, kind);
      break;
    case LineKind::Macro:
    case LineKind::Compile:
    case LineKind::Equate:
    case LineKind::Include:
      takeProjectLine(scan, raw, kind);
      break;
    case LineKind::Other:
      break;
  }
}

// One whole line, without its line end.
void takeLine(SourceScan& scan, std::string_view raw) {
  switch (scan.continuing) {
    case Continuing::Declaration:
      takeDeclarationLine(scan, raw);
      return;
    case Continuing::Member:
      writeInterfaceLine(scan, kMemberIndent, raw);
      if (!continues(raw)) scan.continuing = Continuing::Nothing;
      return;
    case Continuing::Nothing:
      takeLineOfKind(scan, raw, classifyLine(raw));
      return;
  }
}

// A line that windows cut, put together.
void takeCutLine(SourceScan& scan, std::string_view line) {
  scan.takingCut = true;
  scan.cutColumn = line.find_first_not_of(" \t") + 1;
  takeLine(scan, line);
  scan.takingCut = false;
}

// The lines of text, which ends with a line end: continuation lines are
// taken whatever they hold, other lines only when the line index finds
// they may fit a rule.
void scanWholeLines(SourceScan& scan, std::string_view text) {
  LineCursor cursor;
  startLineCursor(cursor, text.data(), text.size(), *scan.search);
  scan.counted = 0;
  scan.wholeLines = text;
  for (size_t at = 0; at < text.size();) {
    if (scan.continuing == Continuing::Nothing) at = nextCandidate(cursor, at);
    if (at == text.size()) break;
    size_t end = nextLineEnd(cursor, at);
    scan.lineAt = at;
    takeLine(scan, text.substr(at, end - at));
    at = afterLineEnd(text, end);
  }
  if (scan.countsLines) countLinesTo(scan, text, text.size());
}

// Whether the cut line may yet fit a rule, as the line index would judge it
// once whole.
bool cutMayFitARule(SourceScan& scan) {
  if (scan.continuing != Continuing::Nothing) return true;
  const std::string& cut = scan.cut;
  size_t& p = scan.cutBlanks;
  while (p < cut.size() && isBlank(cut[p])) ++p;
  if (p + 1 >= cut.size()) return true;
  const LineSearch& search = *scan.search;
  if (!search.leadingPairs.matches(cut[p], cut[p + 1])) return false;
  return p + 8 > cut.size() || mayFitARule(search, cut.data() + p);
}

void keepCutLine(SourceScan& scan, std::string_view part) {
  scan.cut += part;
  scan.cutLine = true;
  if (cutMayFitARule(scan)) return;
  scan.cut.clear();
  scan.cutBlanks = 0;
  scan.cutLine = false;
  scan.skipLine = true;
}

void scanWindow(SourceScan& scan, std::string_view bytes) {
  if (scan.ended) return;
  std::string_view text = textBeforeEndOfFile(bytes);
  scan.ended = text.size() < bytes.size();
  size_t at = 0;
  if (scan.afterCr && !text.empty()) {
    scan.afterCr = false;
    at = text[0] == '\n';
  }
  if (scan.skipLine || scan.cutLine) {  // the line the last window cut goes on here
    size_t end = at;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    if (end == text.size()) {
      if (scan.cutLine) keepCutLine(scan, text.substr(at));
      return;
    }
    if (scan.cutLine) {
      scan.cut.append(text.substr(at, end - at));
      std::string line = std::move(scan.cut);
      scan.cut.clear();
      scan.cutBlanks = 0;
      takeCutLine(scan, line);
    }
    scan.skipLine = scan.cutLine = false;
    scan.linesBefore += scan.countsLines;  // its line end
    at = afterLineEnd(text, end);
    if (end + 1 == text.size() && text[end] == '\r') scan.afterCr = true;
  }
  size_t whole = text.size();
  while (whole > at && text[whole - 1] != '\r' && text[whole - 1] != '\n') --whole;
  scanWholeLines(scan, text.substr(at, whole - at));
  if (whole > at && whole == text.size() && text[whole - 1] == '\r') scan.afterCr = true;
  if (whole < text.size()) keepCutLine(scan, text.substr(whole));
}

void endSourceScan(SourceScan& scan) {
  if (scan.cutLine) {  // the last line needs no line end
    takeCutLine(scan, scan.cut);
  }
  if (scan.continuing == Continuing::Declaration) finishHeldDeclaration(scan);
  scan.header->text += kLineEnd;
}

}  // namespace

bool appendSourceSection(HeaderText& header, HeaderScan& command, std::string_view path,
                         const WindowReader& readWindows, const SettledOutput* output, SectionNotes* notes,
                         std::string_view source) {
  SourceScan scan;
  scan.header = &header;
  scan.command = &command;
  scan.fileName = path.substr(path.rfind('\\') + 1);  // npos + 1 == 0
  scan.countsLines = command.following || command.declared;
  scan.search = &productLineSearch(command.following ? IncludesFollowed::Yes : IncludesFollowed::No);
  scan.source = source.empty() ? path : source;
  const MarkingMacros macrosBefore = command.macros;
  const std::string compiledDllBefore = command.compiledDll;
  appendBanner(header.text, path);
  const size_t bannerEnd = header.text.size(), namesBefore = header.libraryNameAt.size();
  bool tookSome = false;
  bool read = readWindows([&](std::string_view window) {
    scanWindow(scan, window);
    if (!output || header.text.size() < output->every) return true;
    tookSome = true;
    bool taken = output->take(header);
    header.clear();
    return taken;
  });
  if (read) {
    endSourceScan(scan);
  } else {
    // The file counts as empty: what it added goes again.
    for (const std::string& name : scan.notes.namesAdded) command.interfaceNames.erase(name);
    command.macros = macrosBefore;
    command.compiledDll = compiledDllBefore;
    scan.notes = {};
    if (!tookSome) {
      header.text.resize(bannerEnd);
      header.libraryNameAt.resize(namesBefore);
    }
    header.text += kLineEnd;  // the section still ends with its empty line
  }
  if (notes) *notes = std::move(scan.notes);
  return read;
}

}  // namespace codeloom
