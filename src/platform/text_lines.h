// Reading file bytes as text lines, the way every Codeloom command reads.
//
// A line ends at CR or at CR LF (the LF after a CR is consumed); a lone LF
// stays part of the line. A byte 0x1A ends the file. The last line needs no
// line end, so "a\r\n" is one line and "a\r\n\r\n" is two.
#pragma once

#include <string_view>

namespace codeloom {

class LineReader {
 public:
  explicit LineReader(std::string_view bytes);

  // Sets line to the next line, without its line end, and returns true;
  // returns false at the end of the file.
  bool next(std::string_view& line);

 private:
  std::string_view rest_;
};

}  // namespace codeloom
