#include "templates/template_lint.h"

#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "support/worked_example.h"
#include "templates/template_dialog.h"
#include "templates/template_engine.h"

namespace codeloom {
namespace {

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string lint(const std::vector<std::string>& lines) {
  std::string report;
  for (const LintFinding& finding : lintTemplate(joinLines(lines)))
    report += formatLintFinding("t", finding);
  return report;
}

TEST(TemplateLint, Findings) {
  struct Case { std::vector<std::string> lines; const char* findings; };
  const Case cases[] = {
      // Clean: every form the engine reads as its author means it.
      {{}, ""},
      {{"plain %pfx% %upfx% %author% %title% %description%", "", "100% sure"}, ""},
      {{"{{Icon}}", "a", "{{ELSE}}", "b", "{{/Icon}}", " x {{Size}}y{{/}} z"}, ""},
      {{"\t{{Mouse}} head", "{{Else}}", "{{/x}} tail", "a{{Key}}b{{eLSE}}c{{/}}d"}, ""},
      // Blocks.
      {{"a", "{{Icon}}", "b"},
       "t:2:1: error: '{{Icon}}' opens a block that is never closed: unless selected, it skips "
       "the rest of the template\n"},
      // Past its else, an unclosed block writes the rest only when not selected.
      {{"{{Icon}}", "a", "{{else}}", "b"},
       "t:1:1: error: '{{Icon}}' opens a block that is never closed: from its last '{{else}}', "
       "on line 3, the rest of the template is written only when it is not selected\n"},
      {{"{{Icon}}", "{{else}}", "{{else}}", "b"},
       "t:1:1: error: '{{Icon}}' opens a block that is never closed: from its last '{{else}}', "
       "on line 3, the rest of the template is written only when it is selected\n"
       "t:3:1: warning: a second '{{else}}' in the block '{{Icon}}' of line 1: it inverts "
       "skipping again\n"},
      {{"{{Icon}}", "  {{Size}}", "{{/}}"},
       "t:2:3: warning: '{{Size}}' inside the block '{{Icon}}' of line 1: blocks do not nest, so "
       "it sets skipping afresh\n"},
      {{"{{Icon}}", "x{{Size}}y{{/}}", "{{/}}"},
       "t:2:2: warning: '{{Size}}' inside the block '{{Icon}}' of line 1: blocks do not nest, so "
       "this single-line block ends that block\n"
       "t:3:1: error: '{{/}}' closes no open block\n"},
      {{"{{else}}", "{{/}}"},
       "t:1:1: error: '{{else}}' outside any block: it starts skipping up to the next closing "
       "marker\n"},
      {{"{{else}}"},
       "t:1:1: error: '{{else}}' outside any block: it starts skipping up to the next closing "
       "marker\n"},
      {{"x", " {{/Icon}}"}, "t:2:2: error: '{{/Icon}}' closes no open block\n"},
      {{"{{Icon}}", "{{else}}", "{{ELSE}}", "{{/}}"},
       "t:3:1: warning: a second '{{ELSE}}' in the block '{{Icon}}' of line 1: it inverts "
       "skipping again\n"},
      // Option names.
      {{"{{icon}}", "{{/}}"},
       "t:1:1: error: 'icon' is not an option name (they are case-sensitive: 'Icon'), so New App, "
       "Win and Child never select its block\n"},
      {{"x {{Icon }}y{{/}}"},
       "t:1:3: error: 'Icon ' is not an option name, so New App, Win and Child never select its "
       "block\n"},
      {{"{{}}", "{{/}}"},
       "t:1:1: error: '{{}}' names no option, so New App, Win and Child never select its block\n"},
      {{"{{a {{b}}", "{{/}}"},
       "t:1:1: error: 'a {{b' is not an option name, so New App, Win and Child never select its "
       "block\n"},
      // Placeholders are replaced before markers are read.
      {{"{{%title%}}", "{{/}}"},
       "t:1:1: warning: '{{%title%}}' holds a placeholder, which is replaced before markers are "
       "read: the value typed decides what this marker does\n"},
      // Marker forms.
      {{"a {{Icon"}, "t:1:3: error: '{{' without '}}' after it: the rest of the line is written as text\n"},
      {{"a }} b {{Icon"},
       "t:1:3: error: '}}' without '{{' before it is written as text\n"
       "t:1:8: error: '{{' without '}}' after it: the rest of the line is written as text\n"},
      {{"}}{{Icon}}x{{/}}"}, "t:1:1: error: '}}' without '{{' before it is written as text\n"},
      {{"}} {{Icon}}", "{{/}}}}"},
       "t:1:1: error: '}}' without '{{' before it is written as text\n"
       "t:2:6: error: '}}' without '{{' before it is written as text\n"},
      {{"{{Icon}}a{{b", "{{/}}"},
       "t:1:10: error: '{{' without '}}' after it: the rest of the line is written as text\n"},
      {{"{{Icon}}ab{{/Icon}}"},
       "t:1:11: error: a single-line block ends with exactly '{{/}}', not '{{/Icon}}'\n"},
      {{"{{Icon}}a{{Size}}b"},
       "t:1:10: error: a single-line block ends with exactly '{{/}}', not '{{Size}}'\n"},
      {{"{{Icon}}a{{else}}b{{/x}}"},
       "t:1:19: error: a single-line block ends with exactly '{{/}}', not '{{/x}}'\n"},
      {{"{{Icon}}a{{else}}b"},
       "t:1:10: error: single-line block without '{{/}}' after its '{{else}}': the else text "
       "runs to the end of the line\n"},
      {{"{{Icon}}a{{else}}b{{c"},
       "t:1:10: error: single-line block without '{{/}}' after its '{{else}}': the else text "
       "runs to the end of the line\n"
       "t:1:19: error: '{{' without '}}' after it: the rest of the line is written as text\n"},
      {{"{{Icon}}a{{/}}b{{Key}}c{{/}}"},
       "t:1:16: error: '{{Key}}' is written as text: the engine acts on at most two markers on a "
       "line, three with '{{else}}'\n"},
      {{"{{Icon}}a{{else}}b{{/}}{{x"},
       "t:1:24: error: '{{' is written as text: the engine acts on at most two markers on a "
       "line, three with '{{else}}'\n"},
      {{"{{Icon}}", "{{/}} x {{Size}}"},
       "t:2:9: error: '{{Size}}' after a closing marker on its line is removed and has no effect\n"},
      {{"{{Icon}}", "{{/}}a{{Size}}b{{Key}}c"},
       "t:2:7: error: '{{Size}}' after a closing marker on its line is removed and leaves the "
       "markers after it as text\n"
       "t:2:16: error: '{{Key}}' is written as text: the engine acts on at most two markers on a "
       "line, three with '{{else}}'\n"},
      {{"{{/}}a{{else}}b{{/}}c"},
       "t:1:1: error: '{{/}}' closes no open block\n"
       "t:1:7: error: '{{else}}' after a closing marker on its line drops the text after it up "
       "to '{{/}}'\n"},
      {{"{{Icon}}", "{{/}}a{{else}}b"},
       "t:2:7: error: '{{else}}' after a closing marker on its line drops the text after it to "
       "the end of the line\n"},
      {{"{{Icon}}", "{{else}} ' none", "{{/}}"},
       "t:2:1: warning: text on the line of '{{else}}' is never written\n"},
      {{"{{Icon}}", "{{else}}{{/}}", "{{/}}"},
       "t:2:9: error: '{{/}}' after '{{else}}' on its line has no effect\n"},
      // Placeholders.
      {{"' %prefix% and %desc%"},
       "t:1:3: warning: '%prefix%' is the dialog's label, not a placeholder: it is written as it "
       "is (the placeholder is '%pfx%')\n"
       "t:1:16: warning: '%desc%' is the dialog's label, not a placeholder: it is written as it "
       "is (the placeholder is '%description%')\n"},
      {{"%PFX%%Author%", "%Prefix%"},
       "t:1:1: warning: '%PFX%' is not a placeholder: placeholders are lower case ('%pfx%')\n"
       "t:1:6: warning: '%Author%' is not a placeholder: placeholders are lower case ('%author%')\n"
       "t:2:1: warning: '%Prefix%' is the dialog's label, not a placeholder: it is written as it "
       "is (the placeholder is '%pfx%')\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.findings, lint(c.lines)) << joinLines(c.lines);
}

TEST(TemplateLint, ReadsLinesAsTheEngineDoes) {
  // A lone LF ends a line, as a CR does; 0x1A ends the template.
  EXPECT_EQ("t:3:1: error: '{{/}}' closes no open block\n",
            [] {
              std::string report;
              for (const LintFinding& f : lintTemplate("a\rb\n{{/}}\r\n\x1A{{else}}\r\n"))
                report += formatLintFinding("t", f);
              return report;
            }());
}

// What the author of a clean template means: blocks as written, each line
// kept or dropped by its own block, the chosen branch of a single-line
// block. A plain reading of the marker forms, independent of the engine's.
std::string meantExpansion(const std::vector<std::string>& lines, const TemplateValues& values) {
  static const std::regex kMarker(R"(\{\{([^}]*)\}\})");
  std::string out;
  bool inBlock = false, selected = false, inElse = false;
  auto writeLine = [&out](const std::string& text) { out += text + "\r\n"; };
  auto writeUnlessBlanks = [&](const std::string& text) {
    if (text.find_first_not_of(' ') != std::string::npos) writeLine(text);
  };
  for (const std::string& raw : lines) {
    std::string line = substitutePlaceholders(raw, values).value();
    std::vector<std::smatch> markers;
    for (std::sregex_iterator it(line.begin(), line.end(), kMarker), end; it != end; ++it)
      markers.push_back(*it);
    auto isSelected = [&](const std::smatch& m) { return values.options.contains(m[1].str()); };
    if (markers.empty()) {
      if (!inBlock || selected != inElse) writeLine(line);
    } else if (markers.size() == 1) {
      std::string name = markers[0][1].str(), around = markers[0].prefix().str() + markers[0].suffix().str();
      if (name[0] == '/') {
        inBlock = false;
        writeUnlessBlanks(around);
      } else if (std::regex_match(name, std::regex("else", std::regex::icase))) {
        inElse = true;
      } else {
        inBlock = true, inElse = false, selected = isSelected(markers[0]);
        if (selected) writeUnlessBlanks(around);
      }
    } else {
      std::string head = markers[0].prefix().str(), tail = markers.back().suffix().str();
      std::string thenText = line.substr(markers[0].position() + markers[0].length(),
                             markers[1].position() - markers[0].position() - markers[0].length());
      std::string elseText = markers.size() == 3
                                 ? line.substr(markers[1].position() + markers[1].length(),
                                               markers[2].position() - markers[1].position() -
                                                   markers[1].length())
                                 : "";
      writeUnlessBlanks(head + (isSelected(markers[0]) ? thenText : elseText) + tail);
    }
  }
  return out;
}

// A template the lint passes is proven clean: under every one of the 2,048
// option sets the engine writes what its author meant, and no marker text.
TEST(TemplateLint, CleanTemplatesExpandAsMeant) {
  const std::vector<std::vector<std::string>> templates = {
      kWorkedExample,
      {"a", "{{Accel}}", "\tb", "{{ELSE}}", "c", "{{/Accel}}", "\t{{Key}}k{{/}}", " {{Size}} ", "s",
       "{{/}} after", "", "x{{Paint}}p{{Else}}q{{/}}y", "{{Resource}}", "{{/}}"},
      {"{{ExitLast}} first", "e", "{{/}}", "{{AddMem}}", "m", "{{else}}", "n", "{{/}}",
       "{{Activate}}a{{/}}{{Param}}"},
  };
  TemplateValues values{.namePrefix = "demo", .author = "R&D", .title = "Demo"};
  for (size_t t = 0; t < templates.size(); ++t) {
    // The last template is not clean: the lint must say so, and the
    // expansion check below must see the surprise it names.
    const bool clean = t + 1 < templates.size();
    EXPECT_EQ(clean, lint(templates[t]).empty()) << t << "\n" << lint(templates[t]);
    bool allMeant = true;
    for (unsigned mask = 0; mask < (1u << 11); ++mask) {
      values.options.clear();
      for (unsigned bit = 0; bit < 11; ++bit)
        if (mask & (1u << bit)) values.options.insert(kTemplateOptionNames[bit]);
      std::string expanded = expandTemplate(joinLines(templates[t]), values).value();
      bool meant = expanded == meantExpansion(templates[t], values) &&
                   expanded.find("{{") == std::string::npos &&
                   expanded.find("}}") == std::string::npos;
      if (clean) {
        ASSERT_TRUE(meant) << "template " << t << " options " << mask << "\n" << expanded;
      }
      allMeant = allMeant && meant;
    }
    if (!clean) {
      EXPECT_FALSE(allMeant) << t;
    }
  }
}

// The expansions of a template under all 2,048 option sets.
std::vector<std::string> everyExpansion(const std::vector<std::string>& lines) {
  TemplateValues values{.namePrefix = "demo"};
  std::vector<std::string> out;
  for (unsigned mask = 0; mask < (1u << 11); ++mask) {
    values.options.clear();
    for (unsigned bit = 0; bit < 11; ++bit)
      if (mask & (1u << bit)) values.options.insert(kTemplateOptionNames[bit]);
    out.push_back(expandTemplate(joinLines(lines), values).value());
  }
  return out;
}

// What the lint says has no effect, or is never written, can be deleted
// without changing the output under any option set.
TEST(TemplateLint, WhatHasNoEffectCanGo) {
  const std::vector<std::vector<std::string>> templates = {
      {"{{Icon}}", "a", "{{/}} x {{Size}}", "b"},
      {"{{Icon}}", "{{/}}a{{Size}}b", "{{Key}}", "{{/}}{{Paint}} c"},
      {"{{Icon}}", "{{else}}{{/}}", "x", "{{/}}"},
      {"{{Key}}", "k {{else}} never {{Size}}x", "y", "{{/}}"},
      {"{{/}}a{{else}}b{{/}}c", "{{Icon}}", "{{/}}q{{else}}r"},
  };
  for (const std::vector<std::string>& lines : templates) {
    const std::vector<std::string> expected = everyExpansion(lines);
    for (const LintFinding& finding : lintTemplate(joinLines(lines))) {
      std::vector<std::string> without = lines;
      std::string& line = without[finding.line - 1];
      if (finding.message.ends_with("has no effect")) {
        std::optional<TemplateMarker> marker = findTemplateMarker(line, finding.column - 1);
        ASSERT_TRUE(marker && marker->begin == finding.column - 1) << finding.message;
        line.erase(marker->begin, marker->end - marker->begin);
      } else if (finding.message.ends_with("is never written")) {
        std::string markers;
        for (auto m = findTemplateMarker(line, 0); m; m = findTemplateMarker(line, m->end))
          markers += line.substr(m->begin, m->end - m->begin);
        line = markers;
      } else {
        continue;
      }
      EXPECT_EQ(expected, everyExpansion(without)) << formatLintFinding("t", finding);
    }
  }
  // The claims are there to test.
  EXPECT_EQ("t:3:9: error: '{{Size}}' after a closing marker on its line is removed and has no "
            "effect\n",
            lint(templates[0]));
}

}  // namespace
}  // namespace codeloom
