#include "templates/template_dialog.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/window_styles.h"
#include "support/fake_platform.h"

namespace codeloom {
namespace {

// Logs the dialog's calls in order. With windowsPrefixSearch, an empty prefix
// finds the first item, as the real list box may do.
struct RecordingPlatform : FakePlatform {
  bool windowsPrefixSearch = false;
  std::string log;

  void setDefaultButton(WindowHandle d, int id) override {
    log += "default " + std::to_string(id) + "|";
    FakePlatform::setDefaultButton(d, id);
  }
  int listAdd(WindowHandle d, int id, const std::string& text) override {
    log += "add " + text + "|";
    return FakePlatform::listAdd(d, id, text);
  }
  bool readFile(const std::string& path, std::string& bytes) override {
    log += "read " + path + "|";
    return FakePlatform::readFile(path, bytes);
  }
  void setControlText(WindowHandle d, int id, const std::string& text) override {
    log += "text " + std::to_string(id) + "=" + text + "|";
    FakePlatform::setControlText(d, id, text);
  }
  int listFindPrefix(WindowHandle d, int id, const std::string& prefix) override {
    log += "find " + prefix + "|";
    if (windowsPrefixSearch && prefix.empty()) return 0;
    return FakePlatform::listFindPrefix(d, id, prefix);
  }
  void listSelect(WindowHandle d, int id, int index) override {
    log += "select " + std::to_string(index) + "|";
    FakePlatform::listSelect(d, id, index);
  }
};

std::string settingsFile(const char* optionLine, const char* descriptionLine = "d1\x7F" "d2") {
  return std::string("demo\r\nR&D\r\nDemo\r\nc:\\p\r\nShape\r\nWidth\r\nDraw\r\n 0\r\n") +
         optionLine + "\r\n" + descriptionLine + "\r\n";
}

std::string selectedItems(const FakeDialog& dialog) {
  const FakeControl& list = dialog.controls.at(10);
  std::string text;
  for (size_t i = 0; i < list.items.size(); ++i)
    if (list.selected[i]) text += list.items[i] + ",";
  return text;
}

void pressCancel(FakePlatform& p, FakeDialog& d) { p.press(d, kTemplateCancel); }

TEST(TemplateDialog, Layout) {
  DialogLayout layout = templateOptionsDialogLayout("New Window");
  char line[160];
  std::snprintf(line, sizeof line, "%s %d,%d %dx%d %08X %X %s %d", layout.caption.c_str(), layout.x,
                layout.y, layout.width, layout.height, layout.style, layout.exStyle, layout.fontFace.c_str(),
                layout.fontPoints);
  EXPECT_EQ("New Window -119,18 364x137 80C00080 0 MS Sans Serif 8", std::string(line));

  std::string controls;
  for (const ControlLayout& c : layout.controls) {
    std::snprintf(line, sizeof line, "%d %d '%s' %d,%d %dx%d %08X %X\n", c.id,
                  static_cast<int>(c.kind), c.text.c_str(), c.x, c.y, c.width, c.height, c.style,
                  c.exStyle);
    controls += line;
  }
  // Kinds: 0 button, 1 edit, 2 static, 3 list box.
  EXPECT_EQ(
      "1015 2 'Name %prefix%' 15,5 55x10 50000002 0\n"
      "1016 1 '' 75,5 100x13 50010080 200\n"
      "1017 2 'Author %author%' 15,20 55x10 50000002 0\n"
      "1018 1 '' 75,20 100x13 50010080 200\n"
      "1019 2 'Title %title%' 15,35 55x10 50000002 0\n"
      "1020 1 '' 75,35 145x13 50010080 200\n"
      "1021 2 'Description %desc%' 5,50 65x10 50000002 0\n"
      "1022 1 '' 75,50 145x50 50010084 200\n"
      "1023 2 'Save to:' 15,100 55x10 50000002 0\n"
      "1024 1 '' 75,100 145x13 50010080 200\n"
      "1031 3 '' 225,5 130x110 5021000B 200\n"
      "1010 0 '&OK' 75,115 50x15 50010F01 0\n"
      "1011 0 '&Cancel' 130,115 50x15 50010000 0\n",
      controls);
}

TEST(TemplateDialog, OpeningOrder) {
  RecordingPlatform p;
  p.files["settings.txt"] = settingsFile("Size,icon");
  p.dialogScripts.push_back(pressCancel);
  ToolSettings settings;
  EXPECT_FALSE(showTemplateOptionsDialog(p, settings, nullptr, "New Child"));
  EXPECT_EQ(
      "default 1010|add Accel|add Activate|add AddMem|add ExitLast|add Icon|add Key|add Mouse|"
      "add Paint|add Param|add Resource|add Size|read settings.txt|text 1016=demo|text 1018=R&D|"
      "text 1020=Demo|text 1022=d1\r\nd2|text 1024=c:\\p|find Size|select 10|find icon|select 4|",
      p.log);
}

TEST(TemplateDialog, SelectionFromTheOptionLine) {
  struct Case { const char* optionLine; bool windowsPrefixSearch; const char* selected; };
  for (Case c : {Case{"", false, ""},
                 {"", true, ""},
                 {"a,,b", true, "Accel,"},  // "a" is a prefix of "Accel"
                 {"Icon,Size", false, "Icon,Size,"},
                 {"Size,Accel", false, "Accel,Size,"},
                 {"icon,KEY", false, "Icon,Key,"},
                 {"Nope,Mouse", false, "Mouse,"},
                 {"Par", false, "Param,"},  // the list box's prefix search
                 {" Key , Mouse ", false, "Key,Mouse,"}}) {
    RecordingPlatform p;
    p.windowsPrefixSearch = c.windowsPrefixSearch;
    p.files["settings.txt"] = settingsFile(c.optionLine);
    p.dialogScripts.push_back(pressCancel);
    ToolSettings settings;
    showTemplateOptionsDialog(p, settings, nullptr, "New Application");
    EXPECT_EQ(c.selected, selectedItems(p.closedDialogs.at(0))) << c.optionLine;
    EXPECT_EQ(std::string::npos, p.log.find("find |")) << c.optionLine;
  }
}

TEST(TemplateDialog, FirstRunShowsEmptyBoxes) {
  FakePlatform p;
  p.dialogScripts.push_back(pressCancel);
  ToolSettings settings;
  EXPECT_FALSE(showTemplateOptionsDialog(p, settings, &p, "New Application"));
  FakeDialog& d = p.closedDialogs.at(0);
  EXPECT_EQ(&p, d.owner);
  EXPECT_EQ("New Application", d.layout.caption);
  EXPECT_EQ(kTemplateOk, d.defaultButton);
  for (int id : {1016, 1018, 1020, 1022, 1024}) EXPECT_EQ("", d.control(id)->text) << id;
  EXPECT_EQ(11u, d.control(kTemplateOptionList)->items.size());
  EXPECT_EQ("", selectedItems(d));
  EXPECT_TRUE(p.files.empty());
}

TEST(TemplateDialog, OkStoresAndSaves) {
  for (int code : {0, 1}) {
    FakePlatform p;
    p.files["settings.txt"] = settingsFile("Icon");
    p.dialogScripts.push_back([code](FakePlatform& p, FakeDialog& d) {
      p.type(d, kTemplateNameBox, " tool ");
      p.type(d, kTemplateAuthorBox, "");
      p.type(d, kTemplateTitleBox, "T, itle");
      p.type(d, kTemplateDescriptionBox, "a\r\nb");
      p.type(d, kTemplateFolderBox, "c:\\out\\");
      p.toggleListItem(d, kTemplateOptionList, "Size");
      p.toggleListItem(d, kTemplateOptionList, "Accel");
      p.toggleListItem(d, kTemplateOptionList, "Icon");
      p.toggleListItem(d, kTemplateOptionList, "Mouse");
      p.press(d, kTemplateOk, code);
    });
    ToolSettings settings;
    EXPECT_TRUE(showTemplateOptionsDialog(p, settings, nullptr, "New Window")) << code;
    EXPECT_EQ(
        " tool \r\n\r\nT, itle\r\nc:\\out\\\r\nShape\r\nWidth\r\nDraw\r\n 0\r\n"
        "Accel,Mouse,Size\r\na\x7F" "b\r\n",
        p.files["settings.txt"]);
    EXPECT_EQ(OptionSet({"Accel", "Mouse", "Size"}), settings.templateOptions);
    EXPECT_EQ(" tool ", settings.templateName);
    EXPECT_EQ("a\r\nb", settings.templateDescription);
    EXPECT_EQ("c:\\out\\", settings.saveFolder);
  }
}

TEST(TemplateDialog, OkWithNothingSelectedStoresAnEmptySet) {
  FakePlatform p;
  p.files["settings.txt"] = settingsFile("Icon");
  p.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.toggleListItem(d, kTemplateOptionList, "Icon");
    p.press(d, kTemplateOk);
  });
  ToolSettings settings;
  EXPECT_TRUE(showTemplateOptionsDialog(p, settings, nullptr, "New Window"));
  EXPECT_TRUE(settings.templateOptions.empty());
  EXPECT_EQ(std::string::npos, p.files["settings.txt"].find("Icon"));
}

TEST(TemplateDialog, OkStoresTheItemTextsNotTheLoadedNames) {
  FakePlatform p;
  p.files["settings.txt"] = settingsFile("size,icon,Nope,");
  p.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) { p.press(d, kTemplateOk); });
  ToolSettings settings;
  EXPECT_TRUE(showTemplateOptionsDialog(p, settings, nullptr, "New Window"));
  EXPECT_EQ(OptionSet({"Icon", "Size"}), settings.templateOptions);
}

TEST(TemplateDialog, AnythingButOkChangesNothing) {
  struct Case { int id; int code; };
  for (Case c : {Case{kTemplateCancel, 0}, {kTemplateCancel, 1}, {styles::kIdCancel, 0},
                 {kTemplateOk, 2}, {kTemplateOk, 0x0300}, {kTemplateNameBox, 0},
                 {kTemplateOptionList, 1}}) {
    FakePlatform p;
    const std::string file = settingsFile("Key");
    p.files["settings.txt"] = file;
    p.dialogScripts.push_back([c](FakePlatform& p, FakeDialog& d) {
      p.type(d, kTemplateNameBox, "edited");
      p.toggleListItem(d, kTemplateOptionList, "Size");
      p.press(d, c.id, c.code);
    });
    ToolSettings settings;
    settings.className = "unsaved";
    EXPECT_FALSE(showTemplateOptionsDialog(p, settings, nullptr, "New Child")) << c.id;
    EXPECT_EQ(file, p.files["settings.txt"]) << c.id;
    EXPECT_TRUE(p.fileLog.empty()) << c.id;
    EXPECT_EQ("demo", settings.templateName) << c.id;  // as loaded
    EXPECT_EQ(OptionSet({"Key"}), settings.templateOptions) << c.id;
  }
}

TEST(TemplateDialog, WithoutSettingsFileTheRecordKeepsItsValues) {
  FakePlatform p;
  p.dialogScripts.push_back(pressCancel);
  ToolSettings settings;
  settings.templateTitle = "kept";
  settings.templateOptions = {"Paint"};
  showTemplateOptionsDialog(p, settings, nullptr, "New Child");
  EXPECT_EQ("kept", p.closedDialogs.at(0).control(kTemplateTitleBox)->text);
  EXPECT_EQ("Paint,", selectedItems(p.closedDialogs.at(0)));
}

TEST(TemplateDialog, DescriptionLinesSurviveTwoOpenings) {
  FakePlatform p;
  p.dialogScripts.push_back([](FakePlatform& p, FakeDialog& d) {
    p.type(d, kTemplateDescriptionBox, "one\r\ntwo\r\n\r\nfour");
    p.press(d, kTemplateOk);
  });
  p.dialogScripts.push_back(pressCancel);
  ToolSettings settings;
  showTemplateOptionsDialog(p, settings, nullptr, "New Child");
  settings = ToolSettings();
  showTemplateOptionsDialog(p, settings, nullptr, "New Child");
  EXPECT_EQ("one\r\ntwo\r\n\r\nfour", p.closedDialogs.at(1).control(kTemplateDescriptionBox)->text);
}

}  // namespace
}  // namespace codeloom
