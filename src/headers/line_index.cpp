#include "headers/line_index.h"

#include <array>
#include <cstdint>

#include "headers/line_helpers.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CODELOOM_X86 1
#endif

namespace codeloom {
namespace {

// Which first letters (bit 0) and second letters (bit 1 for "u", 2 for "n",
// 3 for "e", 4 for "r") a byte stands for under the ANSI case mapping, and
// which second letter each first letter asks for.
struct Letters {
  std::array<uint8_t, 256> first{};
  std::array<uint8_t, 256> second{};
  std::array<uint8_t, 256> wants{};  // by byte: the second-letter bits its letter allows
  bool foldable = true;              // every letter is exactly its two ASCII cases
};

const Letters& letters() {
  static const Letters table = [] {
    Letters t;
    const auto& lower = lowerAnsiTable();
    const std::string_view firsts = "sfeimp", seconds = "uner";
    const uint8_t wanted[] = {1, 1, 2, 2, 4, 8};  // su fu en in me pr
    for (int b = 0; b < 256; ++b) {
      char l = lower[b];
      size_t f = firsts.find(l), s = seconds.find(l);
      bool ascii = (b | 0x20) == static_cast<unsigned char>(l);
      if (f != std::string_view::npos) {
        t.first[b] = 1;
        t.wants[b] = wanted[f];
        t.foldable = t.foldable && ascii;
      }
      if (s != std::string_view::npos) {
        t.second[b] = static_cast<uint8_t>(1u << s);
        t.foldable = t.foldable && ascii;
      }
    }
    return t;
  }();
  return table;
}

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

size_t findPlain(const char* data, size_t size, size_t from) {
  const Letters& t = letters();
  size_t at = from;
  while (at < size) {
    size_t p = at;
    while (p < size && isBlank(data[p])) ++p;
    if (p + 1 >= size) return at;  // undecided: the window ends first
    unsigned char a = static_cast<unsigned char>(data[p]), b = static_cast<unsigned char>(data[p + 1]);
    if (t.first[a] && (t.wants[a] & t.second[b])) return p;
    while (p < size && data[p] != '\r') ++p;  // to the line's end
    if (p + 1 >= size) return size;           // no further line starts here
    at = p + 1 + (data[p + 1] == '\n');
  }
  return size;
}

#if CODELOOM_X86

// The masks of one 64-byte block, bit i for byte i: CR, LF, blanks, and the
// bytes at which a candidate pair starts (the pair may end in the next
// block's first byte: the loads reach one byte past the block).
struct BlockMasks {
  uint64_t cr, lf, blank, pair;
};

// Carries from block to block: the CR of the last byte, the LF of a CR LF in
// it, and an open run of blanks at a line's start.
struct Carry {
  uint64_t cr = 0, crlf = 0, blanks = 0;
};

// Line starts and their first non-blanks from the masks. A run of blanks
// that starts a line is skipped by adding its lowest bit: the carry lands on
// the byte after the run.
inline uint64_t firstNonBlanks(const BlockMasks& m, Carry& c, uint64_t startBit) {
  uint64_t crlf = m.lf & ((m.cr << 1) | c.cr);
  uint64_t starts = (((m.cr << 1) | c.cr) & ~m.lf) | (crlf << 1) | c.crlf | startBit;
  c.cr = m.cr >> 63;
  c.crlf = crlf >> 63;
  uint64_t blankStarts = (starts & m.blank) | c.blanks;
  uint64_t sum;
  c.blanks = __builtin_add_overflow(m.blank, blankStarts, &sum);
  return (starts & ~m.blank) | (sum & ~m.blank);
}

// The first position >= from that the contract asks for, using block masks
// for every full block whose next byte is in the window; the rest, and any
// line the blocks leave open at that point, goes to the plain loop.
template <BlockMasks (*masksAt)(const char*)>
size_t findBlocks(const char* data, size_t size, size_t from) {
  Carry carry;
  size_t block = from & ~size_t(63);
  uint64_t startBit = uint64_t(1) << (from & 63);
  uint64_t below = startBit - 1;  // bytes before from are not looked at
  while (block + 64 < size) {
    BlockMasks m = masksAt(data + block);
    m.cr &= ~below;
    m.lf &= ~below;
    m.blank &= ~below;
    uint64_t hits = firstNonBlanks(m, carry, startBit) & m.pair;
    if (hits) return block + static_cast<size_t>(__builtin_ctzll(hits));
    startBit = below = 0;
    block += 64;
  }
  // Back to the start of the line open at this block, for the plain loop.
  size_t at = block > from ? block : from;
  auto startsLine = [&](size_t p) {
    if (data[p - 1] == '\r') return data[p] != '\n';
    return data[p - 1] == '\n' && p >= 2 && data[p - 2] == '\r';
  };
  while (at > from && !startsLine(at)) --at;
  return findPlain(data, size, at);
}

inline uint64_t join(uint32_t a, uint32_t b) { return uint64_t(a) | (uint64_t(b) << 32); }

BlockMasks masksSse2(const char* p) {
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), space = _mm_set1_epi8(' '),
                tab = _mm_set1_epi8('\t'), fold = _mm_set1_epi8(0x20);
  auto eq = [](__m128i x, char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
  uint32_t r[4], l[4], b[4], q[4];
  for (int i = 0; i < 4; ++i) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    __m128i y = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i + 1)), fold);
    __m128i f = _mm_or_si128(x, fold);
    __m128i u = eq(y, 'u'), n = eq(y, 'n');
    __m128i pair = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(_mm_or_si128(eq(f, 's'), eq(f, 'f')), u),
                     _mm_and_si128(_mm_or_si128(eq(f, 'e'), eq(f, 'i')), n)),
        _mm_or_si128(_mm_and_si128(eq(f, 'm'), eq(y, 'e')), _mm_and_si128(eq(f, 'p'), eq(y, 'r'))));
    r[i] = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(x, cr)));
    l[i] = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf)));
    b[i] = uint32_t(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, space), _mm_cmpeq_epi8(x, tab))));
    q[i] = uint32_t(_mm_movemask_epi8(pair));
  }
  return {join(r[0] | r[1] << 16, r[2] | r[3] << 16), join(l[0] | l[1] << 16, l[2] | l[3] << 16),
          join(b[0] | b[1] << 16, b[2] | b[3] << 16), join(q[0] | q[1] << 16, q[2] | q[3] << 16)};
}

__attribute__((target("avx2"))) inline __m256i eq(__m256i x, char c) {
  return _mm256_cmpeq_epi8(x, _mm256_set1_epi8(c));
}

__attribute__((target("avx2"))) BlockMasks masksAvx2(const char* p) {
  const __m256i fold = _mm256_set1_epi8(0x20);
  uint32_t r[2], l[2], b[2], q[2];
  for (int i = 0; i < 2; ++i) {
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * i));
    __m256i y = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * i + 1)), fold);
    __m256i f = _mm256_or_si256(x, fold);
    __m256i pair = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(_mm256_or_si256(eq(f, 's'), eq(f, 'f')), eq(y, 'u')),
                        _mm256_and_si256(_mm256_or_si256(eq(f, 'e'), eq(f, 'i')), eq(y, 'n'))),
        _mm256_or_si256(_mm256_and_si256(eq(f, 'm'), eq(y, 'e')), _mm256_and_si256(eq(f, 'p'), eq(y, 'r'))));
    r[i] = uint32_t(_mm256_movemask_epi8(eq(x, '\r')));
    l[i] = uint32_t(_mm256_movemask_epi8(eq(x, '\n')));
    b[i] = uint32_t(_mm256_movemask_epi8(_mm256_or_si256(eq(x, ' '), eq(x, '\t'))));
    q[i] = uint32_t(_mm256_movemask_epi8(pair));
  }
  return {join(r[0], r[1]), join(l[0], l[1]), join(b[0], b[1]), join(q[0], q[1])};
}

__attribute__((target("avx2"))) size_t findAvx2(const char* data, size_t size, size_t from) {
  return findBlocks<masksAvx2>(data, size, from);
}

size_t findSse2(const char* data, size_t size, size_t from) { return findBlocks<masksSse2>(data, size, from); }

bool hasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif  // CODELOOM_X86

}  // namespace

bool indexAvailable(IndexKind kind) {
#if CODELOOM_X86
  if (kind == IndexKind::Avx2) return hasAvx2();
  return true;
#else
  return kind == IndexKind::Plain;
#endif
}

size_t findCandidateWith(IndexKind kind, const char* data, size_t size, size_t from) {
#if CODELOOM_X86
  // The blocks fold case by setting bit 5, which is exact only when each
  // letter is its two ASCII cases; other code pages take the plain loop.
  if (letters().foldable) {
    if (kind == IndexKind::Avx2 && hasAvx2()) return findAvx2(data, size, from);
    if (kind != IndexKind::Plain) return findSse2(data, size, from);
  }
#endif
  return findPlain(data, size, from);
}

size_t findCandidate(const char* data, size_t size, size_t from) {
#if CODELOOM_X86
  static const IndexKind best = hasAvx2() ? IndexKind::Avx2 : IndexKind::Sse2;
  return findCandidateWith(best, data, size, from);
#else
  return findPlain(data, size, from);
#endif
}

}  // namespace codeloom
