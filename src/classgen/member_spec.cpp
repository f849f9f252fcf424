#include "classgen/member_spec.h"

#include <algorithm>
#include <array>

#include "platform/ansi.h"

namespace codeloom {
namespace {

bool removeSuffix(std::string& text, std::string_view suffix) {
  if (!text.ends_with(suffix)) return false;
  text.resize(text.size() - suffix.size());
  return true;
}

}  // namespace

std::vector<std::string> splitMemberList(std::string_view text) {
  std::vector<std::string> items;
  for (;;) {
    size_t comma = text.find(',');
    items.emplace_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return items;
    text.remove_prefix(comma + 1);
  }
}

MemberSpec parseMemberItem(std::string_view item, bool isMethod) {
  MemberSpec spec;
  spec.name = item;
  spec.typeName = isMethod ? "" : "String";

  if (size_t colon = item.find(':'); colon != std::string_view::npos) {
    spec.name = item.substr(0, colon);
    std::string_view rest = item.substr(colon + 1);
    spec.typeName = rest.substr(0, rest.find(':'));  // text after a second ":" is dropped
  }

  // Exactly one prefix character is looked at: "[.X" is read-only ".X".
  const char prefix = spec.name.empty() ? '\0' : spec.name.front();
  if (prefix == '[' || prefix == ']' || prefix == '.') {
    if (prefix == '[') spec.setKind = SetKind::SetNone;
    if (prefix == ']') spec.hasGet = false;
    if (prefix == '.') spec.setKind = SetKind::SetIfChanged;
    spec.name.erase(0, 1);
  }

  if (removeSuffix(spec.typeName, "()")) spec.indexed = true;
  if (removeSuffix(spec.name, "()")) spec.indexed = true;

  spec.varName = spec.name;
  if (!spec.varName.empty()) spec.varName.front() = lowerAnsi(spec.varName.front());
  spec.varName += '_';
  return spec;
}

bool isByValType(std::string_view typeName) {
  static constexpr std::array<std::string_view, 14> kByValTypes = {
      "integer", "long", "byte",     "float",            "double", "ext",      "cur",
      "cux",     "currency", "currencyextended", "word",   "dword",    "extended", "quad"};
  const std::string lower = toLowerAnsi(typeName);
  return std::find(kByValTypes.begin(), kByValTypes.end(), lower) != kByValTypes.end();
}

}  // namespace codeloom
