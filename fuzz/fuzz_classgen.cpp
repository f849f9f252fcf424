// The member specification and the skeleton builder. Flags: bit 0 builds an
// interface instead of a class, bit 1 sets Messages. Parts: the class name,
// the properties text, the methods text.
#include <string>

#include "classgen/member_spec.h"
#include "classgen/skeleton.h"
#include "fuzz/fuzz_input.h"

namespace codeloom::fuzz {
namespace {

void checkMembers(std::string_view text, bool isMethod) {
  std::vector<std::string> items = splitMemberList(text);
  std::string joined;
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string& item = items[i];
    if (i > 0) joined += ',';
    joined += item;
    FUZZ_CHECK(item.find(',') == std::string::npos);

    MemberSpec member = parseMemberItem(item, isMethod);
    FUZZ_CHECK(member.varName.size() == member.name.size() + 1 && member.varName.back() == '_');
    FUZZ_CHECK(member.name.find(':') == std::string::npos);
    FUZZ_CHECK(member.typeName.find(':') == std::string::npos);
    FUZZ_CHECK(member.hasGet || member.setKind != SetKind::SetNone);  // one prefix only
    if (item.find(':') == std::string::npos)
      FUZZ_CHECK(member.typeName == (isMethod ? "" : "String"));
    FUZZ_CHECK(member.name.size() + member.typeName.size() <= item.size() + (isMethod ? 0 : 6));
  }
  FUZZ_CHECK(joined == text);
}

}  // namespace
}  // namespace codeloom::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace codeloom;
  using namespace codeloom::fuzz;
  FuzzInput input = splitInput(data, size, 3);
  std::string_view className = input.parts[0], properties = input.parts[1],
                   methods = input.parts[2];
  checkMembers(properties, false);
  checkMembers(methods, true);

  SkeletonKind kind = input.flags & 1 ? SkeletonKind::Interface : SkeletonKind::Class;
  bool messages = (input.flags & 2) != 0;
  int guids = 0;
  GuidSource newGuid = [&guids] {
    ++guids;
    return std::string("{00000000-0000-0000-0000-00000000000") + char('0' + guids) + "}";
  };
  std::string text = buildSkeleton(kind, className, properties, methods, messages, newGuid);

  FUZZ_CHECK(guids == (kind == SkeletonKind::Class ? 2 : 1));
  if (className.find('\r') == std::string_view::npos && properties.find('\r') == std::string_view::npos &&
      methods.find('\r') == std::string_view::npos)
    FUZZ_CHECK(linesEndInCrLf(text) && !text.empty());
  if (kind == SkeletonKind::Interface) FUZZ_CHECK(text.ends_with("End Class\r\n"));
  FUZZ_CHECK(text.find("{00000000-0000-0000-0000-000000000001}") != std::string::npos);
  if (messages) FUZZ_CHECK(text.find(kMessageInterfaceGuid) != std::string::npos);
  return 0;
}
