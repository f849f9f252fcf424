#include "headers/source_files.h"

#include <gtest/gtest.h>

namespace codeloom {
namespace {

TEST(SourceFiles, Request) {
  int owner;
  OpenFileRequest r = sourceFilesRequest(&owner);
  EXPECT_EQ(&owner, r.owner);
  EXPECT_EQ("Select files", r.title);
  EXPECT_EQ("C:\\prj\\pb", r.initialFolder);
  EXPECT_EQ("Basic", r.filterName);
  EXPECT_EQ("*.bas;*.inc", r.filterPattern);
  EXPECT_FALSE(r.offsetFromOwner);
}

}  // namespace
}  // namespace codeloom
