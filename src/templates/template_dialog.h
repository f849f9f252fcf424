// The template options dialog of New App, New Win and New Child: the values
// and options the template engine puts into the new file.
#pragma once

#include <string>

#include "app/settings.h"
#include "platform/platform.h"

namespace codeloom {

// Control identifiers of the dialog.
enum TemplateDialogId {
  kTemplateOk = 1010,
  kTemplateCancel = 1011,
  kTemplateNameLabel = 1015,
  kTemplateNameBox = 1016,
  kTemplateAuthorLabel = 1017,
  kTemplateAuthorBox = 1018,
  kTemplateTitleLabel = 1019,
  kTemplateTitleBox = 1020,
  kTemplateDescriptionLabel = 1021,
  kTemplateDescriptionBox = 1022,
  kTemplateFolderLabel = 1023,
  kTemplateFolderBox = 1024,
  kTemplateOptionList = 1031,
};

// The eleven option names in list order (also their sorted order).
extern const char* const kTemplateOptionNames[11];

// The dialog's controls and geometry, with the given caption.
DialogLayout templateOptionsDialogLayout(const std::string& caption);

// Shows the dialog modally over the command window. It loads the settings
// file when it opens; on OK it stores the boxes and the selected options in
// settings, saves the settings file and returns true. Anything else returns
// false and leaves settings as loaded.
bool showTemplateOptionsDialog(Platform& platform, ToolSettings& settings, WindowHandle parent,
                               const std::string& caption);

}  // namespace codeloom
