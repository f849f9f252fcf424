#include "templates/template_dialog.h"

#include "platform/window_styles.h"

namespace codeloom {

using namespace styles;

const char* const kTemplateOptionNames[11] = {"Accel", "Activate", "AddMem", "ExitLast",
                                              "Icon",  "Key",      "Mouse",  "Paint",
                                              "Param", "Resource", "Size"};

namespace {

constexpr uint32_t kChildControl = kChild | kVisible;
constexpr uint32_t kLabel = kChildControl | kSsRight;
constexpr uint32_t kTextBox = kChildControl | kTabStop | kEsAutoHScroll;
// Enter still presses OK in the description box: no ES_WANTRETURN.
constexpr uint32_t kDescriptionBox = kChildControl | kTabStop | kEsMultiline | kEsAutoHScroll;
constexpr uint32_t kOptionList =
    kChildControl | kTabStop | kVScroll | kLbsNotify | kLbsSort | kLbsMultipleSel;
constexpr uint32_t kOkButton = kChildControl | kTabStop | kBsDefPushButton | kBsCenter | kBsVCenter;
constexpr uint32_t kButton = kChildControl | kTabStop | kBsPushButton;

// A control as constant data. The layout's strings are built from the table
// one control at a time, so no list of half-built temporaries needs undoing.
struct ControlRow {
  int id;
  ControlKind kind;
  const char* text;
  int x, y, width, height;
  uint32_t style, exStyle;
};

using K = ControlKind;
constexpr ControlRow kControls[] = {
    {kTemplateNameLabel, K::Static, "Name %prefix%", 15, 5, 55, 10, kLabel, 0},
    {kTemplateNameBox, K::Edit, "", 75, 5, 100, 13, kTextBox, kExClientEdge},
    {kTemplateAuthorLabel, K::Static, "Author %author%", 15, 20, 55, 10, kLabel, 0},
    {kTemplateAuthorBox, K::Edit, "", 75, 20, 100, 13, kTextBox, kExClientEdge},
    {kTemplateTitleLabel, K::Static, "Title %title%", 15, 35, 55, 10, kLabel, 0},
    {kTemplateTitleBox, K::Edit, "", 75, 35, 145, 13, kTextBox, kExClientEdge},
    {kTemplateDescriptionLabel, K::Static, "Description %desc%", 5, 50, 65, 10, kLabel, 0},
    {kTemplateDescriptionBox, K::Edit, "", 75, 50, 145, 50, kDescriptionBox, kExClientEdge},
    {kTemplateFolderLabel, K::Static, "Save to:", 15, 100, 55, 10, kLabel, 0},
    {kTemplateFolderBox, K::Edit, "", 75, 100, 145, 13, kTextBox, kExClientEdge},
    {kTemplateOptionList, K::ListBox, "", 225, 5, 130, 110, kOptionList, kExClientEdge},
    {kTemplateOk, K::Button, "&OK", 75, 115, 50, 15, kOkButton, 0},
    {kTemplateCancel, K::Button, "&Cancel", 130, 115, 50, 15, kButton, 0},
};

}  // namespace

DialogLayout templateOptionsDialogLayout(const std::string& caption) {
  DialogLayout layout;
  layout.caption = caption;
  // Relative to the command window's client area, overlapping it on the left.
  layout.x = -119;
  layout.y = 18;
  layout.width = 364;
  layout.height = 137;
  layout.style = kPopup | kCaption | kDsModalFrame;
  for (const ControlRow& r : kControls)
    addControl(layout, r.id, r.kind, r.text, r.x, r.y, r.width, r.height, r.style, r.exStyle);
  return layout;
}

namespace {

struct TextField {
  int box;
  std::string ToolSettings::*field;
};

// The five boxes in the order they are filled and read.
constexpr TextField kTextFields[] = {
    {kTemplateNameBox, &ToolSettings::templateName},
    {kTemplateAuthorBox, &ToolSettings::templateAuthor},
    {kTemplateTitleBox, &ToolSettings::templateTitle},
    {kTemplateDescriptionBox, &ToolSettings::templateDescription},
    {kTemplateFolderBox, &ToolSettings::saveFolder},
};

void fillDialog(Platform& platform, ToolSettings& settings, WindowHandle dialog) {
  platform.setDefaultButton(dialog, kTemplateOk);
  for (const char* name : kTemplateOptionNames) platform.listAdd(dialog, kTemplateOptionList, name);
  loadSettings(platform, settings);
  for (const TextField& f : kTextFields) platform.setControlText(dialog, f.box, settings.*f.field);
  for (const std::string& name : settings.templateOptions.names()) {
    // An empty option line loads as one empty name. Every item begins with
    // the empty text, so it must not reach the prefix search at all.
    if (name.empty()) continue;
    int index = platform.listFindPrefix(dialog, kTemplateOptionList, name);
    if (index >= 0) platform.listSelect(dialog, kTemplateOptionList, index);
  }
}

void storeDialog(Platform& platform, ToolSettings& settings, WindowHandle dialog) {
  for (const TextField& f : kTextFields) settings.*f.field = platform.controlText(dialog, f.box);
  settings.templateOptions.clear();
  int count = platform.listCount(dialog, kTemplateOptionList);
  for (int i = 0; i < count; ++i)
    if (platform.listIsSelected(dialog, kTemplateOptionList, i))
      settings.templateOptions.add(platform.listText(dialog, kTemplateOptionList, i));
  saveSettings(platform, settings);
}

}  // namespace

bool showTemplateOptionsDialog(Platform& platform, ToolSettings& settings, WindowHandle parent,
                               const std::string& caption) {
  DialogEvents events;
  events.onInit = [&](WindowHandle dialog) { fillDialog(platform, settings, dialog); };
  events.onCommand = [&](WindowHandle dialog, int id, int code) {
    if (code != 0 && code != 1) return;
    if (id == kTemplateOk) {
      storeDialog(platform, settings, dialog);
      platform.endDialog(dialog, 1);
    } else if (id == kTemplateCancel || id == kIdCancel) {
      platform.endDialog(dialog, 0);
    }
  };
  return platform.runModalDialog(parent, templateOptionsDialogLayout(caption), events) == 1;
}

}  // namespace codeloom
