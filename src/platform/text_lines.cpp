#include "platform/text_lines.h"

namespace codeloom {

LineReader::LineReader(std::string_view bytes) : data_(bytes.data()), size_(bytes.size()) {
  // Everything from the first 0x1A on is not part of the file.
  if (const void* eof = size_ ? std::memchr(data_, '\x1A', size_) : nullptr)
    size_ = static_cast<size_t>(static_cast<const char*>(eof) - data_);
  if (size_) crs_ = crMask(0);
}

}  // namespace codeloom
