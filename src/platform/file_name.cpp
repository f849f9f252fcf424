#include "platform/file_name.h"

#include <string>

#include "platform/ansi.h"

namespace codeloom {
namespace {

bool isDeviceName(std::string_view base) {
  const std::string name = toUpperAnsi(base);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (name == device) return true;
  if (name.size() != 4 || !(name.starts_with("COM") || name.starts_with("LPT"))) return false;
  const unsigned char last = static_cast<unsigned char>(name[3]);
  // The superscripts 1, 2 and 3 of Windows-1252 count as digits here.
  return (last >= '0' && last <= '9') || last == 0xB9 || last == 0xB2 || last == 0xB3;
}

}  // namespace

bool isSafeFileStem(std::string_view stem) {
  for (char c : stem) {
    if (static_cast<unsigned char>(c) < 32) return false;
    if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  std::string_view base = stem.substr(0, stem.find('.'));
  base.remove_prefix(std::min(base.find_first_not_of(' '), base.size()));
  base.remove_suffix(base.size() - (base.find_last_not_of(' ') + 1));
  return !isDeviceName(base);
}

}  // namespace codeloom
