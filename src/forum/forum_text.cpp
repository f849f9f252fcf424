#include "forum/forum_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/byte_masks.h"
#include "platform/text_lines.h"


namespace codeloom {
namespace {

constexpr size_t kBlock = 64;

inline bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
inline bool isSpecial(char c) { return c == '\t' || isLineEnd(c); }

constexpr size_t kChunkBlocks = 64;  // blocks whose masks are found at once
constexpr ByteClass kSpecials[] = {'\t', '\r', '\n'};  // masks[0], [1], [2] of a block

// The bytes of p[0, 64) that the text does not copy as they stand: tabs, and
// the line ends but those of a plain CR LF. A plain CR LF ends a line that
// holds something and is followed by a line that holds something: it comes
// out as it stands, inside a run, so a file of such lines is copied in a
// few large runs, broken at tabs. An LF after a CR goes with it. p[-1],
// p[64] and p[65] must be readable; the caller passes the blocks at a
// piece's ends through edgeBlockMask.
inline uint64_t specialMask(const char* p, const uint64_t* masks) {
  struct {
    uint64_t tabs, crs, lfs;
  } m{masks[0], masks[1], masks[2]};
  const uint64_t ends = m.crs | m.lfs;
  const uint64_t endBefore = (ends << 1) | uint64_t(isLineEnd(p[-1]));
  const uint64_t lfNext = (m.lfs >> 1) | (uint64_t(p[64] == '\n') << 63);
  const uint64_t endAfterNext = (ends >> 2) | (uint64_t(isLineEnd(p[64])) << 62) | (uint64_t(isLineEnd(p[65])) << 63);
  const uint64_t plain = m.crs & lfNext & ~endBefore & ~endAfterNext;
  const uint64_t loneLfs = m.lfs & ~((m.crs << 1) | uint64_t(p[-1] == '\r'));
  return m.tabs | (m.crs & ~plain) | loneLfs;
}

// The same for the block of piece from `block` on at the piece's ends,
// byte by byte: no plain CR LF is looked for there.
inline uint64_t edgeBlockMask(std::string_view piece, size_t block) {
  uint64_t mask = 0;
  for (size_t i = block; i < piece.size() && i < block + kBlock; ++i)
    if (isSpecial(piece[i]) && !(piece[i] == '\n' && i > 0 && piece[i - 1] == '\r'))
      mask |= uint64_t(1) << (i - block);
  return mask;
}

// Writes into room made ahead in a string, through a pointer: a run goes
// out in one memcpy and the blanks of a run of tabs in one memset, with no
// bookkeeping of the string's own per piece of text.
class Writer {
 public:
  Writer(std::string& out, size_t expected) : out_(out), at_(out.size()) { grow(expected); }
  ~Writer() { out_.resize(at_); }
  char* room(size_t bytes) {
    if (out_.size() - at_ < bytes) grow(bytes);
    return out_.data() + at_;
  }
  void wrote(size_t bytes) { at_ += bytes; }
  void append(const char* from, size_t bytes) {
    std::memcpy(room(bytes), from, bytes);
    at_ += bytes;
  }

 private:
  void grow(size_t bytes) { out_.resize(at_ + bytes + (out_.size() - at_) + 64); }
  std::string& out_;
  size_t at_;  // the end of what is written; the string's size is the room
};

}  // namespace

void appendForumHead(std::string& out, std::string_view name) {
  out.append(name);
  out.append("\r\n[code]");
}

void appendForumLines(std::string& out, ForumLines& lines, std::string_view piece) {
  const char* p = piece.data();
  const size_t n = piece.size();
  size_t at = 0;
  if (lines.afterCr && n > 0) {
    lines.afterCr = false;
    at = p[0] == '\n';
  }
  // About the piece's size: tabs and line ends ask for more as they come.
  Writer writer(out, n + n / 16);
  size_t run = at;  // bytes from here on are not written yet
  auto endLine = [&] {
    if (!lines.endPending) return;
    char* d = writer.room(2);
    d[0] = '\r', d[1] = '\n';
    writer.wrote(2);
    lines.endPending = false;
  };
  auto writeRun = [&](size_t end) {
    if (end == run) return;
    endLine();
    lines.lineEmpty = false;
    writer.append(p + run, end - run);
  };
  uint64_t masks[3 * kChunkBlocks];
  for (size_t block = 0; block < n; block += kBlock) {
    const size_t inChunk = block / kBlock % kChunkBlocks;
    if (inChunk == 0) findBytes(p + block, std::min(kChunkBlocks, (n - block) / kBlock), kSpecials, masks);
    // The first block and the last two look at their own bytes only.
    uint64_t specials = block > 0 && block + kBlock + 2 <= n ? specialMask(p + block, masks + 3 * inChunk)
                                                              : edgeBlockMask(piece, block);
    while (specials) {
      size_t s = block + static_cast<size_t>(__builtin_ctzll(specials));
      specials &= specials - 1;
      if (s < at) continue;  // taken with the byte before it
      if (p[s] == '\t') {
        writeRun(s);
        endLine();
        lines.lineEmpty = false;
        size_t end = s;
        while (end < n && p[end] == '\t') ++end;  // tabs often come in a row
        size_t blanks = 2 * (end - s);
        std::memset(writer.room(blanks), ' ', blanks);
        writer.wrote(blanks);
        run = at = end;
        continue;
      }
      writeRun(s);
      endLine();
      if (lines.lineEmpty) {
        *writer.room(1) = ' ';
        writer.wrote(1);
      }
      lines.endPending = true;
      lines.lineEmpty = true;
      at = afterLineEnd(piece, s);
      if (p[s] == '\r' && s + 1 == n) lines.afterCr = true;  // its LF may come next
      run = at;
    }
  }
  writeRun(n);
}

void appendForumTail(std::string& out) { out.append("[/code]\r\n \r\n"); }

void appendForumBlock(std::string& out, std::string_view name, std::string_view bytes) {
  appendForumHead(out, name);
  ForumLines lines;
  appendForumLines(out, lines, textBeforeEndOfFile(bytes));
  appendForumTail(out);
}

}  // namespace codeloom
