#include "templates/template_engine.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/worked_example.h"

namespace codeloom {
namespace {

TemplateValues demo(std::unordered_set<std::string> options = {"Icon", "Size"}) {
  return {.namePrefix = "demo",
          .author = "R&D",
          .title = "Demo",
          .description = "x\r\ny\r\nz",
          .options = std::move(options)};
}

std::string joinLines(const std::vector<std::string>& lines, const char* end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

TEST(TemplateEngine, Placeholders) {
  struct Case { const char* line; const char* expected; };
  for (Case c : {Case{"%pfx%", "demo"},
                 {"%upfx%", "DEMO"},
                 {"GLOBAL g%upfx%Count AS LONG", "GLOBAL gDEMOCount AS LONG"},
                 {"' %title% by %author%", "' Demo by R&D"},
                 {"<%description%>", "<x\r\ny\r\nz>"},
                 {"%pfx%%pfx%%upfx%", "demodemoDEMO"},
                 {"%%pfx%%", "%demo%"},
                 {"%pf%pfx%", "%pfdemo"},
                 {"%prefix% %desc% %PFX% %Title% %upfx", "%prefix% %desc% %PFX% %Title% %upfx"},
                 {"", ""},
                 {"%", "%"}}) {
    EXPECT_EQ(c.expected, substitutePlaceholders(c.line, demo())) << c.line;
  }
}

TEST(TemplateEngine, PlaceholderValuesAreReplacedByLaterSteps) {
  struct Case { const char* name; const char* description; const char* line; const char* expected; };
  for (Case c : {Case{"%title%", "", "%pfx%", "Demo"},
                 {"%author%", "", "%pfx%|%upfx%", "R&D|%AUTHOR%"},  // upper-cased first
                 {"%pfx%", "", "%pfx%", "%pfx%"},              // inserted text is not rescanned
                 {"%upfx%", "", "%pfx%", "%UPFX%"},
                 {"a", "%author% %pfx%", "%description%", "%author% %pfx%"},
                 {"", "", "g%upfx%_%pfx%.", "g_."},
                 {"\xE4\xF6x\xFF", "", "%upfx%", "\xC4\xD6X\x9F"}}) {  // Windows-1252 letters
    TemplateValues s = demo();
    s.namePrefix = c.name;
    s.description = c.description;
    EXPECT_EQ(c.expected, substitutePlaceholders(c.line, s)) << c.name;
  }
}

// One line from a given state: what is written and the state after it.
TEST(TemplateEngine, OneLine) {
  struct Case {
    const char* line;
    bool skippingBefore;
    std::optional<std::string> written;
    bool skippingAfter;
  };
  const auto none = std::nullopt;
  const Case cases[] = {
      // Lines without a marker.
      {"plain %pfx%", false, "plain demo", false},
      {"plain", true, none, true},
      {"", false, "", false},
      {"   ", false, "   ", false},
      // Opening markers: Icon and Size are selected.
      {"{{Icon}}", false, none, false},
      {"{{Icon}}", true, none, false},
      {"  {{Icon}}  ", false, none, false},
      {"\t{{Icon}}", false, "\t", false},
      {"a {{Icon}} b", false, "a  b", false},
      {"{{Mouse}}", false, none, true},
      {"a {{Mouse}} b", false, none, true},
      {"{{icon}}", false, none, true},
      {"{{ Icon}}", false, none, true},
      {"{{}}", false, none, true},
      {"{{els}}", false, none, true},
      // Else markers.
      {"{{else}}", false, none, true},
      {"{{else}}", true, none, false},
      {"{{ELSE}}", false, none, true},
      {"  {{eLsE}}", true, none, false},
      {"x {{else}} y", false, none, true},
      {"x {{else}} y", true, none, false},
      {"{{else}}{{/}}", false, none, true},
      {"{{else}}{{Icon}}a{{/}}", true, none, false},
      // Closing markers.
      {"{{/}}", true, none, false},
      {"{{/Icon}}", true, none, false},
      {"{{/x}}", false, none, false},
      {"  {{/Mouse}}  ", true, none, false},
      {"a{{/}}b", true, "ab", false},
      {"\t{{/}}", true, "\t", false},
      // Single-line blocks.
      {"f({{Icon}}p{{/}})", false, "f(p)", false},
      {"f({{Icon}}p{{/}})", true, "f(p)", false},
      {"f({{Param}}p{{/}})", false, "f()", false},
      {"FUNCTION demoMain() {{Param}}BYVAL p AS LONG{{/}}", false, "FUNCTION demoMain() ", false},
      {"x = 1 {{Size}}+ w{{else}}+ 0{{/}}", false, "x = 1 + w", false},
      {"x = 1 {{Mouse}}+ w{{else}}+ 0{{/}}", false, "x = 1 + 0", false},
      {"{{Mouse}}a{{ELSE}}b{{/}}c", true, "bc", false},
      {"{{Icon}}a{{Else}}b{{/}}c", true, "ac", false},
      {"{{Icon}}{{/}}", false, none, false},
      {"{{Mouse}}x{{/}}  ", false, none, false},
      {"{{Icon}}a{{/}}b{{Size}}c{{/}}", false, "ab{{Size}}c{{/}}", false},
      {"{{Icon}}a{{else}}b{{/}}c{{/}}", false, "ac{{/}}", false},
      // Malformed: a "{{" without a "}}" after it is plain text.
      {"a {{ b", false, "a {{ b", false},
      {"a {{ b", true, none, true},
      {"{{", false, "{{", false},
      {"{{}", false, "{{}", false},
      {"}}{{Mouse", false, "}}{{Mouse", false},
      {"{{else", false, "{{else", false},
      // Malformed: a "}}" before the marker is plain text.
      {"}} {{Icon}}", false, "}} ", false},
      {"}} {{Mouse}}", false, none, true},
      {"{{{Icon}}}", false, none, true},  // the name is "{Icon"
      // Malformed: any second marker ends a single-line block.
      {"{{Icon}}a{{/Icon}}b", false, "ab", false},
      {"{{Mouse}}a{{/Mouse}}b", false, "b", false},
      {"{{Mouse}}a{{Size}}b", false, "b", false},
      {"{{Icon}}a{{}}b", false, "ab", false},
      {"{{Icon}}a{{else}}b{{/x}}c", false, "ac", false},
      // Malformed: no end marker after {{else}}: the block ends with the line.
      {"{{Icon}}a{{else}}b", false, "a", false},
      {"{{Mouse}}a{{else}}b", false, "b", false},
      {"{{Mouse}}a{{else}}b{{c", false, "b{{c", false},
      {"{{Icon}}a{{else}}b{{c", false, "a", false},
      // Malformed: no end marker at all: a lone marker line, the "{{" kept.
      {"{{Icon}}a{{ b", false, "a{{ b", false},
      {"{{Mouse}}a{{ b", false, none, true},
      // Malformed: a further marker after a closing marker.
      {"{{/}}a{{Mouse}}b", true, "ab", false},
      {"{{/}}a{{Mouse}}b{{/}}c", true, "ab{{/}}c", false},
      {"{{/}}a{{else}}b{{/}}c", true, "ac", false},
  };
  for (const Case& c : cases) {
    TemplateExpander expander{c.skippingBefore};
    EXPECT_EQ(c.written, expandTemplateLine(expander, c.line, demo()))
        << c.line << " skipping " << c.skippingBefore;
    EXPECT_EQ(c.skippingAfter, expander.skipping) << c.line << " skipping " << c.skippingBefore;
  }
}

TEST(TemplateEngine, WorkedExamples) {
  EXPECT_EQ(
      "' Demo by R&D\r\nGLOBAL gDEMOCount AS LONG\r\n  LoadIcon demoIcon\r\n"
      "FUNCTION demoMain() \r\n  x = 1 + w\r\n\r\n  END FUNCTION\r\n",
      expandTemplate(joinLines(kWorkedExample), demo({"Icon", "Size"})));
  EXPECT_EQ(
      "' Demo by R&D\r\nGLOBAL gDEMOCount AS LONG\r\n  ' no icon\r\n"
      "FUNCTION demoMain() BYVAL p AS LONG\r\n  x = 1 + 0\r\n\r\n  ' mouse\r\n  END FUNCTION\r\n",
      expandTemplate(joinLines(kWorkedExample), demo({"Param", "Mouse"})));
}

TEST(TemplateEngine, WholeTemplates) {
  struct Case { std::vector<std::string> lines; const char* expected; };
  const Case cases[] = {
      {{"a %pfx%", "", "b"}, "a demo\r\n\r\nb\r\n"},
      {{}, ""},
      // Block of an option that is not selected, never closed: the rest goes.
      {{"a", "{{Mouse}}", "b", "{{else}}", "c", "{{else}}", "d"}, "a\r\nc\r\n"},
      // No nesting: the inner marker decides, the first closing marker ends all.
      {{"{{Mouse}}", "a", "{{Icon}}", "b", "{{/Icon}}", "c", "{{/Mouse}}", "d"},
       "b\r\nc\r\nd\r\n"},
      {{"{{Icon}}", "a", "{{Mouse}}", "b", "{{/Mouse}}", "c"}, "a\r\nc\r\n"},
      // An else marker outside a block skips up to the next closing marker.
      {{"a", "{{else}}", "b", "{{/}}", "c"}, "a\r\nc\r\n"},
      // Text around a closing marker is written; around a dropped opening one not.
      {{"x{{Mouse}}y", "m", "p{{/}}q"}, "pq\r\n"},
      // The description's lines stay inside one written line.
      {{"' <%description%>"}, "' <x\r\ny\r\nz>\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, expandTemplate(joinLines(c.lines), demo())) << joinLines(c.lines, "|");
}

TEST(TemplateEngine, ValuesActAsMarkers) {
  TemplateValues s = demo();
  s.namePrefix = "{{Mouse}}";
  EXPECT_EQ("b\r\n", expandTemplate("a%pfx%\r{{/}}b\r", s));
  s.title = "{{else}}";
  EXPECT_EQ("", expandTemplate("%title%\rhidden\r", s));
}

TEST(TemplateEngine, EmptyKeyNeverSelectsTheEmptyMarker) {
  EXPECT_EQ("", expandTemplate("{{}}\r\nhidden\r\n", demo({""})));
  EXPECT_EQ("shown\r\n", expandTemplate("{{}}\r\nhidden\r\n{{else}}\r\nshown\r\n", demo({""})));
}

// Output is refused whole once it would pass the limit, counting each line's
// CR LF; nothing is built past it.
TEST(TemplateEngine, OutputLimit) {
  struct Case { const char* text; size_t limit; std::optional<std::string> expected; };
  const Case cases[] = {
      {"abc\r", 5, "abc\r\n"},
      {"abc\r", 4, std::nullopt},
      {"ab\rcd\r", 8, "ab\r\ncd\r\n"},
      {"ab\rcd\r", 7, std::nullopt},                   // the second line does not fit
      {"%pfx%%pfx%\r", 10, "demodemo\r\n"},
      {"%pfx%%pfx%\r", 9, std::nullopt},
      {"{{Mouse}}\r%pfx%%pfx%%pfx%\r{{/}}\r", 10, std::nullopt},  // skipped, still too large
      {"{{Mouse}}\r%pfx%%pfx%\r{{/}}\rok\r", 9, "ok\r\n"},
      {"%pfx%{{Icon}}\r", 12, "demo\r\n"},           // markers go once it is built
      {"\r\r\r", 6, "\r\n\r\n\r\n"},
      {"\r\r\r", 5, std::nullopt},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    std::optional<std::string> output = expandTemplate(c.text, demo({"Icon"}), c.limit);
    EXPECT_EQ(c.expected, output) << c.text << " " << c.limit;
  }
}

// A few KB of values that each hold the next placeholder many times ask for
// terabytes: refused at once, without building them.
TEST(TemplateEngine, ExplodingValuesAreRefused) {
  auto times = [](const char* text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
  };
  TemplateValues s = demo();
  s.namePrefix = times("%author%", 1000);
  s.author = times("%title%", 1000);
  s.title = times("%description%", 1000);
  s.description = times("x", 1000);
  EXPECT_EQ(std::nullopt, substitutePlaceholders("%pfx%", s));
  EXPECT_EQ(std::nullopt, expandTemplate("first\r%pfx%\rlast\r", s));
  s.title = "t";  // a million "t": big, but within the limit
  EXPECT_EQ(1000000u + 2, expandTemplate("%pfx%\r", s).value().size());
  EXPECT_EQ(kMaxExpansionBytes, size_t{512} * 1024 * 1024);
}

TEST(TemplateEngine, ReadsTextLines) {
  // A line ends at CR, CR LF or a lone LF; 0x1A ends the file.
  EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n", expandTemplate("a\rb\nc\r\nd\x1A" "e\r\n", demo()));
  // A template as git stores it, with LF line ends, expands line by line.
  EXPECT_EQ("' demo\r\nLoadIcon\r\n", expandTemplate("' %pfx%\n{{Icon}}\nLoadIcon\n{{else}}\nNone\n{{/}}\n", demo()));
}

// Every short line over an alphabet of marker pieces, from both states:
// expansion never fails or reads outside the line, and never grows a line
// that holds no placeholder.
TEST(TemplateEngine, AnyLineIsSafe) {
  const std::vector<std::string> pieces = {"{{", "}}", "{", "}", "/", "else", "Icon", "x", " "};
  const TemplateValues values = demo();
  std::vector<std::string> lines = {""};
  for (int length = 0; length < 5; ++length) {
    std::vector<std::string> longer;
    for (const std::string& line : lines)
      for (const std::string& piece : pieces) longer.push_back(line + piece);
    for (const std::string& line : longer) {
      for (bool skipping : {false, true}) {
        TemplateExpander expander{skipping};
        std::optional<std::string> written = expandTemplateLine(expander, line, values);
        EXPECT_LE(written.value_or("").size(), line.size()) << line;
      }
    }
    lines = std::move(longer);
  }
}

// NUL, 0x1A, lone CR and LF and high bytes in templates: plain text, except
// where the line rules end a line or the file.
TEST(TemplateEngine, ByteClasses) {
  using namespace std::string_literals;
  struct Case { std::string text, expected; };
  const Case cases[] = {
      {"a\0b %pfx%\x80\xFF"s, "a\0b demo\x80\xFF\r\n"s},
      {"{{Ic\0on}}\r\nx\r\n{{/}}\r\ny"s, "y\r\n"},      // not the option Icon
      {"{{Icon}}\n", ""},                                 // an LF ends the marker's line
      {"{{Ic\ron}}\r\n", "{{Ic\r\non}}\r\n"},            // a CR splits the marker
      {"{{\xC9}}\r\nx\r\n{{/\xC9}}\r\ny", "y\r\n"},
      {"{{Size}}a{{\x1A}}b{{/}}", "a{{\r\n"},            // the file ends at 0x1A
      {"\x1A{{Icon}}", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, expandTemplate(c.text, demo())) << c.text;
}

}  // namespace
}  // namespace codeloom
