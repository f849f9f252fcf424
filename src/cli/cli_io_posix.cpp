// On POSIX, -o renames a complete temporary over the target: an open file
// never stands in the way, so the target is never written in place.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "cli/cli_io.h"

namespace codeloom::cli {
namespace {

// The file a chain of symbolic links ends at (path itself when it is no
// link), so that the text lands in the file the link names, and the
// temporary beside it. A link to nothing gives the path it names.
std::string linkedFile(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path at = path;
  std::error_code error;
  for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(at, error)); ++hop) {
    fs::path next = fs::read_symlink(at, error);
    if (error) break;
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return at.string();
}

// No write permission for anyone: what Windows, and Wine, call read-only.
bool isReadOnly(const struct stat& target) { return (target.st_mode & 0222) == 0; }

}  // namespace

bool writeFileSafely(const std::string& path, std::string_view bytes) {
  const std::string file = linkedFile(path);
  struct stat target {};
  const bool exists = ::stat(file.c_str(), &target) == 0 && S_ISREG(target.st_mode);
  int fd = -1;
  int error = 0;  // the first failure, for the reason
  auto fail = [&error] {
    if (!error) error = errno ? errno : EIO;
    return false;
  };
  FileWriteSteps steps;
  steps.seed = [] { return static_cast<uint32_t>(std::random_device()()); };
  steps.createNew = [&](const std::string& temporary) {
    errno = 0;
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) return CreateOutcome::Exists;
      fail();
      return CreateOutcome::Failed;
    }
    // The target's owner and group where this process may give them (root
    // may), then its mode: chown may clear the set-id bits.
    if (exists) {
      if (fchown(fd, target.st_uid, target.st_gid) != 0) (void)!fchown(fd, -1, target.st_gid);
      if (fchmod(fd, target.st_mode & 07777) != 0) fail();
    }
    return CreateOutcome::Created;
  };
  steps.read = [](const std::string&, std::string&) { return false; };
  steps.openInPlace = [](const std::string&, uint64_t) { return false; };
  steps.write = [&](std::string_view chunk) {
    if (error) return false;  // the mode could not be given
    while (!chunk.empty()) {
      errno = 0;
      ssize_t n = ::write(fd, chunk.data(), chunk.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return fail();
      chunk.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  };
  steps.flush = [&] {
    errno = 0;
    return !error && (::fsync(fd) == 0 || fail());
  };
  steps.close = [&] {
    errno = 0;
    bool closed = ::close(fd) == 0;
    fd = -1;
    return closed || fail();
  };
  steps.replace = [&](const std::string& from, const std::string& to) {
    if (exists && isReadOnly(target)) return ReplaceOutcome::ReadOnly;
    errno = 0;
    if (std::rename(from.c_str(), to.c_str()) == 0) return ReplaceOutcome::Replaced;
    fail();
    return ReplaceOutcome::Failed;
  };
  steps.rename = [](const std::string& from, const std::string& to) {
    // A hard link never replaces a file that is there.
    return ::link(from.c_str(), to.c_str()) == 0 && ::unlink(from.c_str()) == 0;
  };
  steps.remove = [](const std::string& temporary) { ::unlink(temporary.c_str()); };
  WriteOutcome outcome = writeFileReplacing(steps, file, bytes);
  if (outcome.status == WriteStatus::Failed) outcome.reason = errorText(error, "write failed");
  return reportWriteOutcome(path, outcome);
}

void useBinaryMode(std::FILE*) {}

uint64_t regularFileSize(std::FILE* file) {
  struct stat status {};
  if (::fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<uint64_t>(status.st_size);
}

}  // namespace codeloom::cli
