#include "platform/safe_write.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace codeloom {
namespace {

using Files = std::map<std::string, std::string>;
using Log = std::vector<std::string>;

// An in-memory disk whose n-th step (find, seed and remove not counted)
// fails. Held files refuse to be renamed over, as a file open elsewhere
// without delete sharing does.
struct FaultyDisk {
  Files files;
  std::map<std::string, int64_t> ages;  // seconds since written; 0 if absent
  std::set<std::string> held;
  std::string open;  // the file being written
  size_t at = 0, cutTo = std::string::npos;
  bool isOpen = false;
  int failAtStep = -1;
  int steps = 0;
  uint32_t seed = 0x1234;
  Log log;

  bool step(const std::string& what) {
    log.push_back(what);
    return steps++ != failAtStep;
  }

  void openFile(const std::string& path) {
    open = path;
    isOpen = true;
    at = 0;
  }

  FileWriteSteps fileSteps() {
    FileWriteSteps s;
    s.find = [this](const std::string& folder, const std::string& wildcard) {
      EXPECT_EQ("~cl????.tmp", wildcard);
      std::vector<FileWriteSteps::Found> found;
      for (const auto& [path, bytes] : files)
        if (path.starts_with(folder) && path.find_first_of("\\:", folder.size()) == std::string::npos)
          found.push_back({path.substr(folder.size()), ages[path]});
      return found;
    };
    s.seed = [this] { return seed; };
    s.createNew = [this](const std::string& path) {
      if (!step("create " + path)) return CreateOutcome::Failed;
      if (files.count(path)) return CreateOutcome::Exists;
      files[path].clear();
      openFile(path);
      cutTo = std::string::npos;
      return CreateOutcome::Created;
    };
    s.openInPlace = [this](const std::string& path, uint64_t size) {
      if (!step("open in place " + path) || !files.count(path)) return false;
      if (files[path].size() < size) files[path].resize(size, '#');
      openFile(path);
      cutTo = size;
      return true;
    };
    s.write = [this](std::string_view chunk) {
      bool ok = step("write");
      if (!ok) chunk = chunk.substr(0, chunk.size() / 2);  // a torn write
      std::string& file = files[open];
      if (file.size() < at + chunk.size()) file.resize(at + chunk.size());
      file.replace(at, chunk.size(), chunk);
      at += chunk.size();
      return ok;
    };
    s.flush = [this] { return step("flush"); };
    s.close = [this] {
      isOpen = false;
      if (cutTo != std::string::npos) files[open].resize(cutTo);
      return step("close");
    };
    s.replace = [this](const std::string& from, const std::string& to) {
      if (!step("replace " + from + " " + to)) return ReplaceOutcome::Failed;
      if (held.count(to)) return ReplaceOutcome::Held;
      files[to] = files[from];
      files.erase(from);
      return ReplaceOutcome::Replaced;
    };
    s.remove = [this](const std::string& path) {
      log.push_back("remove " + path);
      files.erase(path);
    };
    return s;
  }
};

TEST(SafeWrite, TemporaryNames) {
  EXPECT_EQ("~cl1234.tmp", temporaryName(0x1234));
  EXPECT_EQ("~cl00af.tmp", temporaryName(0xABCD00AF));  // the low 16 bits
  EXPECT_TRUE(isTemporaryName("~clbeef.tmp"));
  for (const char* other : {"~cl12345.tmp", "~cl123.tmp", "~CL1234.TMP", "~cl12g4.tmp",
                            "~cl1234.tmpx", "x~cl1234.tmp", "~cl1234.inc", "settings.txt", ""})
    EXPECT_FALSE(isTemporaryName(other)) << other;
}

TEST(SafeWrite, Succeeds) {
  FaultyDisk disk;
  disk.files["C:\\p\\settings.txt"] = "old";
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "C:\\p\\settings.txt", "new content", 4));
  EXPECT_EQ((Files{{"C:\\p\\settings.txt", "new content"}}), disk.files);
  EXPECT_EQ((Log{"create C:\\p\\~cl1234.tmp", "write", "write", "write", "flush", "close",
                 "replace C:\\p\\~cl1234.tmp C:\\p\\settings.txt"}),
            disk.log);
}

// The temporary sits beside the target, on its volume, whatever the form
// of the path.
TEST(SafeWrite, TemporaryIsInTheTargetsFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"settings.txt", "~cl1234.tmp"}, {"C:a.inc", "C:~cl1234.tmp"},
      {"C:/p/a.inc", "C:/p/~cl1234.tmp"}, {"\\a.inc", "\\~cl1234.tmp"},
  };
  for (const auto& [path, temporary] : cases) {
    FaultyDisk disk;
    EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), path, "x")) << path;
    EXPECT_EQ("create " + std::string(temporary), disk.log.at(0)) << path;
  }
}

TEST(SafeWrite, FailureAtAnyStepKeepsTheOldFileAndNoLeftover) {
  // create, 3 writes, flush, close, replace: 7 steps.
  for (int failAt = 0; failAt < 7; ++failAt) {
    FaultyDisk disk;
    disk.files["settings.txt"] = "old";
    disk.failAtStep = failAt;
    EXPECT_FALSE(writeFileReplacing(disk.fileSteps(), "settings.txt", "new content", 4)) << failAt;
    EXPECT_EQ((Files{{"settings.txt", "old"}}), disk.files) << failAt;
    EXPECT_FALSE(disk.isOpen) << failAt;
  }
}

TEST(SafeWrite, EmptyContentStillReplaces) {
  FaultyDisk disk;
  disk.files["a"] = "old";
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "a", ""));
  EXPECT_EQ((Files{{"a", ""}}), disk.files);
}

// Another save's temporary is never opened: the next name is taken.
TEST(SafeWrite, TakenNamesAreSkipped) {
  FaultyDisk disk;
  disk.files["p\\~cl1234.tmp"] = "another save";
  disk.files["p\\~clb06b.tmp"] = "another save";  // 0x1234 + 40503
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "p\\a", "new"));
  EXPECT_EQ((Log{"create p\\~cl1234.tmp", "create p\\~clb06b.tmp", "create p\\~cl4ea2.tmp",
                 "write", "flush", "close", "replace p\\~cl4ea2.tmp p\\a"}),
            disk.log);
  EXPECT_EQ("another save", disk.files["p\\~cl1234.tmp"]);
  EXPECT_EQ("new", disk.files["p\\a"]);
}

TEST(SafeWrite, NoFreeNameFailsWithNothingChanged) {
  FaultyDisk disk;
  uint32_t number = disk.seed;
  for (int i = 0; i < 32; ++i, number += 40503) disk.files[temporaryName(number)] = "taken";
  disk.files["a"] = "old";
  const Files before = disk.files;
  EXPECT_FALSE(writeFileReplacing(disk.fileSteps(), "a", "new"));
  EXPECT_EQ(before, disk.files);
  EXPECT_EQ(32u, disk.log.size());
}

// Only this pattern, only in the target's folder, only once a minute old.
TEST(SafeWrite, StaleTemporariesGo) {
  FaultyDisk disk;
  const std::pair<const char*, int64_t> present[] = {
      {"p\\~cl0000.tmp", 60},  {"p\\~cl0001.tmp", 59},   {"p\\~cl00002.tmp", 999},
      {"p\\~CL0003.TMP", 999}, {"p\\~clzz00.tmp", 999},  {"p\\q\\~cl0004.tmp", 999},
      {"~cl0005.tmp", 999},    {"p\\~cl0006.tmp", 1000000},  {"p\\a", 999},
  };
  for (const auto& [path, age] : present) {
    disk.files[path] = "x";
    disk.ages[path] = age;
  }
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "p\\a", "new"));
  EXPECT_EQ("remove p\\~cl0000.tmp", disk.log.at(0));
  EXPECT_EQ("remove p\\~cl0006.tmp", disk.log.at(1));
  EXPECT_EQ("create p\\~cl1234.tmp", disk.log.at(2));
  EXPECT_EQ((Files{{"p\\~cl0001.tmp", "x"}, {"p\\~cl00002.tmp", "x"}, {"p\\~CL0003.TMP", "x"},
                   {"p\\~clzz00.tmp", "x"}, {"p\\q\\~cl0004.tmp", "x"}, {"~cl0005.tmp", "x"},
                   {"p\\a", "new"}}),
            disk.files);
}

// A target held open without delete sharing is written in place, shorter
// or longer than before, and the temporary goes.
TEST(SafeWrite, HeldTargetIsWrittenInPlace) {
  for (const char* old : {"0123456789", "ab", ""}) {
    FaultyDisk disk;
    disk.files["a"] = old;
    disk.held = {"a"};
    EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "a", "new text", 4)) << old;
    EXPECT_EQ((Files{{"a", "new text"}}), disk.files) << old;
    EXPECT_EQ((Log{"create ~cl1234.tmp", "write", "write", "flush", "close",
                   "replace ~cl1234.tmp a", "open in place a", "write", "write", "flush", "close",
                   "remove ~cl1234.tmp"}),
              disk.log);
  }
}

// In place, only a failure to open (a full disk included) keeps the old
// bytes; after that the write is not atomic. No temporary is left either way.
TEST(SafeWrite, HeldTargetFailingAtAnyStep) {
  // 5 steps to the temporary, replace, open, 2 writes, flush, close.
  for (int failAt = 6; failAt < 11; ++failAt) {
    FaultyDisk disk;
    disk.files["a"] = "0123456789";
    disk.held = {"a"};
    disk.failAtStep = failAt;
    EXPECT_FALSE(writeFileReplacing(disk.fileSteps(), "a", "new text", 4)) << failAt;
    EXPECT_EQ(1u, disk.files.size()) << failAt;
    if (failAt == 6) {
      EXPECT_EQ("0123456789", disk.files["a"]);
    }
    EXPECT_FALSE(disk.isOpen) << failAt;
  }
}

}  // namespace
}  // namespace codeloom
