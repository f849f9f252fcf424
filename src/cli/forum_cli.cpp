#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/subcommands.h"
#include "forum/forum_text.h"

namespace codeloom::cli {

void addForumCommand(CLI::App& app, int& status) {
  CLI::App* forum = app.add_subcommand(
      "forum", "Print the Forum Format Files text for the files, in the order given");
  auto files = std::make_shared<std::vector<std::string>>();
  forum->add_option("files", *files, "Source files; each is named by its part after the last \\ or /")
      ->required();
  forum->callback([files, &status] {
    status = kExitOk;
    // One file at a time: read it, print its block, let both go.
    std::string block;
    std::string bytes;
    for (const std::string& path : *files) {
      if (!readFileBytes(path, bytes)) {
        // Printed as the GUI would (an empty block), but reported.
        reportUnreadable(path);
        status = kExitUnreadableInput;
        bytes.clear();
      }
      block.clear();
      appendForumBlock(block, baseName(path), bytes);
      writeStdout(block);
    }
  });
}

}  // namespace codeloom::cli
