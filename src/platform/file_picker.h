// The source-file picker shared by the forum and header commands: the
// open-file dialog's request, and the paths its result names.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace codeloom {

// "Select files" in C:\prj\pb, filter Basic (*.bas;*.inc), several files.
OpenFileRequest sourceFilesRequest(WindowHandle owner);

// The picked paths in dialog order. The folder part is trimmed of blanks;
// for several files it gets a "\" unless it has one, and each path is the
// folder followed by a name. Cancel (count 0) gives no paths.
std::vector<std::string> pickedPaths(const OpenFileResult& result);

}  // namespace codeloom
