// New App, New Win and New Child: a project file expanded from a template.
#pragma once

#include <string>

#include "app/settings.h"
#include "platform/platform.h"
#include "templates/template_engine.h"

namespace codeloom {

enum class ProjectKind { App, Win, Child };

// Asks for the values in the template options dialog, creates the Save-to
// folder, copies "theme.xml" into it unless it holds one, and writes
// name prefix + ".bas" (App) or ".inc" (Win, Child) there, expanded from
// "template_App.bas", "template_Win.bas" or "template_Child.bas". Cancel,
// or a prefix that is not a safe file stem (isSafeFileStem), ends it with
// nothing created; every failure passes silently.
void runProjectCommand(Platform& platform, ToolSettings& settings, ProjectKind kind,
                       WindowHandle commandWindow);

// The settings' name prefix, author, title, description and options, as a
// template is expanded with them.
TemplateValues templateValues(const ToolSettings& settings);

// The folder text without empty fields and trailing "\": c:\a\\b\ gives
// c:\a\b. Creates each folder along it after the first field (a drive, or a
// bare relative name), ignoring failures.
std::string prepareSaveFolder(Platform& platform, const std::string& folder);

}  // namespace codeloom
