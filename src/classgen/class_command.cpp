#include "classgen/class_command.h"

namespace codeloom {

void runNewClass(Platform&, ToolSettings&, WindowHandle) {}
void runNewInterface(Platform&, ToolSettings&, WindowHandle) {}

}  // namespace codeloom
