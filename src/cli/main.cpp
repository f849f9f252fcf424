// codeloom-cli: Codeloom's engines on the command line, for build scripts
// and for checking every output byte. The one file that includes CLI11: it
// parses the command line into a subcommand's options and runs it.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <new>

#include "cli/cli_io.h"
#include "cli/subcommands.h"

namespace codeloom::cli {
namespace {

// An optional bound for parsing: given(option, value) empties it again when
// the command line did not give the option.
template <typename T>
T& bound(std::optional<T>& value) {
  return value.emplace();
}
template <typename T>
void given(const CLI::Option* option, std::optional<T>& value) {
  if (option->count() == 0) value.reset();
}

void addGuidCommand(CLI::App& app, int& status) {
  CLI::App* guid = app.add_subcommand("guid", "Print a New GUID literal (48 characters, no line end)");
  guid->callback([&status] { status = runGuid(); });
}

void addHeadersCommand(CLI::App& app, int& status) {
  static const std::map<std::string, HeaderMode> kModes = {
      {"sll", HeaderMode::Sll}, {"dll", HeaderMode::Dll}, {"compile", HeaderMode::Compile}};
  auto options = std::make_shared<HeadersOptions>();
  auto mode = std::make_shared<std::string>();
  CLI::App* headers = app.add_subcommand(
      "headers", "Print the header that Write SLL/DLL/compile headers builds for FILE..., in order");
  headers->add_option("--mode", *mode, "sll, dll or compile")
      ->required()
      ->check(CLI::IsMember({"sll", "dll", "compile"}));
  headers->add_option("files", options->files, "Source files, scanned in this order")->required();
  CLI::Option* output = headers->add_option(
      "-o,--output", bound(options->outputPath),
      "Write the header to this file instead, and only when its bytes change");
  CLI::Option* check = headers->add_option(
      "--check", bound(options->checkPath),
      "Change nothing; fail unless this file holds exactly the header");
  output->excludes(check);
  // The name stands between the quotes of a Lib clause: a quote or a line
  // break in it would break the Declare.
  CLI::Option* library = headers->add_option(
      "--lib", options->libraryName,
      "With --mode dll: the library named in the Lib clauses it adds (default: the first #COMPILE DLL "
      "line's, else export.dll)");
  library->check([](const std::string& name) -> std::string {
    if (name.empty()) return "the library name is empty";
    for (unsigned char c : name)
      if (c == '"' || c < 0x20 || c == 0x7F) return "the library name holds a double quote or a control character";
    return "";
  });
  headers->add_flag("--follow-includes", options->followIncludes,
                    "Read the files of #INCLUDE lines where they stand, each once, and only the #IF branches "
                    "the project's own equates take");
  CLI::Option* includes = headers->add_option(
      "-I", options->includeDirs, "With --follow-includes: a folder an #INCLUDE without a folder is looked for in, "
                                  "before the source's own (repeatable)");
  headers->callback([options, mode, output, check, library, includes, &status] {
    if (library->count() > 0 && *mode != "dll") throw CLI::ValidationError("--lib", "goes with --mode dll only");
    if (includes->count() > 0 && !options->followIncludes)
      throw CLI::ValidationError("-I", "goes with --follow-includes only");
    options->mode = kModes.at(*mode);
    given(output, options->outputPath);
    given(check, options->checkPath);
    status = runHeaders(*options);
  });
}

void addForumCommand(CLI::App& app, int& status) {
  CLI::App* forum = app.add_subcommand(
      "forum", "Print the Forum Format Files text for the files, in the order given");
  auto options = std::make_shared<ForumOptions>();
  forum->add_option("files", options->files,
                    "Source files; each is named by its part after the last \\ or /")
      ->required();
  forum->callback([options, &status] { status = runForum(*options); });
}

void addExpandCommand(CLI::App& app, int& status) {
  CLI::App* expand = app.add_subcommand(
      "expand", "Print a template expanded as New App, New Win and New Child write it");
  auto args = std::make_shared<ExpandOptions>();
  expand->add_option("TEMPLATE", args->templatePath, "The template file")->required();
  CLI::Option* settingsFile = expand->add_option(
      "--settings", bound(args->settingsPath),
      "Take the values and options from this settings.txt; the flags below override it");
  CLI::Option* name = expand->add_option("--name", bound(args->name), "Name prefix: %pfx%, %upfx%");
  CLI::Option* author = expand->add_option("--author", bound(args->author), "%author%");
  CLI::Option* title = expand->add_option("--title", bound(args->title), "%title%");
  CLI::Option* description =
      expand->add_option("--description", bound(args->description), "%description% (may hold CR LF)");
  CLI::Option* options = expand->add_option(
      "--options", bound(args->options), "Selected options, separated by commas (default: none)")
      ->delimiter(',')
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  expand->callback([=, &status] {
    given(settingsFile, args->settingsPath);
    given(name, args->name);
    given(author, args->author);
    given(title, args->title);
    given(description, args->description);
    given(options, args->options);
    status = runExpand(*args);
  });
}

void addClassCommand(CLI::App& app, int& status, SkeletonKind kind) {
  const bool isClass = kind == SkeletonKind::Class;
  CLI::App* command = app.add_subcommand(
      isClass ? "class" : "interface",
      isClass ? "Print the .inc file New Class writes for a class"
              : "Print the text New Interface puts on the clipboard");
  auto options = std::make_shared<ClassOptions>();
  options->kind = kind;
  CLI::Option* name = command->add_option("NAME", bound(options->name),
                                          isClass ? "Class name" : "Class name of the interface");
  CLI::Option* properties = command->add_option(
      "--properties", bound(options->properties),
      "Properties, comma-separated: [ Get only, ] Set only, . Set if change, Name:Type, "
      "Item() indexed");
  CLI::Option* methods = command->add_option("--methods", bound(options->methods),
                                             "Methods, comma-separated: Name[:Type]");
  CLI::Option* messages = command->add_flag("--messages,!--no-messages", bound(options->messages),
                                            "Add the message bridge (or leave it out)");
  command->add_option("--settings", options->settingsFile,
                      "Take the values from this settings.txt; the options above override them");
  // Fixed GUIDs make the output reproducible; random ones follow when they run out.
  command->add_option("--guid", options->guids, "GUID to use instead of a random one (repeatable)")
      ->group("");
  command->callback([options, name, properties, methods, messages, &status] {
    given(name, options->name);
    given(properties, options->properties);
    given(methods, options->methods);
    given(messages, options->messages);
    status = runClass(*options);
  });
}

void addLintCommand(CLI::App& app, int& status) {
  CLI::App* lint = app.add_subcommand(
      "lint", "Report what in each template the engine would read otherwise than meant");
  auto options = std::make_shared<LintOptions>();
  lint->add_option("TEMPLATE", options->templates, "Template files; - reads standard input")
      ->required();
  lint->callback([options, &status] { status = runLint(*options); });
}

void addAuditCommand(CLI::App& app, int& status) {
  CLI::App* audit = app.add_subcommand(
      "audit", "Report each Declare of HEADER that differs from what the DLL its SOURCEs build exports");
  auto options = std::make_shared<AuditOptions>();
  audit->add_option("HEADER", options->header, "The hand-written header")->required();
  audit->add_option("SOURCE", options->sources.files, "The DLL's sources, read in this order")->required();
  audit->add_flag("--follow-includes", options->sources.followIncludes,
                  "Read the sources as headers --follow-includes does");
  CLI::Option* includes = audit->add_option(
      "-I", options->sources.includeDirs, "With --follow-includes: a folder #INCLUDE files are looked for in first");
  audit->add_option("--lib", options->libraryName,
                    "The DLL's file name (default: the first #COMPILE DLL line's); only Declares whose LIB names it "
                    "are checked");
  audit->callback([options, includes, &status] {
    if (includes->count() > 0 && !options->sources.followIncludes)
      throw CLI::ValidationError("-I", "goes with --follow-includes only");
    status = runAudit(*options);
  });
}

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
  using AddCommand = void (*)(CLI::App&, int&);
  static constexpr std::pair<std::string_view, AddCommand> kCommands[] = {
      {"guid", addGuidCommand},
      {"headers", addHeadersCommand},
      {"forum", addForumCommand},
      {"expand", addExpandCommand},
      {"class", [](CLI::App& app, int& status) { addClassCommand(app, status, SkeletonKind::Class); }},
      {"interface", [](CLI::App& app, int& status) { addClassCommand(app, status, SkeletonKind::Interface); }},
      {"lint", addLintCommand},
      {"audit", addAuditCommand},
  };
  // Only the subcommand named first is set up, when one is: the others'
  // options cost a build script's every call more than the work itself.
  // Anything else (help, the version, a mistake) sees them all.
  const auto named = std::find_if(std::begin(kCommands), std::end(kCommands),
                                  [&](const auto& command) { return argc > 1 && command.first == argv[1]; });
  for (const auto& [name, add] : kCommands)
    if (named == std::end(kCommands) || named->first == name) add(app, status);
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
