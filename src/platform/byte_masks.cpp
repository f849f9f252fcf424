#include "platform/byte_masks.h"

#include <bitset>

#include "platform/ansi.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CODELOOM_X86 1
#endif

namespace codeloom {
namespace {

// A byte the code page lower-cases as the byte that differs from it in
// bit 5: a letter's two cases.
bool hasTwoCases(char c) {
  const auto& lower = lowerAnsiTable();
  return lower[static_cast<unsigned char>(c)] == lower[static_cast<unsigned char>(c ^ 0x20)];
}

// The scalar kernels: the reference the others agree with.
void findBytesScalar(const char* data, size_t blocks, std::span<const ByteClass> classes, uint64_t* masks) {
  const size_t n = classes.size();
  for (size_t b = 0; b < blocks; ++b) {
    for (size_t k = 0; k < n; ++k) masks[b * n + k] = 0;
    for (size_t i = 0; i < kMaskBlock; ++i) {
      const char c = data[64 * b + i];
      for (size_t k = 0; k < n; ++k) masks[b * n + k] |= uint64_t(c == classes[k].one || c == classes[k].other) << i;
    }
  }
}

void findPairsScalar(const char* data, size_t blocks, const PairTables& t, uint64_t* masks) {
  for (size_t b = 0; b < blocks; ++b) {
    const auto* p = reinterpret_cast<const unsigned char*>(data + 64 * b);
    uint64_t m = 0;
    for (size_t i = 0; i < kMaskBlock; ++i) m |= uint64_t(t.matches(p[i], p[i + 1])) << i;
    masks[b] = m;
  }
}

#if CODELOOM_X86

// SSE2: sixteen bytes per compare; the pairs one by one, letters folded.
template <size_t N>
void findBytesSse2(const char* data, size_t blocks, const ByteClass* classes, uint64_t* masks) {
  for (size_t b = 0; b < blocks; ++b)
    for (size_t k = 0; k < N; ++k) {
      const __m128i one = _mm_set1_epi8(classes[k].one), other = _mm_set1_epi8(classes[k].other);
      uint64_t m = 0;
      for (int j = 0; j < 4; ++j) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 64 * b + 16 * j));
        __m128i is = _mm_or_si128(_mm_cmpeq_epi8(x, one), _mm_cmpeq_epi8(x, other));
        m |= uint64_t(uint32_t(_mm_movemask_epi8(is))) << (16 * j);
      }
      masks[b * N + k] = m;
    }
}

__m128i foldedIf(__m128i x, bool fold) { return fold ? _mm_or_si128(x, _mm_set1_epi8(0x20)) : x; }

void findPairsSse2(const char* data, size_t blocks, const PairTables& t, uint64_t* masks) {
  for (size_t b = 0; b < blocks; ++b) {
    uint64_t m = 0;
    for (int j = 0; j < 4; ++j) {
      const char* p = data + 64 * b + 16 * j;
      __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
      __m128i any = _mm_setzero_si128();
      for (size_t k = 0; k < t.folded.size(); ++k) {
        const BytePair pair = t.folded[k];
        const uint8_t folds = t.foldedBytes[k];
        __m128i hit = _mm_cmpeq_epi8(foldedIf(x, folds & 1), _mm_set1_epi8(pair.first));
        if (pair.second) hit = _mm_and_si128(hit, _mm_cmpeq_epi8(foldedIf(y, folds & 2), _mm_set1_epi8(pair.second)));
        any = _mm_or_si128(any, hit);
      }
      m |= uint64_t(uint32_t(_mm_movemask_epi8(any))) << (16 * j);
    }
    masks[b] = m;
  }
}

// AVX2: thirty-two bytes per compare. The pairs are looked up by nibble,
// eight pairs per table: a byte's low and high nibble each name the pairs
// it may start (or end), and a pair starts where both bytes agree on it.
// Exact, as each byte of a pair is a letter's two cases, one byte, or any.
template <size_t N>
__attribute__((target("avx2"))) void findBytesAvx2(const char* data, size_t blocks, const ByteClass* classes,
                                                   uint64_t* masks) {
  for (size_t b = 0; b < blocks; ++b) {
    __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 64 * b));
    __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 64 * b + 32));
    for (size_t k = 0; k < N; ++k) {
      const __m256i one = _mm256_set1_epi8(classes[k].one), other = _mm256_set1_epi8(classes[k].other);
      const __m256i inLo = _mm256_or_si256(_mm256_cmpeq_epi8(lo, one), _mm256_cmpeq_epi8(lo, other));
      const __m256i inHi = _mm256_or_si256(_mm256_cmpeq_epi8(hi, one), _mm256_cmpeq_epi8(hi, other));
      masks[b * N + k] = uint64_t(uint32_t(_mm256_movemask_epi8(inLo))) | uint64_t(uint32_t(_mm256_movemask_epi8(inHi))) << 32;
    }
  }
}

__attribute__((target("avx2"))) inline __m256i table(const uint8_t* at) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
}

__attribute__((target("avx2"))) inline __m256i nibbleLookup(__m256i bytes, const uint8_t* low, const uint8_t* high) {
  const __m256i nibble = _mm256_set1_epi8(0x0f);
  const __m256i lows = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low)));
  const __m256i highs = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(high)));
  return _mm256_and_si256(_mm256_shuffle_epi8(lows, _mm256_and_si256(bytes, nibble)),
                          _mm256_shuffle_epi8(highs, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble)));
}

// The pair tables in registers; more than one group is the slow path.
struct AvxPairTables {
  __m256i firstLow, firstHigh, secondLow, secondHigh;
  const PairTables* tables;
  size_t groups;
};

#define CODELOOM_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

// Bit i: bytes i and i + 1 of the 32 at p, which x holds, are a pair.
template <bool kMoreGroups>
CODELOOM_AVX2_INLINE uint32_t pairMask(const char* p, __m256i x, const AvxPairTables& r) {
  const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
  const __m256i nibble = _mm256_set1_epi8(0x0f);
  const __m256i xLow = _mm256_and_si256(x, nibble), xHigh = _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble);
  const __m256i yLow = _mm256_and_si256(y, nibble), yHigh = _mm256_and_si256(_mm256_srli_epi16(y, 4), nibble);
  __m256i any = _mm256_and_si256(
      _mm256_and_si256(_mm256_shuffle_epi8(r.firstLow, xLow), _mm256_shuffle_epi8(r.firstHigh, xHigh)),
      _mm256_and_si256(_mm256_shuffle_epi8(r.secondLow, yLow), _mm256_shuffle_epi8(r.secondHigh, yHigh)));
  for (size_t k = 1; kMoreGroups && k < r.groups; ++k) {  // more than eight entries: slower, as many as needed
    const uint8_t* g = r.tables->nibbles[k].data();
    any = _mm256_or_si256(any, _mm256_and_si256(nibbleLookup(x, g, g + 16), nibbleLookup(y, g + 32, g + 48)));
  }
  return ~uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(any, _mm256_setzero_si256())));
}

// Eight pairs per group, held in registers for the first group: the masks
// written as bytes could alias the tables, so loads inside the loop would
// repeat. With kClasses > 0, the classes' masks are found in the same pass,
// as findBytes would: the line index asks for both over the same blocks.
// Bit k of kTwoBytes: classes[k] is two bytes; the others are one, and
// take one compare.
template <size_t kClasses, unsigned kTwoBytes, bool kMoreGroups>
__attribute__((target("avx2"))) void findPairsAvx2(const char* data, size_t blocks, const PairTables& t,
                                                   uint64_t* masks, const ByteClass* classes = nullptr,
                                                   uint64_t* classMasks = nullptr) {
  constexpr size_t kSlots = kClasses > 0 ? kClasses : 1;
  __m256i one[kSlots], other[kSlots];
  for (size_t k = 0; k < kClasses; ++k)
    one[k] = _mm256_set1_epi8(classes[k].one), other[k] = _mm256_set1_epi8(classes[k].other);
  static constexpr uint8_t kNone[64] = {};
  const uint8_t* g0 = t.nibbles.empty() ? kNone : t.nibbles[0].data();
  const AvxPairTables r{table(g0), table(g0 + 16), table(g0 + 32), table(g0 + 48), &t, t.nibbles.size()};
  for (size_t b = 0; b < blocks; ++b) {
    const char* p = data + 64 * b;
    const __m256i x0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i x1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    masks[b] = uint64_t(pairMask<kMoreGroups>(p, x0, r)) | uint64_t(pairMask<kMoreGroups>(p + 32, x1, r)) << 32;
#pragma GCC unroll 4
    for (size_t k = 0; k < kClasses; ++k) {
      __m256i in0 = _mm256_cmpeq_epi8(x0, one[k]), in1 = _mm256_cmpeq_epi8(x1, one[k]);
      if (kTwoBytes >> k & 1) {
        in0 = _mm256_or_si256(in0, _mm256_cmpeq_epi8(x0, other[k]));
        in1 = _mm256_or_si256(in1, _mm256_cmpeq_epi8(x1, other[k]));
      }
      classMasks[b * kClasses + k] =
          uint64_t(uint32_t(_mm256_movemask_epi8(in0))) | uint64_t(uint32_t(_mm256_movemask_epi8(in1))) << 32;
    }
  }
}

bool hasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif  // CODELOOM_X86

MaskKernel bestKernel() {
#if CODELOOM_X86
  return hasAvx2() ? MaskKernel::Avx2 : MaskKernel::Sse2;
#else
  return MaskKernel::Scalar;
#endif
}

// Set before first use, also from other files' static initialisers.
MaskKernel& activeKernel() {
  static MaskKernel kernel = bestKernel();
  return kernel;
}

}  // namespace

bool maskKernelAvailable(MaskKernel kernel) {
#if CODELOOM_X86
  return kernel != MaskKernel::Avx2 || hasAvx2();
#else
  return kernel == MaskKernel::Best || kernel == MaskKernel::Scalar;
#endif
}

void useMaskKernel(MaskKernel kernel) {
  activeKernel() = kernel == MaskKernel::Best || !maskKernelAvailable(kernel) ? bestKernel() : kernel;
  copyRunUsesSse2 = activeKernel() != MaskKernel::Scalar;
}

void findBytes(const char* data, size_t blocks, std::span<const ByteClass> classes, uint64_t* masks) {
#if CODELOOM_X86
  // The count as a constant, so that the compares unroll.
  auto byCount = [&](auto kernel1, auto kernel2, auto kernel3, auto kernel4) {
    switch (classes.size()) {
      case 1: return kernel1(data, blocks, classes.data(), masks);
      case 2: return kernel2(data, blocks, classes.data(), masks);
      case 3: return kernel3(data, blocks, classes.data(), masks);
      default: return kernel4(data, blocks, classes.data(), masks);
    }
  };
  if (activeKernel() == MaskKernel::Avx2)
    return byCount(findBytesAvx2<1>, findBytesAvx2<2>, findBytesAvx2<3>, findBytesAvx2<4>);
  if (activeKernel() == MaskKernel::Sse2)
    return byCount(findBytesSse2<1>, findBytesSse2<2>, findBytesSse2<3>, findBytesSse2<4>);
#endif
  findBytesScalar(data, blocks, classes, masks);
}

void findPairs(const char* data, size_t blocks, const PairTables& tables, uint64_t* masks) {
#if CODELOOM_X86
  if (tables.foldsByBit5 && activeKernel() == MaskKernel::Avx2 && !tables.pairs.empty()) {
    if (tables.nibbles.size() > 1) return findPairsAvx2<0, 0, true>(data, blocks, tables, masks);
    return findPairsAvx2<0, 0, false>(data, blocks, tables, masks);
  }
  if (tables.foldsByBit5 && activeKernel() == MaskKernel::Sse2) return findPairsSse2(data, blocks, tables, masks);
#endif
  findPairsScalar(data, blocks, tables, masks);
}

// The nibble tables: each bit a set of first bytes and a set of second
// bytes, exact when each set is every byte whose low nibble and high nibble
// it holds. A pair's byte with two cases, one byte, or any byte is such a
// set; pairs with the same second bytes share a bit where the union of
// their first bytes still is one ("en" and "in"; "#", "$" and "%").
static std::vector<std::array<uint8_t, 64>> nibbleTables(const PairTables& t) {
  using Bytes = std::bitset<256>;
  auto bytesOf = [](char c, bool twoCases, bool any) {
    Bytes set;
    if (any) return set.set();
    set.set(static_cast<unsigned char>(c));
    if (twoCases) set.set(static_cast<unsigned char>(c ^ 0x20));
    return set;
  };
  auto isProduct = [](const Bytes& set) {
    unsigned lows = 0, highs = 0;
    for (int b = 0; b < 256; ++b)
      if (set[b]) lows |= 1u << (b & 15), highs |= 1u << (b >> 4);
    for (int b = 0; b < 256; ++b)
      if (set[b] != ((lows >> (b & 15) & 1) && (highs >> (b >> 4) & 1))) return false;
    return true;
  };
  std::vector<std::pair<Bytes, Bytes>> entries;  // first bytes, second bytes
  for (size_t k = 0; k < t.folded.size(); ++k) {
    Bytes first = bytesOf(t.folded[k].first, t.foldedBytes[k] & 1, false);
    Bytes second = bytesOf(t.folded[k].second, t.foldedBytes[k] & 2, t.folded[k].second == 0);
    auto shared = std::find_if(entries.begin(), entries.end(),
                               [&](const auto& e) { return e.second == second && isProduct(e.first | first); });
    if (shared != entries.end()) shared->first |= first;
    else entries.push_back({first, second});
  }
  std::vector<std::array<uint8_t, 64>> groups((entries.size() + 7) / 8);
  for (size_t k = 0; k < entries.size(); ++k) {
    auto& g = groups[k / 8];
    const auto bit = uint8_t(1u << (k % 8));
    for (int b = 0; b < 256; ++b) {
      if (entries[k].first[b]) g[b & 15] |= bit, g[16 + (b >> 4)] |= bit;
      if (entries[k].second[b]) g[32 + (b & 15)] |= bit, g[48 + (b >> 4)] |= bit;
    }
  }
  return groups;
}

void findBytesAndPairs(const char* data, size_t blocks, std::span<const ByteClass> classes, const PairTables& tables,
                       uint64_t* classMasks, uint64_t* pairMasks) {
#if CODELOOM_X86
  // The line index's case, line ends and blanks over one group of pairs,
  // is compiled on its own; any other takes the two passes.
  const bool lineIndexClasses = classes.size() == 3 && classes[0].one == classes[0].other &&
                                classes[1].one == classes[1].other && tables.nibbles.size() == 1;
  if (tables.foldsByBit5 && activeKernel() == MaskKernel::Avx2 && lineIndexClasses)
    return findPairsAvx2<3, 0b100, false>(data, blocks, tables, pairMasks, classes.data(), classMasks);
#endif
  findBytes(data, blocks, classes, classMasks);
  findPairs(data, blocks, tables, pairMasks);
}

PairTables makePairTables(const std::vector<BytePair>& pairs) {
  PairTables t;
  t.pairs = pairs;
  t.isPair.assign(256 * 256 / 64, 0);
  const auto& lower = lowerAnsiTable();
  auto fits = [&](char wanted, int byte) { return wanted == 0 || lower[byte] == wanted; };  // wanted lower-cased
  std::string bytes;
  for (const BytePair& pair : pairs) {
    const char wantedFirst = lower[static_cast<unsigned char>(pair.first)];
    const char wantedSecond = lower[static_cast<unsigned char>(pair.second)];
    for (int a = 0; a < 256; ++a)
      for (int b = 0; fits(wantedFirst, a) && b < 256; ++b)
        if (fits(wantedSecond, b)) t.isPair[(a * 256 + b) >> 6] |= uint64_t(1) << (b & 63);
    const bool first = hasTwoCases(pair.first), second = pair.second && hasTwoCases(pair.second);
    auto fold = [](char c, bool twoCases) { return twoCases ? static_cast<char>(c | 0x20) : c; };
    t.folded.push_back({fold(pair.first, first), fold(pair.second, second)});
    t.foldedBytes.push_back(static_cast<uint8_t>(first | second << 1));
    (bytes += lowerAnsi(pair.first)) += lowerAnsi(pair.second);
  }
  t.foldsByBit5 = foldsByBit5(lower, bytes);
  t.nibbles = nibbleTables(t);
  return t;
}

}  // namespace codeloom
