#include <memory>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "templates/template_lint.h"

namespace codeloom::cli {

void addLintCommand(CLI::App& app, int& status) {
  CLI::App* lint = app.add_subcommand(
      "lint", "Report what in each template the engine would read otherwise than meant");
  auto files = std::make_shared<std::vector<std::string>>();
  lint->add_option("TEMPLATE", *files, "Template files; - reads standard input")->required();
  lint->callback([files, &status] {
    status = kExitOk;
    std::string bytes;
    for (const std::string& path : *files) {
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
      if (!writeStdout(report)) return;
    }
  });
}

}  // namespace codeloom::cli
