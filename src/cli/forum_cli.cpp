#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_io.h"
#include "cli/subcommands.h"
#include "forum/forum_text.h"

namespace codeloom::cli {
namespace {

// Files are read in pieces of this size and the text is printed whenever this
// much has gathered: a large file never sits whole in memory, and the pieces
// stay in the processor's cache between reading and formatting.
constexpr size_t kPieceSize = 256 * 1024;

struct ForumBuffers {
  std::vector<char> input;  // the unfinished last line, then the next piece
  std::string output;
};

// Prints one file's block. False when the file cannot be opened or a read
// fails; the block then holds the lines read so far (none when it could not
// be opened).
bool printForumBlock(const std::string& path, ForumBuffers& buffers) {
  std::string& out = buffers.output;
  std::vector<char>& input = buffers.input;
  out.clear();
  appendForumHead(out, baseName(path));
  ForumLines lines;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  bool readable = file != nullptr;
  size_t carried = 0;  // bytes of an unfinished line at the start of input
  for (bool atEnd = file == nullptr; !atEnd;) {
    if (input.size() < carried + kPieceSize) input.resize(carried + kPieceSize);
    size_t got = std::fread(input.data() + carried, 1, kPieceSize, file);
    if (got < kPieceSize) {
      atEnd = true;
      readable = !std::ferror(file);
    }
    // A 0x1A byte ends the file: nothing after it is read.
    if (const void* eof = std::memchr(input.data() + carried, '\x1A', got)) {
      got = static_cast<size_t>(static_cast<const char*>(eof) - (input.data() + carried));
      atEnd = true;
    }
    std::string_view bytes(input.data(), carried + got);
    size_t whole = atEnd ? bytes.size() : wholeLinesLength(bytes, carried);
    appendForumLines(out, lines, bytes.substr(0, whole));
    carried = bytes.size() - whole;
    std::memmove(input.data(), input.data() + whole, carried);
    if (out.size() >= kPieceSize) {
      writeStdout(out);
      out.clear();
    }
  }
  if (file) std::fclose(file);
  appendForumTail(out);
  writeStdout(out);
  return readable;
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
    for (const std::string& path : *files) {
      if (!printForumBlock(path, buffers)) {
        reportUnreadable(path);
        status = kExitUnreadableInput;
      }
    }
  });
}

}  // namespace codeloom::cli
