#include "templates/project_command.h"

#include "platform/file_name.h"
#include "templates/template_dialog.h"

namespace codeloom {
namespace {

struct ProjectFiles {
  const char* caption;
  const char* templateFile;
  const char* extension;
};

ProjectFiles projectFiles(ProjectKind kind) {
  if (kind == ProjectKind::App) return {"New Application", "template_App.bas", ".bas"};
  if (kind == ProjectKind::Win) return {"New Window", "template_Win.bas", ".inc"};
  return {"New Child", "template_Child.bas", ".inc"};
}

}  // namespace

TemplateValues templateValues(const ToolSettings& settings) {
  const std::vector<std::string>& options = settings.templateOptions.names();
  return {.namePrefix = settings.templateName,
          .author = settings.templateAuthor,
          .title = settings.templateTitle,
          .description = settings.templateDescription,
          .options = {options.begin(), options.end()}};
}

std::string prepareSaveFolder(Platform& platform, const std::string& folder) {
  size_t separator = folder.find('\\');
  std::string path = folder.substr(0, separator);  // never created: c: or a relative name
  while (separator != std::string::npos) {
    size_t start = separator + 1;
    separator = folder.find('\\', start);
    std::string field = folder.substr(start, separator == std::string::npos
                                                 ? std::string::npos
                                                 : separator - start);
    if (field.empty()) continue;
    path += '\\';
    path += field;
    platform.createDirectory(path);  // it may exist already: that is fine
  }
  return path;
}

void runProjectCommand(Platform& platform, ToolSettings& settings, ProjectKind kind,
                       WindowHandle commandWindow) {
  const ProjectFiles files = projectFiles(kind);
  if (!showTemplateOptionsDialog(platform, settings, commandWindow, files.caption)) return;
  // A prefix that would leave the folder (..\x, C:x) or that Windows refuses
  // creates nothing, as for Cancel; the dialog has saved the settings.
  if (!isSafeFileStem(settings.templateName)) return;

  // A missing or unreadable template still creates (or empties) the output.
  // Expanded whole before anything is written, so the output may even replace
  // the template file itself without losing lines, and an expansion too large
  // to build writes nothing at all: no folder, no copy, no output.
  std::string templateText;
  if (!platform.readFile(files.templateFile, templateText)) templateText.clear();
  std::optional<std::string> output = expandTemplate(templateText, templateValues(settings));
  if (!output) return;

  // In memory only: the settings file keeps the folder as typed.
  settings.saveFolder = prepareSaveFolder(platform, settings.saveFolder);

  const std::string theme = settings.saveFolder + "\\theme.xml";
  if (!platform.isPlainFile(theme)) platform.copyFile("theme.xml", theme);

  platform.writeFile(settings.saveFolder + "\\" + settings.templateName + files.extension,
                     *output);
}

}  // namespace codeloom
