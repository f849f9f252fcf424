#include "classgen/member_spec.h"

#include <gtest/gtest.h>

namespace codeloom {
namespace {

// name|typeName|varName|hasGet|setKind|indexed, one string per member.
std::string describe(const MemberSpec& m) {
  return m.name + "|" + m.typeName + "|" + m.varName + "|" + std::to_string(m.hasGet) + "|" +
         std::to_string(static_cast<int>(m.setKind)) + "|" + std::to_string(m.indexed);
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += "<" + item + ">";
  return text;
}

TEST(MemberSpec, PropertyItems) {
  EXPECT_EQ("Name|String|name_|1|1|0", describe(parseMemberItem("Name")));
  EXPECT_EQ("Width|Long|width_|1|0|0", describe(parseMemberItem("[Width:Long")));
  EXPECT_EQ("Code|Double|code_|0|1|0", describe(parseMemberItem("]Code:Double")));
  EXPECT_EQ("Title|String|title_|1|2|0", describe(parseMemberItem(".Title")));
  EXPECT_EQ("Item|iTest|item_|1|1|1", describe(parseMemberItem("Item:iTest()")));
  EXPECT_EQ("Item|String|item_|1|1|1", describe(parseMemberItem("Item()")));
  EXPECT_EQ("List|Long|list_|1|0|1", describe(parseMemberItem("[List():Long()")));
  EXPECT_EQ("URL|String|uRL_|1|1|0", describe(parseMemberItem("URL")));
  EXPECT_EQ(" Height|Long| Height_|1|1|0", describe(parseMemberItem(" Height:Long")));
  EXPECT_EQ(" [Height|String| [Height_|1|1|0", describe(parseMemberItem(" [Height")));
  EXPECT_EQ(".X|String|.X_|1|0|0", describe(parseMemberItem("[.X")));
  EXPECT_EQ("Name||name_|1|1|0", describe(parseMemberItem("Name:")));
  EXPECT_EQ("a|b|a_|1|1|0", describe(parseMemberItem("a:b:c")));
  EXPECT_EQ("|String|_|1|1|0", describe(parseMemberItem("")));
  EXPECT_EQ("|String|_|1|0|0", describe(parseMemberItem("[")));
  EXPECT_EQ("|Long|_|1|1|0", describe(parseMemberItem(":Long")));
  EXPECT_EQ("\xC9t\xE9|String|\xE9t\xE9_|1|1|0", describe(parseMemberItem("\xC9t\xE9")));
  EXPECT_EQ("X|()|x_|1|1|1", describe(parseMemberItem("X:()()")));
}

TEST(MemberSpec, MethodItems) {
  EXPECT_EQ("Refresh||refresh_|1|1|0", describe(parseMemberItem("Refresh", true)));
  EXPECT_EQ("Count|Long|count_|1|1|0", describe(parseMemberItem("Count:Long", true)));
  EXPECT_EQ("Refresh||refresh_|1|0|0", describe(parseMemberItem("[Refresh", true)));
  EXPECT_EQ("Refresh||refresh_|1|1|1", describe(parseMemberItem("Refresh()", true)));
  EXPECT_EQ("Items|Long|items_|1|1|1", describe(parseMemberItem("Items:Long()", true)));
}

TEST(MemberSpec, SplitKeepsEmptyAndBlankItems) {
  EXPECT_EQ("<>", joined(splitMemberList("")));
  EXPECT_EQ("<Width>", joined(splitMemberList("Width")));
  EXPECT_EQ("<Width><>", joined(splitMemberList("Width,")));
  EXPECT_EQ("<a><><b>", joined(splitMemberList("a,,b")));
  EXPECT_EQ("<Width>< Height>", joined(splitMemberList("Width, Height")));
  EXPECT_EQ("<><>", joined(splitMemberList(",")));
  EXPECT_EQ("<[W:Long><Item:iTest()>", joined(splitMemberList("[W:Long,Item:iTest()")));
}

TEST(MemberSpec, ByValTypes) {
  for (const char* type : {"integer", "long", "byte", "float", "double", "ext", "cur", "cux",
                           "currency", "currencyextended", "word", "dword", "extended", "quad",
                           "Long", "LONG", "CurrencyExtended", "DWord"})
    EXPECT_TRUE(isByValType(type)) << type;
  for (const char* type : {"Long ", " Long", "String", "iTest", "Single", "", "lon", "longs",
                           "Long()", "Variant"})
    EXPECT_FALSE(isByValType(type)) << type;
}

}  // namespace
}  // namespace codeloom
