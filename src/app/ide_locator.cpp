#include "app/ide_locator.h"

#include "platform/ansi.h"
#include "platform/platform.h"

namespace codeloom {

bool isIdeTitle(std::string_view title) {
  for (std::string_view prefix : {"PB/WIN IDE", "PB/CC IDE"}) {
    std::string_view head = title.substr(0, prefix.size());
    if (toLowerAnsi(head) == toLowerAnsi(prefix)) return true;
  }
  return false;
}

void activateIde(Platform& platform) {
  if (WindowHandle ide = platform.findTopWindow(isIdeTitle))
    platform.setForegroundWindow(ide);
}

}  // namespace codeloom
