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

namespace {

// The set bits of a mask. The x86-64 baseline has no popcnt instruction,
// and the library's fallback is a call per mask.
inline size_t countBits(uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<size_t>((bits * 0x0101010101010101u) >> 56);
}

}  // namespace

size_t countLineEnds(std::string_view text) {
  // CRs and LFs, less the LFs that follow a CR, 64 bytes at a time.
  static constexpr ByteClass kCrLf[] = {'\r', '\n'};
  constexpr size_t kBlocks = 16;
  uint64_t masks[2 * kBlocks];
  size_t count = 0, at = 0;
  uint64_t crBefore = 0;  // the last byte before the block is a CR
  while (text.size() - at >= kMaskBlock) {
    const size_t blocks = std::min(kBlocks, (text.size() - at) / kMaskBlock);
    findBytes(text.data() + at, blocks, kCrLf, masks);
    for (size_t b = 0; b < blocks; ++b) {
      const uint64_t cr = masks[2 * b], lf = masks[2 * b + 1];
      count += countBits(cr | (lf & ~(cr << 1 | crBefore)));  // no byte is both
      crBefore = cr >> 63;
    }
    at += blocks * kMaskBlock;
  }
  for (; at < text.size(); ++at) {
    if (text[at] == '\r' || (text[at] == '\n' && !crBefore)) ++count;
    crBefore = text[at] == '\r';
  }
  return count;
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
