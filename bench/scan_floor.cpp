// The floor under the header commands on this machine: reading the files
// through the CLI's 64 KB windows, and reading them and running the line
// index over every window, passing over each candidate, writing nothing. bench/run.sh times both beside the commands.
//
//   codeloom-scan-floor read|index FILE...
// Prints the number of windows (read) or candidates (index).
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/input_reader.h"
#include "headers/line_index.h"

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "read") != 0 && std::strcmp(argv[1], "index") != 0)) {
    std::fprintf(stderr, "usage: codeloom-scan-floor read|index FILE...\n");
    return 2;
  }
  const bool index = std::strcmp(argv[1], "index") == 0;
  size_t count = 0;
  for (int i = 2; i < argc; ++i) {
    auto result = codeloom::cli::readInputWindows(argv[i], [&](std::string_view window) {
      if (!index) {
        ++count;
        return true;
      }
      // The index takes whole lines: the window up to its last line end.
      size_t whole = window.find_last_of("\r\n") + 1;  // npos + 1 == 0
      codeloom::LineCursor cursor;
      codeloom::startLineCursor(cursor, window.data(), whole);
      for (size_t at = codeloom::nextCandidate(cursor, 0); at < whole;
           at = codeloom::nextCandidate(cursor, codeloom::nextLineEnd(cursor, at) + 1))
        ++count;
      return true;
    });
    if (!result.ok()) {
      codeloom::cli::reportReadFailure(argv[i], result);
      return 1;
    }
  }
  std::printf("%zu\n", count);
  return 0;
}
