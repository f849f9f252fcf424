// The files an open-file dialog's result names, as the forum and header
// commands open and name them.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace codeloom {

// The picked files in dialog order. The first part (the one path, or the
// folder) is trimmed of blanks; for several files the folder gets a "\"
// unless it has one, and each path is the folder followed by a name. One
// file is named by its path after the last "\", several by their names as
// the dialog returned them. Cancel (no parts) gives no files.
std::vector<PickedFile> pickedFiles(const OpenFileResult& result);

}  // namespace codeloom
