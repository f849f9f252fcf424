#include "headers/source_scanner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "headers/line_index.h"
#include "headers/line_kinds.h"
#include "platform/ansi.h"
#include "platform/text_lines.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codeloom {
namespace {

// A file is scanned as its bytes arrive in pieces of any size. The section
// is appended to the header as it is found; a declaration is written
// straight into it and taken out again when it turns out not to be marked.
enum class Continuing { Nothing, Declaration, Member };

// The declaration being written, as the header holds it from `start` on:
// where its name, its first "(" and the first of each keyword stand,
// counted from start, so that the header's settled bytes can be printed and
// dropped while the declaration is still open.
enum DeclarationWord { kExport, kCommon, kLib, kAlias, kNoWord };
struct OpenDeclaration {
  size_t start = 0;
  size_t nameAt = 0, nameSize = 0;
  size_t parenAt = std::string::npos;  // the first "(" of the code, if any
  size_t cutAt = 0;                 // the spaces before that "(" start here
  size_t prefixAt = 0;              // the text from here to that "(" is a word of its own
  DeclarationWord prefix = kNoWord;  // once a clause goes in front of the "("
  size_t wordAt[4] = {std::string::npos, std::string::npos, std::string::npos, std::string::npos};
  bool continues = false;           // its last line's code ends with "_"
};

// An #IF group still open: its metastatement lines not yet written. They
// are written once something else is written inside the group, and dropped
// with the group when nothing is.
struct ConditionalGroup {
  std::string pendingLines;  // each with its CR LF
};

struct SourceScan {
  std::string* header = nullptr;
  InterfaceNames* interfaceNames = nullptr;
  HeaderMode mode = HeaderMode::Compile;
  bool ended = false;          // a 0x1A was met: the rest is not part of the file
  bool afterCr = false;        // the last byte was a CR: an LF next belongs to it
  bool skipLine = false;       // inside a line that is not written
  bool cutLine = false;        // inside a line whose start is in cut
  bool skipInterface = false;  // inside an interface that is already written
  Continuing continuing = Continuing::Nothing;
  std::string cut;  // the start of a line that a piece's end cut off
  std::string libClause;  // " Lib \"export.dll\""
  OpenDeclaration declaration;
  // A declaration that goes on over lines of the current window is only
  // looked at until it ends: most are marked neither Common nor Export, and
  // copying one only to take it out again cost more than the rest of the
  // scan. Its lines are copied once a line mentions a marking word and the
  // declaration ends, or when the window ends first.
  std::vector<std::string_view> heldLines;  // into the window, while held
  bool holdsDeclaration = false;
  bool heldMention = false;  // a held line mentions "export" or "common"
  std::vector<std::string> namesAdded;  // to interfaceNames by this file
  std::vector<ConditionalGroup> groups;  // outermost first
  size_t writtenGroups = 0;  // the outer groups whose lines are written: all but a suffix
};

constexpr std::string_view kBannerRule =
    "'----------------------------------------------------------------------";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDeclare = "Declare ";
constexpr size_t kDeclarationIndent = 20;  // halved to 10 with the declaration
constexpr size_t kMemberIndent = 22;

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Where the code of a raw line ends: at its first "'" outside a string (a
// comment runs from there to the line's end), else at the line's end.
size_t codeEnd(std::string_view raw) {
  if (!std::memchr(raw.data(), '\'', raw.size())) return raw.size();
  bool inString = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"') inString = !inString;
    else if (raw[i] == '\'' && !inString) return i;
  }
  return raw.size();
}

// True when the line's code, blanks after it removed, ends with "_": a
// comment after the "_" leaves the line continued.
bool continues(std::string_view raw) {
  size_t end = codeEnd(raw);
  while (end > 0 && isBlank(raw[end - 1])) --end;
  return end > 0 && raw[end - 1] == '_';
}

// Whether folding by bit 5 finds every place "export", "common", "lib" or
// "alias" may start, by their first two letters: the marking-word search
// and the declaration word test rely on it.
bool wordLettersFold() {
  static const bool fold = foldsByBit5(lowerAnsiTable(), "excola");
  return fold;
}

// Whether "export" or "common" stands anywhere in the line, in any case:
// true for every line whose code has either as a word, and for some more.
bool mentionsMarkingWord(std::string_view raw) {
  const auto& lower = lowerAnsiTable();
  auto matches = [&](size_t at, std::string_view word) {
    for (size_t k = 0; k < word.size(); ++k)
      if (lower[static_cast<unsigned char>(raw[at + k])] != word[k]) return false;
    return true;
  };
  size_t i = 0;
#if defined(__SSE2__)
  // Sixteen places at a time, each looked at further only when it starts
  // "ex" or "co"; the last sixteen end with the line, overlapping the ones
  // before, so that no place is left to a byte loop.
  if (wordLettersFold() && raw.size() >= 17) {
    const __m128i fold = _mm_set1_epi8(0x20);
    auto is = [](__m128i x, char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
    auto mentionFrom = [&](size_t from) {
      __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(raw.data() + from)), fold);
      __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(raw.data() + from + 1)), fold);
      unsigned starts = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_or_si128(_mm_and_si128(is(a, 'e'), is(b, 'x')), _mm_and_si128(is(a, 'c'), is(b, 'o')))));
      for (; starts; starts &= starts - 1) {
        size_t at = from + static_cast<size_t>(__builtin_ctz(starts));
        if (at + 6 <= raw.size() && (matches(at, "export") || matches(at, "common"))) return true;
      }
      return false;
    };
    for (; i + 17 <= raw.size(); i += 16)
      if (mentionFrom(i)) return true;
    return i < raw.size() && mentionFrom(raw.size() - 17);
  }
#endif
  for (; i + 6 <= raw.size(); ++i) {
    char c = lower[static_cast<unsigned char>(raw[i])];
    if ((c == 'e' && matches(i, "export")) || (c == 'c' && matches(i, "common"))) return true;
  }
  return false;
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

// A declaration is normalised line by line and then has its runs of spaces
// halved once more: n blanks in a row end up as this many spaces.
inline size_t declarationSpaces(size_t blanks) { return ((blanks + 1) / 2 + 1) / 2; }

inline DeclarationWord declarationWord(const char* text, size_t size) {
  // Most words are none: told by their length and first letter alone.
  static constexpr char kFirst[7] = {0, 0, 0, 'l', 0, 'a', 0};
  if (size > 6 || (size != 6 && kFirst[size] == 0)) return kNoWord;
  const char first = static_cast<char>(text[0] | 0x20);
  if (wordLettersFold() && (size == 6 ? first != 'e' && first != 'c' : first != kFirst[size])) return kNoWord;
  const auto& lower = lowerAnsiTable();
  auto is = [&](std::string_view word) {
    for (size_t k = 0; k < word.size(); ++k)
      if (lower[static_cast<unsigned char>(text[k])] != word[k]) return false;
    return true;
  };
  switch (size) {
    case 3: return is("lib") ? kLib : kNoWord;
    case 5: return is("alias") ? kAlias : kNoWord;
    case 6: return is("export") ? kExport : is("common") ? kCommon : kNoWord;
    default: return kNoWord;
  }
}

// Bytes a declaration line is copied over in runs: all but blanks and the
// bytes the word search looks at (a quote, an apostrophe and "(").
constexpr std::array<bool, 256> kPlainByte = [] {
  std::array<bool, 256> plain{};
  plain.fill(true);
  for (unsigned char c : {' ', '\t', '"', '\'', '('}) plain[c] = false;
  return plain;
}();

// How many bytes past a run copyRun may write.
constexpr size_t kRunSlack = 16;

// Copies the bytes at the start of from[0, size) up to the first blank,
// or, with declarationStops, the first byte that is not kPlainByte, to
// `to` and returns how many there were. Sixteen bytes are copied and looked
// at together, so up to kRunSlack bytes after the run in `to` may be
// overwritten.
template <bool declarationStops>
inline size_t copyRun(const char* from, size_t size, char* to) {
  size_t done = 0;
#if defined(__SSE2__)
  for (; done + 16 <= size; done += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + done));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + done), x);
    __m128i stops = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(x, _mm_set1_epi8('\t')));
    if (declarationStops) {
      stops = _mm_or_si128(
          stops, _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('"')), _mm_cmpeq_epi8(x, _mm_set1_epi8('\''))),
                              _mm_cmpeq_epi8(x, _mm_set1_epi8('('))));
    }
    if (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(stops)))
      return done + static_cast<size_t>(__builtin_ctz(mask));
  }
#endif
  for (; done < size; ++done) {
    char c = from[done];
    if (declarationStops ? !kPlainByte[static_cast<unsigned char>(c)] : isBlank(c)) break;
    to[done] = c;
  }
  return done;
}

// Appends a raw line normalised: blanks at its ends go, and each run of n
// blanks inside it becomes (n + 1) / 2 spaces. It is written in place, as
// no byte of it grows.
void appendNormalised(std::string& out, std::string_view raw) {
  size_t i = 0, n = raw.size();
  while (n > 0 && isBlank(raw[n - 1])) --n;
  while (i < n && isBlank(raw[i])) ++i;
  const size_t base = out.size();
  out.resize(base + (n - i) + kRunSlack);
  char* const begin = out.data();
  char* w = begin + base;
  while (i < n) {
    size_t run = copyRun<false>(raw.data() + i, n - i, w);
    i += run;
    w += run;
    if (i == n) break;
    if (!isBlank(raw[i + 1])) {  // one blank: one space
      ++i;
      *w++ = ' ';
      continue;
    }
    size_t blanks = i;
    while (isBlank(raw[i])) ++i;  // stops before n: the last byte is no blank
    size_t spaces = (i - blanks + 1) / 2;
    std::memset(w, ' ', spaces);
    w += spaces;
  }
  out.resize(static_cast<size_t>(w - begin));
}

// Appends one raw line of a declaration to the header in its written form,
// normalised and halved, noting on the way the first of each keyword in its
// code and the first "(" outside a string. The code of a line is what
// precedes a comment's "'" outside a string; in it, words are what stands
// between blanks, the line's ends and that "'".
void appendDeclarationLine(SourceScan& scan, std::string_view raw, bool firstLine) {
  std::string& out = *scan.header;
  OpenDeclaration& d = scan.declaration;
  size_t i = 0, n = raw.size();
  while (n > 0 && isBlank(raw[n - 1])) --n;
  while (i < n && isBlank(raw[i])) ++i;
  if (firstLine) {
    d = OpenDeclaration{};
    d.start = out.size();
    out += kDeclare;
    // The name follows the keyword and its blanks (classifyLine found both,
    // and text after them); it ends at a blank, "(" or a comment.
    size_t keyword = i;
    while (!isBlank(raw[keyword])) ++keyword;
    size_t name = keyword;
    while (isBlank(raw[name])) ++name;
    size_t nameEnd = name;
    for (bool inString = false; nameEnd < n; ++nameEnd) {
      char c = raw[nameEnd];
      if (isBlank(c) || c == '(' || (c == '\'' && !inString)) break;
      if (c == '"') inString = !inString;
    }
    d.nameAt = kDeclare.size() + (keyword - i) + declarationSpaces(name - keyword);
    d.nameSize = nameEnd - name;
  } else {
    out.append((kDeclarationIndent + 1) / 2, ' ');  // halved, not normalised
  }
  size_t codeStop = n;  // where a comment starts, if one does
  bool inCode = true, inString = false;
  // The line is written in place through w: no byte of it grows, as a run
  // of blanks becomes fewer spaces. The header is cut to what was written.
  const size_t base = out.size();
  out.resize(base + (n - i) + kRunSlack);
  char* const begin = out.data();
  char* w = begin + base;
  auto written = [&] { return static_cast<size_t>(w - begin); };
  size_t wordStart = base;
  auto endWord = [&] {
    DeclarationWord word = declarationWord(begin + wordStart, written() - wordStart);
    if (word != kNoWord && d.wordAt[word] == std::string::npos) d.wordAt[word] = wordStart - d.start;
  };
  while (i < n) {
    size_t run = copyRun<true>(raw.data() + i, n - i, w);
    i += run;
    w += run;
    if (i == n) break;
    char c = raw[i];
    if (isBlank(c)) {
      if (inCode) endWord();
      if (!isBlank(raw[i + 1])) {  // most often one blank: one space
        ++i;
        *w++ = ' ';
      } else {
        size_t blanks = i;
        while (isBlank(raw[i])) ++i;  // stops before n: the last byte is no blank
        size_t spaces = declarationSpaces(i - blanks);
        std::memset(w, ' ', spaces);
        w += spaces;
      }
      wordStart = written();
      continue;
    }
    ++i;
    if (inCode) {
      if (c == '"') {
        inString = !inString;
      } else if (c == '\'' && !inString) {
        endWord();
        inCode = false;
        codeStop = i - 1;
      } else if (c == '(' && !inString && d.parenAt == std::string::npos) {
        size_t cut = written();
        while (begin[cut - 1] == ' ') --cut;  // "Declare" stops it at the latest
        d.parenAt = written() - d.start;
        d.cutAt = cut - d.start;
        d.prefixAt = wordStart - d.start;
        d.prefix = declarationWord(begin + wordStart, written() - wordStart);
      }
    }
    *w++ = c;
  }
  if (inCode) endWord();
  out.resize(written());
  out += kLineEnd;
  // The same test as continues(), from what the copy found.
  while (codeStop > 0 && isBlank(raw[codeStop - 1])) --codeStop;
  d.continues = codeStop > 0 && raw[codeStop - 1] == '_';
}

// Something is written at header position `at` (its end, or the start of
// a declaration just kept): the lines of the #IF groups around it that are
// not written yet go in front of it, outer group first.
void writeOpenGroups(SourceScan& scan, size_t at) {
  if (scan.writtenGroups == scan.groups.size()) return;
  std::string lines;
  for (size_t k = scan.writtenGroups; k < scan.groups.size(); ++k) {
    lines += scan.groups[k].pendingLines;
    scan.groups[k].pendingLines.clear();
  }
  scan.header->insert(at, lines);
  scan.writtenGroups = scan.groups.size();
}

// A metastatement line: #IF opens a group and holds its line until
// something is written inside; #ELSEIF and #ELSE are written at once when
// something was, else held with it; #ENDIF is written when something was,
// else drops the group's lines; then the group closes. Unmatched ones do
// nothing.
void takeGroupLine(SourceScan& scan, std::string_view raw, LineKind kind) {
  std::string line;
  appendNormalised(line, raw);
  line += kLineEnd;
  if (kind == LineKind::GroupOpen) {
    scan.groups.push_back({std::move(line)});
    return;
  }
  if (scan.groups.empty()) return;
  bool written = scan.writtenGroups == scan.groups.size();
  if (written) *scan.header += line;
  else if (kind == LineKind::GroupNext) scan.groups.back().pendingLines += line;
  if (kind == LineKind::GroupClose) {
    scan.groups.pop_back();
    if (written) --scan.writtenGroups;
  }
}

// The declaration is complete: when its code is marked Common or Export, it
// stays in the header in the form the mode asks for, else it is taken out.
void finishDeclaration(SourceScan& scan) {
  std::string& out = *scan.header;
  OpenDeclaration& d = scan.declaration;
  constexpr size_t npos = std::string::npos;
  size_t exportAt = d.wordAt[kExport], commonAt = d.wordAt[kCommon];
  if (exportAt == npos && commonAt == npos) {
    out.resize(d.start);
    return;
  }
  // At most one clause edit, and two words that go with the delimiter in
  // front of them.
  size_t editAt = npos, editSize = 0;
  std::string clauses;
  if (scan.mode == HeaderMode::Sll) commonAt = npos;
  if (scan.mode == HeaderMode::Compile) exportAt = commonAt = npos;
  if (scan.mode == HeaderMode::Dll && exportAt != npos && d.wordAt[kLib] == npos &&
      d.wordAt[kAlias] != npos) {
    // DECLARE takes Lib before Alias: the Lib clause goes in front of the
    // Alias word, which loses the spaces before it (on a continuation line,
    // its indentation).
    size_t aliasAt = d.wordAt[kAlias], cut = aliasAt;
    while (out[d.start + cut - 1] == ' ') --cut;  // "Declare" stops it at the latest
    editAt = cut;
    editSize = aliasAt - cut;
    clauses = scan.libClause;
    clauses += ' ';
  } else if (scan.mode == HeaderMode::Dll && exportAt != npos) {
    bool hasAlias = d.wordAt[kAlias] != npos;
    if (d.wordAt[kLib] == npos) {
      clauses += scan.libClause;
      // A clause in front of the "(" makes the text before it a word.
      hasAlias = hasAlias || (d.parenAt != npos && d.prefix == kAlias);
    }
    if (!hasAlias) {
      clauses += " Alias \"";
      clauses += toUpperAnsi(std::string_view(out).substr(d.start + d.nameAt, d.nameSize));
      clauses += '"';
    }
    if (clauses.empty()) {
      // Both clauses are there already.
    } else if (d.parenAt != npos) {
      // The spaces in front of the "(" give way to the clauses and one space.
      editAt = d.cutAt;
      editSize = d.parenAt - d.cutAt;
      clauses += ' ';
      if (d.prefix == kExport) exportAt = std::min(exportAt, d.prefixAt);
      if (d.prefix == kCommon) commonAt = std::min(commonAt, d.prefixAt);
    } else {
      // No parameter list: the clauses go where it would begin, after the
      // name. (The name is empty only before a "(" or a comment, and a
      // comment right after the keyword leaves nothing marked.)
      editAt = d.nameAt + d.nameSize;
    }
  }
  // Applied from the back, so that the positions in front stay valid.
  struct Edit {
    size_t at, size;
    std::string_view with;
  };
  Edit edits[3];
  size_t count = 0;
  constexpr size_t kDropped = 1 + std::string_view("export").size();  // "common" as long
  if (exportAt != npos) edits[count++] = {exportAt - 1, kDropped, {}};
  if (commonAt != npos) edits[count++] = {commonAt - 1, kDropped, {}};
  if (editAt != npos) edits[count++] = {editAt, editSize, clauses};
  // Three at most: a plain insertion sort, from the back to the front.
  for (size_t k = 1; k < count; ++k)
    for (size_t j = k; j > 0 && edits[j - 1].at < edits[j].at; --j) std::swap(edits[j - 1], edits[j]);
  for (size_t k = 0; k < count; ++k) out.replace(d.start + edits[k].at, edits[k].size, edits[k].with);
  writeOpenGroups(scan, d.start);
}

// The lower-cased name of the interface a raw line starts: the first word
// after "interface" and its blanks, which classifyLine found; for a
// dispatch interface, "Interface IDBIND name", the word after IDBIND.
std::string interfaceName(std::string_view raw) {
  size_t at = 0;
  while (isBlank(raw[at])) ++at;
  at += std::string_view("interface").size();
  auto wordFrom = [&raw](size_t& from) {
    while (from < raw.size() && isBlank(raw[from])) ++from;
    size_t end = from;
    while (end < raw.size() && !isBlank(raw[end])) ++end;
    return raw.substr(from, end - from);
  };
  std::string_view name = wordFrom(at);
  at += name.size();
  if (toLowerAnsi(name) == "idbind") {
    std::string_view next = wordFrom(at);
    if (!next.empty()) name = next;  // IDBIND alone at the line's end is the name
  }
  return toLowerAnsi(name);
}

void takeLineOfKind(SourceScan& scan, std::string_view raw, LineKind kind, bool inWindow);

// Copies the held lines of a declaration into the header, which from then
// on takes its lines as they come.
void copyHeldDeclaration(SourceScan& scan) {
  for (size_t k = 0; k < scan.heldLines.size(); ++k) appendDeclarationLine(scan, scan.heldLines[k], k == 0);
  scan.heldLines.clear();
  scan.holdsDeclaration = false;
}

// One whole line (raw, without its line end): a continuation line of what
// came before, or a line to classify. inWindow: raw lies in the window
// being scanned, not in the cut line kept from the one before.
void takeLine(SourceScan& scan, std::string_view raw, bool inWindow) {
  std::string& header = *scan.header;
  switch (scan.continuing) {
    case Continuing::Declaration:
      if (scan.holdsDeclaration) {
        scan.heldLines.push_back(raw);
        scan.heldMention = scan.heldMention || mentionsMarkingWord(raw);
        if (continues(raw)) return;
        scan.continuing = Continuing::Nothing;
        if (!scan.heldMention) {  // never marked: nothing to copy
          scan.heldLines.clear();
          scan.holdsDeclaration = false;
          return;
        }
        copyHeldDeclaration(scan);
        finishDeclaration(scan);
        return;
      }
      appendDeclarationLine(scan, raw, false);
      if (!scan.declaration.continues) {
        finishDeclaration(scan);
        scan.continuing = Continuing::Nothing;
      }
      return;
    case Continuing::Member:
      header.append(kMemberIndent, ' ');
      appendNormalised(header, raw);
      header += kLineEnd;
      if (!continues(raw)) scan.continuing = Continuing::Nothing;
      return;
    case Continuing::Nothing:
      break;
  }
  takeLineOfKind(scan, raw, classifyLine(raw), inWindow);
}

// A line that is no continuation line, of the kind classifyLine found.
void takeLineOfKind(SourceScan& scan, std::string_view raw, LineKind kind, bool inWindow) {
  std::string& header = *scan.header;
  switch (kind) {
    case LineKind::Procedure: {
      // Most procedures are not marked. One whose line ends it and names
      // neither word would be copied only to be taken out again; one that
      // goes on is held until it ends.
      const bool goesOn = continues(raw), mentions = mentionsMarkingWord(raw);
      if (!goesOn && !mentions) break;
      if (goesOn && inWindow) {
        scan.heldLines.assign(1, raw);
        scan.holdsDeclaration = true;
        scan.heldMention = mentions;
        scan.continuing = Continuing::Declaration;
        break;
      }
      appendDeclarationLine(scan, raw, true);
      if (scan.declaration.continues) scan.continuing = Continuing::Declaration;
      else finishDeclaration(scan);
      break;
    }
    case LineKind::InterfaceEnd:
      if (scan.skipInterface) {
        scan.skipInterface = false;
      } else {
        writeOpenGroups(scan, header.size());
        appendNormalised(header, raw);
        header += kLineEnd;
      }
      break;
    case LineKind::InterfaceStart: {
      std::string name = interfaceName(raw);
      if (scan.interfaceNames->count(name)) {
        scan.skipInterface = true;
      } else {
        writeOpenGroups(scan, header.size());
        header += kLineEnd;
        appendNormalised(header, raw);
        header += kLineEnd;
        scan.namesAdded.push_back(name);
        scan.interfaceNames->insert(std::move(name));
      }
      break;
    }
    case LineKind::Member:
      // A skipped member's continuation lines are read as lines of their own.
      if (scan.skipInterface) break;
      writeOpenGroups(scan, header.size());
      header += "  ";
      appendNormalised(header, raw);
      header += kLineEnd;
      if (continues(raw)) scan.continuing = Continuing::Member;
      break;
    case LineKind::GroupOpen:
    case LineKind::GroupNext:
    case LineKind::GroupClose:
      takeGroupLine(scan, raw, kind);
      break;
    default:  // Other, and Unknown, which a whole line never is
      break;
  }
}

// Where the line after the line end at `end` starts, noting a CR that ends
// the piece: an LF that starts the next piece belongs to it.
size_t nextLineStart(SourceScan& scan, std::string_view bytes, size_t end) {
  if (end + 1 == bytes.size() && bytes[end] == '\r') scan.afterCr = true;
  return afterLineEnd(bytes, end);
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

void beginSourceScan(SourceScan& scan, std::string& header, InterfaceNames& interfaceNames,
                     std::string_view path, HeaderMode mode, std::string_view libraryName) {
  scan.header = &header;
  scan.interfaceNames = &interfaceNames;
  scan.mode = mode;
  scan.libClause = " Lib \"";
  scan.libClause += libraryName;
  scan.libClause += '"';
  appendBanner(header, path);
}

void scanWindow(SourceScan& scan, std::string_view bytes);

void scanSourceBytes(SourceScan& scan, std::string_view bytes) {
  scanWindow(scan, bytes);
  // The window goes: a declaration held in it is copied.
  if (scan.holdsDeclaration) copyHeldDeclaration(scan);
}

void scanWindow(SourceScan& scan, std::string_view bytes) {
  if (scan.ended || bytes.empty()) return;
  std::string_view text = textBeforeEndOfFile(bytes);
  if (text.size() < bytes.size()) {
    scan.ended = true;
    bytes = text;
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
    size_t end = nextLineEnd(cursor, at);
    if (end == bytes.size()) {
      if (scan.cutLine) keepCutLine(scan, bytes.substr(at));
      return;
    }
    if (scan.cutLine) {
      scan.cut.append(bytes.substr(at, end - at));
      takeLine(scan, scan.cut, false);
      scan.cut.clear();
    }
    scan.skipLine = scan.cutLine = false;
    at = nextLineStart(scan, bytes, end);
  }
  while (at < bytes.size()) {
    // Continuation lines are taken whatever they hold; other lines only
    // when the index finds they may be written and the classifier agrees.
    if (scan.continuing != Continuing::Nothing) {
      size_t end = nextLineEnd(cursor, at);
      if (end == bytes.size()) {
        keepCutLine(scan, bytes.substr(at));
        return;
      }
      takeLine(scan, bytes.substr(at, end - at), true);
      at = nextLineStart(scan, bytes, end);
      continue;
    }
    size_t start = nextCandidate(cursor, at);
    LineKind kind = LineKind::Other;
    for (; start < bytes.size(); start = nextCandidateAfter(cursor, start)) {
      if ((kind = classifyLine(bytes.substr(start), true)) != LineKind::Other) break;
    }
    if (start == bytes.size()) {
      // The piece may end inside a line, which is not written.
      char last = bytes.back();
      if (last == '\r') scan.afterCr = true;
      else if (last != '\n') scan.skipLine = true;
      return;
    }
    size_t end = kind == LineKind::Unknown ? bytes.size() : nextLineEnd(cursor, start);
    if (end == bytes.size()) {
      keepCutLine(scan, bytes.substr(start));
      return;
    }
    takeLineOfKind(scan, bytes.substr(start, end - start), kind, true);
    at = nextLineStart(scan, bytes, end);
  }
}

void endSourceScan(SourceScan& scan) {
  if (scan.cutLine) takeLine(scan, scan.cut, false);  // the last line needs no line end
  if (scan.continuing == Continuing::Declaration) finishDeclaration(scan);
  scan.cut.clear();
  scan.cutLine = scan.skipLine = false;
  *scan.header += kLineEnd;
}

// A read failed partway through the file: the interfaces it added to
// interfaceNames are taken out again, as the file counts as empty, and a
// declaration still open is taken out of the header.
void abandonSourceScan(SourceScan& scan) {
  if (scan.continuing == Continuing::Declaration) scan.header->resize(scan.declaration.start);
  scan.continuing = Continuing::Nothing;
  for (const std::string& name : scan.namesAdded) scan.interfaceNames->erase(name);
  scan.namesAdded.clear();
}

// How many of the header's bytes no later byte of the file changes: all but
// a declaration still open.
size_t settledHeaderSize(const SourceScan& scan) {
  if (scan.continuing == Continuing::Declaration) return scan.declaration.start;
  return scan.header->size();
}

void dropSettledHeader(SourceScan& scan) {
  scan.header->erase(0, settledHeaderSize(scan));
  scan.declaration.start = 0;  // its positions count from its start
}

}  // namespace

bool appendSourceSection(std::string& header, InterfaceNames& interfaceNames, std::string_view path,
                         HeaderMode mode, std::string_view libraryName, const WindowReader& readWindows,
                         const SettledOutput* output, std::vector<std::string>* namesAdded) {
  SourceScan scan;
  beginSourceScan(scan, header, interfaceNames, path, mode, libraryName);
  const size_t banner = header.size();
  bool tookSome = false;
  bool read = readWindows([&](std::string_view window) {
    scanSourceBytes(scan, window);
    if (!output || header.size() < output->every) return true;
    bool taken = output->take(std::string_view(header).substr(0, settledHeaderSize(scan)));
    dropSettledHeader(scan);
    tookSome = true;
    return taken;
  });
  if (read) {
    endSourceScan(scan);
  } else {
    abandonSourceScan(scan);
    if (!tookSome) header.resize(banner);
    header += kLineEnd;  // the section still ends with its empty line
  }
  if (namesAdded) *namesAdded = std::move(scan.namesAdded);
  return read;
}

}  // namespace codeloom
