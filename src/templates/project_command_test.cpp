#include "templates/project_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "platform/safe_write.h"
#include "support/fake_platform.h"
#include "templates/template_dialog.h"

namespace codeloom {
namespace {

const char* const kTemplate =
    "' %title% by %author%\r\n{{Icon}}\r\nLoadIcon %pfx%Icon\r\n{{else}}\r\n' no icon\r\n"
    "{{/}}\r\nFUNCTION %upfx%Main() {{Param}}BYVAL p{{/}}\r\n";

FakePlatform::DialogScript okWith(std::string folder, std::string name = "demo",
                                  std::vector<std::string> options = {"Icon"}) {
  return [=](FakePlatform& p, FakeDialog& d) {
    p.type(d, kTemplateNameBox, name);
    p.type(d, kTemplateAuthorBox, "R&D");
    p.type(d, kTemplateTitleBox, "Demo");
    p.type(d, kTemplateFolderBox, folder);
    for (const std::string& option : options) p.toggleListItem(d, kTemplateOptionList, option);
    p.press(d, kTemplateOk);
  };
}

struct ProjectCommand : testing::Test {
  FakePlatform p;
  ToolSettings settings;

  void SetUp() override {
    p.files["template_App.bas"] = kTemplate;
    p.files["template_Win.bas"] = "win %pfx%\r\n";
    p.files["template_Child.bas"] = "child %pfx%\r\n";
    p.files["theme.xml"] = "<theme/>";
  }

  // Runs the command and returns its file operations, without the settings
  // save and without the write that the fake's copy makes for itself.
  std::string run(ProjectKind kind, FakePlatform::DialogScript script) {
    p.dialogScripts.push_back(std::move(script));
    p.fileLog.clear();
    runProjectCommand(p, settings, kind, &p);
    std::string log;
    std::string copyTarget;
    for (const std::string& entry : p.fileLog) {
      if (entry != "write settings.txt" && entry != "write " + copyTarget) log += entry + "|";
      size_t arrow = entry.find(" -> ");
      copyTarget = arrow == std::string::npos ? "" : entry.substr(arrow + 4);
    }
    return log;
  }
};

TEST_F(ProjectCommand, NewApp) {
  EXPECT_EQ(
      "mkdir c:\\projects|mkdir c:\\projects\\tool|copy theme.xml -> c:\\projects\\tool\\theme.xml|"
      "write c:\\projects\\tool\\demo.bas|",
      run(ProjectKind::App, okWith("c:\\projects\\\\tool\\")));
  EXPECT_EQ("' Demo by R&D\r\nLoadIcon demoIcon\r\nFUNCTION DEMOMain() \r\n",
            p.files["c:\\projects\\tool\\demo.bas"]);
  EXPECT_EQ("<theme/>", p.files["c:\\projects\\tool\\theme.xml"]);
  EXPECT_EQ("New Application", p.closedDialogs.at(0).layout.caption);
  EXPECT_EQ(&p, p.closedDialogs.at(0).owner);
  // The folder is normalised in memory; the settings file keeps it as typed.
  EXPECT_EQ("c:\\projects\\tool", settings.saveFolder);
  EXPECT_NE(std::string::npos, p.files["settings.txt"].find("\r\nc:\\projects\\\\tool\\\r\n"));
}

// A prefix that would leave the folder, or that Windows refuses in a file
// name, creates nothing (no folder, no theme copy, no output), as for
// Cancel; the dialog has saved the settings as typed.
TEST_F(ProjectCommand, UnsafeNamePrefixCreatesNothing) {
  for (const char* name : {"..\\..\\x", "sub\\demo", "a/b", "c:x", "demo:alt", "a?b", "a*b",
                           "<a>", "a|b", "\"a\"", "a\x01", "\x1F", "con", "PRN", "aux.x", "nul ",
                           "com0", "LPT3"}) {
    for (ProjectKind kind : {ProjectKind::App, ProjectKind::Win, ProjectKind::Child}) {
      SetUp();
      p.folders.clear();
      p.files.erase("settings.txt");
      const auto before = p.files;
      EXPECT_EQ("", run(kind, okWith("c:\\p\\q", name))) << name;
      EXPECT_TRUE(p.folders.empty()) << name;
      std::map<std::string, std::string> after = p.files;
      ToolSettings saved;
      parseSettings(after["settings.txt"], saved);
      EXPECT_EQ(name, saved.templateName);
      after.erase("settings.txt");
      EXPECT_EQ(before, after) << name;
    }
  }
}

TEST_F(ProjectCommand, KindsPickCaptionTemplateAndExtension) {
  struct Case { ProjectKind kind; const char* caption; const char* file; const char* text; };
  for (Case c : {Case{ProjectKind::App, "New Application", "c:\\demo.bas", "' Demo by R&D\r\n"},
                 {ProjectKind::Win, "New Window", "c:\\demo.inc", "win demo\r\n"},
                 {ProjectKind::Child, "New Child", "c:\\demo.inc", "child demo\r\n"}}) {
    run(c.kind, okWith("c:"));
    EXPECT_EQ(c.caption, p.closedDialogs.back().layout.caption);
    EXPECT_EQ(c.text, p.files[c.file].substr(0, std::string(c.text).size())) << c.caption;
  }
}

TEST_F(ProjectCommand, CancelCreatesNothing) {
  const auto files = p.files;
  for (int id : {int{kTemplateCancel}, 2}) {
    EXPECT_EQ("", run(ProjectKind::App, [id](FakePlatform& p, FakeDialog& d) {
                p.type(d, kTemplateFolderBox, "c:\\new");
                p.press(d, id);
              }));
    EXPECT_EQ(files, p.files);
    EXPECT_TRUE(p.folders.empty());
  }
}

// Values that multiply through the placeholders ask for about a terabyte:
// the command writes nothing (no folder, no copy, no output) and keeps an
// existing output file; the dialog's settings are saved as on every OK.
TEST_F(ProjectCommand, ExpansionPastTheLimitWritesNothing) {
  auto times = [](const char* text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
  };
  const std::string name = times("%author%", 1000);
  p.files["template_App.bas"] = times("%pfx%", 1000) + "\r\n";
  p.files["c:\\out\\" + name + ".bas"] = "previous";
  auto files = p.files;
  EXPECT_EQ("", run(ProjectKind::App, [&](FakePlatform& p, FakeDialog& d) {
              p.type(d, kTemplateNameBox, name);
              p.type(d, kTemplateAuthorBox, times("%title%", 1000));
              p.type(d, kTemplateTitleBox, times("x", 1000));
              p.type(d, kTemplateFolderBox, "c:\\out\\new");
              p.press(d, kTemplateOk);
            }));
  EXPECT_TRUE(p.folders.empty());
  EXPECT_NE(std::string::npos, p.files["settings.txt"].find("c:\\out\\new\r\n"));
  p.files.erase("settings.txt");
  EXPECT_EQ(files, p.files);
}

TEST_F(ProjectCommand, Folders) {
  struct Case { const char* typed; const char* log; };
  for (Case c : {
           Case{"", "copy theme.xml -> \\theme.xml|write \\demo.bas|"},
           {"tool", "copy theme.xml -> tool\\theme.xml|write tool\\demo.bas|"},
           {"\\\\server\\share",
            "mkdir \\server|mkdir \\server\\share|copy theme.xml -> \\server\\share\\theme.xml|"
            "write \\server\\share\\demo.bas|"},
           {"c:\\", "copy theme.xml -> c:\\theme.xml|write c:\\demo.bas|"},
       }) {
    SetUp();
    p.folders = {"tool"};
    EXPECT_EQ(c.log, run(ProjectKind::App, okWith(c.typed))) << c.typed;
  }
  EXPECT_EQ("' Demo by R&D", p.files["c:\\demo.bas"].substr(0, 13));
  EXPECT_TRUE(p.files.count("\\server\\share\\demo.bas"));
  EXPECT_TRUE(p.files.count("tool\\demo.bas"));
  EXPECT_TRUE(p.files.count("\\demo.bas"));
}

TEST_F(ProjectCommand, ThemeIsCopiedOnlyWhenMissing) {
  p.folders = {"c:\\p"};
  p.files["c:\\p\\theme.xml"] = "mine";
  EXPECT_EQ("mkdir c:\\p|write c:\\p\\demo.bas|", run(ProjectKind::App, okWith("c:\\p")));
  EXPECT_EQ("mine", p.files["c:\\p\\theme.xml"]);

  // A hidden file of that name is not a plain file: the copy is tried.
  p.hiddenFiles = {"c:\\p\\theme.xml"};
  EXPECT_EQ("mkdir c:\\p|copy theme.xml -> c:\\p\\theme.xml|write c:\\p\\demo.bas|",
            run(ProjectKind::App, okWith("c:\\p")));
}

TEST_F(ProjectCommand, SecondRunReplacesOutputAndKeepsTheme) {
  run(ProjectKind::App, okWith("c:\\p"));
  p.files["theme.xml"] = "<changed/>";
  p.files["template_App.bas"] = "second\r\n";
  run(ProjectKind::App, okWith("c:\\p"));
  EXPECT_EQ("second\r\n", p.files["c:\\p\\demo.bas"]);
  EXPECT_EQ("<theme/>", p.files["c:\\p\\theme.xml"]);

  run(ProjectKind::Win, okWith("c:\\p"));
  run(ProjectKind::Child, okWith("c:\\p"));
  EXPECT_EQ("child demo\r\n", p.files["c:\\p\\demo.inc"]);
}

TEST_F(ProjectCommand, MissingSourcesStillWriteTheOutput) {
  p.files.erase("theme.xml");
  p.files.erase("template_Win.bas");
  p.files["c:\\demo.inc"] = "old contents";
  EXPECT_EQ("copy theme.xml -> c:\\theme.xml|write c:\\demo.inc|",
            run(ProjectKind::Win, okWith("c:")));
  EXPECT_EQ("", p.files["c:\\demo.inc"]);
  EXPECT_FALSE(p.files.count("c:\\theme.xml"));
}

TEST_F(ProjectCommand, UnreadableTemplateEmptiesTheOutput) {
  p.faultyPaths = {"template_Child.bas"};
  run(ProjectKind::Child, okWith("c:"));
  EXPECT_EQ("", p.files.at("c:\\demo.inc"));
}

TEST_F(ProjectCommand, EmptyNamePrefix) {
  run(ProjectKind::App, okWith("c:", ""));
  EXPECT_TRUE(p.files.count("c:\\.bas"));
  EXPECT_EQ("' Demo by R&D\r\nLoadIcon Icon\r\nFUNCTION Main() \r\n", p.files["c:\\.bas"]);
}

TEST_F(ProjectCommand, UncreatableFolderWritesNothing) {
  p.faultyPaths = {"c:\\locked"};
  const auto files = p.files;
  EXPECT_EQ(
      "mkdir c:\\locked|mkdir c:\\locked\\sub|copy theme.xml -> c:\\locked\\sub\\theme.xml|"
      "write c:\\locked\\sub\\demo.bas|",
      run(ProjectKind::App, okWith("c:\\locked\\sub")));
  auto withoutSettings = p.files;
  withoutSettings.erase("settings.txt");
  EXPECT_EQ(files, withoutSettings);
  EXPECT_TRUE(p.folders.empty());
}

TEST_F(ProjectCommand, OptionsComeFromTheDialog) {
  run(ProjectKind::App, okWith("c:", "demo", {"Param"}));
  EXPECT_EQ("' Demo by R&D\r\n' no icon\r\nFUNCTION DEMOMain() BYVAL p\r\n",
            p.files["c:\\demo.bas"]);
}

// Each file fault leaves the output and the theme copy either complete or
// exactly as they were (or absent); the command always runs to its end.
TEST_F(ProjectCommand, FileFaultsNeverLeaveAPartialFile) {
  const std::string kOld = "old contents";
  const std::string kOutput = "' Demo by R&D\r\nLoadIcon demoIcon\r\nFUNCTION DEMOMain() \r\n";
  using Setup = std::function<void(FakePlatform&)>;
  struct Case {
    const char* fault;
    Setup setup;
    std::optional<std::string> output, theme;  // nullopt: no such file
  };
  const Case cases[] = {
      {"none", [](FakePlatform&) {}, kOutput, "<theme/>"},
      {"faulty folder", [](FakePlatform& p) { p.faultyPaths = {"c:\\p"}; }, kOld, std::nullopt},
      {"read-only output", [](FakePlatform& p) { p.readOnlyFiles = {"c:\\p\\demo.bas"}; }, kOld,
       "<theme/>"},
      {"output is a folder", [](FakePlatform& p) {
         p.files.erase("c:\\p\\demo.bas");
         p.folders.insert("c:\\p\\demo.bas");
       }, std::nullopt, "<theme/>"},
      {"theme.xml missing", [](FakePlatform& p) { p.files.erase("theme.xml"); }, kOutput,
       std::nullopt},
      {"theme.xml unreadable", [](FakePlatform& p) { p.faultyPaths = {"theme.xml"}; }, kOutput,
       std::nullopt},
      {"hidden read-only theme.xml in the folder", [](FakePlatform& p) {
         p.files["c:\\p\\theme.xml"] = "hidden";
         p.hiddenFiles = p.readOnlyFiles = {"c:\\p\\theme.xml"};
       }, kOutput, "hidden"},
      {"template missing", [](FakePlatform& p) { p.files.erase("template_App.bas"); }, "",
       "<theme/>"},
      {"template unreadable", [](FakePlatform& p) { p.faultyPaths = {"template_App.bas"}; }, "",
       "<theme/>"},
      {"template and output read-only", [](FakePlatform& p) {
         p.readOnlyFiles = {"template_App.bas", "c:\\p\\demo.bas"};
       }, kOld, "<theme/>"},
  };
  for (const Case& c : cases) {
    SetUp();
    p.faultyPaths.clear();
    p.readOnlyFiles.clear();
    p.hiddenFiles.clear();
    p.files.erase("c:\\p\\theme.xml");
    p.files.erase("settings.txt");  // the dialog's list starts from no options
    settings = ToolSettings();
    p.folders = {"c:\\p"};
    p.files["c:\\p\\demo.bas"] = kOld;
    c.setup(p);
    const std::string templateBefore = p.files["template_App.bas"];
    run(ProjectKind::App, okWith("c:\\p"));
    auto file = [&](const char* path) -> std::optional<std::string> {
      auto it = p.files.find(path);
      if (it == p.files.end()) return std::nullopt;
      return it->second;
    };
    EXPECT_EQ(c.output, file("c:\\p\\demo.bas")) << c.fault;
    EXPECT_EQ(c.theme, file("c:\\p\\theme.xml")) << c.fault;
    EXPECT_EQ(c.theme ? 1 : 0, int(p.files.count("c:\\p\\theme.xml"))) << c.fault;
    EXPECT_EQ("c:\\p", settings.saveFolder) << c.fault;
    if (p.files.count("template_App.bas")) {
      EXPECT_EQ(templateBefore, p.files["template_App.bas"]) << c.fault;
    }
    for (const auto& [path, bytes] : p.files)
      EXPECT_FALSE(isTemporaryName(path.substr(path.rfind('\\') + 1))) << c.fault << ": " << path;
  }
}

// A write failing at any step of the command's three writes (settings.txt,
// the theme copy, the output) leaves that file as it was and the others
// complete, with no temporary file left.
TEST_F(ProjectCommand, WriteFailingAtEveryStep) {
  const std::string kOldSettings = "old\r\n";
  auto runFailingAt = [&](int failAt) {
    SetUp();
    p.folders = {"c:\\p"};
    p.files.erase("c:\\p\\theme.xml");
    p.files["c:\\p\\demo.bas"] = "old contents";
    p.files["settings.txt"] = kOldSettings;
    p.writeSteps = 0;
    p.failWriteStep = failAt;
    run(ProjectKind::App, okWith("c:\\p"));
    return p.files;
  };
  const std::map<std::string, std::string> complete = runFailingAt(-1);
  const int steps = p.writeSteps;
  std::map<std::string, std::optional<std::string>> old = {
      {"settings.txt", kOldSettings}, {"c:\\p\\demo.bas", "old contents"},
      {"c:\\p\\theme.xml", std::nullopt}};
  std::map<std::string, int> failedWrites;
  for (int failAt = 0; failAt < steps; ++failAt) {
    std::map<std::string, std::string> files = runFailingAt(failAt);
    int oldFiles = 0;
    for (const auto& [path, bytes] : complete) {
      auto it = files.find(path);
      std::optional<std::string> now;
      if (it != files.end()) now = it->second, files.erase(it);
      bool isNew = now == bytes;
      bool isOld = old.count(path) ? now == old[path] : isNew;
      EXPECT_TRUE(isOld || isNew) << "step " << failAt << ": " << path;
      if (!isNew) ++failedWrites[path], ++oldFiles;
    }
    EXPECT_EQ(1, oldFiles) << "step " << failAt;
    EXPECT_TRUE(files.empty()) << "step " << failAt << ": " << files.begin()->first;
  }
  EXPECT_EQ(3u, failedWrites.size());
  int total = 0;
  for (const auto& [path, count] : failedWrites) total += count;
  EXPECT_EQ(steps, total);
}

TEST(PrepareSaveFolder, Paths) {
  struct Case { const char* folder; const char* path; const char* created; };
  for (Case c : {Case{"c:\\projects\\tool", "c:\\projects\\tool", "c:\\projects|c:\\projects\\tool|"},
                 {"c:\\projects\\tool\\", "c:\\projects\\tool", "c:\\projects|c:\\projects\\tool|"},
                 {"c:\\projects\\\\tool", "c:\\projects\\tool", "c:\\projects|c:\\projects\\tool|"},
                 {"", "", ""},
                 {"\\", "", ""},
                 {"\\\\\\", "", ""},
                 {"c:", "c:", ""},
                 {"tool", "tool", ""},
                 {"\\a", "\\a", "\\a|"},
                 {"\\\\server\\share", "\\server\\share", "\\server|\\server\\share|"},
                 {"a\\b\\", "a\\b", "a\\b|"},
                 {"c:/x\\y z", "c:/x\\y z", "c:/x\\y z|"}}) {
    FakePlatform p;
    EXPECT_EQ(c.path, prepareSaveFolder(p, c.folder)) << c.folder;
    std::string created;
    for (const std::string& entry : p.fileLog) created += entry.substr(6) + "|";
    EXPECT_EQ(c.created, created) << c.folder;
  }
}

}  // namespace
}  // namespace codeloom
