#include "platform/safe_write.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/fake_platform.h"

namespace codeloom {
namespace {

using Files = std::map<std::string, std::string>;
using Log = std::vector<std::string>;

// An in-memory disk whose n-th step (seed and remove not counted) fails. Held files refuse to be renamed over, as a file open elsewhere
// without delete sharing does.
struct FaultyDisk {
  Files files;
  std::set<std::string> held;
  std::string open;  // the file being written
  size_t at = 0, cutTo = std::string::npos;
  bool isOpen = false;
  int failAtStep = -1;
  int failFrom = -1;  // this step and every later one fail: the disk is gone
  int steps = 0;
  uint32_t seed = 0x1234;
  Log log;

  bool step(const std::string& what) {
    log.push_back(what);
    int n = steps++;
    return n != failAtStep && (failFrom < 0 || n < failFrom);
  }

  void openFile(const std::string& path) {
    open = path;
    isOpen = true;
    at = 0;
  }

  FileWriteSteps fileSteps() {
    FileWriteSteps s;
    s.seed = [this] { return seed; };
    s.createNew = [this](const std::string& path) {
      if (!step("create " + path)) return CreateOutcome::Failed;
      if (files.count(path)) return CreateOutcome::Exists;
      files[path].clear();
      openFile(path);
      cutTo = std::string::npos;
      return CreateOutcome::Created;
    };
    s.read = [this](const std::string& path, std::string& bytes) {
      if (!step("read " + path) || !files.count(path)) return false;
      bytes = files[path];
      return true;
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
    s.rename = [this](const std::string& from, const std::string& to) {
      if (!step("rename " + from + " " + to) || files.count(to)) return false;
      files[to] = files[from];
      files.erase(from);
      return true;
    };
    s.remove = [this](const std::string& path) {
      log.push_back("remove " + path);
      files.erase(path);
    };
    return s;
  }
};

TEST(SafeWrite, Names) {
  EXPECT_EQ("~cl1234.tmp", temporaryName(0x1234));
  EXPECT_EQ("~cl00af.tmp", temporaryName(0xABCD00AF));  // the low 16 bits
  EXPECT_TRUE(isTemporaryName("~clbeef.tmp"));
  for (const char* other : {"~cl12345.tmp", "~cl123.tmp", "~CL1234.TMP", "~cl12g4.tmp",
                            "~cl1234.tmpx", "x~cl1234.tmp", "~cl1234.inc", "settings.txt", ""})
    EXPECT_FALSE(isTemporaryName(other)) << other;
  EXPECT_EQ("C:\\p\\Keep.bas.new", keptName("C:\\p\\Keep.bas", 1));
  EXPECT_EQ("Keep.bas.new2", keptName("Keep.bas", 2));
}

TEST(SafeWrite, Succeeds) {
  FaultyDisk disk;
  disk.files["C:\\p\\settings.txt"] = "old";
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "C:\\p\\settings.txt", "new content", 4).written());
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
    EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), path, "x").written()) << path;
    EXPECT_EQ("create " + std::string(temporary), disk.log.at(0)) << path;
  }
}

TEST(SafeWrite, FailureAtAnyStepKeepsTheOldFileAndNoLeftover) {
  // create, 3 writes, flush, close, replace: 7 steps.
  for (int failAt = 0; failAt < 7; ++failAt) {
    FaultyDisk disk;
    disk.files["settings.txt"] = "old";
    disk.failAtStep = failAt;
    EXPECT_EQ(WriteStatus::Failed,
              writeFileReplacing(disk.fileSteps(), "settings.txt", "new content", 4).status)
        << failAt;
    EXPECT_EQ((Files{{"settings.txt", "old"}}), disk.files) << failAt;
    EXPECT_FALSE(disk.isOpen) << failAt;
  }
}

TEST(SafeWrite, EmptyContentStillReplaces) {
  FaultyDisk disk;
  disk.files["a"] = "old";
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "a", "").written());
  EXPECT_EQ((Files{{"a", ""}}), disk.files);
}

// Another save's temporary is never opened: the next name is taken.
TEST(SafeWrite, TakenNamesAreSkipped) {
  FaultyDisk disk;
  disk.files["p\\~cl1234.tmp"] = "another save";
  disk.files["p\\~clb06b.tmp"] = "another save";  // 0x1234 + 40503
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "p\\a", "new").written());
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
  EXPECT_EQ(WriteStatus::Failed, writeFileReplacing(disk.fileSteps(), "a", "new").status);
  EXPECT_EQ(before, disk.files);
  EXPECT_EQ(32u, disk.log.size());
}

// Files that look like temporaries, however old, may be a user's own or the
// only copy a killed save left: only the save's own temporary is removed.
TEST(SafeWrite, OnlyItsOwnTemporaryGoes) {
  FaultyDisk disk;
  disk.files = {{"p\\~cl0000.tmp", "mine"}, {"p\\~cl0006.tmp", "left over"}, {"p\\a", "old"}};
  EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "p\\a", "new").written());
  EXPECT_EQ((Files{{"p\\~cl0000.tmp", "mine"}, {"p\\~cl0006.tmp", "left over"}, {"p\\a", "new"}}),
            disk.files);
}

TEST(SafeWrite, ReadOnlyTargetIsLeftAlone) {
  FaultyDisk disk;
  disk.files["a"] = "old";
  FileWriteSteps steps = disk.fileSteps();
  steps.replace = [](const std::string&, const std::string&) { return ReplaceOutcome::ReadOnly; };
  EXPECT_EQ(WriteStatus::ReadOnly, writeFileReplacing(steps, "a", "new").status);
  EXPECT_EQ((Files{{"a", "old"}}), disk.files);
}

// A target held open without delete sharing is written in place, shorter
// or longer than before, and the temporary goes.
TEST(SafeWrite, HeldTargetIsWrittenInPlace) {
  for (const char* old : {"0123456789", "ab", ""}) {
    FaultyDisk disk;
    disk.files["a"] = old;
    disk.held = {"a"};
    EXPECT_TRUE(writeFileReplacing(disk.fileSteps(), "a", "new text", 4).written()) << old;
    EXPECT_EQ((Files{{"a", "new text"}}), disk.files) << old;
    EXPECT_EQ((Log{"create ~cl1234.tmp", "write", "write", "flush", "close",
                   "replace ~cl1234.tmp a", "read a", "open in place a", "write", "write", "flush",
                   "close", "remove ~cl1234.tmp"}),
              disk.log);
  }
}

// Before the target is opened nothing is lost: the target is as it was and
// the temporary goes. Once it is written in place, a failure puts the old
// bytes back and keeps the new text beside it.
TEST(SafeWrite, HeldTargetFailingAtAnyStep) {
  // 5 steps to the temporary, replace, read, open, 2 writes, flush, close.
  for (int failAt = 6; failAt < 12; ++failAt) {
    FaultyDisk disk;
    disk.files["a"] = "0123456789";
    disk.held = {"a"};
    disk.failAtStep = failAt;
    WriteOutcome outcome = writeFileReplacing(disk.fileSteps(), "a", "new text", 4);
    if (failAt < 8) {
      EXPECT_EQ(WriteStatus::Held, outcome.status) << failAt;
      EXPECT_EQ((Files{{"a", "0123456789"}}), disk.files) << failAt;
    } else {
      EXPECT_EQ(WriteStatus::Kept, outcome.status) << failAt;
      EXPECT_EQ("a.new", outcome.keptAs) << failAt;
      EXPECT_TRUE(outcome.targetIntact) << failAt;
      EXPECT_EQ((Files{{"a", "0123456789"}, {"a.new", "new text"}}), disk.files) << failAt;
    }
    EXPECT_FALSE(disk.isOpen) << failAt;
  }
}

// When nothing can be written any more, the temporary is the one complete
// copy: it stays under its own name.
TEST(SafeWrite, HeldTargetOnAFailingDiskKeepsTheTemporary) {
  FaultyDisk disk;
  disk.files["a"] = "0123456789";
  disk.held = {"a"};
  disk.failFrom = 9;  // the second in-place write and everything after it
  WriteOutcome outcome = writeFileReplacing(disk.fileSteps(), "a", "new text", 4);
  EXPECT_EQ(WriteStatus::Kept, outcome.status);
  EXPECT_EQ("~cl1234.tmp", outcome.keptAs);
  EXPECT_FALSE(outcome.targetIntact);
  EXPECT_EQ("new text", disk.files["~cl1234.tmp"]);
  EXPECT_EQ(2u, disk.files.size());
}

// A file of the kept name is never replaced: the next name is taken.
TEST(SafeWrite, KeptNameNeverReplacesAFile) {
  FaultyDisk disk;
  disk.files = {{"a", "0123456789"}, {"a.new", "the user's"}};
  disk.held = {"a"};
  disk.failAtStep = 8;
  WriteOutcome outcome = writeFileReplacing(disk.fileSteps(), "a", "new text", 4);
  EXPECT_EQ("a.new2", outcome.keptAs);
  EXPECT_EQ((Files{{"a", "0123456789"}, {"a.new", "the user's"}, {"a.new2", "new text"}}),
            disk.files);
}

// Every error ReplaceFileW can give, played by the FakePlatform with the
// files left as its documentation says.
TEST(SafeWrite, ReplaceFileErrors) {
  struct Case {
    uint32_t error;
    int failWriteStep;  // create, write, flush, close, replace, then the renames
    bool written;
    std::map<std::string, std::string> files;
  };
  const Case cases[] = {
      // Both keep their names and the target is held: written in place.
      {5, -1, true, {{"a", "new"}}},
      {32, -1, true, {{"a", "new"}}},
      {33, -1, true, {{"a", "new"}}},
      {1175, -1, true, {{"a", "new"}}},
      // The old file is gone and the temporary kept its name: it takes the
      // target's name; failing that, the new text is kept and reported.
      {1176, -1, true, {{"a", "new"}}},
      {1176, 5, false, {{"a.new", "new"}}},
      // The old file lives on under another name.
      {1177, -1, true, {{"a", "new"}, {"a~replaced", "old"}}},
      {1177, 5, false, {{"a.new", "new"}, {"a~replaced", "old"}}},
      // Anything else: both keep their names, the temporary goes.
      {1, -1, false, {{"a", "old"}}},
      {2, -1, false, {{"a", "old"}}},
      {87, -1, false, {{"a", "old"}}},
      {1178, -1, false, {{"a", "old"}}},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files["a"] = "old";
    platform.replaceErrors["a"] = c.error;
    platform.failWriteStep = c.failWriteStep;
    EXPECT_EQ(c.written, platform.writeFile("a", "new")) << c.error;
    EXPECT_EQ(c.files, platform.files) << c.error;
    // Only a kept text is told, once.
    EXPECT_EQ(c.files.count("a.new"), platform.messages.size()) << c.error;
  }
}

TEST(SafeWrite, KeptTextMessage) {
  EXPECT_EQ("\"C:\\p\\Keep.bas\" could not be written. Its new text is in "
            "\"C:\\p\\Keep.bas.new\"; the file still holds its old text.",
            keptTextMessage("C:\\p\\Keep.bas", {.status = WriteStatus::Kept,
                                                .keptAs = "C:\\p\\Keep.bas.new",
                                                .targetIntact = true}));
  EXPECT_EQ("\"a\" could not be written. Its new text is in \"~cl1234.tmp\"; the file may be "
            "damaged or missing.",
            keptTextMessage("a", {.status = WriteStatus::Kept,
                                   .keptAs = "~cl1234.tmp",
                                   .targetIntact = false}));
}

}  // namespace
}  // namespace codeloom
