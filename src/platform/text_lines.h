// Reading file bytes as text lines, the way every Codeloom command reads.
//
// A line ends at CR or at CR LF (the LF after a CR is consumed); a lone LF
// stays part of the line. A byte 0x1A ends the file. The last line needs no
// line end, so "a\r\n" is one line and "a\r\n\r\n" is two.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codeloom {

class LineReader {
 public:
  explicit LineReader(std::string_view bytes);

  // Sets line to the next line, without its line end, and returns true;
  // returns false at the end of the file. Inline: it runs once per line of
  // every file the commands read, and source lines are short.
  bool next(std::string_view& line) {
    if (next_ >= size_) return false;
    for (;;) {
      if (crs_) {
        size_t cr = block_ + static_cast<size_t>(__builtin_ctzll(crs_));
        crs_ &= crs_ - 1;
        line = std::string_view(data_ + next_, cr - next_);
        next_ = cr + 1;
        if (next_ < size_ && data_[next_] == '\n') ++next_;
        return true;
      }
      block_ += kBlock;
      if (block_ >= size_) {  // the last line has no line end
        line = std::string_view(data_ + next_, size_ - next_);
        next_ = size_;
        return true;
      }
      crs_ = crMask(block_);
    }
  }

 private:
  static constexpr size_t kBlock = 64;

  // Bit i set when data_[at + i] is a CR: the line ends of a whole block are
  // found in a few instructions, not one search per line.
  uint64_t crMask(size_t at) const {
    const char* p = data_ + at;
    if (size_ - at < kBlock) {
      uint64_t mask = 0;
      for (size_t i = 0; i < size_ - at; ++i) mask |= uint64_t(p[i] == '\r') << i;
      return mask;
    }
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
      __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
      mask |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, cr)))) << (16 * i);
    }
    return mask;
#else
    uint64_t mask = 0;
    for (size_t i = 0; i < kBlock; ++i) mask |= uint64_t(p[i] == '\r') << i;
    return mask;
#endif
  }

  const char* data_;
  size_t size_;      // up to the first 0x1A
  size_t next_ = 0;  // where the next line starts
  size_t block_ = 0;
  uint64_t crs_ = 0;  // the CRs of the block at block_ not yet used
};

}  // namespace codeloom
