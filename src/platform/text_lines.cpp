#include "platform/text_lines.h"

#include <cstring>

namespace codeloom {

LineReader::LineReader(std::string_view bytes) : rest_(bytes) {
  // Everything from the first 0x1A on is not part of the file.
  if (bytes.empty()) return;
  if (const void* eof = std::memchr(bytes.data(), '\x1A', bytes.size()))
    rest_ = bytes.substr(0, static_cast<const char*>(eof) - bytes.data());
}

bool LineReader::next(std::string_view& line) {
  if (rest_.empty()) return false;
  const void* cr = std::memchr(rest_.data(), '\r', rest_.size());
  size_t end = cr ? static_cast<const char*>(cr) - rest_.data() : rest_.size();
  line = rest_.substr(0, end);
  size_t skip = end;
  if (skip < rest_.size()) {
    ++skip;  // the CR
    if (skip < rest_.size() && rest_[skip] == '\n') ++skip;
  }
  rest_ = rest_.substr(skip);
  return true;
}

}  // namespace codeloom
