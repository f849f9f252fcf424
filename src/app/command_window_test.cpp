#include "app/command_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>

#include "app/new_guid.h"
#include "classgen/class_command.h"
#include "classgen/class_dialog.h"
#include "forum/forum_command.h"
#include "headers/header_command.h"
#include "platform/window_styles.h"
#include "support/fake_platform.h"
#include "templates/project_command.h"
#include "templates/template_dialog.h"

namespace codeloom {
namespace {

using namespace styles;

std::string describe(const ControlLayout& c) {
  return std::to_string(c.id) + " " + c.text + " " + std::to_string(c.x) + "," +
         std::to_string(c.y) + " " + std::to_string(c.width) + "x" + std::to_string(c.height);
}

TEST(CommandWindow, Layout) {
  DialogLayout layout = commandWindowLayout();
  EXPECT_EQ("Codeloom", layout.caption);
  EXPECT_EQ(663, layout.x);
  EXPECT_EQ(132, layout.y);
  EXPECT_EQ(126, layout.width);
  EXPECT_EQ(182, layout.height);
  EXPECT_EQ(kVisible | kClipSiblings | kCaption | kSysMenu | kMinimizeBox | kDsModalFrame,
            layout.style);
  EXPECT_EQ(kExTopmost | kExControlParent, layout.exStyle);
  EXPECT_EQ("MS Sans Serif", layout.fontFace);
  EXPECT_EQ(8, layout.fontPoints);

  const char* expected[] = {
      "1001 &Forum Format Files 10,5 105x15",  "1002 New &Class 10,30 105x15",
      "1004 New &Interface 10,45 105x15",      "1012 New &GUID 10,60 105x15",
      "1032 Write SLL &headers 10,75 105x15",  "1035 Write DLL header&s 10,90 105x15",
      "1034 Write compile heade&rs 10,105 105x15", "1025 New &App 10,130 105x15",
      "1026 New &Win 10,145 105x15",           "1027 New Chil&d 10,160 105x15",
      "1029 Line2 5,25 114x1",                 "1030 Line2 5,125 115x1",
  };
  ASSERT_EQ(std::size(expected), layout.controls.size());
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& c = layout.controls[i];
    EXPECT_EQ(expected[i], describe(c));
    if (i < 10) {
      EXPECT_EQ(ControlKind::Button, c.kind);
      EXPECT_EQ(kChild | kVisible | kTabStop | kBsPushButton, c.style);
    } else {
      EXPECT_EQ(ControlKind::Static, c.kind);
      EXPECT_EQ(kChild | kVisible | kSsEtchedHorz, c.style);
    }
  }
}

// What a command did to the fake, in one text: its dialogs, its files, the
// clipboard and the window brought forward.
std::string effects(const FakePlatform& p, const void* commandWindow, const void* ide) {
  std::string out;
  for (const OpenFileRequest& r : p.openFileRequests)
    out += std::string("file dialog") + (r.owner == commandWindow ? " owned" : "") +
           (r.offsetFromOwner ? " placed" : "") + "|";
  for (const FakeDialog& d : p.closedDialogs)
    out += "dialog " + d.layout.caption + (d.owner == commandWindow ? " owned" : "") + "|";
  for (const std::string& entry : p.fileLog) out += entry + "|";
  if (p.clipboard) out += "clipboard " + *p.clipboard + "|";
  if (p.foreground) out += p.foreground == ide ? "IDE forward|" : "other window forward|";
  return out;
}

// Every button against its command called directly, for the notification
// codes 0 (click), 1 (accelerator), 2 and 5: the header buttons run on any
// code, the others only on 0 and 1.
TEST(CommandWindow, NotificationCodesForEveryButton) {
  using Command = std::function<void(Platform&, ToolSettings&, WindowHandle)>;
  auto project = [](ProjectKind kind) -> Command {
    return [kind](Platform& p, ToolSettings& s, WindowHandle w) { runProjectCommand(p, s, kind, w); };
  };
  auto header = [](HeaderMode mode) -> Command {
    return [mode](Platform& p, ToolSettings&, WindowHandle) { runHeaderCommand(p, mode); };
  };
  struct Case { int id; Command command; bool anyCode; };
  const Case cases[] = {
      {kForumFormatFiles, [](Platform& p, ToolSettings&, WindowHandle w) { runForumFormat(p, w); }, false},
      {kNewClass, runNewClass, false},
      {kNewInterface, runNewInterface, false},
      {kNewGuid, [](Platform& p, ToolSettings&, WindowHandle) { runNewGuid(p); }, false},
      {kWriteSllHeaders, header(HeaderMode::Sll), true},
      {kWriteDllHeaders, header(HeaderMode::Dll), true},
      {kWriteCompileHeaders, header(HeaderMode::Compile), true},
      {kNewApp, project(ProjectKind::App), false},
      {kNewWin, project(ProjectKind::Win), false},
      {kNewChild, project(ProjectKind::Child), false},
  };
  int window = 0, ide = 0;
  auto run = [&](const std::function<void(FakePlatform&, ToolSettings&)>& act) {
    FakePlatform p;
    ToolSettings stored;
    stored.saveFolder = "C:\\prj";
    stored.className = "Pen";
    stored.templateName = "demo";
    p.files[kSettingsFileName] = formatSettings(stored);
    p.files["Message.bas"] = "bridge";
    p.files["theme.xml"] = "<theme/>";
    for (const char* name : {"template_App.bas", "template_Win.bas", "template_Child.bas"})
      p.files[name] = std::string("' %pfx% from ") + name + "\r\n";
    p.files["C:\\src\\a.bas"] = "Sub A(x) Export\r\n";
    p.folders = {"C:\\prj", "C:\\src"};
    p.openFileResults.push_back(fileDialogResult("C:\\src", {"a.bas"}));
    p.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) { p.press(d, kTemplateOk); });
    p.topWindows = {{&ide, "PB/WIN IDE"}};
    ToolSettings settings;
    act(p, settings);
    return effects(p, &window, &ide) + "files " + std::to_string(p.files.size());
  };
  const std::string nothing = run([](FakePlatform&, ToolSettings&) {});
  for (const Case& c : cases) {
    const std::string ran = run([&](FakePlatform& p, ToolSettings& s) { c.command(p, s, &window); });
    ASSERT_NE(nothing, ran) << c.id;
    for (int code : {0, 1, 2, 5}) {
      const std::string dispatched = run([&](FakePlatform& p, ToolSettings& s) {
        dispatchCommand(p, s, &window, c.id, code);
      });
      EXPECT_EQ(code <= 1 || c.anyCode ? ran : nothing, dispatched) << c.id << " code " << code;
    }
  }
}

TEST(CommandWindow, UnknownIdsAndEscapeDoNothing) {
  for (int id : {1, 2, 1003, 1029, 1036}) {
    FakePlatform platform;
    ToolSettings settings;
    dispatchCommand(platform, settings, nullptr, id, 0);
    EXPECT_EQ(0, platform.clipboardWrites);
    EXPECT_TRUE(platform.openFileRequests.empty());
    EXPECT_TRUE(platform.closedDialogs.empty());
  }
}

// A clipboard that cannot be opened costs only the clipboard text: every
// command writes the same files and settings, opens the same dialogs and
// brings the IDE forward (or not) exactly as with a free clipboard.
TEST(CommandWindow, BusyClipboardChangesNothingElse) {
  static_assert(int{kClassOkButton} == int{kTemplateOk});  // one script fits both dialogs
  struct Case { int id; bool activatesIde; bool setsClipboard; };
  const Case cases[] = {
      {kForumFormatFiles, false, true},   {kNewClass, true, false},
      {kNewInterface, true, true},        {kNewGuid, true, true},
      {kWriteSllHeaders, false, true},    {kWriteDllHeaders, false, true},
      {kWriteCompileHeaders, false, true}, {kNewApp, false, false},
      {kNewWin, false, false},            {kNewChild, false, false},
  };
  int ide = 0;
  auto run = [&](int id, bool busy) {
    auto platform = std::make_unique<FakePlatform>();
    FakePlatform& p = *platform;
    ToolSettings stored;
    stored.saveFolder = "C:\\prj";
    stored.className = "Pen";
    stored.templateName = "demo";
    p.files[kSettingsFileName] = formatSettings(stored);
    p.files["Message.bas"] = "bridge";
    p.files["theme.xml"] = "<theme/>";
    for (const char* name : {"template_App.bas", "template_Win.bas", "template_Child.bas"})
      p.files[name] = "' %pfx%\r\n";
    p.files["C:\\src\\a.bas"] = "Sub A() Export\r\n";
    p.files["C:\\src\\b.bas"] = "Interface IB\r\nEnd Interface\r\n";
    p.folders = {"C:\\prj", "C:\\src"};
    p.openFileResults.push_back(fileDialogResult("C:\\src", {"a.bas", "b.bas"}));
    p.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) { p.press(d, kTemplateOk); });
    p.topWindows = {{&ide, "PB/WIN IDE"}};
    p.clipboard = "old";
    p.clipboardBusy = busy;
    ToolSettings settings;
    dispatchCommand(p, settings, nullptr, id, 0);
    return platform;
  };
  for (const Case& c : cases) {
    const auto free = run(c.id, false);
    const auto busy = run(c.id, true);
    EXPECT_EQ(free->files, busy->files) << c.id;
    EXPECT_EQ(free->folders, busy->folders) << c.id;
    EXPECT_EQ(free->fileLog, busy->fileLog) << c.id;
    EXPECT_EQ(free->closedDialogs.size(), busy->closedDialogs.size()) << c.id;
    EXPECT_EQ(free->openFileRequests.size(), busy->openFileRequests.size()) << c.id;
    EXPECT_EQ(free->guidsCreated, busy->guidsCreated) << c.id;
    EXPECT_EQ(c.activatesIde ? &ide : nullptr, free->foreground) << c.id;
    EXPECT_EQ(free->foreground, busy->foreground) << c.id;
    EXPECT_EQ("old", busy->clipboard) << c.id;
    EXPECT_EQ(c.setsClipboard, free->clipboard != "old") << c.id;
  }
}

// Out of memory in the middle of a command ends that command only: nothing
// written, the clipboard as it was, and the next command runs.
TEST(CommandWindow, OutOfMemoryEndsOnlyTheCommand) {
  struct NoMemoryForGuids : FakePlatform {
    Guid createGuid() override { throw std::bad_alloc(); }
  };
  for (int id : {int{kNewGuid}, int{kNewClass}, int{kNewInterface}}) {
    NoMemoryForGuids p;
    ToolSettings stored;
    stored.saveFolder = "C:\\prj";
    stored.className = "Pen";
    p.files[kSettingsFileName] = formatSettings(stored);
    p.files["Message.bas"] = "bridge";
    p.folders = {"C:\\prj"};
    p.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) { p.press(d, kClassOkButton); });
    p.clipboard = "old";
    ToolSettings settings;
    EXPECT_NO_THROW(dispatchCommand(p, settings, nullptr, id, 0)) << id;
    EXPECT_EQ("old", p.clipboard) << id;
    EXPECT_EQ(0u, p.files.count("C:\\prj\\Pen.inc")) << id;
    EXPECT_EQ(0u, p.files.count("C:\\prj\\Message.inc")) << id;
    dispatchCommand(p, settings, nullptr, kForumFormatFiles, 0);  // cancelled: empty text
    EXPECT_EQ("", p.clipboard) << id;
  }
}

TEST(CommandWindow, RunsModallyWithoutOwnerUntilClosed) {
  FakePlatform platform;
  platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& window) {
    p.press(window, kIdCancel);  // Escape: the window stays open
    EXPECT_FALSE(window.ended);
    p.press(window, kNewGuid);
  });
  EXPECT_EQ(0, runCommandWindow(platform));
  ASSERT_EQ(1u, platform.closedDialogs.size());
  EXPECT_EQ(nullptr, platform.closedDialogs[0].owner);
  EXPECT_EQ(1, platform.clipboardWrites);
}

}  // namespace
}  // namespace codeloom
