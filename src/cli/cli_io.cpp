#include "cli/cli_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace codeloom::cli {
namespace {

// The reason of the first failed write to stdout; empty while none failed.
std::string stdoutFailure;

void recordStdoutFailure(int error) {
  if (stdoutFailure.empty()) stdoutFailure = errorText(error, "write failed");
}

}  // namespace

std::string errorText(int error, const char* otherwise) {
  return error ? std::strerror(error) : otherwise;
}

bool writeStdout(std::string_view bytes) {
  static const bool binary = (useBinaryMode(stdout), true);
  (void)binary;
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

bool reportWriteOutcome(const std::string& path, const WriteOutcome& outcome) {
  if (outcome.written()) return true;
  std::cerr << "codeloom-cli: write error: ";
  switch (outcome.status) {
    case WriteStatus::Written:
      break;
    case WriteStatus::ReadOnly:
      std::cerr << "'" << path << "' is read-only\n";
      break;
    case WriteStatus::Held:
      std::cerr << "'" << path << "' is open in another program\n";
      break;
    case WriteStatus::Failed:
      std::cerr << "'" << path << "': " << (outcome.reason.empty() ? "write failed" : outcome.reason)
                << "\n";
      break;
    case WriteStatus::Kept:
      std::cerr << keptTextMessage(path, outcome) << "\n";
      break;
  }
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
