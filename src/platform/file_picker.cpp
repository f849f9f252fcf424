#include "platform/file_picker.h"

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

std::vector<std::string> pickedPaths(const OpenFileResult& result) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    size_t zero = result.text.find('\0', start);
    parts.push_back(result.text.substr(start, zero - start));
    if (zero == std::string::npos) break;
    start = zero + 1;
  }
  std::string folder = parts[0];
  // Spaces round the folder go (npos + 1 == 0: a folder of spaces empties).
  folder.erase(folder.find_last_not_of(' ') + 1);
  folder.erase(0, folder.find_first_not_of(' '));
  if (result.count > 1 && !folder.ends_with('\\')) folder += '\\';

  std::vector<std::string> paths;
  for (int i = 1; i <= result.count; ++i) {
    if (result.count == 1) {
      paths.push_back(folder);
    } else {
      size_t index = static_cast<size_t>(i);
      paths.push_back(folder + (index < parts.size() ? parts[index] : std::string()));
    }
  }
  return paths;
}

}  // namespace codeloom
