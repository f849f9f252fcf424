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
    // names the file by the text after its last "\", which the name is.
    SourceScan scan;
    beginSourceScan(scan, header, interfaceNames, file.name, mode);
    const size_t banner = header.size();
    bool read = platform.readPickedFileWindows(
        file, [&scan](std::string_view window) { scanSourceBytes(scan, window); });
    if (read) {
      endSourceScan(scan);
    } else {
      // A file that cannot be read, even partway, counts as empty; it keeps
      // its banner and the section's closing empty line.
      abandonSourceScan(scan);
      header.resize(banner);
      header += "\r\n";
    }
  }
  replaceClipboardText(platform, header);
}

}  // namespace codeloom
