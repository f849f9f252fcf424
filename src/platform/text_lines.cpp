#include "platform/text_lines.h"

namespace codeloom {

LineReader::LineReader(std::string_view bytes) : rest_(bytes) {
  // Everything from the first 0x1A on is not part of the file.
  if (bytes.empty()) return;
  if (const void* eof = std::memchr(bytes.data(), '\x1A', bytes.size()))
    rest_ = bytes.substr(0, static_cast<const char*>(eof) - bytes.data());
}

}  // namespace codeloom
