// Whole commands and engines on inputs far past normal use: 100,000 picked
// files and a template of a million marker lines. Each expected text is
// built here from the input's structure by the output rules, never taken
// from the program. HOSTILE_SCALE (a factor, default 1) sizes the inputs;
// bench/hostile.sh runs them at two sizes and reads the "timing" lines, which
// measure only the command itself. No test checks a time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "forum/forum_command.h"
#include "headers/header_command.h"
#include "support/fake_platform.h"
#include "templates/template_engine.h"

namespace codeloom {
namespace {

double scale() {
  const char* text = std::getenv("HOSTILE_SCALE");
  double factor = text ? std::atof(text) : 1.0;
  return factor > 0 ? factor : 1.0;
}

size_t scaled(size_t count) { return static_cast<size_t>(static_cast<double>(count) * scale()); }

// Runs body and prints how long it took, for the benchmark.
template <typename Body>
void timed(const char* name, size_t size, Body body) {
  auto start = std::chrono::steady_clock::now();
  body();
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("timing %s %zu %.3f\n", name, size, seconds.count());
}

constexpr const char* kRule =
    "'----------------------------------------------------------------------\r\n";

// Even files export a procedure; odd files define one shared interface,
// which only the first of them writes; every tenth file cannot be read.
TEST(Hostile, HeaderCommandOverManyFiles) {
  const size_t count = scaled(100000);
  FakePlatform p;
  std::vector<std::string> names;
  std::string expected;
  for (size_t i = 0; i < count; ++i) {
    std::string n = std::to_string(i);
    names.push_back("f" + n + ".bas");
    bool readable = i % 10 != 9;
    if (readable)
      p.files["C:\\src\\" + names.back()] =
          i % 2 == 0 ? "Sub s" + n + "(x) Export\r\n"
                     : "Interface IShared\r\n  Method M()\r\nEnd Interface\r\n";
    expected += kRule + ("' " + names.back() + "\r\n") + kRule;
    if (readable && i % 2 == 0)
      expected += "Declare Sub s" + n + " Lib \"export.dll\" Alias \"S" + n + "\" (x)\r\n";
    if (i == 1) expected += "\r\nInterface IShared\r\n  Method M()\r\nEnd Interface\r\n";
    expected += "\r\n";
  }
  p.openFileResults.push_back(fileDialogResult("C:\\src", names));
  timed("headers-many-files", count, [&] { runHeaderCommand(p, HeaderMode::Dll); });
  ASSERT_TRUE(p.clipboard.has_value());
  EXPECT_EQ(expected.size(), p.clipboard->size());
  EXPECT_TRUE(expected == *p.clipboard);
}

// Empty files, files with tabs, empty lines and a 0x1A, and missing files.
TEST(Hostile, ForumCommandOverManyFiles) {
  const size_t count = scaled(100000);
  FakePlatform p;
  std::vector<std::string> names;
  std::string expected;
  for (size_t i = 0; i < count; ++i) {
    names.push_back(std::to_string(i) + ".inc");
    std::string& file = p.files["C:\\" + names.back()];
    expected += names.back() + "\r\n[code]";
    switch (i % 3) {
      case 0:
        break;  // empty
      case 1:
        file = "a\tb\r\n\r\n\t\r\nc\x1A" "after";
        expected += "a  b\r\n \r\n  \r\nc";
        break;
      case 2:
        p.files.erase("C:\\" + names.back());  // cannot be read
        break;
    }
    expected += "[/code]\r\n \r\n";
  }
  // Picked in a drive's root: the folder keeps its one backslash.
  p.openFileResults.push_back(fileDialogResult("C:\\", names));
  timed("forum-many-files", count, [&] { runForumFormat(p, nullptr); });
  ASSERT_TRUE(p.clipboard.has_value());
  EXPECT_EQ(expected.size(), p.clipboard->size());
  EXPECT_TRUE(expected == *p.clipboard);
}

// Groups of twelve lines, eight of them holding markers (seven a marker alone), with
// the option set {Icon}: an Icon block with an else branch, an unselected
// Size block closed by a named marker, a single-line block with else, and an
// else outside any block that skips up to the next closing marker.
TEST(Hostile, TemplateOfAMillionMarkerLines) {
  const size_t groups = scaled(125000);  // 8 lines with markers each
  const TemplateValues values{.namePrefix = "demo", .options = {"Icon"}};
  std::string text;
  std::string expected;
  for (size_t k = 0; k < groups; ++k) {
    std::string n = std::to_string(k);
    text += "{{Icon}}\r\ni%pfx%" + n + "\r\n{{else}}\r\ne" + n + "\r\n{{/}}\r\n";
    text += "  {{Size}}\r\ns" + n + "\r\n{{/Size}}  \r\n";
    text += "x {{Icon}}y" + n + "{{else}}z{{/}} w\r\n";
    text += "{{ELSE}}\r\nq" + n + "\r\n\t{{/}}\r\n";
    expected += "idemo" + n + "\r\nx y" + n + " w\r\n\t\r\n";
  }
  std::string output;
  timed("template-marker-lines", groups * 8, [&] { output = expandTemplate(text, values).value(); });
  EXPECT_EQ(expected.size(), output.size());
  EXPECT_TRUE(expected == output);
}

}  // namespace
}  // namespace codeloom
