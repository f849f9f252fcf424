#include "forum/forum_command.h"

#include <string_view>
#include <vector>

#include "forum/forum_text.h"
#include "platform/file_picker.h"
#include "platform/text_helpers.h"

namespace codeloom {
namespace {

// Steps through the dialog's '\0'-separated result text: the names of a
// multi-file selection follow the folder, each after its own '\0'. Walking
// once keeps a selection of many files linear; finding part i afresh from
// the start for every file made it quadratic.
struct ResultParts {
  std::string_view rest;
  // The next part (empty when missing).
  std::string_view next() {
    size_t zero = rest.find('\0');
    rest = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
    return rest.substr(0, rest.find('\0'));
  }
};

// One file is named by its path after the last backslash; several files by
// the names exactly as the dialog returned them after the folder.
std::string_view pickedName(const OpenFileResult& picked, const std::string& path,
                            ResultParts& names) {
  if (picked.count > 1) return names.next();
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
  ResultParts names{picked.text};  // at the folder, part 0
  for (size_t i = 0; i < paths.size(); ++i) {
    // A file that cannot be read gives an empty block; the others go on.
    if (!platform.readFile(paths[i], bytes)) bytes.clear();
    appendForumBlock(text, pickedName(picked, paths[i], names), bytes);
  }
  // Cancel also lands here: the clipboard then holds empty text.
  replaceClipboardText(platform, text);
}

}  // namespace codeloom
