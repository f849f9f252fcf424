#include <deque>
#include <iostream>
#include <memory>

#include "app/new_guid.h"
#include "app/settings.h"
#include "classgen/class_command.h"
#include "cli/cli_io.h"
#include "cli/input_reader.h"
#include "cli/subcommands.h"
#include "platform/ansi.h"
#include "platform/text_helpers.h"

namespace codeloom::cli {
namespace {

struct ClassOptions {
  std::string name;
  std::string properties;
  std::string methods;
  bool messages = false;
  std::string settingsFile;
  std::deque<std::string> guids;  // fixed GUIDs to use first, for exact output
};

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Registry form with braces: {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}.
bool isGuidText(std::string_view text) {
  static constexpr std::string_view kShape = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
  if (text.size() != kShape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (kShape[i] == 'x' ? !isHexDigit(text[i]) : text[i] != kShape[i]) return false;
  return true;
}

void addClassCommand(CLI::App& app, int& status, SkeletonKind kind) {
  const bool isClass = kind == SkeletonKind::Class;
  CLI::App* command = app.add_subcommand(
      isClass ? "class" : "interface",
      isClass ? "Print the .inc file New Class writes for a class"
              : "Print the text New Interface puts on the clipboard");
  auto options = std::make_shared<ClassOptions>();
  CLI::Option* name = command->add_option("NAME", options->name,
                                          isClass ? "Class name" : "Class name of the interface");
  CLI::Option* properties = command->add_option(
      "--properties", options->properties,
      "Properties, comma-separated: [ Get only, ] Set only, . Set if change, Name:Type, "
      "Item() indexed");
  CLI::Option* methods =
      command->add_option("--methods", options->methods, "Methods, comma-separated: Name[:Type]");
  CLI::Option* messages = command->add_flag("--messages,!--no-messages", options->messages,
                                            "Add the message bridge (or leave it out)");
  command->add_option("--settings", options->settingsFile,
                      "Take the values from this settings.txt; the options above override them");
  // Fixed GUIDs make the output reproducible; random ones follow when they run out.
  command->add_option("--guid", options->guids, "GUID to use instead of a random one (repeatable)")
      ->group("");

  command->callback([&status, options, isClass, name, properties, methods, messages] {
    const char* commandName = isClass ? "class" : "interface";
    for (std::string& guid : options->guids) {
      if (!isGuidText(guid)) {
        status = reportUsageError(commandName, "--guid '" + guid +
                                                   "' is not a GUID of the form "
                                                   "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
        return;
      }
      guid = toLowerAnsi(guid);
    }

    ToolSettings settings;
    if (!options->settingsFile.empty()) {
      std::string bytes;
      ReadResult result = readInput(options->settingsFile, bytes);
      if (!result.ok()) {
        reportReadFailure(options->settingsFile, result);
        status = kExitFailure;
        return;
      }
      parseSettings(bytes, settings);
    }
    if (name->count()) settings.className = options->name;
    if (properties->count()) settings.classProperties = options->properties;
    if (methods->count()) settings.classMethods = options->methods;
    if (messages->count()) settings.classMessages = options->messages ? 1 : 0;
    settings.className = std::string(trimSpaces(settings.className));
    settings.classProperties = std::string(trimSpaces(settings.classProperties));
    settings.classMethods = std::string(trimSpaces(settings.classMethods));
    if (settings.className.empty()) {
      status = reportUsageError(
          commandName, "the class name is empty; give NAME or a --settings file that holds one");
      return;
    }

    GuidSource newGuid = [options] {
      if (options->guids.empty()) return guidText(randomGuid());
      std::string guid = std::move(options->guids.front());
      options->guids.pop_front();
      return guid;
    };
    std::string text = isClass ? newClassFileText(settings, newGuid) : newInterfaceText(settings, newGuid);
    status = writeStdout(text) ? kExitOk : kExitFailure;
  });
}

}  // namespace

void addClassCommands(CLI::App& app, int& status) {
  addClassCommand(app, status, SkeletonKind::Class);
  addClassCommand(app, status, SkeletonKind::Interface);
}

}  // namespace codeloom::cli
