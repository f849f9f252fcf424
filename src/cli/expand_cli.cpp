#include "cli/subcommands.h"

namespace codeloom::cli {

void addExpandCommand(CLI::App&, int&) {}

}  // namespace codeloom::cli
