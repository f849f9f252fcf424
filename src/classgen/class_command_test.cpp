#include "classgen/class_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "classgen/class_dialog.h"
#include "platform/safe_write.h"
#include "support/fake_platform.h"

namespace codeloom {
namespace {

constexpr const char* kFakeG1 = "{00000001-0000-0000-0000-000000000000}";
constexpr const char* kFakeG2 = "{00000002-0000-0000-0000-000000000000}";

const std::string kPenClassFile = std::string(
    "Function NewPen() Common Export As iPen\r\n"
    "  Local obj As iPen\r\n"
    "  obj = Class \"cPen\"\r\n"
    "  Function = obj\r\n"
    "End Function\r\n"
    "\r\n"
    "Class cPen GUID$(\"") + kFakeG1 + "\") Common\r\n"
    "  Instance color_ As Long\r\n"
    "\r\n"
    "  Class Method Create()\r\n"
    "  End Method\r\n"
    "  Class Method Destroy()\r\n"
    "  End Method\r\n"
    "\r\n"
    "  Interface iPen GUID$(\"" + kFakeG2 + "\")\r\n"
    "    Inherit IUnknown\r\n"
    "\r\n"
    "    Property Get Color() As Long\r\n"
    "      Property = color_\r\n"
    "    End Property\r\n"
    "  End Interface\r\n"
    "End Class\r\n"
    "\r\n";

const std::string kPenInterface = std::string(
    "  Instance color_ As Long\r\n"
    "\r\n"
    "  Interface iPen GUID$(\"") + kFakeG1 + "\")\r\n"
    "    Inherit IUnknown\r\n"
    "\r\n"
    "    Property Get Color() As Long\r\n"
    "      Property = color_\r\n"
    "    End Property\r\n"
    "  End Interface\r\n"
    "End Class\r\n";

struct Fixture {
  FakePlatform platform;
  ToolSettings settings;
  int ide = 0;
  int commandWindow = 0;

  explicit Fixture(const std::string& saveFolder = "C:\\prj") {
    ToolSettings stored;
    stored.saveFolder = saveFolder;
    stored.className = "Pen";
    stored.classProperties = "[Color:Long";
    platform.files[kSettingsFileName] = formatSettings(stored);
    platform.files["Message.bas"] = "message bridge source";
    platform.folders.insert("C:\\prj");
    platform.topWindows = {{nullptr, "Codeloom"}, {&ide, "PB/WIN IDE - Pen.bas"}};
  }
  void pressOk() {
    platform.dialogScripts.push_back(
        [](FakePlatform& p, FakeDialog& d) { p.press(d, kClassOkButton); });
  }
  void pressCancel() {
    platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
      p.type(d, kClassNameBox, "Edited");
      p.press(d, kClassCancelButton);
    });
  }
};

TEST(NewClass, WritesFileCopiesMessageAndActivatesIde) {
  for (const char* folder : {"C:\\prj", "C:\\prj\\"}) {
    Fixture f(folder);
    f.platform.files["C:\\prj\\Pen.inc"] = "old contents";
    f.platform.files["C:\\prj\\Message.inc"] = "old bridge";
    f.pressOk();
    runNewClass(f.platform, f.settings, &f.commandWindow);
    EXPECT_EQ(&f.commandWindow, f.platform.closedDialogs.at(0).owner);
    EXPECT_EQ("New Class", f.platform.closedDialogs[0].layout.caption);
    EXPECT_EQ(kPenClassFile, f.platform.files["C:\\prj\\Pen.inc"]) << folder;
    EXPECT_EQ("message bridge source", f.platform.files["C:\\prj\\Message.inc"]);
    EXPECT_EQ(2, f.platform.guidsCreated);
    EXPECT_EQ(&f.ide, f.platform.foreground);
    EXPECT_FALSE(f.platform.clipboard.has_value());
  }
}

TEST(NewClass, EmptyFolderWritesBelowTheRoot) {
  Fixture f("");
  f.pressOk();
  runNewClass(f.platform, f.settings, nullptr);
  EXPECT_EQ(kPenClassFile, f.platform.files["\\Pen.inc"]);
  EXPECT_EQ("message bridge source", f.platform.files["\\Message.inc"]);
}

TEST(NewClass, CopiesMessageBasEvenWithoutMessages) {
  Fixture f;
  f.pressOk();
  runNewClass(f.platform, f.settings, nullptr);
  EXPECT_EQ(0, f.settings.classMessages);
  const std::vector<std::string> log = {"write settings.txt", "write C:\\prj\\Pen.inc",
                                        "copy Message.bas -> C:\\prj\\Message.inc",
                                        "write C:\\prj\\Message.inc"};
  EXPECT_EQ(log, f.platform.fileLog);
}

TEST(NewClass, ClassNamedMessageIsNotOverwrittenBySupportFile) {
  for (const char* name : {"Message", "MESSAGE"}) {
    Fixture f;
    f.platform.dialogScripts.push_back([&](FakePlatform& p, FakeDialog& d) {
      p.type(d, kClassNameBox, name);
      p.press(d, kClassOkButton);
    });
    runNewClass(f.platform, f.settings, nullptr);
    const std::string written = f.platform.files["C:\\prj\\" + std::string(name) + ".inc"];
    EXPECT_TRUE(written.starts_with("Function New" + std::string(name) + "()")) << name;
    EXPECT_EQ(2u, f.platform.fileLog.size()) << name;
    EXPECT_EQ(&f.ide, f.platform.foreground);
  }
}

// A name that would leave the Save-to folder, or that Windows refuses in a
// file name, writes nothing, as for Cancel; the dialog still saves it.
TEST(NewClass, UnsafeNameWritesNothing) {
  for (const char* name : {"..\\escaped", ".\\Message", "sub\\Pen", "a/b", "C:Pen", "Pen:alt",
                           "a?b", "a*", "<a>", "a|b", "\"a\"", "a\tb", "con", "Nul.x", "COM1",
                           "lpt9"}) {
    Fixture f;
    f.platform.dialogScripts.push_back([&](FakePlatform& p, FakeDialog& d) {
      p.type(d, kClassNameBox, name);
      p.press(d, kClassOkButton);
    });
    runNewClass(f.platform, f.settings, nullptr);
    EXPECT_EQ(std::vector<std::string>{"write settings.txt"}, f.platform.fileLog) << name;
    EXPECT_EQ(2u, f.platform.files.size()) << name;  // settings.txt and Message.bas alone
    EXPECT_EQ(name, f.settings.className);
    ToolSettings saved;
    parseSettings(f.platform.files[kSettingsFileName], saved);
    EXPECT_EQ(name, saved.className);
    EXPECT_EQ(0, f.platform.guidsCreated) << name;
    EXPECT_EQ(nullptr, f.platform.foreground) << name;
  }
}

// The guard asks the file system whether the class file is Message.inc,
// so a short name of Message.inc is caught as well as its own name.
TEST(NewClass, MessageGuardComparesResolvedPaths) {
  struct ShortNames : FakePlatform {
    bool samePath(const std::string& a, const std::string& b) override {
      auto longName = [](std::string path) {
        return path == "C:\\prj\\MESSAG~1.inc" ? "C:\\prj\\Message.inc" : path;
      };
      return FakePlatform::samePath(longName(a), longName(b));
    }
  };
  for (const char* name : {"MESSAG~1", "message", "Pen"}) {
    ShortNames platform;
    ToolSettings stored;
    stored.saveFolder = "C:\\prj";
    platform.files[kSettingsFileName] = formatSettings(stored);
    platform.files["Message.bas"] = "bridge";
    platform.folders.insert("C:\\prj");
    platform.dialogScripts.push_back([&](FakePlatform& p, FakeDialog& d) {
      p.type(d, kClassNameBox, name);
      p.press(d, kClassOkButton);
    });
    ToolSettings settings;
    runNewClass(platform, settings, nullptr);
    const bool copied = platform.files.count("C:\\prj\\Message.inc") &&
                        platform.files["C:\\prj\\Message.inc"] == "bridge";
    EXPECT_EQ(std::string(name) == "Pen", copied) << name;
  }
}

TEST(NewClass, FailuresAreSilentAndTheCommandGoesOn) {
  Fixture f("D:\\missing");
  f.platform.files.erase("Message.bas");
  f.pressOk();
  runNewClass(f.platform, f.settings, nullptr);
  EXPECT_EQ(0u, f.platform.files.count("D:\\missing\\Pen.inc"));
  EXPECT_EQ(&f.ide, f.platform.foreground);
}

// Each file fault leaves every output either complete or exactly as it was
// (or absent), and the command still goes on to activate the IDE.
TEST(NewClass, FileFaultsNeverLeaveAPartialFile) {
  const std::string kOld = "old contents", kOldBridge = "old bridge";
  const std::string kBridge = "message bridge source";
  using Setup = std::function<void(FakePlatform&)>;
  struct Case {
    const char* fault;
    Setup setup;
    std::optional<std::string> pen, message;  // nullopt: no such file
  };
  const Case cases[] = {
      {"none", [](FakePlatform&) {}, kPenClassFile, kBridge},
      {"faulty folder", [](FakePlatform& p) { p.faultyPaths = {"C:\\prj"}; }, kOld, kOldBridge},
      {"read-only Pen.inc", [](FakePlatform& p) { p.readOnlyFiles = {"C:\\prj\\Pen.inc"}; },
       kOld, kBridge},
      {"read-only Message.inc",
       [](FakePlatform& p) { p.readOnlyFiles = {"C:\\prj\\Message.inc"}; }, kPenClassFile,
       kOldBridge},
      {"Message.bas missing", [](FakePlatform& p) { p.files.erase("Message.bas"); },
       kPenClassFile, kOldBridge},
      {"Message.bas unreadable", [](FakePlatform& p) { p.faultyPaths = {"Message.bas"}; },
       kPenClassFile, kOldBridge},
      {"Pen.inc held open without delete sharing",
       [](FakePlatform& p) { p.heldFiles = {"C:\\prj\\Pen.inc"}; }, kPenClassFile, kBridge},
      {"Pen.inc is a folder", [](FakePlatform& p) {
         p.files.erase("C:\\prj\\Pen.inc");
         p.folders.insert("C:\\prj\\Pen.inc");
       }, std::nullopt, kBridge},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.platform.files["C:\\prj\\Pen.inc"] = kOld;
    f.platform.files["C:\\prj\\Message.inc"] = kOldBridge;
    c.setup(f.platform);
    f.pressOk();
    runNewClass(f.platform, f.settings, nullptr);
    auto file = [&](const char* path) -> std::optional<std::string> {
      auto it = f.platform.files.find(path);
      if (it == f.platform.files.end()) return std::nullopt;
      return it->second;
    };
    EXPECT_EQ(c.pen, file("C:\\prj\\Pen.inc")) << c.fault;
    EXPECT_EQ(c.message, file("C:\\prj\\Message.inc")) << c.fault;
    EXPECT_EQ(&f.ide, f.platform.foreground) << c.fault;
    EXPECT_EQ(2, f.platform.guidsCreated) << c.fault;
    for (const auto& [path, bytes] : f.platform.files)
      EXPECT_FALSE(isTemporaryName(path.substr(path.rfind('\\') + 1))) << c.fault << ": " << path;
  }
}

// A held Pen.inc whose in-place write fails at any step: Pen.inc gets its old
// text back, the class is kept beside it as Pen.inc.new, and one message
// box says so; a failure that loses nothing stays silent.
TEST(NewClass, HeldFileFailingMidwayKeepsTheClassBesideIt) {
  const std::string kOld(40, 'o');  // longer than one fake chunk
  int kept = 0;
  for (int failAt = 0;; ++failAt) {
    Fixture f;
    f.platform.files["C:\\prj\\Pen.inc"] = kOld;
    f.platform.heldFiles = {"C:\\prj\\Pen.inc"};
    f.platform.failWriteStep = failAt;
    f.pressOk();
    runNewClass(f.platform, f.settings, nullptr);
    if (f.platform.writeSteps <= failAt) break;  // past the last step
    const std::string& pen = f.platform.files["C:\\prj\\Pen.inc"];
    if (f.platform.files.count("C:\\prj\\Pen.inc.new")) {
      ++kept;
      EXPECT_EQ(kOld, pen) << failAt;
      EXPECT_EQ(kPenClassFile, f.platform.files["C:\\prj\\Pen.inc.new"]) << failAt;
      EXPECT_EQ(std::vector<std::string>{"\"C:\\prj\\Pen.inc\" could not be written. Its new text is "
                                         "in \"C:\\prj\\Pen.inc.new\"; the file still holds its old "
                                         "text."},
                f.platform.messages)
          << failAt;
    } else {
      EXPECT_TRUE(pen == kOld || pen == kPenClassFile) << failAt;
      EXPECT_TRUE(f.platform.messages.empty()) << failAt;
    }
    for (const auto& [path, bytes] : f.platform.files)
      EXPECT_FALSE(isTemporaryName(path.substr(path.rfind('\\') + 1))) << failAt << ": " << path;
  }
  EXPECT_GT(kept, 0);
}

TEST(NewClass, MissingFolderIsNeverCreated) {
  Fixture f("D:\\missing\\sub");
  f.pressOk();
  runNewClass(f.platform, f.settings, nullptr);
  EXPECT_EQ(std::set<std::string>{"C:\\prj"}, f.platform.folders);
  EXPECT_EQ(2u, f.platform.files.size());  // settings.txt and Message.bas alone
  EXPECT_EQ(&f.ide, f.platform.foreground);
}

// A write that fails at any step of any of the command's three writes
// (settings.txt, Pen.inc, the Message.inc copy) leaves that one file as it
// was, the two others complete, and no temporary file.
TEST(NewClass, WriteFailingAtEveryStep) {
  auto prepared = [](int failAt) {
    auto f = std::make_unique<Fixture>();
    // An eleventh line tells the old settings file from the one saved anew.
    f->platform.files[kSettingsFileName] += "extra\r\n";
    f->platform.files["C:\\prj\\Pen.inc"] = "old contents";
    f->platform.failWriteStep = failAt;
    f->pressOk();
    runNewClass(f->platform, f->settings, nullptr);
    return f;
  };
  const auto clean = prepared(-1);
  const int steps = clean->platform.writeSteps;
  ASSERT_GT(steps, 3 * 5);
  const std::map<std::string, std::string> complete = clean->platform.files;
  std::map<std::string, std::string> old = complete;
  old[kSettingsFileName] = [] {
    Fixture f;
    return f.platform.files[kSettingsFileName] + "extra\r\n";
  }();
  old["C:\\prj\\Pen.inc"] = "old contents";
  old.erase("C:\\prj\\Message.inc");
  std::map<std::string, int> failedWrites;
  for (int failAt = 0; failAt < steps; ++failAt) {
    const auto f = prepared(failAt);
    std::map<std::string, std::string> files = f->platform.files;
    int oldFiles = 0;
    for (const auto& [path, bytes] : complete) {
      auto it = files.find(path);
      bool isOld = old.count(path) ? it != files.end() && it->second == old[path]
                                   : it == files.end();
      bool isNew = it != files.end() && it->second == bytes;
      EXPECT_TRUE(isOld || isNew) << "step " << failAt << ": " << path;
      if (isOld && !isNew) ++failedWrites[path], ++oldFiles;
      if (it != files.end()) files.erase(it);
    }
    EXPECT_EQ(1, oldFiles) << "step " << failAt;
    EXPECT_TRUE(files.empty()) << "step " << failAt << ": " << files.begin()->first;
    EXPECT_EQ(&f->ide, f->platform.foreground) << "step " << failAt;
  }
  // Every one of the three writes was failed at each of its steps.
  EXPECT_EQ(3u, failedWrites.size());
  int total = 0;
  for (const auto& [path, count] : failedWrites) total += count;
  EXPECT_EQ(steps, total);
}

TEST(NewClass, CancelOrEmptyNameProducesNothing) {
  Fixture cancelled;
  cancelled.pressCancel();
  runNewClass(cancelled.platform, cancelled.settings, nullptr);

  Fixture closed;  // no script: the dialog closes without OK

  Fixture unnamed;
  unnamed.platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.type(d, kClassNameBox, "  ");
    p.press(d, kClassOkButton);
  });
  runNewClass(unnamed.platform, unnamed.settings, nullptr);

  for (Fixture* f : {&cancelled, &closed, &unnamed}) {
    EXPECT_EQ(0u, f->platform.files.count("C:\\prj\\Pen.inc"));
    EXPECT_EQ(0u, f->platform.files.count("C:\\prj\\Message.inc"));
    EXPECT_EQ(0, f->platform.guidsCreated);
    EXPECT_EQ(nullptr, f->platform.foreground);
  }
  EXPECT_TRUE(cancelled.platform.fileLog.empty());
  EXPECT_EQ(std::vector<std::string>{"write settings.txt"}, unnamed.platform.fileLog);
}

TEST(NewInterface, PutsTextOnClipboardOnly) {
  Fixture f;
  f.platform.clipboard = "old";
  f.pressOk();
  runNewInterface(f.platform, f.settings, &f.commandWindow);
  EXPECT_EQ("New Interface", f.platform.closedDialogs.at(0).layout.caption);
  EXPECT_EQ(kPenInterface, f.platform.clipboard);
  EXPECT_EQ(1, f.platform.guidsCreated);
  EXPECT_EQ(std::vector<std::string>{"write settings.txt"}, f.platform.fileLog);
  EXPECT_EQ(&f.ide, f.platform.foreground);
}

TEST(NewInterface, LeavesSaveFolderUntouchedInTheFile) {
  Fixture f;
  f.settings.saveFolder = "changed in memory";
  f.pressOk();
  runNewInterface(f.platform, f.settings, nullptr);
  ToolSettings saved;
  parseSettings(f.platform.files[kSettingsFileName], saved);
  EXPECT_EQ("C:\\prj", saved.saveFolder);
}

TEST(NewInterface, CancelOrEmptyNameLeavesClipboard) {
  Fixture cancelled;
  cancelled.platform.clipboard = "old";
  cancelled.pressCancel();
  runNewInterface(cancelled.platform, cancelled.settings, nullptr);
  EXPECT_EQ("old", cancelled.platform.clipboard);
  EXPECT_EQ(nullptr, cancelled.platform.foreground);

  Fixture unnamed;
  unnamed.platform.clipboard = "old";
  unnamed.platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.type(d, kClassNameBox, "");
    p.press(d, kClassOkButton);
  });
  runNewInterface(unnamed.platform, unnamed.settings, nullptr);
  EXPECT_EQ("old", unnamed.platform.clipboard);
  EXPECT_EQ(0, unnamed.platform.guidsCreated);
  EXPECT_EQ(nullptr, unnamed.platform.foreground);
}

TEST(NewInterface, BusyClipboardStillActivatesIde) {
  Fixture f;
  f.platform.clipboard = "old";
  f.platform.clipboardBusy = true;
  f.pressOk();
  runNewInterface(f.platform, f.settings, nullptr);
  EXPECT_EQ("old", f.platform.clipboard);
  EXPECT_EQ(&f.ide, f.platform.foreground);
}

TEST(ClassCommands, MessagesFlagRoundTripsThroughTheFile) {
  Fixture f;
  f.platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.setChecked(d.handle(), kMessagesCheckBox, true);
    p.press(d, kClassOkButton);
  });
  runNewClass(f.platform, f.settings, nullptr);
  EXPECT_EQ(1, f.settings.classMessages);
  EXPECT_NE(std::string::npos, f.platform.files["C:\\prj\\Pen.inc"].find("Method SetWindow("));

  f.platform.dialogScripts.push_back([&](FakePlatform& p, FakeDialog& d) {
    EXPECT_EQ(-1, f.settings.classMessages);
    EXPECT_TRUE(d.control(kMessagesCheckBox)->checked);
    p.press(d, kClassOkButton);
  });
  runNewInterface(f.platform, f.settings, nullptr);
  EXPECT_NE(std::string::npos, f.platform.clipboard->find("Interface iMessage Guid$("));
  EXPECT_TRUE(f.platform.clipboard->ends_with("  End Interface\r\nEnd Class\r\n"));
}

TEST(ClassCommands, FolderRule) {
  EXPECT_EQ("\\", classFolder(""));
  EXPECT_EQ("C:\\prj\\", classFolder("C:\\prj"));
  EXPECT_EQ("C:\\prj\\", classFolder("C:\\prj\\"));
  EXPECT_EQ(" x \\", classFolder(" x "));
}

}  // namespace
}  // namespace codeloom
