#include "headers/source_files.h"

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

}  // namespace codeloom
