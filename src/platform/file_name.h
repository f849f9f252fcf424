// The check that keeps a typed name inside its folder.
#pragma once

#include <string_view>

namespace codeloom {

// Whether stem, followed by an extension, names a file in the folder it is
// joined to and nowhere else. False when it holds a byte Windows refuses in
// a file name (0 to 31, < > : " / \ | ? *), so no separator, drive or
// stream colon; or when its part before the first dot, without blanks
// round it, is a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM or
// LPT with a digit or a superscript 1, 2, 3), ignoring case. The empty stem
// passes: an extension alone is a file name. A trailing dot or blank is
// fine, since the extension follows it.
bool isSafeFileStem(std::string_view stem);

}  // namespace codeloom
