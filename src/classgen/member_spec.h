// The member specification of the class dialog: the one-line properties and
// methods texts, the item syntax ("[" Get only, "]" Set only, "." Set if
// changed, ":" before the type, "()" for an indexed member), and the types
// whose setter takes its value ByVal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace codeloom {

enum class SetKind : int {
  SetNone = 0,       // read-only property: no setter
  SetAlways = 1,     // plain setter
  SetIfChanged = 2,  // setter that assigns only when the value differs
};

struct MemberSpec {
  std::string name;      // prefix character and trailing "()" removed
  std::string typeName;  // as typed, trailing "()" removed; may be empty
  std::string varName;   // backing instance variable: name, first letter lower, "_"
  bool hasGet = true;
  SetKind setKind = SetKind::SetAlways;
  bool indexed = false;

  bool operator==(const MemberSpec& other) const = default;
};

// The items between the commas, empty ones included: commas + 1 items, so an
// empty text gives one empty item (callers skip an empty text altogether).
std::vector<std::string> splitMemberList(std::string_view text);

// One item of the properties text (isMethod false) or of the methods text.
// A property without a type is a String; a method has no default type.
MemberSpec parseMemberItem(std::string_view item, bool isMethod = false);

// True when the type, lower-cased and compared in full, is a numeric type
// that PowerBASIC passes by value (integer, long, dword, quad, currency ...).
bool isByValType(std::string_view typeName);

}  // namespace codeloom
