#include "headers/header_command.h"

#include "headers/source_files.h"
#include "headers/source_sections.h"
#include "platform/file_picker.h"
#include "platform/text_helpers.h"

namespace codeloom {

void runHeaderCommand(Platform& platform, HeaderMode mode) {
  std::string header;
  InterfaceNames interfaceNames;
  // No owner and no position: the dialog needs no hook.
  OpenFileResult picked = platform.openFileDialog(sourceFilesRequest(nullptr));
  // Read in windows: memory holds the header, not the files. The banner
  // names a file by the text after its last "\", which the name is. A file
  // that cannot be read, even partway, counts as empty. The platform reads
  // on this thread only, so no file is read ahead.
  std::vector<PickedFile> files = pickedFiles(picked);
  std::vector<SectionFile> sections;
  sections.reserve(files.size());
  for (const PickedFile& file : files) {
    sections.push_back({file.name, [&platform, &file](const std::function<bool(std::string_view)>& take) {
                          return platform.readPickedFileWindows(
                              file, [&take](std::string_view window) { take(window); });
                        }});
  }
  appendSourceSections(header, interfaceNames, sections, mode, kDefaultLibraryName, nullptr,
                       [](size_t, bool) { return true; });
  replaceClipboardText(platform, header);
}

}  // namespace codeloom
