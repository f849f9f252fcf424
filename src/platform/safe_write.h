// Replacing a file without ever leaving it half-written: the new content
// goes to a file beside the target, and only a complete, flushed file is
// moved over the old one. Each platform supplies the steps; the order and
// the clean-up live here once, so they can be tested step by step.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace codeloom {

struct FileWriteSteps {
  std::function<bool(const std::string& path)> create;  // create or empty, for writing
  std::function<bool(std::string_view chunk)> write;    // all of chunk, or false
  std::function<bool()> flush;
  std::function<bool()> close;
  std::function<bool(const std::string& from, const std::string& to)> replace;
  std::function<void(const std::string& path)> remove;
};

// The name of the file a new content is written to before it replaces path.
std::string temporaryPathFor(const std::string& path);

// Writes bytes to path through steps; on any failure removes the temporary
// file, leaves path as it was, and returns false.
bool writeFileReplacing(const FileWriteSteps& steps, const std::string& path,
                        std::string_view bytes, size_t chunkSize = size_t(1) << 20);

}  // namespace codeloom
