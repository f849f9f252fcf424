#include "headers/header_command.h"

#include "platform/file_picker.h"

namespace codeloom {

void runHeaderCommand(Platform& platform, HeaderMode mode) {
  std::string header;
  InterfaceNames interfaceNames;
  // No owner and no position: the dialog needs no hook.
  OpenFileResult picked = platform.openFileDialog(sourceFilesRequest(nullptr));
  std::string bytes;
  for (const PickedFile& file : pickedFiles(picked)) {
    // A file that cannot be read counts as empty; it still gets its banner.
    if (!platform.readPickedFile(file, bytes)) bytes.clear();
    // The banner names the file by the text after its last "\", which the
    // name already is.
    scanSourceFile(header, interfaceNames, file.name, bytes, mode);
  }
  platform.emptyClipboard();
  platform.setClipboardText(header);
}

}  // namespace codeloom
