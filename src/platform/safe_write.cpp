#include "platform/safe_write.h"

namespace codeloom {

std::string temporaryPathFor(const std::string& path) { return path + ".codeloom-new"; }

bool writeFileReplacing(const FileWriteSteps& steps, const std::string& path,
                        std::string_view bytes, size_t chunkSize) {
  const std::string temporary = temporaryPathFor(path);
  if (!steps.create(temporary)) return false;
  bool ok = true;
  for (size_t at = 0; ok && at < bytes.size(); at += chunkSize)
    ok = steps.write(bytes.substr(at, chunkSize));
  ok = ok && steps.flush();
  ok = steps.close() && ok;  // closed in every case
  if (ok && steps.replace(temporary, path)) return true;
  steps.remove(temporary);
  return false;
}

}  // namespace codeloom
