#include "cli/cli_io.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace codeloom::cli {

bool readFileBytes(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  bytes = std::move(buffer).str();
  return true;
}

void writeStdout(std::string_view bytes) {
#ifdef _WIN32
  static const bool binary = (_setmode(_fileno(stdout), _O_BINARY), true);
  (void)binary;
#endif
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void reportUnreadable(const std::string& path) {
  std::cerr << "codeloom-cli: cannot read file '" << path << "'\n";
}

std::string_view baseName(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace codeloom::cli
