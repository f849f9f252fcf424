#include "cli/cli_io.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <random>
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

Guid randomGuid() {
  std::random_device device;
  std::uniform_int_distribution<uint32_t> word;
  uint32_t w[4] = {word(device), word(device), word(device), word(device)};
  Guid guid;
  guid.data1 = w[0];
  guid.data2 = static_cast<uint16_t>(w[1] >> 16);
  guid.data3 = static_cast<uint16_t>((w[1] & 0x0FFF) | 0x4000);
  for (int i = 0; i < 4; ++i) {
    guid.data4[i] = static_cast<uint8_t>(w[2] >> (8 * i));
    guid.data4[i + 4] = static_cast<uint8_t>(w[3] >> (8 * i));
  }
  guid.data4[0] = static_cast<uint8_t>((guid.data4[0] & 0x3F) | 0x80);
  return guid;
}

std::string_view baseName(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace codeloom::cli
