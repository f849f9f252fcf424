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

// A marker "{{name}}" occupying [begin, end) of its line.
struct Marker {
  size_t begin = 0;
  size_t end = 0;
  std::string name;
};

// The first "{{" at or after from, with the first "}}" after it. A "{{"
// without a "}}" after it is plain text, and then so is every later "{{".
std::optional<Marker> findMarker(std::string_view line, size_t from) {
  size_t open = line.find("{{", from);
  if (open == npos) return std::nullopt;
  size_t close = line.find("}}", open + 2);
  if (close == npos) return std::nullopt;
  return Marker{open, close + 2, std::string(line.substr(open + 2, close - open - 2))};
}

bool isClosing(const Marker& marker) { return !marker.name.empty() && marker.name[0] == '/'; }

bool isElse(const Marker& marker) { return toLowerAnsi(marker.name) == "else"; }

bool isAllBlanks(std::string_view text) { return text.find_first_not_of(' ') == npos; }

// The text of a line whose first marker is already removed (line = head +
// the rest), when the rest holds a further marker: the block ends on this
// line. Keeps head, the branch chosen by skipping, and the tail.
std::string takeSingleLineBlock(std::string_view line, size_t headSize, const Marker& second,
                                bool skipping) {
  std::string_view head = line.substr(0, headSize);
  std::string_view thenText = line.substr(headSize, second.begin - headSize);
  std::string text(head);
  if (isElse(second)) {
    std::optional<Marker> end = findMarker(line, second.end);
    size_t elseEnd = end ? end->begin : line.size();
    std::string_view elseText = line.substr(second.end, elseEnd - second.end);
    text.append(skipping ? elseText : thenText);
    if (end) text.append(line.substr(end->end));
  } else {
    if (!skipping) text.append(thenText);
    text.append(line.substr(second.end));
  }
  return text;
}

}  // namespace

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
  std::optional<Marker> first = findMarker(text, 0);
  if (!first) {
    if (expander.skipping) return std::nullopt;
    return text;
  }

  if (isClosing(*first)) {
    expander.skipping = false;
  } else if (isElse(*first)) {
    expander.skipping = !expander.skipping;
    return std::nullopt;  // nothing else on an else line is ever written
  } else {
    // The empty name of "{{}}" is never an option, even in a set that holds
    // the empty key a settings file can leave behind.
    expander.skipping = first->name.empty() || !settings.templateOptions.contains(first->name);
  }

  text.erase(first->begin, first->end - first->begin);
  if (std::optional<Marker> second = findMarker(text, first->begin)) {
    text = takeSingleLineBlock(text, first->begin, *second, expander.skipping);
    expander.skipping = false;
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
