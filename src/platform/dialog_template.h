// Encodes a DialogLayout as the in-memory DLGTEMPLATE that
// CreateDialogIndirectParamW takes: 16-bit words, items DWORD-aligned.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace codeloom {

// The template always carries DS_SETFONT with the layout's font. Texts are
// converted from ANSI to UTF-16 with the system's code page.
std::vector<uint16_t> encodeDialogTemplate(const DialogLayout& layout);

}  // namespace codeloom
