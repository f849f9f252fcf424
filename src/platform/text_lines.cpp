#include "platform/text_lines.h"

namespace codeloom {

LineReader::LineReader(std::string_view bytes, LineEnds ends) : lineEnds_(ends) {
  bytes = textBeforeEndOfFile(bytes);
  data_ = bytes.data();
  size_ = bytes.size();
  if (size_) ends_ = endMask(0);
}

}  // namespace codeloom
