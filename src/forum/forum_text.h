// The forum text: source files wrapped in "[code]" blocks for pasting into a
// web forum's editor.
//
// One file's block is its name and CRLF, "[code]" directly followed by the
// file's lines joined by CRLF, "[/code]" and CRLF, then a line of one blank.
// Lines are read as LineReader reads them (CR LF, CR or LF ends a line; the
// last needs no line end); an empty line becomes one blank, and after that
// each tab becomes two blanks.
#pragma once

#include <string>
#include <string_view>

namespace codeloom {

// Appends the whole block of one file, given all its bytes.
void appendForumBlock(std::string& out, std::string_view name, std::string_view bytes);

// The same block for a file read in pieces, cut anywhere: appendForumHead,
// then appendForumLines for each piece, then appendForumTail. A 0x1A byte
// ends the file, so nothing from it on may be passed.
struct ForumLines {
  bool lineEmpty = true;    // the current line has no byte yet
  bool endPending = false;  // a line ended: its CRLF goes out before the next line
  bool afterCr = false;     // the last piece ended in a CR: a first LF belongs to it
};
void appendForumHead(std::string& out, std::string_view name);
void appendForumLines(std::string& out, ForumLines& lines, std::string_view piece);
void appendForumTail(std::string& out);

}  // namespace codeloom
