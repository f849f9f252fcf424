// Forum Format Files: wraps the picked source files in [code] blocks on the
// clipboard.
#pragma once

#include "platform/platform.h"

namespace codeloom {

void runForumFormat(Platform& platform, WindowHandle commandWindow);

}  // namespace codeloom
