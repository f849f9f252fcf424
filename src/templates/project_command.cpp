#include "templates/project_command.h"

namespace codeloom {

void runProjectCommand(Platform&, ToolSettings&, ProjectKind, WindowHandle) {}

}  // namespace codeloom
