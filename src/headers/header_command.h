// Write SLL / DLL / compile headers: Declare statements of the picked source
// files on the clipboard.
#pragma once

#include "platform/platform.h"

namespace codeloom {

enum class HeaderMode { Sll, Dll, Compile };

void runHeaderCommand(Platform& platform, HeaderMode mode);

}  // namespace codeloom
