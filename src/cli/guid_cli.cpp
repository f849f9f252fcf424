#include "app/new_guid.h"
#include "cli/cli_io.h"
#include "cli/subcommands.h"

namespace codeloom::cli {

void addGuidCommand(CLI::App& app, int& status) {
  CLI::App* guid = app.add_subcommand("guid", "Print a New GUID literal (48 characters, no line end)");
  guid->callback([&status] {
    status = writeStdout(guidLiteral(guidText(randomGuid()))) ? kExitOk : kExitFailure;
  });
}

}  // namespace codeloom::cli
