// The source-file picker shared by the forum and header commands: the
// open-file dialog's request, and the files its result names.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace codeloom {

// "Select files" in C:\prj\pb, filter Basic (*.bas;*.inc), several files.
OpenFileRequest sourceFilesRequest(WindowHandle owner);

// The picked files in dialog order. The first part (the one path, or the
// folder) is trimmed of blanks; for several files the folder gets a "\"
// unless it has one, and each path is the folder followed by a name. One
// file is named by its path after the last "\", several by their names as
// the dialog returned them. Cancel (no parts) gives no files.
std::vector<PickedFile> pickedFiles(const OpenFileResult& result);

}  // namespace codeloom
