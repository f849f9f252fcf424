#include "cli/subcommands.h"

namespace codeloom::cli {

void addForumCommand(CLI::App&, int&) {}

}  // namespace codeloom::cli
