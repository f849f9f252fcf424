#include "headers/line_index.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "headers/line_kinds.h"
#include "platform/ansi.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CODELOOM_X86 1
#endif

namespace codeloom {
namespace {

using line_rules_derived::isLetter;
using line_rules_derived::LeadingPair;

// Bit k stands for kLeadingPairs[k]: which pairs a byte can start, and
// which it can end, under the ANSI case mapping (a first byte that is no
// letter stands for itself alone).
static_assert(kLeadingPairs.size() <= 16, "the pair masks are 16 bits");
struct Letters {
  std::array<uint16_t, 256> first{};
  std::array<uint16_t, 256> second{};
};

const Letters& letters() {
  static const Letters table = [] {
    Letters t;
    const auto& lower = lowerAnsiTable();
    for (int b = 0; b < 256; ++b) {
      char l = lower[b];
      for (size_t k = 0; k < kLeadingPairs.size(); ++k) {
        const LeadingPair& pair = kLeadingPairs[k];
        bool first = isLetter(pair.first) ? l == pair.first : b == static_cast<unsigned char>(pair.first);
        bool second = pair.second == 0 || l == pair.second;
        if (first) t.first[b] |= uint16_t(1u << k);
        if (second) t.second[b] |= uint16_t(1u << k);
      }
    }
    return t;
  }();
  return table;
}

// Whether the blocks may fold case by setting bit 5: only where the code
// page lower-cases to each letter of a pair nothing but its two ASCII cases.
bool pairLettersFold() {
  static const bool fold = [] {
    std::string pairLetters;
    for (const LeadingPair& pair : kLeadingPairs) {
      if (isLetter(pair.first)) pairLetters += pair.first;
      if (pair.second != 0) pairLetters += pair.second;
    }
    return foldsByBit5(lowerAnsiTable(), pairLetters);
  }();
  return fold;
}

// The pairs grouped by their second byte, for the SSE2 masks: a group's
// mask is (any of its first bytes) and (its second letter), or its first
// bytes alone when any second byte will do (second 0).
struct SecondGroup {
  char second = 0;
  std::array<char, 16> firsts{};
  size_t count = 0;
};

constexpr size_t countSecondGroups() {
  char seen[kLeadingPairs.size()]{};
  size_t count = 0;
  for (const LeadingPair& pair : kLeadingPairs) {
    bool known = false;
    for (size_t k = 0; k < count; ++k) known = known || seen[k] == pair.second;
    if (!known) seen[count++] = pair.second;
  }
  return count;
}

constexpr bool secondsAreLetters() {
  for (const LeadingPair& pair : kLeadingPairs)
    if (pair.second != 0 && !isLetter(pair.second)) return false;
  return true;
}
static_assert(secondsAreLetters(), "the masks fold second bytes as letters");

constexpr auto kSecondGroups = [] {
  std::array<SecondGroup, countSecondGroups()> groups{};
  size_t count = 0;
  for (const LeadingPair& pair : kLeadingPairs) {
    size_t g = 0;
    while (g < count && groups[g].second != pair.second) ++g;
    if (g == count) groups[count++].second = pair.second;
    groups[g].firsts[groups[g].count++] = pair.first;
  }
  return groups;
}();

// The pairs as nibble tables, for the AVX2 blocks' byte shuffles: bit k
// of first.low[n] when a byte with low nibble n can start pair k, of
// first.high[n] when one with high nibble n can; the same for the byte
// after it. Each pair's bytes are a letter's two ASCII cases, one other
// byte, or any byte, so that both nibbles together tell exactly.
struct NibbleTable {
  uint8_t low[16]{}, high[16]{};
};
struct PairNibbles {
  NibbleTable first, second;
};
static_assert(kLeadingPairs.size() <= 8, "the nibble tables are 8 bits: one shuffle per nibble");

constexpr PairNibbles kPairNibbles = [] {
  PairNibbles t;
  auto add = [](NibbleTable& table, unsigned char byte, uint8_t bit) {
    table.low[byte & 15] |= bit;
    table.high[byte >> 4] |= bit;
  };
  for (size_t k = 0; k < kLeadingPairs.size(); ++k) {
    const LeadingPair& pair = kLeadingPairs[k];
    const uint8_t bit = uint8_t(1u << k);
    add(t.first, static_cast<unsigned char>(pair.first), bit);
    if (isLetter(pair.first)) add(t.first, static_cast<unsigned char>(pair.first - 0x20), bit);
    if (pair.second == 0) {
      for (int n = 0; n < 16; ++n) t.second.low[n] |= bit, t.second.high[n] |= bit;
    } else {
      add(t.second, static_cast<unsigned char>(pair.second), bit);
      add(t.second, static_cast<unsigned char>(pair.second - 0x20), bit);
    }
  }
  return t;
}();

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The first CR or LF at or after from, or size.
size_t findLineEnd(const char* data, size_t size, size_t from) {
  while (from < size && data[from] != '\r' && data[from] != '\n') ++from;
  return from;
}

size_t findPlain(const char* data, size_t size, size_t from) {
  const Letters& t = letters();
  size_t at = from;
  while (at < size) {
    size_t p = at;
    while (p < size && isBlank(data[p])) ++p;
    if (p + 1 >= size) return at;  // undecided: the window ends first
    unsigned char a = static_cast<unsigned char>(data[p]), b = static_cast<unsigned char>(data[p + 1]);
    if ((t.first[a] & t.second[b]) && !(p + 8 <= size && isNoKeywordLine(data + p))) return p;
    while (p < size && data[p] != '\r' && data[p] != '\n') ++p;  // to the line's end
    if (p + 1 >= size) return size;  // no further line starts here
    at = p + 1 + (data[p] == '\r' && data[p + 1] == '\n');
  }
  return size;
}

// The byte masks of one 64-byte block, bit i for byte i: CR, LF, blanks,
// and the bytes at which a candidate pair starts (the pair may end in the
// next block's first byte: the loads reach one byte past the block).
struct BlockMasks {
  uint64_t cr, lf, blank, pair;
};

// Block i of the chunk from its masks: its CRs and its hits, the first
// non-blanks of lines that start a candidate pair. startBit marks a line
// start that the masks cannot see (below it nothing is looked at); line
// starts and blank runs carry into the next block.
inline __attribute__((always_inline)) void settleBlock(LineCursor& c, size_t i, BlockMasks m,
                                                       uint64_t startBit) {
  if (startBit) {
    uint64_t below = startBit - 1;
    m.cr &= ~below;
    m.lf &= ~below;
    m.blank &= ~below;
  }
  // A line starts after an LF, and after a CR that no LF follows. A run of
  // blanks that starts a line is skipped by adding its lowest bit: the
  // carry lands on the byte after the run.
  uint64_t starts = (((m.cr << 1) | c.carryCr) & ~m.lf) | (m.lf << 1) | c.carryLf | startBit;
  c.carryCr = m.cr >> 63;
  c.carryLf = m.lf >> 63;
  uint64_t blankStarts = (starts & m.blank) | c.carryBlanks;
  uint64_t sum;
  c.carryBlanks = __builtin_add_overflow(m.blank, blankStarts, &sum);
  c.hits[i] = ((starts & ~m.blank) | (sum & ~m.blank)) & m.pair;
  c.ends[i] = m.cr | m.lf;
}

#if CODELOOM_X86

inline uint64_t join(uint32_t a, uint32_t b) { return uint64_t(a) | (uint64_t(b) << 32); }

void indexBlocksSse2(LineCursor& c, size_t count, uint64_t startBit) {
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), space = _mm_set1_epi8(' '),
                tab = _mm_set1_epi8('\t'), fold = _mm_set1_epi8(0x20);
  for (size_t k = 0; k < count; ++k) {
    const char* p = c.data + c.chunk + 64 * k;
    uint32_t rs[4], ls[4], bs[4], qs[4];
    for (int j = 0; j < 4; ++j) {
      __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j));
      __m128i y = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * j + 1)), fold);
      __m128i a = _mm_or_si128(x, fold);
      // The pair mask from the pair table: (any first byte of a group) and
      // (its second letter); a, x's letters folded to lower case, and y, the
      // bytes after them folded. The loops run over constants and unroll
      // into plain compares.
      __m128i pair = _mm_setzero_si128();
#pragma GCC unroll 16
      for (const SecondGroup& g : kSecondGroups) {
        __m128i firsts = _mm_setzero_si128();
#pragma GCC unroll 16
        for (size_t f = 0; f < g.count; ++f)
          firsts = _mm_or_si128(firsts, _mm_cmpeq_epi8(isLetter(g.firsts[f]) ? a : x, _mm_set1_epi8(g.firsts[f])));
        pair = _mm_or_si128(pair, g.second ? _mm_and_si128(firsts, _mm_cmpeq_epi8(y, _mm_set1_epi8(g.second))) : firsts);
      }
      rs[j] = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(x, cr)));
      ls[j] = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf)));
      bs[j] = uint32_t(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, space), _mm_cmpeq_epi8(x, tab))));
      qs[j] = uint32_t(_mm_movemask_epi8(pair));
    }
    BlockMasks masks{join(rs[0] | rs[1] << 16, rs[2] | rs[3] << 16), join(ls[0] | ls[1] << 16, ls[2] | ls[3] << 16),
                     join(bs[0] | bs[1] << 16, bs[2] | bs[3] << 16), join(qs[0] | qs[1] << 16, qs[2] | qs[3] << 16)};
    settleBlock(c, k, masks, k == 0 ? startBit : 0);
  }
}

// The AVX2 blocks look the pairs up by nibble: per 32 bytes, four byte
// shuffles give each byte the pairs it can start and the pairs the byte
// after it can end; a pair starts where the two share a bit.
__attribute__((target("avx2"))) inline __m256i nibbleTable(const uint8_t (&table)[16]) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table)));
}

__attribute__((target("avx2"))) void indexBlocksAvx2(LineCursor& c, size_t count, uint64_t startBit) {
  const __m256i cr = _mm256_set1_epi8('\r'), lf = _mm256_set1_epi8('\n'), space = _mm256_set1_epi8(' '),
                tab = _mm256_set1_epi8('\t'), nibble = _mm256_set1_epi8(0x0f), zero = _mm256_setzero_si256();
  const __m256i firstLow = nibbleTable(kPairNibbles.first.low), firstHigh = nibbleTable(kPairNibbles.first.high),
                secondLow = nibbleTable(kPairNibbles.second.low),
                secondHigh = nibbleTable(kPairNibbles.second.high);
  auto pairs = [&](__m256i bytes, __m256i low, __m256i high) __attribute__((target("avx2"))) {
    __m256i lows = _mm256_and_si256(bytes, nibble);
    __m256i highs = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
    return _mm256_and_si256(_mm256_shuffle_epi8(low, lows), _mm256_shuffle_epi8(high, highs));
  };
  for (size_t k = 0; k < count; ++k) {
    const char* p = c.data + c.chunk + 64 * k;
    uint32_t rs[2], ls[2], bs[2], qs[2];
    for (int j = 0; j < 2; ++j) {
      __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * j));
      __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * j + 1));
      __m256i shared = _mm256_and_si256(pairs(x, firstLow, firstHigh), pairs(y, secondLow, secondHigh));
      rs[j] = uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, cr)));
      ls[j] = uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, lf)));
      bs[j] = uint32_t(_mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(x, space), _mm256_cmpeq_epi8(x, tab))));
      qs[j] = ~uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(shared, zero)));
    }
    settleBlock(c, k, {join(rs[0], rs[1]), join(ls[0], ls[1]), join(bs[0], bs[1]), join(qs[0], qs[1])},
                k == 0 ? startBit : 0);
  }
}

bool hasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif  // CODELOOM_X86

// Takes out of the chunk's hits those the quick no turns down, most of
// them. The hits are listed first, so that the test runs in one loop with
// no branch that depends on the text.
void dropTurnedDownHits(LineCursor& c) {
  uint16_t at[kChunkBlocks * 64 + 1];  // one past the last: written, not counted
  size_t count = 0;
  // Hits stand a line apart: most blocks hold none, and the rest one or
  // two. The blocks that hold any are found without a branch.
  uint64_t withHits = 0;
  for (size_t i = 0; i < c.blocks; ++i) withHits |= uint64_t(c.hits[i] != 0) << i;
  for (; withHits; withHits &= withHits - 1) {
    const size_t i = static_cast<size_t>(__builtin_ctzll(withHits));
    const auto base = static_cast<uint16_t>(64 * i);
    uint64_t hits = c.hits[i];
    at[count] = static_cast<uint16_t>(base + __builtin_ctzll(hits));
    hits &= hits - 1;
    at[count + 1] = static_cast<uint16_t>(base + __builtin_ctzll(hits | (uint64_t(1) << 63)));
    count += 1 + (hits != 0);
    for (hits &= hits - 1; hits; hits &= hits - 1) at[count++] = static_cast<uint16_t>(base + __builtin_ctzll(hits));
  }
  const char* chunk = c.data + c.chunk;
  // Eight bytes are looked at: a hit nearer the window's end stays.
  const size_t lastLookedAt = c.size - 8 - c.chunk;
  while (count > 0 && at[count - 1] > lastLookedAt) --count;
  const bool folded = quickNoFolds();
  for (size_t k = 0; k < count; ++k) {
    const char* p = chunk + at[k];
    bool no = folded ? isNoKeywordLineFolded(p) : isNoKeywordLineByTable(lowerAnsiTable(), p);
    c.hits[at[k] >> 6] &= ~(uint64_t(no) << (at[k] & 63));
  }
}

// Indexes the blocks from c.chunk on, as many as the chunk holds and stand
// before the window's last 64 bytes (the loads reach one byte past a
// block); none left marks the tail.
void indexChunk(LineCursor& c, uint64_t startBit) {
  size_t count = 0;
  if (c.size > c.chunk + 64) count = std::min((c.size - c.chunk - 65) / 64 + 1, kChunkBlocks);
  c.blocks = count;
  if (count == 0) {
    c.tail = true;
    return;
  }
#if CODELOOM_X86
  if (c.kind == IndexKind::Avx2) indexBlocksAvx2(c, count, startBit);
  else indexBlocksSse2(c, count, startBit);
#else
  (void)startBit;
#endif
  dropTurnedDownHits(c);
}

// The first bit at or after from in the hit or line-end masks, indexing chunk
// after chunk as needed; npos once the blocks end (the tail), c.chunk then
// being where they end. The first call starts at from's block, with from
// a line start.
size_t firstMarked(LineCursor& c, size_t from, bool ends) {
  if (c.tail) return std::string_view::npos;
  if (!c.started) {
    c.started = true;
    c.chunk = from & ~size_t(63);
    indexChunk(c, uint64_t(1) << (from & 63));
  }
  while (!c.tail) {
    const uint64_t* masks = ends ? c.ends : c.hits;
    for (size_t i = from > c.chunk ? (from - c.chunk) / 64 : 0; i < c.blocks; ++i) {
      size_t block = c.chunk + 64 * i;
      uint64_t marks = masks[i];
      if (from > block) marks &= ~uint64_t(0) << (from - block);
      if (marks) return block + static_cast<size_t>(__builtin_ctzll(marks));
    }
    c.chunk += 64 * c.blocks;
    indexChunk(c, 0);
  }
  return std::string_view::npos;
}

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
  if (!pairLettersFold()) kind = IndexKind::Plain;
#else
  kind = IndexKind::Plain;
#endif
  cursor.kind = kind;
  cursor.tail = kind == IndexKind::Plain;
}

size_t searchCandidate(LineCursor& c, size_t from) {
  size_t hit = firstMarked(c, from, false);
  if (hit != std::string_view::npos) return hit;
  // Back to the start of the line open where the blocks end, for the plain loop.
  const char* data = c.data;
  size_t at = c.started && c.chunk > from ? c.chunk : from;
  auto startsLine = [&](size_t p) { return data[p - 1] == '\n' || (data[p - 1] == '\r' && data[p] != '\n'); };
  while (at > from && !startsLine(at)) --at;
  return findPlain(data, c.size, at);
}

size_t searchCandidateAfter(LineCursor& c, size_t candidate) {
  // In the blocks a hit stands only at a line's first non-blank, so the
  // next one is on a later line.
  size_t hit = firstMarked(c, candidate + 1, false);
  if (hit != std::string_view::npos) return hit;
  // Where the blocks end, the line is passed over by its end (the line-end
  // masks were not looked at on the way), and the search goes on line by line.
  size_t end = findLineEnd(c.data, c.size, candidate);
  if (end + 1 >= c.size) return c.size;
  return searchCandidate(c, end + 1 + (c.data[end] == '\r' && c.data[end + 1] == '\n'));
}

size_t searchLineEnd(LineCursor& c, size_t from) {
  size_t end = firstMarked(c, from, true);
  if (end != std::string_view::npos) return end;
  size_t at = c.started && c.chunk > from ? c.chunk : from;
  return findLineEnd(c.data, c.size, at);
}

}  // namespace codeloom
