// The PowerBASIC source files the header commands and the forum formatter
// read: where and how the user picks them. Product choices, kept beside the
// commands; the platform only shows the dialog and splits its result.
#pragma once

#include "platform/platform.h"

namespace codeloom {

// "Select files" in C:\prj\pb, filter Basic (*.bas;*.inc), several files;
// no placement asked for (offsetFromOwner false).
OpenFileRequest sourceFilesRequest(WindowHandle owner);

}  // namespace codeloom
