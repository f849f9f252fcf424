#include "forum/forum_text.h"

#include <cstring>

#include "platform/text_lines.h"

namespace codeloom {
namespace {

const char* findTab(const char* from, const char* end) {
  if (from == end) return end;  // an empty view may have no data at all
  const void* tab = std::memchr(from, '\t', static_cast<size_t>(end - from));
  return tab ? static_cast<const char*>(tab) : end;
}

void appendBlanks(std::string& out, size_t count) {
  static constexpr char kBlanks[] = "                                ";
  constexpr size_t kMany = sizeof kBlanks - 1;
  for (; count > kMany; count -= kMany) out.append(kBlanks, kMany);
  out.append(kBlanks, count);
}

}  // namespace

void appendForumHead(std::string& out, std::string_view name) {
  out.append(name);
  out.append("\r\n[code]");
}

void appendForumLines(std::string& out, ForumLines& lines, std::string_view piece) {
  // Text without tabs and line ends is copied unchanged, and a line's text
  // after its last tab, the CR LF after it and the tab-free lines that follow
  // come out exactly as they are in the file: such a run is appended in one
  // go. The next tab of the whole piece is known, so a line before it needs
  // no search of its own.
  const char* end = piece.data() + piece.size();
  const char* nextTab = findTab(piece.data(), end);
  const char* runStart = nullptr;  // text not yet appended; null: no run
  const char* runEnd = nullptr;
  out.reserve(out.size() + piece.size() + piece.size() / 16);
  LineReader reader(piece);
  for (std::string_view line; reader.next(line);) {
    const char* lineEnd = line.data() + line.size();
    // runEnd is the previous line's end; of the line ends only CR LF is two bytes.
    bool crlfBefore = runStart && line.data() == runEnd + 2;
    if (crlfBefore && !line.empty() && nextTab >= lineEnd) {
      runEnd = lineEnd;
      continue;
    }
    if (crlfBefore) {
      out.append(runStart, static_cast<size_t>(runEnd + 2 - runStart));
    } else {
      if (runStart) out.append(runStart, static_cast<size_t>(runEnd - runStart));
      if (!lines.firstLine) out.append("\r\n", 2);
    }
    runStart = nullptr;
    lines.firstLine = false;
    if (line.empty()) {
      // The empty test comes before the tabs: a line of one tab gives two blanks.
      out += ' ';
      continue;
    }
    const char* from = line.data();
    while (nextTab < lineEnd) {
      out.append(from, static_cast<size_t>(nextTab - from));
      from = nextTab;
      while (from < lineEnd && *from == '\t') ++from;  // tabs often come in a row
      appendBlanks(out, 2 * static_cast<size_t>(from - nextTab));
      nextTab = findTab(from, end);
    }
    runStart = from;
    runEnd = lineEnd;
  }
  if (runStart) out.append(runStart, static_cast<size_t>(runEnd - runStart));
}

void appendForumTail(std::string& out) { out.append("[/code]\r\n \r\n"); }

void appendForumBlock(std::string& out, std::string_view name, std::string_view bytes) {
  appendForumHead(out, name);
  ForumLines lines;
  appendForumLines(out, lines, bytes);
  appendForumTail(out);
}

size_t wholeLinesLength(std::string_view bytes, size_t carried) {
  // An LF ends a line wherever it stands; a CR only before the last byte,
  // which may be an LF to come. The carried bytes may end in a CR.
  size_t stop = carried == 0 ? 0 : carried - 1;
  for (size_t i = bytes.size(); i > stop;) {
    --i;
    if (bytes[i] == '\n') return i + 1;
    if (bytes[i] == '\r' && i + 1 < bytes.size()) return i + 1;  // no LF follows it
  }
  return 0;
}

}  // namespace codeloom
