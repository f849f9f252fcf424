#include "app/settings.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace codeloom {
namespace {

ToolSettings sample() {
  ToolSettings s;
  s.templateName = "demo";
  s.templateAuthor = "R&D";
  s.templateTitle = "Demo, the tool";
  s.saveFolder = "c:\\projects\\tool";
  s.className = "Shape";
  s.classProperties = "[Width:Long, Name";
  s.classMethods = "Draw";
  s.classMessages = -1;
  s.templateOptions = {"Accel", "Icon", "Size"};
  s.templateDescription = "x\r\ny\r\nz";
  return s;
}

ToolSettings parsed(std::string_view bytes) {
  ToolSettings s = sample();
  parseSettings(bytes, s);
  return s;
}

TEST(Settings, FileFormatByteForByte) {
  EXPECT_EQ(
      "demo\r\nR&D\r\nDemo, the tool\r\nc:\\projects\\tool\r\nShape\r\n[Width:Long, Name\r\n"
      "Draw\r\n-1\r\nAccel,Icon,Size\r\nx\x7Fy\x7Fz\r\n",
      formatSettings(sample()));
  EXPECT_EQ("\r\n\r\n\r\n\r\n\r\n\r\n\r\n 0\r\n\r\n\r\n", formatSettings(ToolSettings()));
  ToolSettings ticked;
  ticked.classMessages = 1;
  EXPECT_EQ(" 1", formatSettings(ticked).substr(14, 2));
}

TEST(Settings, RoundTrip) {
  ToolSettings s = sample();
  s.classMessages = 1;  // comes back as -1
  s.templateDescription = "a\nb\r\nc";  // a lone LF survives
  ToolSettings back = parsed(formatSettings(s));
  s.classMessages = -1;
  EXPECT_EQ(s, back);
}

TEST(Settings, LoneCrInDescriptionKeepsTenLines) {
  ToolSettings s = sample();
  s.templateDescription = "a\rb\r\nc\r";
  std::string text = formatSettings(s);
  EXPECT_EQ("a\x7F" "b\x7F" "c\x7F\r\n", text.substr(text.rfind("Size\r\n") + 6));
  EXPECT_EQ("a\r\nb\r\nc\r\n", parsed(text).templateDescription);
}

TEST(Settings, ClassMessagesLine) {
  struct Case { const char* line; int32_t value; };
  for (Case c : {Case{" 0", 0}, {"-1", -1}, {" 1", -1}, {"7", -1}, {"  -42x", -1}, {"0", 0},
                 {"", 0}, {"abc", 0}, {"-", 0}, {"+0", 0}, {"00000000000000000000000", 0},
                 {"99999999999999999999999", -1}, {"x1", 0},
                 {"0-1", 0}, {"+0,5", 0},  // the number ends at "-" or ","
                 {"0.5", -1}, {".5", -1}, {" -0.25", -1}, {"1.", -1}, {"0.000001", -1},
                 {"0.0", 0}, {".", 0}, {"+.0", 0}, {"0..5", 0}, {"0.0.5", 0}}) {
    std::string file = std::string(7, '\n');  // lone LFs: all inside line 1
    file = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n" + std::string(c.line) + "\r\n";
    EXPECT_EQ(c.value, parsed(file).classMessages) << c.line;
  }
}

TEST(Settings, EndOfFileByteInAnyFieldIsDroppedOnSave) {
  ToolSettings s = sample();
  s.templateName = "de\x1Amo";
  s.classMethods = "\x1A" "Draw\x1A";
  s.templateOptions = {"Ac\x1A" "cel", "Icon", "Size"};
  s.templateDescription = "x\r\n\x1Ay\r\nz\x1A";
  EXPECT_EQ(formatSettings(sample()), formatSettings(s));
  EXPECT_EQ(sample(), parsed(formatSettings(s)));  // every later line survives
}

TEST(Settings, OptionLine) {
  auto options = [](const char* line) {
    return parsed(std::string(8, '\r') + line + "\r\n").templateOptions.names();
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(Names({"Key", "Mouse"}), options(" Key , Mouse "));
  EXPECT_EQ(Names({""}), options(""));
  EXPECT_EQ(Names({"a", "", "b"}), options("a,,b"));
  EXPECT_EQ(Names({"Icon", "icon"}), options("Icon,icon,Icon"));
  EXPECT_EQ(Names({"\tKey"}), options("\tKey"));  // only blanks are trimmed
  EXPECT_EQ(Names({""}), parsed("short file").templateOptions.names());
}

TEST(Settings, EmptyOptionSetRoundTrips) {
  ToolSettings s;
  std::string text = formatSettings(s);
  ToolSettings back = parsed(text);
  EXPECT_EQ(std::vector<std::string>({""}), back.templateOptions.names());
  EXPECT_EQ(text, formatSettings(back));
}

TEST(Settings, EmptyOptionNameRoundTrips) {
  using Names = std::vector<std::string>;
  for (const Names& names : {Names{"", "a"}, Names{"a", ""}, Names{"", "a", "b"}, Names{""}}) {
    ToolSettings s;
    for (const std::string& name : names) s.templateOptions.add(name);
    EXPECT_EQ(names, parsed(formatSettings(s)).templateOptions.names());
  }
  EXPECT_EQ(",a\r\n", formatSettings(ToolSettings{.templateOptions = {"", "a"}}).substr(18, 4));
}

TEST(Settings, ShortAndOddFiles) {
  ToolSettings s = parsed("only\r\ntwo");
  EXPECT_EQ("only", s.templateName);
  EXPECT_EQ("two", s.templateAuthor);
  EXPECT_EQ("", s.templateTitle);
  EXPECT_EQ("", s.classMethods);
  EXPECT_EQ(0, s.classMessages);
  EXPECT_EQ("", s.templateDescription);
  EXPECT_EQ(ToolSettings{.templateOptions = {""}}, parsed(""));
  EXPECT_EQ("  padded  ", parsed("  padded  \r\n").templateName);  // no trimming
  EXPECT_EQ("a,b", parsed("a,b\r\n").templateName);             // only line 9 is split
  EXPECT_EQ("d", parsed("1\r2\r3\r4\r5\r6\r7\r8\r9\rd\releven\r").templateDescription);
}

TEST(Settings, LoadLeavesRecordAloneWithoutFile) {
  FakePlatform platform;
  ToolSettings s = sample();
  loadSettings(platform, s);
  EXPECT_EQ(sample(), s);
}

TEST(Settings, LoadReadsFileAndUnreadableFileReadsEmpty) {
  FakePlatform platform;
  platform.files["settings.txt"] = formatSettings(sample());
  ToolSettings s;
  loadSettings(platform, s);
  EXPECT_EQ(sample(), s);

  platform.faultyPaths.insert("settings.txt");  // present but locked
  loadSettings(platform, s);
  EXPECT_EQ(ToolSettings{.templateOptions = {""}}, s);
}

TEST(Settings, FailedSaveKeepsPreviousFile) {
  FakePlatform platform;
  platform.files["settings.txt"] = "old";
  platform.faultyPaths.insert("settings.txt");
  saveSettings(platform, sample());
  EXPECT_EQ("old", platform.files["settings.txt"]);
  platform.faultyPaths.clear();
  saveSettings(platform, sample());
  EXPECT_EQ(formatSettings(sample()), platform.files["settings.txt"]);
}

TEST(Settings, SaveFailingAtAnyStepKeepsPreviousFileByteForByte) {
  const std::string previous = formatSettings(ToolSettings{.templateName = "previous"});
  const size_t steps = 1 + (formatSettings(sample()).size() + 15) / 16 + 3;
  for (size_t failAt = 0; failAt < steps; ++failAt) {
    FakePlatform platform;
    platform.files["settings.txt"] = previous;
    platform.failWriteStep = static_cast<int>(failAt);
    saveSettings(platform, sample());
    EXPECT_EQ(previous, platform.files["settings.txt"]) << failAt;
    EXPECT_EQ(1u, platform.files.size()) << failAt;  // no temporary file left
  }
  FakePlatform platform;
  platform.failWriteStep = static_cast<int>(steps);  // past the last step
  saveSettings(platform, sample());
  EXPECT_EQ(formatSettings(sample()), platform.files["settings.txt"]);
}

}  // namespace
}  // namespace codeloom
