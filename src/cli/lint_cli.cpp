#include <string>

#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "templates/template_lint.h"

namespace codeloom::cli {

int runLint(const LintOptions& options) {
  int status = kExitOk;
  std::string bytes;
  for (const std::string& path : options.templates) {
    const bool standardInput = path == "-";
    ReadResult result = standardInput ? readStandardInput(bytes) : readInput(path, bytes);
    if (!result.ok()) {
      reportReadFailure(path, result);
      status = kExitFailure;
      continue;
    }
    std::string report;
    for (const LintFinding& finding : lintTemplate(bytes))
      report += formatLintFinding(standardInput ? "<stdin>" : path, finding);
    if (!report.empty()) status = kExitFailure;
    if (!writeStdout(report)) break;
  }
  return status;
}

}  // namespace codeloom::cli
