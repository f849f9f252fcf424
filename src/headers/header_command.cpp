#include "headers/header_command.h"

#include "platform/file_picker.h"
#include "platform/text_helpers.h"

namespace codeloom {

void runHeaderCommand(Platform& platform, HeaderMode mode) {
  std::string header;
  InterfaceNames interfaceNames;
  OpenFileResult picked = platform.openFileDialog(sourceFilesRequest(nullptr));
  std::string bytes;
  for (const std::string& path : pickedPaths(picked)) {
    // A file that cannot be read counts as empty; it still gets its banner.
    if (!platform.readFile(path, bytes)) bytes.clear();
    scanSourceFile(header, interfaceNames, path, bytes, mode);
  }
  replaceClipboardText(platform, header);
}

}  // namespace codeloom
