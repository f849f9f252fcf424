#include "platform/safe_write.h"

#include <gtest/gtest.h>

#include <map>

namespace codeloom {
namespace {

// An in-memory disk whose n-th step fails.
struct FaultyDisk {
  std::map<std::string, std::string> files;
  std::string open;  // the file being written
  bool isOpen = false;
  int failAtStep = -1;
  int steps = 0;
  std::vector<std::string> log;

  bool step(const std::string& what) {
    log.push_back(what);
    return steps++ != failAtStep;
  }

  FileWriteSteps fileSteps() {
    return {
        [this](const std::string& path) {
          if (!step("create")) return false;
          open = path;
          isOpen = true;
          files[path].clear();
          return true;
        },
        [this](std::string_view chunk) {
          if (!step("write")) {
            files[open] += chunk.substr(0, chunk.size() / 2);  // a torn write
            return false;
          }
          files[open] += chunk;
          return true;
        },
        [this] { return step("flush"); },
        [this] {
          isOpen = false;
          return step("close");
        },
        [this](const std::string& from, const std::string& to) {
          if (!step("replace")) return false;
          files[to] = files[from];
          files.erase(from);
          return true;
        },
        [this](const std::string& path) {
          log.push_back("remove");
          files.erase(path);
        },
    };
  }
};

TEST(SafeWrite, Succeeds) {
  FaultyDisk disk;
  disk.files["settings.txt"] = "old";
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "settings.txt", "new content", 4));
  EXPECT_EQ((std::map<std::string, std::string>{{"settings.txt", "new content"}}), disk.files);
  EXPECT_EQ(
      (std::vector<std::string>{"create", "write", "write", "write", "flush", "close", "replace"}),
      disk.log);
}

TEST(SafeWrite, FailureAtAnyStepKeepsTheOldFileAndNoLeftover) {
  // create, 3 writes, flush, close, replace: 7 steps.
  for (int failAt = 0; failAt < 7; ++failAt) {
    FaultyDisk disk;
    disk.files["settings.txt"] = "old";
    disk.failAtStep = failAt;
    EXPECT_FALSE(writeFileReplacing(disk.fileSteps(), "settings.txt", "new content", 4)) << failAt;
    EXPECT_EQ((std::map<std::string, std::string>{{"settings.txt", "old"}}), disk.files) << failAt;
    EXPECT_FALSE(disk.isOpen) << failAt;
  }
}

TEST(SafeWrite, EmptyContentStillReplaces) {
  FaultyDisk disk;
  disk.files["a"] = "old";
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "a", ""));
  EXPECT_EQ("", disk.files["a"]);
}

}  // namespace
}  // namespace codeloom
