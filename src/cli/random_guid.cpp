#include <random>

#include "cli/cli_io.h"

namespace codeloom::cli {

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

}  // namespace codeloom::cli
