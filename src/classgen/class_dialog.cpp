#include "classgen/class_dialog.h"

#include <algorithm>

#include "platform/ansi.h"
#include "platform/text_helpers.h"
#include "platform/window_styles.h"

namespace codeloom {
namespace {

using namespace styles;

constexpr const char* kMemberHelp =
    "Prefixes: [ Get only, ] Set only, . Set if change\r\n"
    "Ex: [Width:Long,[Height:Long,Item:iTest(),Name\r\n"
    "Width,Height read only properties, Item indexed property, Name string property\r\n"
    "Properties default to string type, methods have no default\r\n";

constexpr uint32_t kRightLabel = kChild | kVisible | kSsRight;
constexpr uint32_t kTextBox = kChild | kVisible | kTabStop | kEsAutoHScroll;
constexpr uint32_t kCheckBox = kChild | kVisible | kTabStop | kBsAutoCheckBox;
constexpr uint32_t kOkButton = kChild | kVisible | kTabStop | kBsDefPushButton | kBsCenter | kBsVCenter;
constexpr uint32_t kButton = kChild | kVisible | kTabStop | kBsPushButton;
constexpr uint32_t kLeftText = kChild | kVisible | kSsLeft;

// Only the space character counts: a tab typed into a box stays.
void trimInPlace(std::string& text) { text = std::string(trimSpaces(text)); }

void addLabel(DialogLayout& layout, int id, const std::string& text, int x, int y, int width) {
  addControl(layout, id, ControlKind::Static, text, x, y, width, 15, kRightLabel);
}

void addTextBox(DialogLayout& layout, int id, const std::string& text, int y) {
  addControl(layout, id, ControlKind::Edit, text, 50, y, 145, 15, kTextBox, kExClientEdge);
}

}  // namespace

bool isInterfaceCaption(const std::string& caption) {
  return toLowerAnsi(caption).find("interface") != std::string::npos;
}

DialogLayout classDialogLayout(const ToolSettings& settings, const std::string& caption) {
  DialogLayout layout;
  layout.caption = caption;
  layout.x = -50;  // may stick out to the left of the narrow command window
  layout.y = 18;
  layout.width = 202;
  layout.height = 172;
  layout.style = kPopup | kCaption | kDsModalFrame;  // no system menu, so no close box

  // "New Class" gives "Class name", "New Interface" gives "Interface name".
  // A caption of four characters or fewer gives " name".
  const std::string nameLabel = caption.substr(std::min<size_t>(caption.size(), 4)) + " name";
  addLabel(layout, kClassNameLabel, nameLabel, 5, 5, 40);
  addTextBox(layout, kClassNameBox, settings.className, 5);
  addLabel(layout, kPropertiesLabel, "Properties", 10, 25, 35);
  addTextBox(layout, kPropertiesBox, settings.classProperties, 25);
  addLabel(layout, kMethodsLabel, "Methods", 10, 45, 35);
  addTextBox(layout, kMethodsBox, settings.classMethods, 45);
  if (!isInterfaceCaption(caption)) {
    addLabel(layout, kMethodsLabel, "Save to", 10, 65, 35);
    addTextBox(layout, kSaveFolderBox, settings.saveFolder, 65);
  }
  addLabel(layout, kMessagesLabel, "Messages", 0, 85, 45);
  addControl(layout, kMessagesCheckBox, ControlKind::Button, "", 50, 85, 30, 15, kCheckBox);
  addControl(layout, kClassOkButton, ControlKind::Button, "OK", 50, 105, 50, 15, kOkButton);
  addControl(layout, kClassCancelButton, ControlKind::Button, "&Cancel", 105, 105, 50, 15, kButton);
  addControl(layout, kMemberHelpLabel, ControlKind::Static, kMemberHelp, 10, 125, 180, 40, kLeftText);
  return layout;
}

bool showClassDialog(Platform& platform, ToolSettings& settings, WindowHandle parent,
                     const std::string& caption) {
  loadSettings(platform, settings);
  const DialogLayout layout = classDialogLayout(settings, caption);
  const bool withSaveFolder = !isInterfaceCaption(caption);

  DialogEvents events;
  events.onInit = [&](WindowHandle dialog) {
    platform.setDefaultButton(dialog, kClassOkButton);
    if (settings.classMessages != 0) platform.setChecked(dialog, kMessagesCheckBox, true);
  };
  events.onCommand = [&](WindowHandle dialog, int id, int code) {
    if (code != 0 && code != 1) return;
    if (id == kClassOkButton) {
      settings.className = platform.controlText(dialog, kClassNameBox);
      settings.classProperties = platform.controlText(dialog, kPropertiesBox);
      settings.classMethods = platform.controlText(dialog, kMethodsBox);
      if (withSaveFolder) settings.saveFolder = platform.controlText(dialog, kSaveFolderBox);
      settings.classMessages = platform.isChecked(dialog, kMessagesCheckBox) ? 1 : 0;
      trimInPlace(settings.className);
      trimInPlace(settings.classProperties);
      trimInPlace(settings.classMethods);
      saveSettings(platform, settings);
      platform.endDialog(dialog, 1);
    } else if (id == kClassCancelButton || id == kIdCancel) {
      platform.endDialog(dialog, 0);
    }
  };
  return platform.runModalDialog(parent, layout, events) != 0;
}

}  // namespace codeloom
