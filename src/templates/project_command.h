// New App, New Win and New Child: a project file expanded from a template.
#pragma once

#include "app/settings.h"
#include "platform/platform.h"

namespace codeloom {

enum class ProjectKind { App, Win, Child };

void runProjectCommand(Platform& platform, ToolSettings& settings, ProjectKind kind,
                       WindowHandle commandWindow);

}  // namespace codeloom
