// Reading file bytes as text lines, the way every Codeloom reader reads.
//
// A byte 0x1A ends the file. Source, template and forum files end a line at
// CR LF, at a lone CR or at a lone LF (files as git stores them end lines
// with LF). The settings file ends a line at CR or CR LF only: a lone LF
// stays inside its line, since a description may hold one. The last line
// needs no line end, so "a\r\n" is one line and "a\r\n\r\n" is two.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>


namespace codeloom {

constexpr char kEndOfFileByte = '\x1A';

// The bytes of a file that are its text: those before its first 0x1A. A
// reader of pieces passes each piece and stops after the first that is cut.
inline std::string_view textBeforeEndOfFile(std::string_view bytes) {
  const void* eof = bytes.empty() ? nullptr : std::memchr(bytes.data(), kEndOfFileByte, bytes.size());
  if (!eof) return bytes;
  return bytes.substr(0, static_cast<size_t>(static_cast<const char*>(eof) - bytes.data()));
}

enum class LineEnds {
  CrLfCrOrLf,  // sources, templates, forum files
  CrOrCrLf,    // settings.txt
};

// True when c ends a line by itself or starts a CR LF.
inline bool isLineEndByte(char c, LineEnds ends = LineEnds::CrLfCrOrLf) {
  return c == '\r' || (c == '\n' && ends == LineEnds::CrLfCrOrLf);
}

// Where the line after the line end at text[end] starts: past a CR LF, or
// past the one byte. A CR that ends text may yet be followed by an LF the
// caller has not seen.
inline size_t afterLineEnd(std::string_view text, size_t end) {
  return end + 1 + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n');
}

// How many lines of text end in it: a CR, an LF or a CR LF each end one.
size_t countLineEnds(std::string_view text);

class LineReader {
 public:
  explicit LineReader(std::string_view bytes, LineEnds ends = LineEnds::CrLfCrOrLf);

  // Sets line to the next line, without its line end, and returns true;
  // returns false at the end of the file. Inline: it runs once per line of
  // every file the commands read, and source lines are short.
  bool next(std::string_view& line) {
    if (next_ >= size_) return false;
    for (;;) {
      while (ends_) {
        size_t end = block_ + static_cast<size_t>(__builtin_ctzll(ends_));
        ends_ &= ends_ - 1;
        if (end < next_) continue;  // the LF of a CR LF already passed
        line = std::string_view(data_ + next_, end - next_);
        next_ = end + 1;
        if (data_[end] == '\r' && next_ < size_ && data_[next_] == '\n') ++next_;
        return true;
      }
      block_ += kBlock;
      if (block_ >= size_) {  // the last line has no line end
        line = std::string_view(data_ + next_, size_ - next_);
        next_ = size_;
        return true;
      }
      ends_ = endMask(block_);
    }
  }

 private:
  static constexpr size_t kBlock = 64;

  static constexpr size_t kChunkBlocks = 16;  // blocks whose masks are found at once

  // Bit i set when data_[at + i] ends a line or starts a CR LF: the line
  // ends of a whole block are found in a few instructions, not one search
  // per line.
  uint64_t endMask(size_t at);

  const char* data_;
  size_t size_;      // up to the first 0x1A
  LineEnds lineEnds_;
  size_t next_ = 0;  // where the next line starts
  size_t block_ = 0;
  uint64_t ends_ = 0;  // the line ends of the block at block_ not yet used
  uint64_t chunkEnds_[kChunkBlocks] = {};  // of the blocks from the chunk's first on
};

}  // namespace codeloom
