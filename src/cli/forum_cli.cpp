#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "forum/forum_text.h"
#include "platform/text_lines.h"

namespace codeloom::cli {
namespace {

// The text is printed whenever this much has gathered: a large file never
// sits whole in memory.
constexpr size_t kPrintSize = 256 * 1024;

// Where the text after the last line end of bytes starts; 0 when it has none.
size_t afterLastLineEnd(std::string_view bytes) {
  for (size_t i = bytes.size(); i > 0; --i)
    if (isLineEndByte(bytes[i - 1])) return i;
  return 0;
}

// Prints one file's block. When the file cannot be read the block holds the
// lines read before the failure (none when it could not be opened); a file
// over the input limit loses its unfinished last line, so that an endless
// line is not printed. Whole lines go from the window to the text without
// a copy; only a line that a window's end cuts waits in pending.
ReadResult printForumBlock(const std::string& path, std::string& out, std::string& pending, bool& printed) {
  out.clear();
  pending.clear();
  appendForumHead(out, baseName(path));
  ForumLines lines;
  ReadResult result = readInputWindows(path, [&](std::string_view window) {
    // A 0x1A byte ends the file: nothing after it is read.
    std::string_view text = textBeforeEndOfFile(window);
    size_t whole = afterLastLineEnd(text);
    if (whole == 0) {
      pending.append(text);
    } else {
      std::string_view lineEnds = text.substr(0, whole);
      if (!pending.empty()) {
        size_t first = 0;
        while (!isLineEndByte(lineEnds[first])) ++first;
        pending.append(lineEnds.substr(0, first + 1));
        appendForumLines(out, lines, pending);
        lineEnds.remove_prefix(first + 1);
      }
      appendForumLines(out, lines, lineEnds);
      pending.assign(text.substr(whole));
    }
    if (out.size() >= kPrintSize) {
      printed = writeStdout(out);
      out.clear();
    }
    return printed && text.size() == window.size();
  });
  if (result.status != ReadStatus::TooLarge) appendForumLines(out, lines, pending);
  appendForumTail(out);
  printed = printed && writeStdout(out);
  return result;
}

}  // namespace

int runForum(const ForumOptions& options) {
  int status = kExitOk;
  std::string out, pending;
  bool printed = true;
  for (const std::string& path : options.files) {
    ReadResult result = printForumBlock(path, out, pending, printed);
    if (!printed) return kExitFailure;  // finishStdout tells why
    if (!result.ok()) {
      reportReadFailure(path, result);
      status = kExitFailure;
    }
  }
  return status;
}

}  // namespace codeloom::cli
