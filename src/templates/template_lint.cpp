#include "templates/template_lint.h"

#include <algorithm>
#include <optional>

#include "platform/ansi.h"
#include "platform/text_lines.h"
#include "templates/template_dialog.h"
#include "templates/template_engine.h"

// GCC 12 warns, wrongly, that the insert at the front which "literal" +
// std::string inlines may overlap (-Wrestrict, GCC bug 105329): silenced
// at those statements alone.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#define CODELOOM_WRESTRICT_OFF \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wrestrict\"")
#define CODELOOM_WRESTRICT_ON _Pragma("GCC diagnostic pop")
#else
#define CODELOOM_WRESTRICT_OFF
#define CODELOOM_WRESTRICT_ON
#endif

namespace codeloom {
namespace {

constexpr auto npos = std::string_view::npos;

// The block the engine is in: opened by a marker, perhaps already past its
// else marker.
struct OpenBlock {
  size_t line = 0;
  size_t column = 0;
  std::string marker;  // as written, "{{Icon}}"
  bool openedByElse = false;
  int elses = 0;          // else markers seen in it: each inverts skipping
  size_t lastElseLine = 0;
};

std::string written(const TemplateMarker& marker) { return "{{" + marker.name + "}}"; }

class Linter {
 public:
  void lintLine(size_t number, std::string_view line);
  std::vector<LintFinding> finish();

 private:
  void report(size_t index, LintSeverity severity, std::string message) {
    findings_.push_back({line_, index + 1, severity, std::move(message)});
  }
  void checkPlaceholders(std::string_view line);
  void checkStrayClosings(std::string_view line);
  void checkOptionName(const TemplateMarker& marker);
  void lintElseLine(std::string_view line, const TemplateMarker& marker);
  void lintMarkersAfterFirst(const LineMarkers& markers);
  std::string blockOfLine() const {
    return "the block '" + open_->marker + "' of line " + std::to_string(open_->line);
  }

  std::vector<LintFinding> findings_;
  std::optional<OpenBlock> open_;
  size_t line_ = 0;
  size_t shift_ = 0;  // where a position in the line without its first marker lies in the line
  size_t firstBegin_ = 0;
  size_t inLine(size_t restIndex) const {
    return restIndex < firstBegin_ ? restIndex : restIndex + shift_;
  }
};

// The placeholders, and the dialog's label words people take for them.
constexpr std::string_view kPlaceholders[] = {"pfx", "upfx", "author", "title", "description"};
constexpr std::string_view kLabelWords[][2] = {{"prefix", "pfx"}, {"desc", "description"}};

void Linter::checkPlaceholders(std::string_view line) {
  for (size_t at = line.find('%'); at != npos; at = line.find('%', at + 1)) {
    auto wordIs = [&](std::string_view word) {
      return at + word.size() + 1 < line.size() && line[at + word.size() + 1] == '%' &&
             toLowerAnsi(line.substr(at + 1, word.size())) == word;
    };
    for (std::string_view word : kPlaceholders) {
      if (!wordIs(word) || line.substr(at + 1, word.size()) == word) continue;
      CODELOOM_WRESTRICT_OFF
      report(at, LintSeverity::Warning,
             "'" + std::string(line.substr(at, word.size() + 2)) +
                 "' is not a placeholder: placeholders are lower case ('%" + std::string(word) +
                 "%')");
      CODELOOM_WRESTRICT_ON
    }
    for (const auto& [label, placeholder] : kLabelWords) {
      if (!wordIs(label)) continue;
      CODELOOM_WRESTRICT_OFF
      report(at, LintSeverity::Warning,
             "'" + std::string(line.substr(at, label.size() + 2)) +
                 "' is the dialog's label, not a placeholder: it is written as it is (the "
                 "placeholder is '%" + std::string(placeholder) + "%')");
      CODELOOM_WRESTRICT_ON
    }
  }
}

// A "}}" that closes no marker is written as text.
void Linter::checkStrayClosings(std::string_view line) {
  size_t from = 0;
  auto strayUpTo = [&](size_t end) {
    for (size_t at = line.find("}}", from); at != npos && at + 2 <= end; at = line.find("}}", at + 2))
      report(at, LintSeverity::Error, "'}}' without '{{' before it is written as text");
  };
  for (std::optional<TemplateMarker> m = findTemplateMarker(line, 0); m;
       m = findTemplateMarker(line, from)) {
    strayUpTo(m->begin);
    from = m->end;
  }
  strayUpTo(line.size());
}

void Linter::checkOptionName(const TemplateMarker& marker) {
  const std::string& name = marker.name;
  for (std::string_view placeholder : kPlaceholders) {
    if (name.find(std::string("%").append(placeholder).append("%")) == std::string::npos) continue;
    CODELOOM_WRESTRICT_OFF
    report(marker.begin, LintSeverity::Warning,
           "'" + written(marker) + "' holds a placeholder, which is replaced before markers are "
           "read: the value typed decides what this marker does");
    CODELOOM_WRESTRICT_ON
    return;
  }
  for (const char* option : kTemplateOptionNames)
    if (name == option) return;
  if (name.empty()) {
    report(marker.begin, LintSeverity::Error,
           "'{{}}' names no option, so New App, Win and Child never select its block");
    return;
  }
  for (const char* option : kTemplateOptionNames) {
    if (toLowerAnsi(name) != toLowerAnsi(option)) continue;
    report(marker.begin, LintSeverity::Error,
           "'" + name + "' is not an option name (they are case-sensitive: '" + option +
               "'), so New App, Win and Child never select its block");
    return;
  }
  report(marker.begin, LintSeverity::Error,
         "'" + name + "' is not an option name, so New App, Win and Child never select its block");
}

void Linter::lintElseLine(std::string_view line, const TemplateMarker& marker) {
  if (!open_) {
    CODELOOM_WRESTRICT_OFF
    report(marker.begin, LintSeverity::Error,
           "'" + written(marker) + "' outside any block: it starts skipping up to the next "
           "closing marker");
    CODELOOM_WRESTRICT_ON
    open_ = OpenBlock{.line = line_,
                      .column = marker.begin + 1,
                      .marker = written(marker),
                      .openedByElse = true,
                      .elses = 1,
                      .lastElseLine = line_};
  } else {
    if (open_->elses > 0)
      report(marker.begin, LintSeverity::Warning,
             "a second '" + written(marker) + "' in " + blockOfLine() + ": it inverts skipping again");
    ++open_->elses;
    open_->lastElseLine = line_;
  }
  if (std::optional<TemplateMarker> next = findTemplateMarker(line, marker.end)) {
    CODELOOM_WRESTRICT_OFF
    report(next->begin, LintSeverity::Error,
           "'" + written(*next) + "' after '" + written(marker) + "' on its line has no effect");
    CODELOOM_WRESTRICT_ON
  }
  // Its text besides markers, which are reported on their own.
  std::string others(line);
  for (std::optional<TemplateMarker> m = findTemplateMarker(others, 0); m;
       m = findTemplateMarker(others, m->begin))
    others.erase(m->begin, m->end - m->begin);
  if (others.find_first_not_of(' ') != npos)
    report(marker.begin, LintSeverity::Warning,
           "text on the line of '" + written(marker) + "' is never written");
}

// The markers the engine acts on after the first (closing or opening) one,
// and what it leaves as text.
void Linter::lintMarkersAfterFirst(const LineMarkers& markers) {
  const TemplateMarker& first = *markers.first;
  std::string_view rest = markers.rest;
  if (!markers.second) {
    size_t open = rest.find("{{", first.begin);
    if (open != npos)
      report(inLine(open), LintSeverity::Error,
             "'{{' without '}}' after it: the rest of the line is written as text");
    return;
  }
  const TemplateMarker& second = *markers.second;
  const bool secondIsElse = isElseMarker(second);
  if (isClosingMarker(first) && secondIsElse) {
    // Taken as a single-line block that is not skipping: its else text goes.
    report(inLine(second.begin), LintSeverity::Error,
           "'" + written(second) + "' after a closing marker on its line drops the text after it " +
               (markers.blockEnd ? "up to '" + written(*markers.blockEnd) + "'"
                                 : std::string("to the end of the line")));
  } else if (isClosingMarker(first)) {
    // It ends a single-line block, so a marker after it stays text; with
    // none, removing it changes nothing.
    report(inLine(second.begin), LintSeverity::Error,
           "'" + written(second) + "' after a closing marker on its line is removed and " +
               (findTemplateMarker(rest, second.end) ? "leaves the markers after it as text"
                                                     : "has no effect"));
  } else if (secondIsElse && !markers.blockEnd) {
    report(inLine(second.begin), LintSeverity::Error,
           "single-line block without '{{/}}' after its '" + written(second) +
               "': the else text runs to the end of the line");
  } else {
    const TemplateMarker& end = secondIsElse ? *markers.blockEnd : second;
    if (end.name != "/")
      report(inLine(end.begin), LintSeverity::Error,
             "a single-line block ends with exactly '{{/}}', not '" + written(end) + "'");
  }
  const bool complete = !secondIsElse || markers.blockEnd;
  size_t last = markers.blockEnd ? markers.blockEnd->end : second.end;
  size_t open = rest.find("{{", last);
  if (open == npos) return;
  if (!complete) {
    report(inLine(open), LintSeverity::Error,
           "'{{' without '}}' after it: the rest of the line is written as text");
    return;
  }
  std::optional<TemplateMarker> beyond = findTemplateMarker(rest, last);
  CODELOOM_WRESTRICT_OFF
  report(inLine(open), LintSeverity::Error,
         "'" + (beyond ? written(*beyond) : std::string("{{")) +
             "' is written as text: the engine acts on at most two markers on a line, three "
             "with '{{else}}'");
  CODELOOM_WRESTRICT_ON
}

void Linter::lintLine(size_t number, std::string_view line) {
  line_ = number;
  checkPlaceholders(line);
  LineMarkers markers = readLineMarkers(line);
  if (!markers.first || !isElseMarker(*markers.first)) checkStrayClosings(line);
  if (!markers.first) {
    size_t open = line.find("{{");
    if (open != npos)
      report(open, LintSeverity::Error,
             "'{{' without '}}' after it: the rest of the line is written as text");
    return;
  }
  const TemplateMarker& first = *markers.first;
  if (isElseMarker(first)) {
    lintElseLine(line, first);
    return;
  }
  firstBegin_ = first.begin;
  shift_ = first.end - first.begin;
  const bool singleLineBlock = markers.second.has_value();
  if (isClosingMarker(first)) {
    if (!open_) report(first.begin, LintSeverity::Error, "'" + written(first) + "' closes no open block");
    open_.reset();
  } else {
    checkOptionName(first);
    if (open_)
      report(first.begin, LintSeverity::Warning,
             "'" + written(first) + "' inside " + blockOfLine() + ": blocks do not nest, so " +
                 (singleLineBlock ? "this single-line block ends that block"
                                  : "it sets skipping afresh"));
    // A single-line block leaves skipping off: no block is open after it.
    if (singleLineBlock) open_.reset();
    else open_ = OpenBlock{line_, first.begin + 1, written(first)};
  }
  lintMarkersAfterFirst(markers);
}

std::vector<LintFinding> Linter::finish() {
  if (open_ && !open_->openedByElse) {
    // Each else inverts skipping: the last one decides the rest.
    std::string rest = open_->elses == 0
                           ? "unless selected, it skips the rest of the template"
                           : "from its last '{{else}}', on line " +
                                 std::to_string(open_->lastElseLine) + ", the rest of the "
                                 "template is written only when it is " +
                                 (open_->elses % 2 ? "not selected" : "selected");
    findings_.push_back({open_->line, open_->column, LintSeverity::Error,
                         "'" + open_->marker + "' opens a block that is never closed: " + rest});
  }
  std::stable_sort(findings_.begin(), findings_.end(), [](const LintFinding& a, const LintFinding& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return std::move(findings_);
}

}  // namespace

std::vector<LintFinding> lintTemplate(std::string_view templateText) {
  Linter linter;
  LineReader reader(templateText);
  size_t number = 0;
  for (std::string_view line; reader.next(line);) linter.lintLine(++number, line);
  return linter.finish();
}

std::string formatLintFinding(std::string_view file, const LintFinding& finding) {
  std::string text(file);
  CODELOOM_WRESTRICT_OFF
  text += ":" + std::to_string(finding.line) + ":" + std::to_string(finding.column) + ": ";
  CODELOOM_WRESTRICT_ON
  text += finding.severity == LintSeverity::Error ? "error: " : "warning: ";
  text += finding.message;
  text += "\n";
  return text;
}

}  // namespace codeloom
