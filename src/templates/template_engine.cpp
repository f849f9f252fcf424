#include "templates/template_engine.h"

#include <utility>

#include "platform/ansi.h"
#include "platform/text_lines.h"

namespace codeloom {
namespace {

constexpr auto npos = std::string_view::npos;

// out = text with every non-overlapping occurrence of placeholder replaced,
// left to right; the inserted value is never scanned again. The size is
// counted first, so a result that would pass limit is refused unbuilt.
bool replaceAll(std::string_view text, std::string_view placeholder, std::string_view value,
                size_t limit, std::string& out) {
  size_t count = 0;
  for (size_t at = text.find(placeholder); at != npos;
       at = text.find(placeholder, at + placeholder.size()))
    ++count;
  // No overflow: text and value both fit in memory, and count * 5 <= text.size().
  const size_t size = text.size() - count * placeholder.size() + count * value.size();
  if (size > limit) return false;
  out.clear();
  out.reserve(size);
  size_t from = 0;
  for (size_t at = text.find(placeholder); at != npos; at = text.find(placeholder, from)) {
    out.append(text.substr(from, at - from));
    out.append(value);
    from = at + placeholder.size();
  }
  out.append(text.substr(from));
  return true;
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

// A line to be written, with its CR LF, when it fits in the room left.
std::optional<std::string> takeRoom(TemplateExpander& expander, std::string text) {
  if (text.size() + 2 > expander.room) {
    expander.tooLarge = true;
    return std::nullopt;
  }
  expander.room -= text.size() + 2;
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

std::optional<std::string> substitutePlaceholders(std::string_view line,
                                                  const TemplateValues& values, size_t limit) {
  const std::string upperName = toUpperAnsi(values.namePrefix);
  const std::pair<std::string_view, std::string_view> steps[] = {
      {"%pfx%", values.namePrefix},
      {"%upfx%", upperName},
      {"%author%", values.author},
      {"%title%", values.title},
      {"%description%", values.description},
  };
  std::string text;
  std::string next;
  std::string_view source = line;
  for (auto [placeholder, value] : steps) {
    if (!replaceAll(source, placeholder, value, limit, next)) return std::nullopt;
    text.swap(next);
    source = text;
  }
  return text;
}

std::optional<std::string> expandTemplateLine(TemplateExpander& expander, std::string_view line,
                                              const TemplateValues& values) {
  if (expander.tooLarge) return std::nullopt;
  std::optional<std::string> substituted = substitutePlaceholders(line, values, expander.room);
  if (!substituted) {
    expander.tooLarge = true;
    return std::nullopt;
  }
  std::string& text = *substituted;
  LineMarkers markers = readLineMarkers(text);
  if (!markers.first) {
    if (expander.skipping) return std::nullopt;
    return takeRoom(expander, std::move(text));
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
    expander.skipping = first.name.empty() || !values.options.contains(first.name);
  }

  if (markers.second) {
    text = takeSingleLineBlock(markers, expander.skipping);
    expander.skipping = false;
  } else {
    text = std::move(markers.rest);
  }

  if (expander.skipping || isAllBlanks(text)) return std::nullopt;
  return takeRoom(expander, std::move(text));
}

std::optional<std::string> expandTemplate(std::string_view templateText,
                                          const TemplateValues& values, size_t limit) {
  std::string output;
  TemplateExpander expander;
  expander.room = limit;
  LineReader reader(templateText);
  std::string_view line;
  while (reader.next(line)) {
    if (std::optional<std::string> written = expandTemplateLine(expander, line, values)) {
      output += *written;
      output += "\r\n";
    }
  }
  if (expander.tooLarge) return std::nullopt;
  return output;
}

}  // namespace codeloom
