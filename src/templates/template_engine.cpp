#include "templates/template_engine.h"

#include "platform/ansi.h"
#include "platform/text_lines.h"

namespace codeloom {
namespace {

constexpr auto npos = std::string_view::npos;

// Every non-overlapping occurrence of placeholder, left to right; the
// inserted value is never scanned again.
std::string replaceAll(std::string_view text, std::string_view placeholder,
                       std::string_view value) {
  std::string out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t at = text.find(placeholder); at != npos; at = text.find(placeholder, from)) {
    out.append(text.substr(from, at - from));
    out.append(value);
    from = at + placeholder.size();
  }
  out.append(text.substr(from));
  return out;
}

bool isAllBlanks(std::string_view text) { return text.find_first_not_of(' ') == npos; }

// The text of a line whose first marker is already removed (rest = head +
// the rest), when the rest holds a further marker: the block ends on this
// line. Keeps head, the branch chosen by skipping, and the tail.
std::string takeSingleLineBlock(const LineMarkers& markers, bool skipping) {
  std::string_view rest = markers.rest;
  const size_t headSize = markers.first->begin;
  const TemplateMarker& second = *markers.second;
  std::string_view head = rest.substr(0, headSize);
  std::string_view thenText = rest.substr(headSize, second.begin - headSize);
  std::string text(head);
  if (isElseMarker(second)) {
    const std::optional<TemplateMarker>& end = markers.blockEnd;
    size_t elseEnd = end ? end->begin : rest.size();
    std::string_view elseText = rest.substr(second.end, elseEnd - second.end);
    text.append(skipping ? elseText : thenText);
    if (end) text.append(rest.substr(end->end));
  } else {
    if (!skipping) text.append(thenText);
    text.append(rest.substr(second.end));
  }
  return text;
}

}  // namespace

std::optional<TemplateMarker> findTemplateMarker(std::string_view line, size_t from) {
  size_t open = line.find("{{", from);
  if (open == npos) return std::nullopt;
  size_t close = line.find("}}", open + 2);
  if (close == npos) return std::nullopt;
  return TemplateMarker{open, close + 2, std::string(line.substr(open + 2, close - open - 2))};
}

bool isClosingMarker(const TemplateMarker& marker) {
  return !marker.name.empty() && marker.name[0] == '/';
}

bool isElseMarker(const TemplateMarker& marker) { return toLowerAnsi(marker.name) == "else"; }

LineMarkers readLineMarkers(std::string_view line) {
  LineMarkers markers;
  markers.first = findTemplateMarker(line, 0);
  if (!markers.first || isElseMarker(*markers.first)) return markers;
  const TemplateMarker& first = *markers.first;
  markers.rest.reserve(line.size() - (first.end - first.begin));
  markers.rest.append(line.substr(0, first.begin)).append(line.substr(first.end));
  markers.second = findTemplateMarker(markers.rest, first.begin);
  if (markers.second && isElseMarker(*markers.second))
    markers.blockEnd = findTemplateMarker(markers.rest, markers.second->end);
  return markers;
}

std::string substitutePlaceholders(std::string_view line, const ToolSettings& settings) {
  std::string text = replaceAll(line, "%pfx%", settings.templateName);
  text = replaceAll(text, "%upfx%", toUpperAnsi(settings.templateName));
  text = replaceAll(text, "%author%", settings.templateAuthor);
  text = replaceAll(text, "%title%", settings.templateTitle);
  return replaceAll(text, "%description%", settings.templateDescription);
}

std::optional<std::string> expandTemplateLine(TemplateExpander& expander, std::string_view line,
                                              const ToolSettings& settings) {
  std::string text = substitutePlaceholders(line, settings);
  LineMarkers markers = readLineMarkers(text);
  if (!markers.first) {
    if (expander.skipping) return std::nullopt;
    return text;
  }

  const TemplateMarker& first = *markers.first;
  if (isClosingMarker(first)) {
    expander.skipping = false;
  } else if (isElseMarker(first)) {
    expander.skipping = !expander.skipping;
    return std::nullopt;  // nothing else on an else line is ever written
  } else {
    // The empty name of "{{}}" is never an option, even in a set that holds
    // the empty key a settings file can leave behind.
    expander.skipping = first.name.empty() || !settings.templateOptions.contains(first.name);
  }

  if (markers.second) {
    text = takeSingleLineBlock(markers, expander.skipping);
    expander.skipping = false;
  } else {
    text = std::move(markers.rest);
  }

  if (expander.skipping || isAllBlanks(text)) return std::nullopt;
  return text;
}

std::string expandTemplate(std::string_view templateText, const ToolSettings& settings) {
  std::string output;
  TemplateExpander expander;
  LineReader reader(templateText);
  std::string_view line;
  while (reader.next(line)) {
    if (std::optional<std::string> written = expandTemplateLine(expander, line, settings)) {
      output += *written;
      output += "\r\n";
    }
  }
  return output;
}

}  // namespace codeloom
