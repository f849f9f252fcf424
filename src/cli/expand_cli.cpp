#include <iostream>
#include <memory>

#include "app/settings.h"
#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "templates/template_engine.h"

namespace codeloom::cli {
namespace {

struct ExpandArgs {
  std::string templatePath;
  std::string settingsPath;
  std::string name, author, title, description;
  std::vector<std::string> options;
};

}  // namespace

void addExpandCommand(CLI::App& app, int& status) {
  CLI::App* expand = app.add_subcommand(
      "expand", "Print a template expanded as New App, New Win and New Child write it");
  auto args = std::make_shared<ExpandArgs>();
  expand->add_option("TEMPLATE", args->templatePath, "The template file")->required();
  CLI::Option* settingsFile = expand->add_option(
      "--settings", args->settingsPath,
      "Take the values and options from this settings.txt; the flags below override it");
  CLI::Option* name = expand->add_option("--name", args->name, "Name prefix: %pfx%, %upfx%");
  CLI::Option* author = expand->add_option("--author", args->author, "%author%");
  CLI::Option* title = expand->add_option("--title", args->title, "%title%");
  CLI::Option* description =
      expand->add_option("--description", args->description, "%description% (may hold CR LF)");
  CLI::Option* options = expand->add_option(
      "--options", args->options, "Selected options, separated by commas (default: none)")
      ->delimiter(',')
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);

  expand->callback([=, &status] {
    ToolSettings settings;
    if (settingsFile->count() > 0) {
      std::string bytes;
      ReadResult result = readInput(args->settingsPath, bytes);
      if (!result.ok()) {
        reportReadFailure(args->settingsPath, result);
        status = kExitFailure;
        return;
      }
      parseSettings(bytes, settings);
    }
    if (name->count() > 0) settings.templateName = args->name;
    if (author->count() > 0) settings.templateAuthor = args->author;
    if (title->count() > 0) settings.templateTitle = args->title;
    if (description->count() > 0) settings.templateDescription = args->description;
    if (options->count() > 0) {
      // Each name exactly as given; an empty one would select nothing.
      settings.templateOptions.clear();
      for (const std::string& option : args->options) settings.templateOptions.add(option);
    }

    std::string templateText;
    ReadResult result = readInput(args->templatePath, templateText);
    if (!result.ok()) {
      reportReadFailure(args->templatePath, result);
      status = kExitFailure;
      return;
    }
    std::optional<std::string> expanded = expandTemplate(templateText, settings);
    if (!expanded) {
      std::cerr << "codeloom-cli: the expansion of '" << args->templatePath
                << "' would pass the output limit of " << (kMaxExpansionBytes >> 20)
                << " MiB; nothing written\n";
      status = kExitFailure;
      return;
    }
    status = writeStdout(*expanded) ? kExitOk : kExitFailure;
  });
}

}  // namespace codeloom::cli
