#include "forum/forum_command.h"

namespace codeloom {

void runForumFormat(Platform&, WindowHandle) {}

}  // namespace codeloom
