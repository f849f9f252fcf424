#include "app/new_guid.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace codeloom {
namespace {

TEST(NewGuid, TextKeepsLeadingZerosAndIsLowerCase) {
  Guid g{0x0000ABCD, 0x0A0B, 0xFFFF, {0x00, 0x01, 0xAB, 0xCD, 0xEF, 0x00, 0x10, 0xFE}};
  EXPECT_EQ("{0000abcd-0a0b-ffff-0001-abcdef0010fe}", guidText(g));
  EXPECT_EQ("{00000000-0000-0000-0000-000000000000}", guidText(Guid()));
}

TEST(NewGuid, LiteralIs48Characters) {
  std::string literal = guidLiteral(guidText(Guid()));
  EXPECT_EQ("GUID$(\"{00000000-0000-0000-0000-000000000000}\") ", literal);
  EXPECT_EQ(48u, literal.size());
}

TEST(NewGuid, CommandFillsClipboardThenActivatesIde) {
  FakePlatform platform;
  int ide;
  platform.topWindows = {{&ide, "PB/WIN IDE - x.bas"}};
  platform.clipboard = "old";
  runNewGuid(platform);
  EXPECT_EQ("GUID$(\"{00000001-0000-0000-0000-000000000000}\") ", platform.clipboard);
  EXPECT_EQ(&ide, platform.foreground);
  runNewGuid(platform);
  EXPECT_EQ("GUID$(\"{00000002-0000-0000-0000-000000000000}\") ", platform.clipboard);
}

TEST(NewGuid, BusyClipboardStillActivatesIde) {
  FakePlatform platform;
  int ide;
  platform.topWindows = {{&ide, "PB/CC IDE"}};
  platform.clipboardBusy = true;
  platform.clipboard = "old";
  runNewGuid(platform);
  EXPECT_EQ("old", platform.clipboard);
  EXPECT_EQ(&ide, platform.foreground);
}

}  // namespace
}  // namespace codeloom
