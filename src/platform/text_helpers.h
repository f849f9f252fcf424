// Small text steps that several commands take in the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace codeloom {

// text without the spaces at its ends. Only the space character counts: a
// tab, CR or LF at an end stays.
std::string_view trimSpaces(std::string_view text);
std::u16string_view trimSpaces(std::u16string_view text);

// The items between commas, in order: always the number of commas plus
// one, so "" gives one empty item and "a,,b" an empty one between a and b.
// Nothing is trimmed.
std::vector<std::string_view> splitAtCommas(std::string_view text);

// Puts text on the clipboard the way every command does: empties it, then
// sets the text (each step opens and closes the clipboard itself).
void replaceClipboardText(Platform& platform, const std::string& text);

}  // namespace codeloom
