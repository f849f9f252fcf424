// codeloom-cli: Codeloom's engines on the command line, for build scripts
// and for checking every output byte.
#include <iostream>

#include "cli/cli_io.h"
#include "cli/subcommands.h"

int main(int argc, char** argv) {
  using namespace codeloom::cli;
  CLI::App app("Codeloom's source-text generators: each subcommand prints exactly what its "
               "button produces.",
               "codeloom-cli");
  app.require_subcommand(1);
  int status = kExitOk;
  addGuidCommand(app, status);
  addHeadersCommand(app, status);
  addForumCommand(app, status);
  addExpandCommand(app, status);
  addClassCommands(app, status);
  // CLI11 would only say that a subcommand is required: name the stranger.
  if (argc > 1 && argv[1][0] != '-') {
    bool known = false;
    for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
      known = known || sub->get_name() == argv[1];
    if (!known) {
      std::cerr << "codeloom-cli: unknown subcommand '" << argv[1] << "'\n\n" << app.help();
      return kExitUsage;
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return kExitOk;
  } catch (const CLI::CallForAllHelp&) {
    std::cout << app.help("", CLI::AppFormatMode::All);
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    // Name the subcommand in the usage when the error lies inside one.
    const CLI::App* context = &app;
    for (const CLI::App* sub : app.get_subcommands()) context = sub;
    std::cerr << "codeloom-cli: " << error.what() << "\n\n" << context->help();
    return kExitUsage;
  }
  return status;
}
