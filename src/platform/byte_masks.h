// Which bytes of a run of 64-byte blocks are of a kind, as one 64-bit mask
// per block: bit i for byte i. The text readers find line ends, tabs and a
// rule's leading letters this way instead of byte by byte. Each search has
// three kernels that agree on every input: a scalar one, SSE2 and AVX2.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codeloom {

enum class MaskKernel { Best, Scalar, Sse2, Avx2 };
bool maskKernelAvailable(MaskKernel kernel);
// Every search from now on uses kernel (Best: the fastest the CPU has);
// tests run once per kernel.
void useMaskKernel(MaskKernel kernel);

constexpr size_t kMaskBlock = 64;

// Whether copyRun takes sixteen bytes a step; the scalar kernel turns it off.
inline bool copyRunUsesSse2 = true;

// Copies from[0, size) to `to` up to the first byte that is one of kStops,
// and returns how many bytes it copied. It may write up to all size bytes:
// `to` needs room for them (it may lag behind from, as a copy that drops
// bytes does). Inline: the header scanner copies each word of a Declare.
template <char... kStops>
inline size_t copyRun(const char* from, size_t size, char* to) {
  size_t done = 0;
#if defined(__SSE2__)
  for (; copyRunUsesSse2 && done + 16 <= size; done += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + done));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + done), x);
    __m128i stops = _mm_setzero_si128();
    ((stops = _mm_or_si128(stops, _mm_cmpeq_epi8(x, _mm_set1_epi8(kStops)))), ...);
    if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(stops))) return done + __builtin_ctz(mask);
  }
#endif
  for (; done < size && ((from[done] != kStops) && ...); ++done) to[done] = from[done];
  return done;
}

// One byte or either of two.
struct ByteClass {
  char one, other;
  constexpr ByteClass(char c) : one(c), other(c) {}
  constexpr ByteClass(char a, char b) : one(a), other(b) {}
};

// masks[b * classes.size() + k], bit i: byte 64 * b + i of data is of
// classes[k]. At most four classes.
void findBytes(const char* data, size_t blocks, std::span<const ByteClass> classes, uint64_t* masks);

// Pairs of bytes looked for together, each byte ignoring case as the code
// page lower-cases; a second byte 0 stands for any byte. Any number of pairs.
struct BytePair {
  char first, second;
};
struct PairTables {
  std::vector<BytePair> pairs;
  std::vector<uint64_t> isPair;  // bit 256 * a + b: bytes a, b are a pair
  // The SIMD kernels compare a byte that has two cases (a letter) with bit
  // 5 set, any other exactly: right when every byte the code page folds to
  // a pair's byte differs from it in bit 5 alone (foldsByBit5). Else the
  // scalar kernel searches.
  bool foldsByBit5 = false;
  std::vector<BytePair> folded;  // the pairs, a byte with two cases with bit 5 set
  std::vector<uint8_t> foldedBytes;  // per pair: bit 0 the first byte has two cases, bit 1 the second
  // For the AVX2 kernel, per eight bits: which bits a low and a high nibble
  // may start (bytes 0-31) and end (32-63); a bit stands for one pair or
  // for several that share it exactly.
  std::vector<std::array<uint8_t, 64>> nibbles;
  bool matches(unsigned char a, unsigned char b) const { return isPair[(a * 256 + b) >> 6] >> (b & 63) & 1; }
};
PairTables makePairTables(const std::vector<BytePair>& pairs);

// masks[b], bit i: bytes 64 * b + i and the one after it are one of the
// pairs. Reads one byte past the last block.
void findPairs(const char* data, size_t blocks, const PairTables& tables, uint64_t* masks);

// findBytes and findPairs over the same blocks, in one pass where it can.
void findBytesAndPairs(const char* data, size_t blocks, std::span<const ByteClass> classes, const PairTables& tables,
                       uint64_t* classMasks, uint64_t* pairMasks);

// Calls found(at) for each place of text where a pair starts, in order,
// until it returns true; returns whether one did.
template <typename Found>
bool anyPairIn(std::string_view text, const PairTables& tables, Found found) {
  constexpr size_t kBlocks = 16;
  uint64_t masks[kBlocks];
  for (size_t at = 0; at + 1 < text.size();) {
    size_t blocks = std::min((text.size() - 1 - at) / kMaskBlock, kBlocks);  // each with a byte after it
    const char* from = text.data() + at;
    char tail[kMaskBlock + 1];  // the rest, padded with bytes that end no letter pair
    if (blocks == 0) {
      const size_t rest = text.copy(tail, kMaskBlock, at);
      std::fill(tail + rest, tail + sizeof tail, '\0');
      from = tail, blocks = 1;
    }
    findPairs(from, blocks, tables, masks);
    for (size_t b = 0; b < blocks; ++b)
      for (uint64_t m = masks[b]; m; m &= m - 1) {
        size_t place = at + kMaskBlock * b + static_cast<size_t>(__builtin_ctzll(m));
        if (place + 1 < text.size() && found(place)) return true;
      }
    at += kMaskBlock * blocks;
  }
  return false;
}

}  // namespace codeloom
