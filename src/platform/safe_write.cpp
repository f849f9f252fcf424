#include "platform/safe_write.h"

namespace codeloom {
namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr int kNameAttempts = 32;
constexpr int kKeptNames = 9;

// Win32 error codes ReplaceFileW gives; defined here so that their meaning
// is tested natively.
constexpr uint32_t kAccessDenied = 5, kSharingViolation = 32, kLockViolation = 33;
constexpr uint32_t kUnableToRemoveReplaced = 1175, kUnableToMoveReplacement = 1176,
                   kUnableToMoveReplacement2 = 1177;

// Everything up to the last separator, so that the temporary lands on the
// target's volume: "C:\p\a.inc" gives "C:\p\", "C:a.inc" gives "C:".
std::string folderOf(const std::string& path) {
  size_t end = path.find_last_of("\\/:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

bool writeAll(const FileWriteSteps& steps, std::string_view bytes, size_t chunkSize) {
  bool ok = true;
  for (size_t at = 0; ok && at < bytes.size(); at += chunkSize)
    ok = steps.write(bytes.substr(at, chunkSize));
  ok = ok && steps.flush();
  return steps.close() && ok;  // closed in every case
}

// A new temporary in folder, or "" when none can be created. Another
// process's temporary of the same name is never opened: the next name is
// tried instead.
std::string createTemporary(const FileWriteSteps& steps, const std::string& folder) {
  uint32_t number = steps.seed();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt, number += 40503) {
    std::string candidate = folder + temporaryName(number);
    CreateOutcome outcome = steps.createNew(candidate);
    if (outcome == CreateOutcome::Created) return candidate;
    if (outcome == CreateOutcome::Failed) break;
  }
  return {};
}

// The temporary holds the only complete copy of the new text: it stays,
// under a name that says what it is when it can get one.
WriteOutcome keep(const FileWriteSteps& steps, const std::string& path,
                  const std::string& temporary, bool targetIntact) {
  WriteOutcome outcome{
      .status = WriteStatus::Kept, .keptAs = temporary, .targetIntact = targetIntact};
  for (int attempt = 1; attempt <= kKeptNames; ++attempt) {
    std::string name = keptName(path, attempt);
    if (steps.rename(temporary, name)) {
      outcome.keptAs = name;
      break;
    }
  }
  return outcome;
}

// The target cannot be renamed over but can be written: write the whole
// text into it, as creating it anew would. Should that fail after the open,
// the old bytes go back in and the temporary is kept.
WriteOutcome writeInPlace(const FileWriteSteps& steps, const std::string& path,
                          const std::string& temporary, std::string_view bytes,
                          size_t chunkSize) {
  std::string old;
  if (!steps.read(path, old) || !steps.openInPlace(path, bytes.size())) {
    steps.remove(temporary);  // the target is as it was
    return {.status = WriteStatus::Held};
  }
  if (writeAll(steps, bytes, chunkSize)) {
    steps.remove(temporary);
    return {.status = WriteStatus::Written};
  }
  bool restored = steps.openInPlace(path, old.size()) && writeAll(steps, old, chunkSize);
  return keep(steps, path, temporary, restored);
}

}  // namespace

std::string temporaryName(uint32_t number) {
  std::string name = "~cl";
  for (int shift = 12; shift >= 0; shift -= 4) name += kHex[(number >> shift) & 0xF];
  return name + ".tmp";
}

bool isTemporaryName(std::string_view name) {
  if (name.size() != 11 || !name.starts_with("~cl") || !name.ends_with(".tmp")) return false;
  for (char c : name.substr(3, 4))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

std::string keptName(const std::string& path, int attempt) {
  return path + ".new" + (attempt > 1 ? std::to_string(attempt) : std::string());
}

WriteOutcome writeFileReplacing(const FileWriteSteps& steps, const std::string& path,
                                std::string_view bytes, size_t chunkSize) {
  const std::string temporary = createTemporary(steps, folderOf(path));
  if (temporary.empty()) return {};
  if (!writeAll(steps, bytes, chunkSize)) {
    steps.remove(temporary);
    return {};
  }
  switch (steps.replace(temporary, path)) {
    case ReplaceOutcome::Replaced:
      return {.status = WriteStatus::Written};
    case ReplaceOutcome::ReadOnly:
      steps.remove(temporary);
      return {.status = WriteStatus::ReadOnly};
    case ReplaceOutcome::Failed:
      steps.remove(temporary);
      return {};
    case ReplaceOutcome::NotMoved:
      // Nothing holds the target's name now; take it, but never from a
      // file that appeared there meanwhile.
      if (steps.rename(temporary, path)) return {.status = WriteStatus::Written};
      return keep(steps, path, temporary, false);
    case ReplaceOutcome::Held:
      break;
  }
  return writeInPlace(steps, path, temporary, bytes, chunkSize);
}

ReplaceOutcome replaceFileOutcome(uint32_t error) {
  switch (error) {
    case 0:
      return ReplaceOutcome::Replaced;
    // Both files keep their names; the target is open elsewhere (Wine gives
    // access denied for a file open without delete sharing) or could not be
    // removed, so it can only be written.
    case kAccessDenied:
    case kSharingViolation:
    case kLockViolation:
    case kUnableToRemoveReplaced:
      return ReplaceOutcome::Held;
    // Without a backup name, 1176: the replaced file no longer exists and
    // the replacement kept its own name; 1177: the replaced file lives on
    // under another name, and the replacement again kept its own.
    case kUnableToMoveReplacement:
    case kUnableToMoveReplacement2:
      return ReplaceOutcome::NotMoved;
    default:  // both files keep their names
      return ReplaceOutcome::Failed;
  }
}

std::string keptTextMessage(const std::string& path, const WriteOutcome& outcome) {
  return "\"" + path + "\" could not be written. Its new text is in \"" + outcome.keptAs +
         "\"" +
         (outcome.targetIntact ? "; the file still holds its old text."
                               : "; the file may be damaged or missing.");
}

}  // namespace codeloom
