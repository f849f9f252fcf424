// The command window: ten buttons, one per command, always on top.
#pragma once

#include "app/settings.h"
#include "platform/platform.h"

namespace codeloom {

enum CommandId : int {
  kForumFormatFiles = 1001,
  kNewClass = 1002,
  kNewInterface = 1004,
  kNewGuid = 1012,
  kNewApp = 1025,
  kNewWin = 1026,
  kNewChild = 1027,
  kUpperSeparator = 1029,
  kLowerSeparator = 1030,
  kWriteSllHeaders = 1032,
  kWriteCompileHeaders = 1034,
  kWriteDllHeaders = 1035,
};

// The window's template: caption, geometry, styles, and its buttons and
// separators in creation (tab) order.
DialogLayout commandWindowLayout();

// Runs the command of a WM_COMMAND from the window. The header commands run
// on any notification code; the others only on 0 (click) or 1 (accelerator).
// A command that runs out of memory ends there, having changed nothing.
void dispatchCommand(Platform& platform, ToolSettings& settings, WindowHandle window, int id,
                     int code);

// Shows the command window modally until it is closed; returns 0.
int runCommandWindow(Platform& platform);

}  // namespace codeloom
