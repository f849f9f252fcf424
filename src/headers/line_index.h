// The header writer's fast path: finds, in a window of a source file, the
// lines that may be written, so that the scanner classifies only those.
//
// Contract. data[0, size) holds whole lines and perhaps a cut-off last one;
// from is the start of a line in it. findCandidate returns the least
// position p >= from such that the line holding p starts with blanks (space,
// tab) up to p and either
//   - its first non-blank byte and the one after it, lower-cased, are one of
//     "su", "fu", "en", "in", "me", "pr" (every keyword a written line starts
//     with), or
//   - the window ends before those two bytes are known;
// or size when no line from `from` on is such. A line starts at `from`,
// after a CR not followed by LF, and after a CR LF. Lines that are not
// returned are never written, whatever else they hold.
#pragma once

#include <cstddef>

namespace codeloom {

size_t findCandidate(const char* data, size_t size, size_t from);

// The same search, one implementation each, for the tests: the plain loop,
// and 64-byte blocks with SSE2 and AVX2 (false when the CPU lacks it). The
// block searches agree with the plain one on every input.
enum class IndexKind { Plain, Sse2, Avx2 };
bool indexAvailable(IndexKind kind);
size_t findCandidateWith(IndexKind kind, const char* data, size_t size, size_t from);

}  // namespace codeloom
