// On Windows the GUIDs come from CoCreateGuid, as the program's do.
#include "cli/cli_io.h"
#include "platform/platform_win32.h"

namespace codeloom::cli {

Guid randomGuid() {
  Win32Platform platform;
  return platform.createGuid();
}

}  // namespace codeloom::cli
