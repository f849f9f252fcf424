#include "platform/text_lines.h"

#include <algorithm>

#include "platform/byte_masks.h"

namespace codeloom {

LineReader::LineReader(std::string_view bytes, LineEnds ends) : lineEnds_(ends) {
  bytes = textBeforeEndOfFile(bytes);
  data_ = bytes.data();
  size_ = bytes.size();
  if (size_) ends_ = endMask(0);
}

uint64_t LineReader::endMask(size_t at) {
  const char* p = data_ + at;
  if (size_ - at < kBlock) {
    uint64_t mask = 0;
    for (size_t i = 0; i < size_ - at; ++i) mask |= uint64_t(isLineEndByte(p[i], lineEnds_)) << i;
    return mask;
  }
  const size_t inChunk = at / kBlock % kChunkBlocks;
  if (inChunk == 0) {
    static constexpr ByteClass kCrOrLf[] = {{'\r', '\n'}}, kCr[] = {'\r'};
    findBytes(p, std::min(kChunkBlocks, (size_ - at) / kBlock),
              lineEnds_ == LineEnds::CrLfCrOrLf ? std::span(kCrOrLf) : std::span(kCr), chunkEnds_);
  }
  return chunkEnds_[inChunk];
}

}  // namespace codeloom
