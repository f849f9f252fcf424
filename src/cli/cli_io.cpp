#include "cli/cli_io.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <vector>

#include "platform/safe_write.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace codeloom::cli {
namespace {

// The reason of the first failed write to stdout; empty while none failed.
std::string stdoutFailure;

std::string reasonOf(int error) { return error ? std::strerror(error) : "write failed"; }

void recordStdoutFailure(int error) {
  if (stdoutFailure.empty()) stdoutFailure = reasonOf(error);
}

}  // namespace

bool writeStdout(std::string_view bytes) {
#ifdef _WIN32
  static const bool binary = (_setmode(_fileno(stdout), _O_BINARY), true);
  (void)binary;
#endif
  if (!stdoutFailure.empty()) return false;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
    recordStdoutFailure(errno);
    return false;
  }
  // Flushed at once: a full disk is noticed before more work is done.
  errno = 0;
  if (std::fflush(stdout) != 0) {
    recordStdoutFailure(errno);
    return false;
  }
  return true;
}

bool finishStdout() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) recordStdoutFailure(errno);
  errno = 0;
  if (std::fclose(stdout) != 0) recordStdoutFailure(errno);
  if (stdoutFailure.empty()) return true;
  std::cerr << "codeloom-cli: write error: " << stdoutFailure << "\n";
  return false;
}

namespace {

// A new file for writing, never an existing one.
CreateOutcome createNewFile(const std::string& path, std::FILE*& file) {
  errno = 0;
#ifdef _WIN32
  int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  file = fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  file = fd < 0 ? nullptr : fdopen(fd, "wb");
#endif
  if (file) return CreateOutcome::Created;
  if (fd >= 0) return CreateOutcome::Failed;
  return errno == EEXIST ? CreateOutcome::Exists : CreateOutcome::Failed;
}

std::vector<FileWriteSteps::Found> filesIn(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<FileWriteSteps::Found> found;
  std::error_code error;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code timeError;
    fs::file_time_type written = it->last_write_time(timeError);
    if (timeError || !it->is_regular_file(timeError)) continue;
    auto age = std::chrono::duration_cast<std::chrono::seconds>(now - written).count();
    found.push_back({it->path().filename().string(), static_cast<int64_t>(age)});
  }
  return found;
}

}  // namespace

bool writeFileSafely(const std::string& path, std::string_view bytes) {
  std::FILE* file = nullptr;
  std::string failure;
  auto fail = [&failure](int error) {
    if (failure.empty()) failure = reasonOf(error);
    return false;
  };
  FileWriteSteps steps;
  steps.find = [](const std::string& folder, const std::string&) { return filesIn(folder); };
  steps.seed = [] { return static_cast<uint32_t>(std::random_device()()); };
  steps.createNew = [&](const std::string& temporary) {
    CreateOutcome outcome = createNewFile(temporary, file);
    if (outcome == CreateOutcome::Failed) fail(errno);
    return outcome;
  };
  // Renaming over a file never fails here for its being open elsewhere, so
  // the target is never written in place.
  steps.openInPlace = [](const std::string&, uint64_t) { return false; };
  steps.write = [&](std::string_view chunk) {
    errno = 0;
    return std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size() || fail(errno);
  };
  steps.flush = [&] {
    errno = 0;
    return std::fflush(file) == 0 || fail(errno);
  };
  steps.close = [&] {
    errno = 0;
    bool closed = std::fclose(file) == 0;
    file = nullptr;
    return closed || fail(errno);
  };
  steps.replace = [&](const std::string& from, const std::string& to) {
    // Replaces an existing file on Windows too (MoveFileEx underneath).
    std::error_code error;
    std::filesystem::rename(from, to, error);
    if (!error) return ReplaceOutcome::Replaced;
    fail(error.value());
    return ReplaceOutcome::Failed;
  };
  steps.remove = [](const std::string& temporary) { std::remove(temporary.c_str()); };
  if (writeFileReplacing(steps, path, bytes)) return true;
  std::cerr << "codeloom-cli: write error: '" << path << "': " << failure << "\n";
  return false;
}

int reportUsageError(std::string_view subcommand, std::string_view problem) {
  std::cerr << "codeloom-cli" << (subcommand.empty() ? "" : " ") << subcommand << ": " << problem
            << "\nTry 'codeloom-cli --help'\n";
  return kExitUsage;
}

std::string_view baseName(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace codeloom::cli
