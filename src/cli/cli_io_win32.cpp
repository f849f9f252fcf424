// On Windows, -o goes through the GUI's own safe replacement, so that a
// read-only, hidden or held target fares as it does in the GUI.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "cli/cli_io.h"
#include "platform/platform_win32.h"

namespace codeloom::cli {

bool writeFileSafely(const std::string& path, std::string_view bytes) {
  return reportWriteOutcome(path, writeFileWin32(path, bytes));
}

void useBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

uint64_t regularFileSize(std::FILE* file) {
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) return 0;
  return static_cast<uint64_t>(status.st_size);
}

}  // namespace codeloom::cli
