#include <memory>
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
    std::string_view text = textBeforeEndOfFile(window);
    const bool ended = text.size() < window.size();
    window = text;
    size_t carried = pending.size();
    pending.append(window);
    size_t whole = wholeLinesLength(pending, carried);
    appendForumLines(out, lines, std::string_view(pending).substr(0, whole));
    pending.erase(0, whole);
    if (out.size() >= kPrintSize) {
      printed = writeStdout(out);
      out.clear();
    }
    return printed && !ended;
  });
  if (result.status != ReadStatus::TooLarge) appendForumLines(out, lines, pending);
  appendForumTail(out);
  printed = printed && writeStdout(out);
  return result;
}

}  // namespace

void addForumCommand(CLI::App& app, int& status) {
  CLI::App* forum = app.add_subcommand(
      "forum", "Print the Forum Format Files text for the files, in the order given");
  auto files = std::make_shared<std::vector<std::string>>();
  forum->add_option("files", *files, "Source files; each is named by its part after the last \\ or /")
      ->required();
  forum->callback([files, &status] {
    status = kExitOk;
    ForumBuffers buffers;
    bool printed = true;
    for (const std::string& path : *files) {
      ReadResult result = printForumBlock(path, buffers, printed);
      if (!printed) {
        status = kExitFailure;  // finishStdout tells why
        return;
      }
      if (!result.ok()) {
        reportReadFailure(path, result);
        status = kExitFailure;
      }
    }
  });
}

}  // namespace codeloom::cli
