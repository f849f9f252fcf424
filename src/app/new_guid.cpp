#include "app/new_guid.h"

#include "app/ide_locator.h"
#include "platform/text_helpers.h"

namespace codeloom {
namespace {

void appendHex(std::string& out, uint64_t value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::string guidText(const Guid& g) {
  std::string text = "{";
  appendHex(text, g.data1, 8);
  text += '-';
  appendHex(text, g.data2, 4);
  text += '-';
  appendHex(text, g.data3, 4);
  text += '-';
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text += '-';
    appendHex(text, g.data4[i], 2);
  }
  text += '}';
  return text;
}

std::string newGuidText(Platform& platform) { return guidText(platform.createGuid()); }

std::string guidLiteral(const std::string& guidText) {
  return "GUID$(\"" + guidText + "\") ";
}

void runNewGuid(Platform& platform) {
  std::string text = guidLiteral(newGuidText(platform));
  replaceClipboardText(platform, text);
  activateIde(platform);
}

}  // namespace codeloom
