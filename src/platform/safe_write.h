// Replacing a file without ever losing its text: the new content goes to a
// temporary file in the target's folder, and only a complete, flushed file
// is moved over the old one. Each platform supplies the steps; the order,
// the names and the recovery live here once, so they can be tested step by
// step.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace codeloom {

enum class CreateOutcome { Created, Exists, Failed };
enum class ReplaceOutcome {
  Replaced,
  // The target is open elsewhere, sharing reading and writing but not
  // deletion (an editor, a viewer): it cannot be renamed over, only written.
  Held,
  // The old file left the target's name but the temporary kept its own:
  // it still has to be moved there.
  NotMoved,
  ReadOnly,  // the target is read-only: never written
  Failed,    // both files as they were
};

// How a save ended.
enum class WriteStatus {
  Written,   // the target holds the new text
  ReadOnly,  // the target is read-only and was left as it was
  Held,      // another program holds the target so that it cannot be written
  Failed,    // the target is as it was (or still missing); reason may say why
  Kept,      // the target could not take the new text: keptAs holds it
};

struct WriteOutcome {
  WriteStatus status = WriteStatus::Failed;
  // For Kept: the file that holds the whole new text, and whether the
  // target holds its old text again (false: it may be damaged or missing).
  std::string keptAs;
  bool targetIntact = true;
  std::string reason;  // filled by the platform for Failed, when it knows
  bool written() const { return status == WriteStatus::Written; }
};

struct FileWriteSteps {
  std::function<uint32_t()> seed;  // where the temporary names start
  std::function<CreateOutcome(const std::string& path)> createNew;  // never opens an existing file
  // The whole of the existing target, read before it is written in place.
  std::function<bool(const std::string& path, std::string& bytes)> read;
  // Opens the existing target for writing from its start, first made at
  // least size bytes long, so that a full disk fails before any byte
  // changes; its close then cuts it to size. False with nothing left open.
  std::function<bool(const std::string& path, uint64_t size)> openInPlace;
  std::function<bool(std::string_view chunk)> write;  // all of chunk, or false
  std::function<bool()> flush;
  std::function<bool()> close;
  // Moves from over to, keeping the target's attributes where it exists.
  std::function<ReplaceOutcome(const std::string& from, const std::string& to)> replace;
  // Renames from to to, never replacing a file that is there.
  std::function<bool(const std::string& from, const std::string& to)> rename;
  std::function<void(const std::string& path)> remove;
};

// Temporary names: "~cl", four lower-case hexadecimal digits, ".tmp", short
// so that a target name near the path limit still has room beside it.
std::string temporaryName(uint32_t number);  // "~cl" + hex(number & 0xFFFF) + ".tmp"
bool isTemporaryName(std::string_view name);

// The names a new text is kept under when its target cannot take it:
// "a.bas.new", then "a.bas.new2" ... "a.bas.new9".
std::string keptName(const std::string& path, int attempt);

// Writes bytes to path through steps. Removes only the temporary it created,
// and that only once nothing depends on it: when the target holds the new
// text, or when the target is as it was. Only a held target is written in
// place; when that fails the target gets its old bytes back where they can
// be written, and the temporary stays under keptName.
WriteOutcome writeFileReplacing(const FileWriteSteps& steps, const std::string& path,
                                std::string_view bytes, size_t chunkSize = size_t(1) << 20);

// What a failed ReplaceFileW without a backup name left behind, by the
// error code it gave, as the Win32 documentation states it.
ReplaceOutcome replaceFileOutcome(uint32_t error);

// The one message that tells the user where a kept text is.
std::string keptTextMessage(const std::string& path, const WriteOutcome& outcome);

}  // namespace codeloom
