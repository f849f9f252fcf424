#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/source_reading.h"
#include "cli/subcommands.h"
#include "headers/declare_audit.h"

namespace codeloom::cli {

int runAudit(const AuditOptions& options) {
  std::string headerText;
  if (ReadResult result = readInput(options.header, headerText); !result.ok()) {
    reportReadFailure(options.header, result);
    return kExitFailure;
  }
  // The DLL's exports: the Declares a DLL header of the sources holds for
  // the procedures marked Export, each where it stands in its source.
  HeaderScan command;
  command.mode = HeaderMode::Dll;
  command.libraryName = options.libraryName;
  std::vector<ExportedProcedure> exports;
  command.declared = [&exports](const WrittenDeclaration& written) {
    if (written.exported)
      exports.push_back({std::string(written.file), written.line, written.column, std::string(written.declare)});
  };
  HeaderText ignored;
  // A source that cannot be read leaves exports out: nothing is reported
  // on what would be half the DLL.
  if (!appendSources(options.sources, command, ignored)) return kExitFailure;
  const std::string dllName = options.libraryName.empty() ? command.compiledDll : options.libraryName;
  bool anyError = false;
  std::string report;
  for (const AuditFinding& finding : auditHeader(options.header, headerText, exports, dllName)) {
    anyError = anyError || finding.level == FindingLevel::Error;
    (report += formatFinding(finding)) += '\n';
  }
  if (!writeStdout(report)) return kExitFailure;
  return anyError ? kExitFailure : kExitOk;
}

}  // namespace codeloom::cli
