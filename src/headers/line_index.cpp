#include "headers/line_index.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/ansi.h"

namespace codeloom {
namespace {

uint32_t keyOf(const char* p, bool foldByBit5) {
  uint32_t key = 0;
  for (int k = 3; k >= 0; --k) key = key << 8 | uint8_t(foldByBit5 ? p[k] | 0x20 : lowerAnsi(p[k]));
  return key;
}

size_t slotOf(const LineSearch& s, uint32_t key) { return (key * s.multiplier) >> (32 - s.slotBits); }

// The bytes that may end a rule's first word, when a line goes on.
std::string_view enders(const LineRule& rule) { return rule.follows == Follows::Nothing ? " \t'\r\n" : " \t"; }

// The keys of the rules, as the lines' first four bytes are to be folded.
std::vector<LineSearch::Key> collectKeys(std::span<const LineRule> rules, bool foldByBit5) {
  std::vector<LineSearch::Key> keys;
  auto add = [&](std::string bytes, std::string_view second) {
    auto fold = [&](char c) { return uint8_t(foldByBit5 ? c | 0x20 : lowerAnsi(c)); };
    LineSearch::Key key{keyOf(bytes.data(), foldByBit5), 0, true};
    if (second.size() == 2) key.second = uint16_t(fold(second[0]) | fold(second[1]) << 8);
    for (LineSearch::Key& known : keys) {
      if (known.bytes != key.bytes) continue;
      if (known.second != key.second) known.second = 0;
      return;
    }
    keys.push_back(key);
  };
  for (const LineRule& rule : rules) {
    const std::string_view w = rule.first;
    if (w.size() < 3 || (rule.follows == Follows::Anything && w.size() < 4)) continue;  // a short key
    if (w.size() >= 4) {
      add(std::string(w.substr(0, 4)), "");
      continue;
    }
    // A word that comes only with a second word asks for its first two letters.
    bool onlyWithSecond = true;
    for (const LineRule& other : rules)
      if (other.first == w && (other.follows == Follows::MoreText || other.follows == Follows::Nothing ||
                               other.second.size() < 2))
        onlyWithSecond = false;
    const std::string_view second = onlyWithSecond ? rule.second.substr(0, 2) : "";
    for (char ender : enders(rule)) add(std::string(w) + ender, second);
  }
  return keys;
}

}  // namespace

LineSearch makeLineSearch(std::span<const LineRule> rules) {
  LineSearch s;
  s.rules = rules;
  std::vector<BytePair> pairs;
  std::string keyBytes;
  for (const LineRule& rule : rules) {
    // A first byte that is no ASCII letter stands alone, as such lines are few.
    const char first = rule.first[0], lowerFirst = static_cast<char>(first | 0x20);
    const bool letter = lowerFirst >= 'a' && lowerFirst <= 'z';
    const char second = letter && rule.first.size() > 1 ? rule.first[1] : '\0';
    if (std::none_of(pairs.begin(), pairs.end(), [&](BytePair p) { return p.first == first && p.second == second; }))
      pairs.push_back({first, second});
    keyBytes += rule.first.substr(0, 4);
    keyBytes += rule.second.substr(0, 2);
    keyBytes += enders(rule);
  }
  s.leadingPairs = makePairTables(pairs);
  s.keysFold = foldsByBit5(lowerAnsiTable(), keyBytes);
  for (const LineRule& rule : rules) {
    if (rule.follows == Follows::Anything && rule.first.size() < 4) {  // the word's start alone
      const uint32_t mask = ~uint32_t(0) >> (8 * (4 - rule.first.size()));
      s.shortKeys.push_back({keyOf((std::string(rule.first) + "\0\0\0").data(), s.keysFold) & mask, mask});
      continue;
    }
    if (rule.first.size() >= 3) continue;
    for (char ender : enders(rule)) {
      std::string bytes = std::string(rule.first) + ender + std::string(4, '\0');
      const uint32_t mask = ~uint32_t(0) >> (8 * (3 - rule.first.size()));
      s.shortKeys.push_back({keyOf(bytes.data(), s.keysFold) & mask, mask});
    }
  }
  for (const LineSearch::ShortKey& shortKey : s.shortKeys) s.startsShortKey[shortKey.bytes & 0xff] = true;
  const std::vector<LineSearch::Key> keys = collectKeys(rules, s.keysFold);
  // The fewest slots from four per key, and the first multiplier, under
  // which no two keys share a slot: with fewer, most multipliers fail.
  for (s.slotBits = 4; (size_t(1) << s.slotBits) < 4 * keys.size();) ++s.slotBits;
  for (;; ++s.slotBits) {
    for (uint32_t attempt = 0; attempt < 1000; ++attempt) {
      s.multiplier = 0x9E3779B1u + 0x3C6EF372u * attempt;  // odd
      s.slots.assign(size_t(1) << s.slotBits, {});
      bool distinct = true;
      for (const LineSearch::Key& key : keys) {
        LineSearch::Key& slot = s.slots[slotOf(s, key.bytes)];
        distinct = distinct && !slot.used;
        slot = key;
      }
      if (distinct) return s;
    }
  }
}

// Each is made when first asked for: a run needs one.
const LineSearch& productLineSearch(IncludesFollowed followed) {
  if (followed == IncludesFollowed::Yes) {
    static const LineSearch every = makeLineSearch(kLineRules);
    return every;
  }
  static const LineSearch withoutIncludes = makeLineSearch(std::span(kLineRules).subspan(kIncludeRules));
  return withoutIncludes;
}

namespace {

// The quick no's body: inline, as the index runs it on about a line in four.
inline bool fitsAKey(const LineSearch& s, const char* p) {
  // The eight bytes as one number, folded at once where the code page allows.
  uint64_t bytes;
  if (s.keysFold) {
    std::memcpy(&bytes, p, 8);
    bytes |= 0x2020202020202020u;
  } else {
    bytes = 0;
    for (int k = 7; k >= 0; --k) bytes = bytes << 8 | static_cast<uint8_t>(lowerAnsi(p[k]));
  }
  const auto key = static_cast<uint32_t>(bytes);
  const LineSearch::Key& slot = s.slots[slotOf(s, key)];
  // The second word after one or two blanks. Worked out whole, with no
  // early return: which way a line goes is hard to predict.
  const unsigned second = 32 + 8 * unsigned((p[4] == ' ') | (p[4] == '\t'));
  const auto letters = static_cast<uint16_t>(bytes >> second);
  bool fits = slot.used & (slot.bytes == key) & ((slot.second == 0) | (letters == slot.second));
  if (s.startsShortKey[static_cast<uint8_t>(key)])  // few lines: a branch that is seldom taken
    for (const LineSearch::ShortKey& shortKey : s.shortKeys) fits |= (key & shortKey.mask) == shortKey.bytes;
  return fits;
}

// Indexes the chunk at c.chunk: its line ends, and the first non-blanks of
// lines that start a leading pair and pass the quick no. The masks come
// 64 bytes at a time: a line starts after an LF, and after a CR that no
// LF follows; a run of blanks at a line's start is skipped by adding its
// lowest bit, whose carry lands on the byte after the run.
void indexChunk(LineCursor& c) {
  const size_t left = c.size - c.chunk;
  const char* from = c.data + c.chunk;
  size_t blocks = std::min(kChunkBlocks, (left - 1) / kMaskBlock);  // each with a byte after it
  char tail[kMaskBlock + 1] = {};  // the last bytes, padded with bytes that are none of the kinds
  if (blocks == 0) {
    std::memcpy(tail, from, left);
    from = tail, blocks = 1;
  }
  uint64_t bytes[kChunkBlocks * 3], pairs[kChunkBlocks];
  static constexpr ByteClass kClasses[] = {'\r', '\n', {' ', '\t'}};
  findBytesAndPairs(from, blocks, kClasses, c.search->leadingPairs, bytes, pairs);
  // Hits stand a line apart: most blocks hold none and the rest one or two,
  // so the blocks that hold any are noted (withHits), and their first two
  // hits listed whether there are two or not.
  uint64_t withHits = 0;
  for (size_t b = 0; b < blocks; ++b) {
    const uint64_t cr = bytes[3 * b], lf = bytes[3 * b + 1], blank = bytes[3 * b + 2];
    const uint64_t starts = (((cr << 1) | c.carryCr) & ~lf) | (lf << 1) | c.carryLf;
    c.carryCr = cr >> 63;
    c.carryLf = lf >> 63;
    const uint64_t blankStarts = (starts & blank) | c.carryBlanks;
    uint64_t afterBlanks;
    c.carryBlanks = __builtin_add_overflow(blank, blankStarts, &afterBlanks);
    c.hits[b] = ((starts | afterBlanks) & ~blank & pairs[b]);
    c.ends[b] = cr | lf;
    withHits |= uint64_t(c.hits[b] != 0) << b;
  }
  if (from == tail && left < kMaskBlock) {  // nothing past the window
    c.hits[0] &= (uint64_t(1) << left) - 1;
    c.ends[0] &= (uint64_t(1) << left) - 1;
    withHits = c.hits[0] != 0;
  }
  c.blocks = blocks;
  c.blocksWithHits = withHits;  // a block whose hits the quick no turns down stays marked
  c.blocksWithEnds = blocks == 64 ? ~uint64_t(0) : (uint64_t(1) << blocks) - 1;
  // The quick no, where the window holds the eight bytes it reads. The hits
  // are listed first and then tested in one loop with no branch on the
  // text: one by one, most of the cost was mispredicted branches.
  uint16_t hits[kChunkBlocks * 64 + 1];  // one past the last: written, not counted
  size_t count = 0;
  for (; withHits; withHits &= withHits - 1) {
    const size_t b = static_cast<size_t>(__builtin_ctzll(withHits));
    uint64_t m = c.hits[b];
    hits[count] = static_cast<uint16_t>(64 * b + __builtin_ctzll(m));
    m &= m - 1;
    hits[count + 1] = static_cast<uint16_t>(64 * b + __builtin_ctzll(m | uint64_t(1) << 63));
    count += 1 + (m != 0);
    for (m &= m - 1; m; m &= m - 1) hits[count++] = static_cast<uint16_t>(64 * b + __builtin_ctzll(m));
  }
  while (count > 0 && c.chunk + hits[count - 1] + 8 > c.size) --count;  // these stay
  const LineSearch& search = *c.search;
  for (size_t k = 0; k < count; ++k)
    c.hits[hits[k] >> 6] &= ~(uint64_t(!fitsAKey(search, c.data + c.chunk + hits[k])) << (hits[k] & 63));
}

}  // namespace

bool mayFitARule(const LineSearch& search, const char* p) { return fitsAKey(search, p); }

void startLineCursor(LineCursor& cursor, const char* data, size_t size, const LineSearch& search) {
  cursor = LineCursor{};
  cursor.data = data;
  cursor.size = size;
  cursor.search = &search;
}

size_t searchMark(LineCursor& c, Mark mark, size_t from) {
  const uint64_t* masks = mark == Mark::Candidate ? c.hits : c.ends;
  while (from < c.size) {
    if (from >= c.chunk + 64 * c.blocks) {
      c.chunk += 64 * c.blocks;
      indexChunk(c);
    }
    size_t at = markInChunk(c, masks, mark == Mark::Candidate ? c.blocksWithHits : c.blocksWithEnds,
                            std::max(from, c.chunk));
    if (at != SIZE_MAX) return at;
    from = c.chunk + 64 * c.blocks;
  }
  return c.size;
}

}  // namespace codeloom
