#include "headers/header_command.h"

#include "headers/source_files.h"
#include "headers/source_sections.h"
#include "platform/file_picker.h"
#include "platform/text_helpers.h"

namespace codeloom {

void runHeaderCommand(Platform& platform, HeaderMode mode) {
  HeaderText header;
  HeaderScan command;
  command.mode = mode;
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
  appendSourceSections(header, command, sections, nullptr, [](size_t, bool) { return true; });
  // The Lib clauses name the DLL once every file is read: a later file's
  // #COMPILE DLL names the clauses of the files before it too.
  replaceClipboardText(platform, withLibraryName(header, finalLibraryName(command)));
}

}  // namespace codeloom
