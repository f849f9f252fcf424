#include "classgen/class_dialog.h"

#include <gtest/gtest.h>

#include "platform/window_styles.h"
#include "support/fake_platform.h"

namespace codeloom {
namespace {

using namespace styles;

std::string describe(const ControlLayout& c) {
  const char* kinds[] = {"button", "edit", "static", "list"};
  return std::to_string(c.id) + " " + kinds[static_cast<int>(c.kind)] + " [" + c.text + "] " +
         std::to_string(c.x) + "," + std::to_string(c.y) + " " + std::to_string(c.width) + "x" +
         std::to_string(c.height);
}

ToolSettings storedClassFields() {
  ToolSettings s;
  s.templateName = "App";
  s.saveFolder = "C:\\prj";
  s.className = "Shape";
  s.classProperties = "[Width:Long";
  s.classMethods = "Draw";
  s.classMessages = -1;
  s.templateOptions = {"Accel"};  // an empty set would load back as one empty key
  return s;
}

FakePlatform withSettingsFile(const ToolSettings& s) {
  FakePlatform platform;
  platform.files[kSettingsFileName] = formatSettings(s);
  return platform;
}

const std::string kHelp =
    "Prefixes: [ Get only, ] Set only, . Set if change\r\n"
    "Ex: [Width:Long,[Height:Long,Item:iTest(),Name\r\n"
    "Width,Height read only properties, Item indexed property, Name string property\r\n"
    "Properties default to string type, methods have no default\r\n";

TEST(ClassDialog, ClassLayout) {
  DialogLayout layout = classDialogLayout(storedClassFields(), "New Class");
  EXPECT_EQ("New Class", layout.caption);
  EXPECT_EQ(-50, layout.x);
  EXPECT_EQ(18, layout.y);
  EXPECT_EQ(202, layout.width);
  EXPECT_EQ(172, layout.height);
  EXPECT_EQ(kPopup | kCaption | kDsModalFrame, layout.style);
  EXPECT_EQ(0u, layout.exStyle);
  EXPECT_EQ("MS Sans Serif", layout.fontFace);
  EXPECT_EQ(8, layout.fontPoints);

  const uint32_t rightLabel = kChild | kVisible | kSsRight;
  const uint32_t textBox = kChild | kVisible | kTabStop | kEsAutoHScroll;
  struct Row { const char* text; uint32_t style; uint32_t exStyle; };
  const Row expected[] = {
      {"1005 static [Class name] 5,5 40x15", rightLabel, 0},
      {"1006 edit [Shape] 50,5 145x15", textBox, kExClientEdge},
      {"1007 static [Properties] 10,25 35x15", rightLabel, 0},
      {"1008 edit [[Width:Long] 50,25 145x15", textBox, kExClientEdge},
      {"1013 static [Methods] 10,45 35x15", rightLabel, 0},
      {"1014 edit [Draw] 50,45 145x15", textBox, kExClientEdge},
      {"1013 static [Save to] 10,65 35x15", rightLabel, 0},
      {"1024 edit [C:\\prj] 50,65 145x15", textBox, kExClientEdge},
      {"1036 static [Messages] 0,85 45x15", rightLabel, 0},
      {"1037 button [] 50,85 30x15", kChild | kVisible | kTabStop | kBsAutoCheckBox, 0},
      {"1010 button [OK] 50,105 50x15",
       kChild | kVisible | kTabStop | kBsDefPushButton | kBsCenter | kBsVCenter, 0},
      {"1011 button [&Cancel] 105,105 50x15", kChild | kVisible | kTabStop | kBsPushButton, 0},
      {"1033 static [] 10,125 180x40", kChild | kVisible | kSsLeft, 0},
  };
  ASSERT_EQ(std::size(expected), layout.controls.size());
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    ControlLayout c = layout.controls[i];
    if (c.id == kMemberHelpLabel) {
      EXPECT_EQ(kHelp, c.text);
      c.text.clear();
    }
    EXPECT_EQ(expected[i].text, describe(c));
    EXPECT_EQ(expected[i].style, c.style) << c.id;
    EXPECT_EQ(expected[i].exStyle, c.exStyle) << c.id;
  }
}

TEST(ClassDialog, InterfaceVariantHasNoSaveToRow) {
  for (const char* caption : {"New Interface", "NEW INTERFACE", "My interface x"}) {
    DialogLayout layout = classDialogLayout(storedClassFields(), caption);
    std::string ids;
    for (const ControlLayout& c : layout.controls) ids += std::to_string(c.id) + " ";
    EXPECT_EQ("1005 1006 1007 1008 1013 1014 1036 1037 1010 1011 1033 ", ids) << caption;
  }
  EXPECT_EQ("Interface name", classDialogLayout({}, "New Interface").controls[0].text);
  EXPECT_EQ(" name", classDialogLayout({}, "New").controls[0].text);
}

TEST(ClassDialog, OpensWithTheSavedValuesNotTheRecord) {
  FakePlatform platform = withSettingsFile(storedClassFields());
  ToolSettings settings;
  settings.className = "Unsaved";
  platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    EXPECT_EQ("Shape", d.control(kClassNameBox)->text);
    EXPECT_EQ("C:\\prj", d.control(kSaveFolderBox)->text);
    EXPECT_TRUE(d.control(kMessagesCheckBox)->checked);
    EXPECT_EQ(kClassOkButton, d.defaultButton);
  });
  EXPECT_FALSE(showClassDialog(platform, settings, nullptr, "New Class"));
  EXPECT_EQ(formatSettings(storedClassFields()), formatSettings(settings));
}

TEST(ClassDialog, MessagesBoxClearWhenFlagIsZeroOrNoFile) {
  ToolSettings off = storedClassFields();
  off.classMessages = 0;
  FakePlatform platform = withSettingsFile(off);
  FakePlatform noFile;
  for (FakePlatform* p : {&platform, &noFile}) {
    ToolSettings settings;
    p->dialogScripts.push_back([](FakePlatform&, FakeDialog& d) {
      EXPECT_FALSE(d.control(kMessagesCheckBox)->checked);
    });
    showClassDialog(*p, settings, nullptr, "New Class");
  }
  EXPECT_EQ("", noFile.closedDialogs[0].control(kClassNameBox)->text);
}

TEST(ClassDialog, OkTrimsSpacesOnlyAndSavesEverything) {
  FakePlatform platform = withSettingsFile(storedClassFields());
  ToolSettings settings;
  int parent;
  platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.type(d, kClassNameBox, "  Circle  ");
    p.type(d, kPropertiesBox, "[Width:Long, Name ");
    p.type(d, kMethodsBox, "\tDraw ");
    p.type(d, kSaveFolderBox, " D:\\out ");
    p.setChecked(d.handle(), kMessagesCheckBox, false);
    p.press(d, kClassOkButton, 1);
  });
  EXPECT_TRUE(showClassDialog(platform, settings, &parent, "New Class"));
  EXPECT_EQ(&parent, platform.closedDialogs[0].owner);
  EXPECT_EQ(1, platform.closedDialogs[0].result);

  ToolSettings expected = storedClassFields();
  expected.className = "Circle";
  expected.classProperties = "[Width:Long, Name";
  expected.classMethods = "\tDraw";
  expected.saveFolder = " D:\\out ";
  expected.classMessages = 0;
  EXPECT_EQ(formatSettings(expected), formatSettings(settings));
  EXPECT_EQ(formatSettings(expected), platform.files[kSettingsFileName]);
}

TEST(ClassDialog, TickedBoxIsStoredAsOne) {
  FakePlatform platform;
  ToolSettings settings;
  platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.type(d, kClassNameBox, "S");
    p.setChecked(d.handle(), kMessagesCheckBox, true);
    p.press(d, kClassOkButton);
  });
  EXPECT_TRUE(showClassDialog(platform, settings, nullptr, "New Class"));
  EXPECT_EQ(1, settings.classMessages);
  EXPECT_EQ("\r\n\r\n\r\n\r\nS\r\n\r\n\r\n 1\r\n\r\n\r\n", platform.files[kSettingsFileName]);
}

TEST(ClassDialog, InterfaceOkLeavesSaveFolderAlone) {
  FakePlatform platform = withSettingsFile(storedClassFields());
  ToolSettings settings;
  settings.saveFolder = "in memory only";
  platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    EXPECT_EQ(nullptr, d.control(kSaveFolderBox));
    p.type(d, kClassNameBox, "Other");
    p.press(d, kClassOkButton);
  });
  EXPECT_TRUE(showClassDialog(platform, settings, nullptr, "New Interface"));
  EXPECT_EQ("C:\\prj", settings.saveFolder);
  ToolSettings expected = storedClassFields();
  expected.className = "Other";
  expected.classMessages = 1;
  EXPECT_EQ(formatSettings(expected), platform.files[kSettingsFileName]);
}

TEST(ClassDialog, CancelEscapeAndOtherCommandsStoreNothing) {
  struct Case { int id; int code; bool ends; };
  const Case cases[] = {
      {kClassCancelButton, 0, true}, {kClassCancelButton, 1, true}, {kIdCancel, 0, true},
      {kClassOkButton, 5, false},    {kClassCancelButton, 2, false}, {kClassNameBox, 0, false},
      {kMessagesCheckBox, 0, false}, {kIdOk, 0, false},
  };
  for (const Case& c : cases) {
    FakePlatform platform = withSettingsFile(storedClassFields());
    const std::string before = platform.files[kSettingsFileName];
    ToolSettings settings;
    platform.dialogScripts.push_back([&](FakePlatform& p, FakeDialog& d) {
      p.type(d, kClassNameBox, "Edited");
      p.type(d, kSaveFolderBox, "Edited");
      p.press(d, c.id, c.code);
      EXPECT_EQ(c.ends, d.ended) << c.id << " " << c.code;
    });
    EXPECT_FALSE(showClassDialog(platform, settings, nullptr, "New Class"));
    EXPECT_EQ(formatSettings(storedClassFields()), formatSettings(settings)) << c.id;
    EXPECT_EQ(before, platform.files[kSettingsFileName]) << c.id;
  }
}

TEST(ClassDialog, OkSavesEvenAnEmptyName) {
  FakePlatform platform = withSettingsFile(storedClassFields());
  ToolSettings settings;
  platform.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.type(d, kClassNameBox, "   ");
    p.press(d, kClassOkButton);
  });
  EXPECT_TRUE(showClassDialog(platform, settings, nullptr, "New Class"));
  EXPECT_EQ("", settings.className);
  ToolSettings reloaded;
  parseSettings(platform.files[kSettingsFileName], reloaded);
  EXPECT_EQ("", reloaded.className);
}

}  // namespace
}  // namespace codeloom
