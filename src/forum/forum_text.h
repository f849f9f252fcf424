// The forum text: source files wrapped in "[code]" blocks for pasting into a
// web forum's editor.
//
// One file's block is its name and CRLF, "[code]" directly followed by the
// file's lines joined by CRLF, "[/code]" and CRLF, then a line of one blank.
// Lines are read as LineReader reads them; an empty line becomes one blank,
// and after that each tab becomes two blanks.
#pragma once

#include <string>
#include <string_view>

namespace codeloom {

// Appends the whole block of one file, given all its bytes.
void appendForumBlock(std::string& out, std::string_view name, std::string_view bytes);

// The same block for a file read in pieces: appendForumHead, then
// appendForumLines for each piece, then appendForumTail. Every piece but the
// last must end at a certain line end (see wholeLinesLength), and a 0x1A
// byte ends the file, so nothing after it may be passed.
struct ForumLines {
  bool firstLine = true;  // no CRLF goes before the file's first line
};
void appendForumHead(std::string& out, std::string_view name);
void appendForumLines(std::string& out, ForumLines& lines, std::string_view piece);
void appendForumTail(std::string& out);

// The length of the longest prefix of bytes made of whole lines that more
// bytes cannot change: it ends after an LF, or after a CR that is not the
// last byte (an LF may still follow a final CR). The first `carried` bytes
// are known to hold no line end but perhaps a CR as their last, so the
// search stops there.
size_t wholeLinesLength(std::string_view bytes, size_t carried);

}  // namespace codeloom
