#include <iostream>
#include <optional>
#include <string>

#include "app/settings.h"
#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "templates/project_command.h"
#include "templates/template_engine.h"

namespace codeloom::cli {

int runExpand(const ExpandOptions& options) {
  ToolSettings settings;
  if (options.settingsPath) {
    std::string bytes;
    ReadResult result = readInput(*options.settingsPath, bytes);
    if (!result.ok()) {
      reportReadFailure(*options.settingsPath, result);
      return kExitFailure;
    }
    parseSettings(bytes, settings);
  }
  TemplateValues values = templateValues(settings);
  if (options.name) values.namePrefix = *options.name;
  if (options.author) values.author = *options.author;
  if (options.title) values.title = *options.title;
  if (options.description) values.description = *options.description;
  if (options.options) {
    // Each name exactly as given; an empty one would select nothing.
    values.options.clear();
    values.options.insert(options.options->begin(), options.options->end());
  }

  std::string templateText;
  ReadResult result = readInput(options.templatePath, templateText);
  if (!result.ok()) {
    reportReadFailure(options.templatePath, result);
    return kExitFailure;
  }
  std::optional<std::string> expanded = expandTemplate(templateText, values);
  if (!expanded) {
    std::cerr << "codeloom-cli: the expansion of '" << options.templatePath
              << "' would pass the output limit of " << (kMaxExpansionBytes >> 20)
              << " MiB; nothing written\n";
    return kExitFailure;
  }
  return writeStdout(*expanded) ? kExitOk : kExitFailure;
}

}  // namespace codeloom::cli
