#include "platform/text_helpers.h"

namespace codeloom {
namespace {

template <typename View>
View trimmed(View text, typename View::value_type space) {
  size_t first = text.find_first_not_of(space);
  if (first == View::npos) return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

}  // namespace

std::string_view trimSpaces(std::string_view text) { return trimmed(text, ' '); }

std::u16string_view trimSpaces(std::u16string_view text) { return trimmed(text, u' '); }

std::vector<std::string_view> splitAtCommas(std::string_view text) {
  std::vector<std::string_view> items;
  for (;;) {
    size_t comma = text.find(',');
    items.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return items;
    text.remove_prefix(comma + 1);
  }
}

void replaceClipboardText(Platform& platform, const std::string& text) {
  platform.emptyClipboard();
  platform.setClipboardText(text);
}

}  // namespace codeloom
