// The conditions of #IF and #ELSEIF, decided with the equates the project
// defines itself. Where the answer depends on something not in view (the
// compiler's own %PB_ equates, an include that was not read, a value that
// could not be worked out) the answer is "unknown", never a guess.
#pragma once

#include <cstdint>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace codeloom {

// What is known of one equate.
enum class EquateKnown : uint8_t {
  Value,      // a numeric equate surely defined, its value worked out
  NoValue,    // a numeric equate surely defined, its value not worked out
  String,     // a string equate surely defined
  Uncertain,  // set in a group whose condition is unknown: may or may not be defined
};

// The equates met so far, by name with its sigil ("%debug", "$title",
// "$$wide"); letter case never matters. An API include defines tens of
// thousands, so the table is flat: entries in the order first met, in
// chunks; names in blocks; and open addressing over them. Neither entries
// nor names are copied as they grow: memory written the first time costs a
// page fault, and `memory` may hand out pages that fault less often.
struct Equates {
  Equates() : Equates(std::pmr::get_default_resource()) {}
  explicit Equates(std::pmr::memory_resource* memory) : entryChunks(memory), nameBlocks(memory), slots(memory) {}

  struct Entry {
    int64_t value;                         // for EquateKnown::Value
    uint32_t nameBlock, nameAt, nameSize;  // in nameBlocks, as first written
    EquateKnown known;
  };
  // A probe compares hashes here and reads an entry only when they agree.
  struct Slot {
    uint32_t hash = 0;
    uint32_t entry = 0;  // its index + 1; 0: the slot is free
  };
  static constexpr size_t kEntriesPerChunk = 1024;
  std::pmr::vector<std::pmr::vector<Entry>> entryChunks;  // each filled up to kEntriesPerChunk
  size_t entryCount = 0;
  std::pmr::vector<std::pmr::string> nameBlocks;  // each made at its full size
  size_t nameBlockUsed = 0;             // the bytes of the last block that hold names
  std::pmr::vector<Slot> slots;
  // False once an #INCLUDE was not read: a name not met may be defined there.
  bool everyIncludeFound = true;
};

// The entry of a name (sigil and name, any case), or null. Its name reads
// as it was first written.
const Equates::Entry* findEquate(const Equates& equates, std::string_view name);
inline const Equates::Entry& equateAt(const Equates& equates, size_t index) {
  return equates.entryChunks[index / Equates::kEntriesPerChunk][index % Equates::kEntriesPerChunk];
}
inline std::string_view equateName(const Equates& equates, const Equates::Entry& entry) {
  return {equates.nameBlocks[entry.nameBlock].data() + entry.nameAt, entry.nameSize};
}

// Deeper nesting of parentheses, unary minus and NOT than this is unknown.
constexpr int kMaxConditionDepth = 100;

// The value of a condition (the text after #IF or #ELSEIF), or nothing when
// it is unknown. Integers of 64 bits that wrap: decimal, &H, &B, &O and &
// (octal) literals with an optional type suffix; %NAME; %DEF(%NAME) and
// %DEF($NAME); unary minus; * and / (both integer division), \, + and -;
// = <> < > <= >= giving -1 or 0; NOT, AND, OR and XOR bit by bit; in that
// order of precedence, with parentheses. A "'" ends the condition. Division
// by zero, INT64_MIN / -1, an unknown name, %PB_ names and anything not
// listed give nothing.
std::optional<int64_t> evaluateCondition(std::string_view expression, const Equates& equates);

// Records the equates that a line defines: "%NAME = expression" with its
// value when it can be worked out with the equates so far (else defined
// without a value), "$NAME = ..." and "$$NAME = ..." as defined string
// equates. Each statement of the line (they are separated by ":") counts.
// %PB_ names are never recorded. Returns whether the line defines an equate.
bool applyEquateLine(std::string_view line, Equates& equates);

// As applyEquateLine, for a line in a group whose condition is unknown:
// every equate the line defines becomes uncertain (markUnknown).
bool markEquateLineUnknown(std::string_view line, Equates& equates);

// Makes one equate (name with its sigil, any case) uncertain: one already
// surely defined stays defined, its value unknown; any other may or may not
// be defined. %PB_ names and names without a sigil are ignored.
void markUnknown(Equates& equates, std::string_view name);

}  // namespace codeloom
