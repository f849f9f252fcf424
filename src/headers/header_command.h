// Write SLL / DLL / compile headers: Declare statements of the picked source
// files on the clipboard.
#pragma once

#include "headers/source_scanner.h"
#include "platform/platform.h"

namespace codeloom {

// Lets the user pick source files (no owner window), scans them in the
// dialog's order into one header and replaces the clipboard with it; cancel
// leaves an empty text on the clipboard.
void runHeaderCommand(Platform& platform, HeaderMode mode);

}  // namespace codeloom
