// New Class (a skeleton .inc file) and New Interface (a skeleton on the
// clipboard).
#pragma once

#include <string>

#include "app/settings.h"
#include "classgen/skeleton.h"
#include "platform/platform.h"

namespace codeloom {

// The Save-to folder with a closing "\" (an empty folder gives "\").
std::string classFolder(const std::string& saveFolder);

// The bytes New Class writes to its .inc file: the class skeleton of the
// settings' class fields and one more CR LF.
std::string newClassFileText(const ToolSettings& settings, const GuidSource& newGuid);

// The text New Interface puts on the clipboard, ending "End Class" CR LF.
std::string newInterfaceText(const ToolSettings& settings, const GuidSource& newGuid);

// Shows the class dialog; on OK with a class name that is a safe file stem
// (isSafeFileStem), writes <name>.inc into the Save-to folder, copies
// "Message.bas" beside it as "Message.inc" (unless that is the class file
// itself), then brings the IDE forward.
void runNewClass(Platform& platform, ToolSettings& settings, WindowHandle commandWindow);

// Shows the class dialog (no Save-to row); on OK with a class name, puts the
// interface skeleton on the clipboard, then brings the IDE forward.
void runNewInterface(Platform& platform, ToolSettings& settings, WindowHandle commandWindow);

}  // namespace codeloom
