#include "headers/line_index.h"

#include <array>
#include <cstdint>
#include <cstring>

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

BlockMasks masksSse2(const char* p);
BlockMasks masksAvx2(const char* p);

#endif  // CODELOOM_X86

// Holds the block at cursor.block (startBit marks a line start the masks
// cannot see, below it nothing is looked at), or marks the tail.
void loadBlock(LineCursor& c, uint64_t startBit) {
#if CODELOOM_X86
  if (c.block + 64 >= c.size) {
    c.tail = true;
    return;
  }
  BlockMasks m = c.kind == IndexKind::Avx2 ? masksAvx2(c.data + c.block) : masksSse2(c.data + c.block);
  uint64_t below = startBit - 1;  // 0 - 1: every bit, when there is no start bit
  if (startBit) {
    m.cr &= ~below;
    m.lf &= ~below;
    m.blank &= ~below;
  }
  // Line starts and their first non-blanks. A run of blanks that starts a
  // line is skipped by adding its lowest bit: the carry lands on the byte
  // after the run.
  uint64_t crlf = m.lf & ((m.cr << 1) | c.carryCr);
  uint64_t starts = (((m.cr << 1) | c.carryCr) & ~m.lf) | (crlf << 1) | c.carryCrLf | startBit;
  c.carryCr = m.cr >> 63;
  c.carryCrLf = crlf >> 63;
  uint64_t blankStarts = (starts & m.blank) | c.carryBlanks;
  uint64_t sum;
  c.carryBlanks = __builtin_add_overflow(m.blank, blankStarts, &sum);
  c.hits = ((starts & ~m.blank) | (sum & ~m.blank)) & m.pair;
  c.cr = m.cr;
#else
  (void)startBit;
  c.tail = true;
#endif
}

// Makes the held block the one holding from, or the tail: from the block
// before it the carries run on, else the search starts afresh at from.
void seek(LineCursor& c, size_t from) {
  if (c.tail) return;
  if (c.started && from >= c.block && from < c.block + 128) {
    if (from >= c.block + 64) {
      c.block += 64;
      loadBlock(c, 0);
    }
    return;
  }
  c.started = true;
  c.block = from & ~size_t(63);
  c.carryCr = c.carryCrLf = c.carryBlanks = 0;
  loadBlock(c, uint64_t(1) << (from & 63));
}

// The bits of mask at or after from, in the held block.
inline uint64_t atOrAfter(const LineCursor& c, uint64_t mask, size_t from) {
  if (from <= c.block) return mask;
  return mask & ~((uint64_t(1) << (from - c.block)) - 1);
}

#if CODELOOM_X86

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
  return kind == IndexKind::Plain || kind == IndexKind::Best;
#endif
}

void startLineCursor(LineCursor& cursor, const char* data, size_t size, IndexKind kind) {
  cursor = LineCursor{};
  cursor.data = data;
  cursor.size = size;
#if CODELOOM_X86
  if (kind == IndexKind::Best) kind = hasAvx2() ? IndexKind::Avx2 : IndexKind::Sse2;
  if (kind == IndexKind::Avx2 && !hasAvx2()) kind = IndexKind::Sse2;
  // The blocks fold case by setting bit 5, which is exact only when each
  // letter is its two ASCII cases; other code pages take the plain loop.
  if (!letters().foldable) kind = IndexKind::Plain;
#else
  kind = IndexKind::Plain;
#endif
  cursor.kind = kind;
  cursor.tail = kind == IndexKind::Plain;
}

size_t nextCandidate(LineCursor& c, size_t from) {
  seek(c, from);
  while (!c.tail) {
    if (uint64_t hits = atOrAfter(c, c.hits, from)) return c.block + static_cast<size_t>(__builtin_ctzll(hits));
    c.block += 64;
    loadBlock(c, 0);
  }
  // Back to the start of the line open where the blocks end, for the plain loop.
  const char* data = c.data;
  size_t at = c.started && c.block > from ? c.block : from;
  auto startsLine = [&](size_t p) {
    if (data[p - 1] == '\r') return data[p] != '\n';
    return data[p - 1] == '\n' && p >= 2 && data[p - 2] == '\r';
  };
  while (at > from && !startsLine(at)) --at;
  return findPlain(data, c.size, at);
}

size_t nextCandidateAfter(LineCursor& c, size_t candidate) {
  // In the blocks a hit stands only at a line's first non-blank, so the
  // next one is on a later line.
  seek(c, candidate + 1);
  while (!c.tail) {
    if (uint64_t hits = atOrAfter(c, c.hits, candidate + 1))
      return c.block + static_cast<size_t>(__builtin_ctzll(hits));
    c.block += 64;
    loadBlock(c, 0);
  }
  // Where the blocks end, the line is passed over by its CR (the CR masks
  // were not looked at on the way), and the search goes on line by line.
  const void* cr = std::memchr(c.data + candidate, '\r', c.size - candidate);
  if (!cr) return c.size;
  size_t at = static_cast<size_t>(static_cast<const char*>(cr) - c.data) + 1;
  if (at == c.size) return c.size;
  return nextCandidate(c, at + (c.data[at] == '\n'));
}

size_t nextCr(LineCursor& c, size_t from) {
  seek(c, from);
  while (!c.tail) {
    if (uint64_t crs = atOrAfter(c, c.cr, from)) return c.block + static_cast<size_t>(__builtin_ctzll(crs));
    c.block += 64;
    loadBlock(c, 0);
  }
  size_t at = c.started && c.block > from ? c.block : from;
  if (at >= c.size) return c.size;
  const void* cr = std::memchr(c.data + at, '\r', c.size - at);
  return cr ? static_cast<size_t>(static_cast<const char*>(cr) - c.data) : c.size;
}

}  // namespace codeloom
