// The template engine of New App, New Win and New Child: placeholders and
// option blocks, one line at a time, with a single flag of state.
//
// Placeholders, replaced in this order, each on the result of the one before
// (so a value holding a later placeholder is replaced again): "%pfx%" by the
// name prefix, "%upfx%" by the upper-cased prefix, "%author%", "%title%",
// "%description%". Each scan is case-sensitive, left to right, and skips the
// text it has just inserted.
//
// Markers: "{{name}}". A name beginning with "/" ends skipping; "else" in any
// case inverts it and blanks the whole line; any other name opens a block that
// is skipped unless the name is in the option set (the empty name never is).
// Markers are acted on in skipped regions too; blocks do not nest. A second
// marker on the line makes it a single-line block: head, then-text,
// [{{else}} else-text,] end marker, tail; the line keeps head, the chosen
// branch and tail, and skipping is false afterwards. A line that held a
// marker is written only when not skipping and not all blanks.
//
// Malformed lines, each with a fixed result and never a failure:
// - A "{{" with no "}}" after it is plain text; a line whose first "{{" has
//   none holds no marker at all and is written as it is (unless skipping).
// - A marker ends at the first "}}" after its "{{"; a "}}" earlier on the
//   line is plain text ("}} {{Icon}}" acts as {{Icon}} with head "}} ").
// - The end of a single-line block is the whole next marker, whatever its
//   name: "{{/}}", "{{/Icon}}" and "{{Size}}" all end it and are removed.
// - A single-line block whose end marker is missing (the next "{{" has no
//   "}}", or there is none) ends at the end of the line: with {{else}} the
//   else-text runs to the end of the line; without it the line is handled as
//   a lone marker line, its further "{{" kept as text.
// - After a closing marker the line is handled in the same way: a second
//   marker makes a single-line block taken with skipping false (then-text
//   kept, else-text dropped, end marker removed).
// - Any "{{" after the end marker of a single-line block stays in the text.
//
// Size: since each replacement runs on the result of the one before, a value
// holding later placeholders multiplies, and a settings file of a few KB can
// ask for many GB. An expansion whose output would pass kMaxExpansionBytes is
// refused before it is built; so is one with a line whose substituted text
// would not fit in what is left, written or skipped (a line's markers are
// known only once its placeholders are replaced).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace codeloom {

// What a template is expanded with: the five placeholders' values and the
// selected options. Built from the settings by the commands; the engine
// needs nothing else of them.
struct TemplateValues {
  std::string namePrefix;                   // %pfx%; upper-cased for %upfx%
  std::string author;                       // %author%
  std::string title;                        // %title%
  std::string description;                  // %description%, lines separated by CR LF
  std::unordered_set<std::string> options;  // exact, case-sensitive names
};

// The most one expansion writes: 512 MiB, well above any real source file
// and above the 100 MB lines the engine is tested with.
constexpr size_t kMaxExpansionBytes = size_t{512} << 20;

// The line with the five placeholders replaced from values; nullopt when
// the text would pass limit bytes at any step.
std::optional<std::string> substitutePlaceholders(std::string_view line,
                                                  const TemplateValues& values,
                                                  size_t limit = kMaxExpansionBytes);

// A marker "{{name}}" occupying [begin, end) of its line.
struct TemplateMarker {
  size_t begin = 0;
  size_t end = 0;
  std::string name;
};

// The first "{{" at or after from, with the first "}}" after it; none when
// that "{{" has no "}}" after it (it and every later "{{" are then text).
std::optional<TemplateMarker> findTemplateMarker(std::string_view line, size_t from);

bool isClosingMarker(const TemplateMarker& marker);  // name begins with "/"
bool isElseMarker(const TemplateMarker& marker);     // "else" in any case

// The markers the engine acts on in one line, as it finds them: first in
// the line; when first is not an else marker, rest is the line without it,
// and second (a single-line block's else or end) and, after an else second,
// blockEnd are found in rest. The template lint reads lines with this too.
struct LineMarkers {
  std::optional<TemplateMarker> first;
  std::string rest;
  std::optional<TemplateMarker> second;
  std::optional<TemplateMarker> blockEnd;
};
LineMarkers readLineMarkers(std::string_view line);

// The state of one expansion: start a fresh one for every template.
struct TemplateExpander {
  bool skipping = false;
  size_t room = kMaxExpansionBytes;  // what the written lines and their CR LF may still take
  bool tooLarge = false;             // set once a line did not fit; no line is given after it
};

// Expands one template line (without its line end); nullopt when the line
// yields no output, or when it would not fit in the room left (tooLarge is
// then set). The output may hold CR LF pairs from the description.
std::optional<std::string> expandTemplateLine(TemplateExpander& expander, std::string_view line,
                                              const TemplateValues& values);

// Expands a whole template file's bytes, read as text lines, into the output
// file's bytes: every written line followed by CR LF. nullopt when the output
// would pass limit bytes: then nothing is to be written.
std::optional<std::string> expandTemplate(std::string_view templateText,
                                          const TemplateValues& values,
                                          size_t limit = kMaxExpansionBytes);

}  // namespace codeloom
