#include "cli/input_reader.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "cli/cli_io.h"

namespace codeloom::cli {
namespace {

ReadResult unreadable(int error) { return {ReadStatus::Unreadable, errorText(error, "read failed")}; }

// Reads file to its end through onWindow, counting against the limit.
ReadResult readStream(std::FILE* file, char* window, size_t windowSize,
                      const std::function<bool(std::string_view)>& onWindow) {
  size_t total = 0;
  for (;;) {
    errno = 0;
    size_t got = std::fread(window, 1, windowSize, file);
    if (got > 0) {
      total += got;
      if (total > kMaxInputBytes) return {ReadStatus::TooLarge, {}};
      if (!onWindow(std::string_view(window, got))) return {};
    }
    if (got < windowSize) {
      if (std::ferror(file)) return unreadable(errno);
      return {};
    }
  }
}

// Reads straight into bytes. A regular file is sized in advance with one
// byte to spare, so that one read takes it whole and sees its end.
ReadResult readWhole(std::FILE* file, std::string& bytes, size_t sizeHint) {
  bytes.clear();
  size_t length = 0;
  size_t room = sizeHint > 0 ? sizeHint + 1 : kInputWindowBytes;
  for (;;) {
    if (length == bytes.size())
      bytes.resize(std::min(length + std::max(room, length), kMaxInputBytes + 1));
    errno = 0;
    size_t wanted = bytes.size() - length;
    size_t got = std::fread(bytes.data() + length, 1, wanted, file);
    length += got;
    if (length > kMaxInputBytes) {
      bytes.resize(length);
      return {ReadStatus::TooLarge, {}};
    }
    if (got < wanted) {
      bytes.resize(length);
      if (std::ferror(file)) return unreadable(errno);
      return {};
    }
  }
}

// Opens path for reading, unbuffered: the reads go straight into the
// caller's buffer. size is the file's when it is a regular one, to size
// the buffer and to refuse a large file before reading it; else 0. A file
// refused is closed again.
std::FILE* openInput(const std::string& path, ReadResult& result, size_t& size) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    result = unreadable(errno);
    return nullptr;
  }
  std::setvbuf(file, nullptr, _IONBF, 0);
  const uint64_t bytes = regularFileSize(file);
  if (bytes > kMaxInputBytes) {
    std::fclose(file);
    result = {ReadStatus::TooLarge, {}};
    return nullptr;
  }
  size = static_cast<size_t>(bytes);
  return file;
}

}  // namespace

ReadResult readInput(const std::string& path, std::string& bytes) {
  bytes.clear();
  size_t size = 0;
  ReadResult result;
  std::FILE* file = openInput(path, result, size);
  if (!file) return result;
  result = readWhole(file, bytes, size);
  std::fclose(file);
  return result;
}

ReadResult readStandardInput(std::string& bytes) {
  useBinaryMode(stdin);
  return readWhole(stdin, bytes, 0);
}

ReadResult readInputWindows(const std::string& path,
                            const std::function<bool(std::string_view)>& onWindow) {
  size_t size = 0;
  ReadResult result;
  std::FILE* file = openInput(path, result, size);
  if (!file) return result;
  char window[kInputWindowBytes];
  result = readStream(file, window, sizeof window, onWindow);
  std::fclose(file);
  return result;
}

bool isRegularInput(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

void reportReadFailure(const std::string& path, const ReadResult& result) {
  std::cerr << "codeloom-cli: cannot read file '" << path << "': ";
  if (result.status == ReadStatus::TooLarge)
    std::cerr << "larger than " << kMaxInputText << ", the most an input may hold\n";
  else
    std::cerr << result.reason << "\n";
}

}  // namespace codeloom::cli
