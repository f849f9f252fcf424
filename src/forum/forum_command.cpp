#include "forum/forum_command.h"

#include "forum/forum_text.h"
#include "headers/source_files.h"
#include "platform/file_picker.h"
#include "platform/text_helpers.h"

namespace codeloom {

void runForumFormat(Platform& platform, WindowHandle commandWindow) {
  OpenFileRequest request = sourceFilesRequest(commandWindow);
  request.offsetFromOwner = true;
  std::string text;
  std::string bytes;
  for (const PickedFile& file : pickedFiles(platform.openFileDialog(request))) {
    // A file that cannot be read gives an empty block; the others go on.
    if (!platform.readPickedFile(file, bytes)) bytes.clear();
    appendForumBlock(text, file.name, bytes);
  }
  // Cancel also lands here: the clipboard then holds empty text.
  replaceClipboardText(platform, text);
}

}  // namespace codeloom
