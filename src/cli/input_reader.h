// The one way codeloom-cli reads its input files: templates, settings files
// and sources, whole or in bounded windows. A folder, a file that cannot be
// opened and a read that fails part-way are all "unreadable"; a file larger
// than kMaxInputBytes is refused, so an endless device such as /dev/zero
// ends promptly instead of filling memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace codeloom::cli {

// The most bytes one input may hold.
constexpr size_t kMaxInputBytes = size_t(512) << 20;
constexpr const char* kMaxInputText = "512 MiB";

// The largest window readInputWindows passes on: the GUI's.
constexpr size_t kInputWindowBytes = Platform::kPickedReadWindow;

enum class ReadStatus { Ok, Unreadable, TooLarge };

// The outcome of one read: the status, and for Unreadable the reason.
struct ReadResult {
  ReadStatus status = ReadStatus::Ok;
  std::string reason;
  bool ok() const { return status == ReadStatus::Ok; }
};

// The whole of path in bytes, which keeps its capacity from call to call.
// On failure bytes holds what was read before it.
ReadResult readInput(const std::string& path, std::string& bytes);

// The whole of standard input, in binary.
ReadResult readStandardInput(std::string& bytes);

// Passes path's bytes to onWindow in order, in windows of at most
// kInputWindowBytes; stops early, with Ok, once onWindow returns false.
ReadResult readInputWindows(const std::string& path,
                            const std::function<bool(std::string_view window)>& onWindow);

// Whether path names a regular file, which may be read more than once (a
// pipe or a device may not).
bool isRegularInput(const std::string& path);

// "codeloom-cli: cannot read file 'PATH': REASON" on stderr.
void reportReadFailure(const std::string& path, const ReadResult& result);

}  // namespace codeloom::cli
