#include "classgen/member_spec.h"

#include <algorithm>
#include <array>

#include "platform/ansi.h"
#include "platform/text_helpers.h"

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
  for (std::string_view item : splitAtCommas(text)) items.emplace_back(item);
  return items;
}

MemberSpec parseMemberItem(std::string_view item, bool isMethod) {
  MemberSpec member;
  member.name = item;
  member.typeName = isMethod ? "" : "String";

  if (size_t colon = item.find(':'); colon != std::string_view::npos) {
    member.name = item.substr(0, colon);
    std::string_view rest = item.substr(colon + 1);
    member.typeName = rest.substr(0, rest.find(':'));  // text after a second ":" is dropped
  }

  // Exactly one prefix character is looked at: "[.X" is read-only ".X".
  const char prefix = member.name.empty() ? '\0' : member.name.front();
  if (prefix == '[' || prefix == ']' || prefix == '.') {
    if (prefix == '[') member.setKind = SetKind::SetNone;
    if (prefix == ']') member.hasGet = false;
    if (prefix == '.') member.setKind = SetKind::SetIfChanged;
    member.name.erase(0, 1);
  }

  if (removeSuffix(member.typeName, "()")) member.indexed = true;
  if (removeSuffix(member.name, "()")) member.indexed = true;

  member.varName = member.name;
  if (!member.varName.empty()) member.varName.front() = lowerAnsi(member.varName.front());
  member.varName += '_';
  return member;
}

bool isByValType(std::string_view typeName) {
  static constexpr std::array<std::string_view, 14> kByValTypes = {
      "integer", "long", "byte",     "float",            "double", "ext",      "cur",
      "cux",     "currency", "currencyextended", "word",   "dword",    "extended", "quad"};
  const std::string lower = toLowerAnsi(typeName);
  return std::find(kByValTypes.begin(), kByValTypes.end(), lower) != kByValTypes.end();
}

}  // namespace codeloom
