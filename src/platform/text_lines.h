// Reading file bytes as text lines, the way every Codeloom command reads.
//
// A line ends at CR or at CR LF (the LF after a CR is consumed); a lone LF
// stays part of the line. A byte 0x1A ends the file. The last line needs no
// line end, so "a\r\n" is one line and "a\r\n\r\n" is two.
#pragma once

#include <cstring>
#include <string_view>

namespace codeloom {

class LineReader {
 public:
  explicit LineReader(std::string_view bytes);

  // Sets line to the next line, without its line end, and returns true;
  // returns false at the end of the file. Inline: it runs once per line of
  // every file the commands read.
  bool next(std::string_view& line) {
    if (rest_.empty()) return false;
    const char* start = rest_.data();
    const void* cr = std::memchr(start, '\r', rest_.size());
    size_t end = cr ? static_cast<const char*>(cr) - start : rest_.size();
    line = std::string_view(start, end);
    size_t skip = end;
    if (skip < rest_.size()) {
      ++skip;  // the CR
      if (skip < rest_.size() && start[skip] == '\n') ++skip;
    }
    rest_.remove_prefix(skip);
    return true;
  }

 private:
  std::string_view rest_;
};

}  // namespace codeloom
