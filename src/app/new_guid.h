// GUID text and the New GUID command.
#pragma once

#include <string>

#include "platform/platform.h"

namespace codeloom {

// Registry form with braces, lower-case digits: 38 characters.
std::string guidText(const Guid& guid);

// The text of a freshly created GUID.
std::string newGuidText(Platform& platform);

// The PowerBASIC literal New GUID puts on the clipboard: GUID$("{...}")
// followed by one space, 48 characters.
std::string guidLiteral(const std::string& guidText);

// New GUID: a fresh literal on the clipboard, then the IDE to the front.
void runNewGuid(Platform& platform);

}  // namespace codeloom
