#include <deque>
#include <string>
#include <string_view>

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

}  // namespace

int runClass(ClassOptions options) {
  const char* commandName = options.kind == SkeletonKind::Class ? "class" : "interface";
  for (std::string& guid : options.guids) {
    if (!isGuidText(guid))
      return reportUsageError(commandName, "--guid '" + guid +
                                               "' is not a GUID of the form "
                                               "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}");
    guid = toLowerAnsi(guid);
  }

  ToolSettings settings;
  if (!options.settingsFile.empty()) {
    std::string bytes;
    ReadResult result = readInput(options.settingsFile, bytes);
    if (!result.ok()) {
      reportReadFailure(options.settingsFile, result);
      return kExitFailure;
    }
    parseSettings(bytes, settings);
  }
  if (options.name) settings.className = *options.name;
  if (options.properties) settings.classProperties = *options.properties;
  if (options.methods) settings.classMethods = *options.methods;
  if (options.messages) settings.classMessages = *options.messages ? 1 : 0;
  settings.className = std::string(trimSpaces(settings.className));
  settings.classProperties = std::string(trimSpaces(settings.classProperties));
  settings.classMethods = std::string(trimSpaces(settings.classMethods));
  if (settings.className.empty())
    return reportUsageError(
        commandName, "the class name is empty; give NAME or a --settings file that holds one");

  // Random GUIDs follow when the fixed ones run out.
  std::deque<std::string>& guids = options.guids;
  GuidSource newGuid = [&guids] {
    if (guids.empty()) return guidText(randomGuid());
    std::string guid = std::move(guids.front());
    guids.pop_front();
    return guid;
  };
  std::string text = options.kind == SkeletonKind::Class ? newClassFileText(settings, newGuid)
                                                         : newInterfaceText(settings, newGuid);
  return writeStdout(text) ? kExitOk : kExitFailure;
}

}  // namespace codeloom::cli
