// The forum text: source files wrapped in "[code]" blocks for pasting into a
// web forum's editor.
#pragma once

#include <string>
#include <string_view>

namespace codeloom {

// Appends one file's block to out: name CRLF, "[code]" directly followed by
// the file's lines joined by CRLF, "[/code]" CRLF, then a line of one blank.
// Lines are read as LineReader reads them; an empty line becomes one blank,
// and after that each tab becomes two blanks.
void appendForumBlock(std::string& out, std::string_view name, std::string_view bytes);

}  // namespace codeloom
