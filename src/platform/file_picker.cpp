#include "platform/file_picker.h"

#include "platform/ansi.h"
#include "platform/text_helpers.h"

namespace codeloom {

std::vector<PickedFile> pickedFiles(const OpenFileResult& result) {
  const std::vector<std::u16string>& parts = result.parts;
  std::vector<PickedFile> files;
  if (parts.empty()) return files;
  // Spaces round it go; a text of spaces empties.
  std::u16string folder(trimSpaces(std::u16string_view(parts[0])));
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
