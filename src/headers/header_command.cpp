#include "headers/header_command.h"

namespace codeloom {

void runHeaderCommand(Platform&, HeaderMode) {}

}  // namespace codeloom
