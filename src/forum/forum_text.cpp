#include "forum/forum_text.h"

#include <cstring>

#include "platform/text_lines.h"

namespace codeloom {
namespace {

void appendForumLine(std::string& out, std::string_view line) {
  // The empty test comes first, so a line of one tab gives two blanks.
  if (line.empty()) {
    out += ' ';
    return;
  }
  while (const void* tab = std::memchr(line.data(), '\t', line.size())) {
    size_t at = static_cast<size_t>(static_cast<const char*>(tab) - line.data());
    out.append(line.data(), at);
    out.append("  ", 2);
    line.remove_prefix(at + 1);
    if (line.empty()) return;
  }
  out.append(line);
}

}  // namespace

void appendForumBlock(std::string& out, std::string_view name, std::string_view bytes) {
  // Most files have few tabs and empty lines: the block is about as long as
  // the file, so one reservation usually covers it.
  out.reserve(out.size() + name.size() + bytes.size() + bytes.size() / 16 + 32);
  out.append(name);
  out.append("\r\n[code]");
  LineReader reader(bytes);
  std::string_view line;
  for (bool first = true; reader.next(line); first = false) {
    if (!first) out.append("\r\n", 2);
    appendForumLine(out, line);
  }
  out.append("[/code]\r\n \r\n");
}

}  // namespace codeloom
