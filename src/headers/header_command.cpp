#include "headers/header_command.h"

#include "platform/file_picker.h"
#include "platform/text_helpers.h"

namespace codeloom {

void runHeaderCommand(Platform& platform, HeaderMode mode) {
  std::string header;
  InterfaceNames interfaceNames;
  // No owner and no position: the dialog needs no hook.
  OpenFileResult picked = platform.openFileDialog(sourceFilesRequest(nullptr));
  for (const PickedFile& file : pickedFiles(picked)) {
    // Read in windows: memory holds the header, not the files. The banner
    // names the file by the text after its last "\", which the name is. A
    // file that cannot be read, even partway, counts as empty.
    appendSourceSection(header, interfaceNames, file.name, mode, kDefaultLibraryName,
                        [&](const std::function<bool(std::string_view)>& take) {
                          return platform.readPickedFileWindows(
                              file, [&take](std::string_view window) { take(window); });
                        });
  }
  replaceClipboardText(platform, header);
}

}  // namespace codeloom
