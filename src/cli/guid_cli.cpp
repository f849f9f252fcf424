#include "app/new_guid.h"
#include "cli/cli_io.h"
#include "cli/subcommands.h"

namespace codeloom::cli {

int runGuid() {
  return writeStdout(guidLiteral(guidText(randomGuid()))) ? kExitOk : kExitFailure;
}

}  // namespace codeloom::cli
