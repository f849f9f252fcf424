#include "cli/subcommands.h"

namespace codeloom::cli {

void addClassCommands(CLI::App&, int&) {}

}  // namespace codeloom::cli
