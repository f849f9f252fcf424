#include <iostream>
#include <optional>
#include <string>

#include "app/settings.h"
#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
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
  if (options.name) settings.templateName = *options.name;
  if (options.author) settings.templateAuthor = *options.author;
  if (options.title) settings.templateTitle = *options.title;
  if (options.description) settings.templateDescription = *options.description;
  if (options.options) {
    // Each name exactly as given; an empty one would select nothing.
    settings.templateOptions.clear();
    for (const std::string& option : *options.options) settings.templateOptions.add(option);
  }

  std::string templateText;
  ReadResult result = readInput(options.templatePath, templateText);
  if (!result.ok()) {
    reportReadFailure(options.templatePath, result);
    return kExitFailure;
  }
  std::optional<std::string> expanded = expandTemplate(templateText, settings);
  if (!expanded) {
    std::cerr << "codeloom-cli: the expansion of '" << options.templatePath
              << "' would pass the output limit of " << (kMaxExpansionBytes >> 20)
              << " MiB; nothing written\n";
    return kExitFailure;
  }
  return writeStdout(*expanded) ? kExitOk : kExitFailure;
}

}  // namespace codeloom::cli
