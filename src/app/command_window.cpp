#include "app/command_window.h"

#include <new>

#include "app/new_guid.h"
#include "classgen/class_command.h"
#include "forum/forum_command.h"
#include "headers/header_command.h"
#include "platform/window_styles.h"
#include "templates/project_command.h"

namespace codeloom {

using namespace styles;

DialogLayout commandWindowLayout() {
  DialogLayout layout;
  layout.caption = "Codeloom";
  layout.x = 663;
  layout.y = 132;
  layout.width = 126;
  layout.height = 182;
  layout.style = kVisible | kClipSiblings | kCaption | kSysMenu | kMinimizeBox | kDsModalFrame;
  layout.exStyle = kExTopmost | kExControlParent;

  const uint32_t button = kChild | kVisible | kTabStop | kBsPushButton;
  struct Row { int id; const char* caption; int y; };
  static const Row kButtons[] = {
      {kForumFormatFiles, "&Forum Format Files", 5},
      {kNewClass, "New &Class", 30},
      {kNewInterface, "New &Interface", 45},
      {kNewGuid, "New &GUID", 60},
      {kWriteSllHeaders, "Write SLL &headers", 75},
      {kWriteDllHeaders, "Write DLL header&s", 90},
      {kWriteCompileHeaders, "Write compile heade&rs", 105},
      {kNewApp, "New &App", 130},
      {kNewWin, "New &Win", 145},
      {kNewChild, "New Chil&d", 160},
  };
  for (const Row& row : kButtons)
    layout.controls.push_back({row.id, ControlKind::Button, row.caption, 10, row.y, 105, 15, button, 0});

  // The etched style draws a line and never shows the text.
  const uint32_t separator = kChild | kVisible | kSsEtchedHorz;
  layout.controls.push_back({kUpperSeparator, ControlKind::Static, "Line2", 5, 25, 114, 1, separator, 0});
  layout.controls.push_back({kLowerSeparator, ControlKind::Static, "Line2", 5, 125, 115, 1, separator, 0});
  return layout;
}

namespace {

void runCommand(Platform& platform, ToolSettings& settings, WindowHandle window, int id,
                int code) {
  const bool clickedOrAccelerator = code == 0 || code == 1;
  switch (id) {
    case kForumFormatFiles:
      if (clickedOrAccelerator) runForumFormat(platform, window);
      break;
    case kNewApp:
      if (clickedOrAccelerator) runProjectCommand(platform, settings, ProjectKind::App, window);
      break;
    case kNewWin:
      if (clickedOrAccelerator) runProjectCommand(platform, settings, ProjectKind::Win, window);
      break;
    case kNewChild:
      if (clickedOrAccelerator) runProjectCommand(platform, settings, ProjectKind::Child, window);
      break;
    case kWriteDllHeaders:
      runHeaderCommand(platform, HeaderMode::Dll);
      break;
    case kWriteCompileHeaders:
      runHeaderCommand(platform, HeaderMode::Compile);
      break;
    case kWriteSllHeaders:
      runHeaderCommand(platform, HeaderMode::Sll);
      break;
    case kNewClass:
      if (clickedOrAccelerator) runNewClass(platform, settings, window);
      break;
    case kNewInterface:
      if (clickedOrAccelerator) runNewInterface(platform, settings, window);
      break;
    case kNewGuid:
      if (clickedOrAccelerator) runNewGuid(platform);
      break;
    default:
      break;  // IDCANCEL from Escape among others: the window stays open
  }
}

}  // namespace

void dispatchCommand(Platform& platform, ToolSettings& settings, WindowHandle window, int id,
                     int code) {
  // Out of memory ends the command, not the program. Every file is written
  // whole or not at all and the clipboard is set in one call, so nothing is
  // left half-written; the window stays open for the next command.
  try {
    runCommand(platform, settings, window, id, code);
  } catch (const std::bad_alloc&) {
  }
}

int runCommandWindow(Platform& platform) {
  ToolSettings settings;  // empty until a dialog loads the file
  DialogEvents events;
  events.onCommand = [&](WindowHandle window, int id, int code) {
    dispatchCommand(platform, settings, window, id, code);
  };
  platform.runModalDialog(nullptr, commandWindowLayout(), events);
  return 0;
}

}  // namespace codeloom
