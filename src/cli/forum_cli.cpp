#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "forum/forum_text.h"

namespace codeloom::cli {
namespace {

// The text is printed whenever this much has gathered: a large file never
// sits whole in memory.
constexpr size_t kPrintSize = 256 * 1024;

struct ForumBuffers {
  std::string pending;  // the unfinished last line, then the next window
  std::string output;
};

// Prints one file's block. When the file cannot be read the block holds the
// lines read before the failure (none when it could not be opened); a file
// over the input limit loses its unfinished last line, so that an endless
// line is not printed.
ReadResult printForumBlock(const std::string& path, ForumBuffers& buffers, bool& printed) {
  std::string& out = buffers.output;
  std::string& pending = buffers.pending;
  out.clear();
  pending.clear();
  appendForumHead(out, baseName(path));
  ForumLines lines;
  ReadResult result = readInputWindows(path, [&](std::string_view window) {
    // A 0x1A byte ends the file: nothing after it is read.
    size_t eof = window.find('\x1A');
    if (eof != std::string_view::npos) window = window.substr(0, eof);
    size_t carried = pending.size();
    pending.append(window);
    size_t whole = wholeLinesLength(pending, carried);
    appendForumLines(out, lines, std::string_view(pending).substr(0, whole));
    pending.erase(0, whole);
    if (out.size() >= kPrintSize) {
      printed = writeStdout(out);
      out.clear();
    }
    return printed && eof == std::string_view::npos;
  });
  if (result.status != ReadStatus::TooLarge) appendForumLines(out, lines, pending);
  appendForumTail(out);
  printed = printed && writeStdout(out);
  return result;
}

}  // namespace

int runForum(const ForumOptions& options) {
  int status = kExitOk;
  ForumBuffers buffers;
  bool printed = true;
  for (const std::string& path : options.files) {
    ReadResult result = printForumBlock(path, buffers, printed);
    if (!printed) return kExitFailure;  // finishStdout tells why
    if (!result.ok()) {
      reportReadFailure(path, result);
      status = kExitFailure;
    }
  }
  return status;
}

}  // namespace codeloom::cli
