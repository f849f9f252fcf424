// codeloom-cli: Codeloom's engines on the command line, for build scripts
// and for checking every output byte.
#include <iostream>
#include <new>

#include "cli/cli_io.h"
#include "cli/subcommands.h"

namespace codeloom::cli {
namespace {

// One line naming what is wrong with the command line. CLI11 says only "A
// subcommand is required" or "not expected" where the user wants to hear
// which word it did not know.
std::string describeParseError(const CLI::ParseError& error, const CLI::App& context) {
  const bool extras = dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr;
  const bool noSubcommand = dynamic_cast<const CLI::RequiredError*>(&error) != nullptr &&
                            context.get_parent() == nullptr;
  std::vector<std::string> remaining = context.remaining();
  if ((extras || noSubcommand) && !remaining.empty()) {
    const std::string& word = remaining.front();
    if (word.size() > 1 && word[0] == '-') return "unknown option '" + word + "'";
    if (noSubcommand) return "unknown subcommand '" + word + "'";
    return "unexpected argument '" + word + "'";
  }
  return error.what();
}

int run(int argc, char** argv) {
  CLI::App app("Codeloom's source-text generators: each subcommand prints exactly what its "
               "button produces.",
               "codeloom-cli");
  app.require_subcommand(1);
  app.set_version_flag("--version", "codeloom-cli " CODELOOM_VERSION,
                       "Print the program's version and exit");
  int status = kExitOk;
  addGuidCommand(app, status);
  addHeadersCommand(app, status);
  addForumCommand(app, status);
  addExpandCommand(app, status);
  addClassCommands(app, status);
  addLintCommand(app, status);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    writeStdout(app.help());
    return kExitOk;
  } catch (const CLI::CallForAllHelp&) {
    writeStdout(app.help("", CLI::AppFormatMode::All));
    return kExitOk;
  } catch (const CLI::CallForVersion& version) {
    writeStdout(std::string(version.what()) + "\n");
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    // An error inside a subcommand is told in its name, unless the
    // stranger stands before the subcommand.
    const CLI::App* context = &app;
    if (error.get_name() != app.get_name())
      for (const CLI::App* sub : app.get_subcommands()) context = sub;
    return reportUsageError(context == &app ? "" : context->get_name(),
                            describeParseError(error, *context));
  }
  return status;
}

}  // namespace
}  // namespace codeloom::cli

int main(int argc, char** argv) {
  using namespace codeloom::cli;
  int status;
  try {
    status = run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "codeloom-cli: out of memory\n";
    status = kExitFailure;
  }
  if (!finishStdout()) status = kExitFailure;
  return status;
}
