#include "forum/forum_command.h"

#include <string_view>
#include <vector>

#include "forum/forum_text.h"
#include "platform/file_picker.h"

namespace codeloom {
namespace {

// Part index of the dialog's '\0'-separated result text; empty when missing.
std::string_view resultPart(std::string_view text, int index) {
  for (; index > 0; --index) {
    size_t zero = text.find('\0');
    if (zero == std::string_view::npos) return {};
    text.remove_prefix(zero + 1);
  }
  return text.substr(0, text.find('\0'));
}

// One file is named by its path after the last backslash; several files by
// the names exactly as the dialog returned them after the folder.
std::string_view pickedName(const OpenFileResult& picked, const std::string& path, int index) {
  if (picked.count > 1) return resultPart(picked.text, index + 1);
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string_view(path)
                                    : std::string_view(path).substr(slash + 1);
}

}  // namespace

void runForumFormat(Platform& platform, WindowHandle commandWindow) {
  OpenFileRequest request = sourceFilesRequest(commandWindow);
  request.offsetFromOwner = true;
  OpenFileResult picked = platform.openFileDialog(request);
  std::vector<std::string> paths = pickedPaths(picked);

  std::string text;
  std::string bytes;
  for (size_t i = 0; i < paths.size(); ++i) {
    // A file that cannot be read gives an empty block; the others go on.
    if (!platform.readFile(paths[i], bytes)) bytes.clear();
    appendForumBlock(text, pickedName(picked, paths[i], static_cast<int>(i)), bytes);
  }
  // Cancel also lands here: the clipboard then holds empty text.
  platform.emptyClipboard();
  platform.setClipboardText(text);
}

}  // namespace codeloom
