// Replacing a file without ever leaving it half-written: the new content
// goes to a temporary file in the target's folder, and only a complete,
// flushed file is moved over the old one. Each platform supplies the steps;
// the order, the names and the clean-up live here once, so they can be
// tested step by step.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace codeloom {

enum class CreateOutcome { Created, Exists, Failed };
enum class ReplaceOutcome {
  Replaced,
  // The target is open elsewhere, sharing reading and writing but not
  // deletion (an editor, a viewer): it cannot be renamed over, only written.
  Held,
  Failed,
};

struct FileWriteSteps {
  // Names (not paths) of the files in a folder matching a wildcard, each
  // with the seconds since it was last written.
  struct Found {
    std::string name;
    int64_t age = 0;
  };
  std::function<std::vector<Found>(const std::string& folder, const std::string& wildcard)> find;
  std::function<uint32_t()> seed;  // where the temporary names start
  std::function<CreateOutcome(const std::string& path)> createNew;  // never opens an existing file
  // Opens the existing target for writing from its start, first made at
  // least size bytes long, so that a full disk fails before any byte
  // changes; its close then cuts it to size. False with nothing left open.
  std::function<bool(const std::string& path, uint64_t size)> openInPlace;
  std::function<bool(std::string_view chunk)> write;  // all of chunk, or false
  std::function<bool()> flush;
  std::function<bool()> close;
  // Moves from over to, keeping the target's attributes where it exists.
  std::function<ReplaceOutcome(const std::string& from, const std::string& to)> replace;
  std::function<void(const std::string& path)> remove;
};

// Temporary names: "~cl", four lower-case hexadecimal digits, ".tmp", short
// so that a target name near the path limit still has room beside it.
constexpr const char* kTemporaryWildcard = "~cl????.tmp";
std::string temporaryName(uint32_t number);  // "~cl" + hex(number & 0xFFFF) + ".tmp"
bool isTemporaryName(std::string_view name);
// A temporary older than this (seconds) is left over from a process that
// died while saving; a live save is never that slow between two writes.
constexpr int64_t kStaleTemporaryAge = 60;

// Writes bytes to path through steps. Stale temporaries in the folder go
// first. On any failure removes its temporary file, leaves path as it was,
// and returns false; only a held target is written in place (not atomic).
bool writeFileReplacing(const FileWriteSteps& steps, const std::string& path,
                        std::string_view bytes, size_t chunkSize = size_t(1) << 20);

}  // namespace codeloom
