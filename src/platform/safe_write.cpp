#include "platform/safe_write.h"

namespace codeloom {
namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr int kNameAttempts = 32;

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

bool writeFileReplacing(const FileWriteSteps& steps, const std::string& path,
                        std::string_view bytes, size_t chunkSize) {
  const std::string folder = folderOf(path);
  // A temporary still being written is open without delete sharing and
  // cannot be removed; the age spares one between its close and its move.
  for (const FileWriteSteps::Found& found : steps.find(folder, kTemporaryWildcard))
    if (isTemporaryName(found.name) && found.age >= kStaleTemporaryAge)
      steps.remove(folder + found.name);

  const std::string temporary = createTemporary(steps, folder);
  if (temporary.empty()) return false;
  if (!writeAll(steps, bytes, chunkSize)) {
    steps.remove(temporary);
    return false;
  }
  switch (steps.replace(temporary, path)) {
    case ReplaceOutcome::Replaced:
      return true;
    case ReplaceOutcome::Failed:
      steps.remove(temporary);
      return false;
    case ReplaceOutcome::Held:
      break;
  }
  // The target cannot be renamed over but can be written: write the whole
  // text into it, as creating it anew would. This alone is not atomic: a
  // failed write after the open leaves the target part-written.
  bool ok = steps.openInPlace(path, bytes.size()) && writeAll(steps, bytes, chunkSize);
  steps.remove(temporary);
  return ok;
}

}  // namespace codeloom
