// The header writer's fast path: finds, in a window of whole lines, the few
// lines that may fit a rule of line_kinds.h, and the ends of lines, so that
// the scanner classifies only those candidates and looks for no line end
// byte by byte.
//
// Contract. data[0, size) holds whole lines: it is empty or ends with a CR
// or an LF. A line starts at 0, after a CR not followed by LF, and after an
// LF. nextCandidate(cursor, from), from a line start, returns the first
// non-blank p of the first line from `from` on whose first non-blank byte
// and the one after it, lower-cased, are a leading pair of the rules, and
// which the quick no (mayFitARule) does not turn down when the window holds
// the eight bytes from p; size when there is none. A line it passes over
// fits no rule. nextLineEnd(cursor, from) returns the first CR or LF at or
// after from, or size. Positions asked for never go back.
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "headers/line_kinds.h"
#include "platform/byte_masks.h"

namespace codeloom {

// The quick tests derived from a rule table.
//   Leading pairs: the first two letters of each rule's first word; a first
//   byte that is no letter stands alone, as such lines are few.
//   Quick no: the four bytes at a line's first non-blank, lower-cased, must
//   be a rule's key: its first word's first four bytes, or a three-byte word
//   and a byte that may end it. A word that only comes with a second word
//   ("end" of "end interface") also asks for that word's first two letters
//   after one or two blanks. Keys are found with one probe: a multiplier is
//   chosen under which no two share a slot. Words of one or two bytes, and
//   the byte that ends them, are short keys, compared one by one.
struct LineSearch {
  struct Key {
    uint32_t bytes = 0;
    uint16_t second = 0;  // the second word's two letters; 0: none asked for
    bool used = false;
  };
  struct ShortKey {
    uint32_t bytes, mask;
  };
  std::span<const LineRule> rules;
  PairTables leadingPairs;
  bool keysFold = false;   // keys and lines may be lower-cased by setting bit 5
  uint32_t multiplier = 0;
  unsigned slotBits = 0;
  std::vector<Key> slots;
  std::vector<ShortKey> shortKeys;
  std::array<bool, 256> startsShortKey{};  // by a short key's first byte, folded
};
LineSearch makeLineSearch(std::span<const LineRule> rules);
// The search for kLineRules; where includes are not followed, for those
// after the first kIncludeRules.
enum class IncludesFollowed { Yes, No };
const LineSearch& productLineSearch(IncludesFollowed followed = IncludesFollowed::Yes);

// The quick no: false when the line whose first non-blank is p fits no
// rule, judged from the eight bytes at p, which must be readable.
bool mayFitARule(const LineSearch& search, const char* p);

constexpr size_t kChunkBlocks = 64;  // blocks indexed at a time: 4 KB

struct LineCursor {
  const char* data = nullptr;
  size_t size = 0;
  const LineSearch* search = nullptr;
  size_t chunk = 0, blocks = 0;  // the chunk indexed: where it starts, how many blocks
  uint64_t hits[kChunkBlocks] = {}, ends[kChunkBlocks] = {};  // bit i for byte i of each block
  // Bit b: block b may hold hits (most hold none), or line ends (any may).
  uint64_t blocksWithHits = 0, blocksWithEnds = 0;
  uint64_t carryCr = 0, carryLf = 1, carryBlanks = 0;  // into the next block; a line starts at 0
};

void startLineCursor(LineCursor& cursor, const char* data, size_t size,
                     const LineSearch& search = productLineSearch());

// The first candidate or line end at or after from, indexing the chunks
// after the one indexed as needed.
enum class Mark { Candidate, LineEnd };
size_t searchMark(LineCursor& cursor, Mark mark, size_t from);

// Most answers are in the chunk indexed, a line or a few on: inline, they
// cost no call. SIZE_MAX when the chunk does not decide.
inline size_t markInChunk(const LineCursor& c, const uint64_t* masks, uint64_t blocksWith, size_t from) {
  if (from < c.chunk || from >= c.chunk + 64 * c.blocks) return SIZE_MAX;
  size_t block = (from - c.chunk) / 64;
  uint64_t marks = masks[block] & (~uint64_t(0) << (from & 63));  // chunks start at multiples of 64
  uint64_t later = block == 63 ? 0 : blocksWith & (~uint64_t(0) << (block + 1));
  while (!marks) {
    if (!later) return SIZE_MAX;
    block = static_cast<size_t>(__builtin_ctzll(later));
    later &= later - 1;
    marks = masks[block];
  }
  size_t at = c.chunk + 64 * block + static_cast<size_t>(__builtin_ctzll(marks));
  return at < c.size ? at : c.size;
}

inline size_t nextCandidate(LineCursor& c, size_t from) {
  size_t at = markInChunk(c, c.hits, c.blocksWithHits, from);
  return at != SIZE_MAX ? at : searchMark(c, Mark::Candidate, from);
}
inline size_t nextLineEnd(LineCursor& c, size_t from) {
  size_t at = markInChunk(c, c.ends, c.blocksWithEnds, from);
  return at != SIZE_MAX ? at : searchMark(c, Mark::LineEnd, from);
}

}  // namespace codeloom
