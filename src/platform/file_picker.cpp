#include "platform/file_picker.h"

#include "platform/ansi.h"

namespace codeloom {

OpenFileRequest sourceFilesRequest(WindowHandle owner) {
  OpenFileRequest request;
  request.owner = owner;
  request.title = "Select files";
  request.initialFolder = "C:\\prj\\pb";
  request.filterName = "Basic";
  request.filterPattern = "*.bas;*.inc";
  return request;
}

std::vector<PickedFile> pickedFiles(const OpenFileResult& result) {
  const std::vector<std::u16string>& parts = result.parts;
  std::vector<PickedFile> files;
  if (parts.empty()) return files;
  std::u16string folder = parts[0];
  // Spaces round it go (npos + 1 == 0: a text of spaces empties).
  folder.erase(folder.find_last_not_of(u' ') + 1);
  folder.erase(0, folder.find_first_not_of(u' '));
  if (parts.size() == 1) {
    std::u16string_view name(folder);
    name.remove_prefix(name.rfind(u'\\') + 1);  // npos + 1 == 0: the whole path
    files.push_back({folder, utf16ToAnsi(name)});
    return files;
  }
  if (!folder.ends_with(u'\\')) folder += u'\\';
  files.reserve(parts.size() - 1);
  for (size_t i = 1; i < parts.size(); ++i)
    files.push_back({folder + parts[i], utf16ToAnsi(parts[i])});
  return files;
}

}  // namespace codeloom
