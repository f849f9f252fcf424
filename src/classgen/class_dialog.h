// The class dialog of New Class and New Interface: class name, properties,
// methods, Save-to folder (New Class only) and the Messages flag, kept in
// ToolSettings and its file.
#pragma once

#include <string>

#include "app/settings.h"
#include "platform/platform.h"

namespace codeloom {

enum ClassDialogId : int {
  kClassNameLabel = 1005,
  kClassNameBox = 1006,
  kPropertiesLabel = 1007,
  kPropertiesBox = 1008,
  kClassOkButton = 1010,
  kClassCancelButton = 1011,
  kMethodsLabel = 1013,  // the "Save to" label shares this id
  kMethodsBox = 1014,
  kSaveFolderBox = 1024,
  kMemberHelpLabel = 1033,
  kMessagesLabel = 1036,
  kMessagesCheckBox = 1037,
};

// True when the caption names the interface variant, which has no Save-to row.
bool isInterfaceCaption(const std::string& caption);

// The dialog's template, its boxes filled from settings.
DialogLayout classDialogLayout(const ToolSettings& settings, const std::string& caption);

// Reloads settings from "settings.txt", shows the dialog modally over parent
// and, on OK, stores the boxes (name and member texts trimmed of spaces) and
// saves the file. Returns true for OK; Cancel and Escape change nothing.
bool showClassDialog(Platform& platform, ToolSettings& settings, WindowHandle parent,
                     const std::string& caption);

}  // namespace codeloom
