#include "cli/subcommands.h"

namespace codeloom::cli {

void addHeadersCommand(CLI::App&, int&) {}

}  // namespace codeloom::cli
