// New Class (a skeleton .inc file) and New Interface (a skeleton on the
// clipboard).
#pragma once

#include "app/settings.h"
#include "platform/platform.h"

namespace codeloom {

void runNewClass(Platform& platform, ToolSettings& settings, WindowHandle commandWindow);
void runNewInterface(Platform& platform, ToolSettings& settings, WindowHandle commandWindow);

}  // namespace codeloom
