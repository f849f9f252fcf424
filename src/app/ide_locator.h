// Finds the PowerBASIC IDE's window by its title and brings it forward.
#pragma once

#include <string_view>

namespace codeloom {

class Platform;

// True when title starts with "PB/WIN IDE" or "PB/CC IDE", in any letter case.
bool isIdeTitle(std::string_view title);

// Brings the first IDE window in Z order to the foreground; does nothing when
// no IDE is running.
void activateIde(Platform& platform);

}  // namespace codeloom
