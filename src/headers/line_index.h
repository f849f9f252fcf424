// The header writer's fast path: finds, in a window of a source file, the
// lines that may be written and the ends of lines, so that the scanner
// classifies only the candidates and looks for no line end byte by byte.
//
// Contract. data[0, size) holds whole lines and perhaps a cut-off last one.
// A line starts at 0, after a CR not followed by LF, and after an LF.
// nextCandidate(cursor, from), from a line start, returns the least position
// p >= from such that the line holding p starts with blanks (space, tab) up
// to p and either
//   - its first non-blank byte and the one after it, lower-cased, are one of
//     kLeadingPairs (headers/line_kinds.h: the first two letters of every
//     rule's first word; a first byte that is no letter, "#", alone), and,
//     when the window holds the eight bytes from p, isNoKeywordLine does
//     not turn them down, or
//   - the window ends before those two bytes are known;
// or size when no line from `from` on is such. Lines that are not returned
// are never written, whatever else they hold. nextCandidateAfter(cursor, c),
// for a c that either search returned, is nextCandidate from the start of
// the line after c's: a line the classifier turns down is passed over
// without its end being looked for. nextLineEnd(cursor, from) returns the
// first CR or LF at or after from, or size.
//
// A cursor serves one window, with positions that never go back: it
// indexes the window a chunk of 64-byte blocks at a time, keeping each
// block's candidate and line-end masks, so each block is looked at once however
// many lines it holds. The quick no runs over a chunk's hits together, in
// one loop: one by one, as the scanner met them, most of its cost was
// mispredicted branches.
#pragma once

#include <cstddef>
#include <cstdint>

namespace codeloom {

// The implementations, for the tests: the plain loop, and 64-byte blocks with
// SSE2 and AVX2 (not available when the CPU lacks it). They agree on every
// input; Best is the fastest the CPU has.
enum class IndexKind { Best, Plain, Sse2, Avx2 };
bool indexAvailable(IndexKind kind);

constexpr size_t kChunkBlocks = 64;  // blocks indexed at a time: 4 KB of the window

struct LineCursor {
  const char* data = nullptr;
  size_t size = 0;
  IndexKind kind = IndexKind::Plain;
  bool started = false;  // the chunk below holds blocks of data
  bool tail = false;     // no block follows the chunk: the rest is too near the end
  size_t chunk = 0;      // where the chunk's first block starts
  size_t blocks = 0;     // how many blocks the chunk holds
  uint64_t hits[kChunkBlocks], ends[kChunkBlocks];      // bit i for byte i of each block
  uint64_t carryCr = 0, carryLf = 0, carryBlanks = 0;  // into the block after the chunk
};

void startLineCursor(LineCursor& cursor, const char* data, size_t size,
                     IndexKind kind = IndexKind::Best);
size_t searchCandidate(LineCursor& cursor, size_t from);
size_t searchCandidateAfter(LineCursor& cursor, size_t candidate);
size_t searchLineEnd(LineCursor& cursor, size_t from);

// The first mark at or after from in the chunk indexed, when the chunk
// holds from's block and a mark follows in it; else SIZE_MAX, and the
// search decides. Most answers are there, a line or a few on: inline,
// they cost no call.
inline size_t markInBlock(const LineCursor& c, const uint64_t* masks, size_t from) {
  if (!c.started || from < c.chunk) return SIZE_MAX;
  size_t block = (from - c.chunk) >> 6;
  if (block >= c.blocks) return SIZE_MAX;
  uint64_t marks = masks[block] & (~uint64_t(0) << (from & 63));  // chunks start at multiples of 64
  while (!marks) {
    if (++block == c.blocks) return SIZE_MAX;
    marks = masks[block];
  }
  return c.chunk + (block << 6) + static_cast<size_t>(__builtin_ctzll(marks));
}

inline size_t nextCandidate(LineCursor& c, size_t from) {
  size_t at = markInBlock(c, c.hits, from);
  return at != SIZE_MAX ? at : searchCandidate(c, from);
}
inline size_t nextCandidateAfter(LineCursor& c, size_t candidate) {
  size_t at = markInBlock(c, c.hits, candidate + 1);
  return at != SIZE_MAX ? at : searchCandidateAfter(c, candidate);
}
inline size_t nextLineEnd(LineCursor& c, size_t from) {
  size_t at = markInBlock(c, c.ends, from);
  return at != SIZE_MAX ? at : searchLineEnd(c, from);
}

}  // namespace codeloom
