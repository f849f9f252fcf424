#include "app/settings.h"

#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "platform/text_lines.h"

namespace codeloom {
namespace {

constexpr char kLineBreakMark = '\x7F';

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal value of the text: leading blanks skipped, a sign allowed,
// digits with at most one decimal point, up to the first character that
// cannot continue the number ("0.5" and ".5" are not zero). Only zero versus
// non-zero matters, and an exponent never makes a non-zero mantissa zero, so
// the digits alone decide and an overlong number cannot overflow anything.
bool isNonZeroNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  bool nonZero = false;
  bool seenPoint = false;
  for (; i < text.size(); ++i) {
    if (text[i] == '.' && !seenPoint) {
      seenPoint = true;
    } else if (isDigit(text[i])) {
      nonZero = nonZero || text[i] != '0';
    } else {
      break;
    }
  }
  return nonZero;
}

// Reading stops at the first 0x1A, so a field holding one would lose every
// later line of the file. Nothing typed holds it on purpose: it is dropped.
void appendField(std::string& text, std::string_view field) {
  for (char c : field)
    if (c != kEndOfFileByte) text.push_back(c);
  text += "\r\n";
}

// DEL stands for each line break, so the description fits on one line.
std::string encodeDescription(std::string_view description) {
  std::string line;
  line.reserve(description.size());
  for (size_t i = 0; i < description.size(); ++i) {
    char c = description[i];
    if (c == '\r') {
      if (i + 1 < description.size() && description[i + 1] == '\n') ++i;
      line.push_back(kLineBreakMark);
    } else {
      line.push_back(c);
    }
  }
  return line;
}

std::string decodeDescription(std::string_view line) {
  std::string description;
  description.reserve(line.size());
  for (char c : line) {
    if (c == kLineBreakMark)
      description += "\r\n";
    else
      description.push_back(c);
  }
  return description;
}

}  // namespace

OptionSet::OptionSet(std::initializer_list<std::string> names) {
  for (const std::string& name : names) add(name);
}

bool OptionSet::add(std::string_view name) {
  auto [it, inserted] = index_.emplace(name);
  if (inserted) names_.emplace_back(name);
  return inserted;
}

bool OptionSet::contains(std::string_view name) const {
  return index_.count(std::string(name)) != 0;
}

void OptionSet::clear() {
  names_.clear();
  index_.clear();
}

std::string formatSettings(const ToolSettings& s) {
  std::string text;
  for (const std::string* field : {&s.templateName, &s.templateAuthor, &s.templateTitle,
                                   &s.saveFolder, &s.className, &s.classProperties,
                                   &s.classMethods})
    appendField(text, *field);
  if (s.classMessages >= 0) text += ' ';  // a number not negative has a leading blank
  text += std::to_string(s.classMessages);
  text += "\r\n";
  // A comma goes between names, also after an empty first name: "" then
  // "a" is ",a", which reads back as both.
  const std::vector<std::string>& names = s.templateOptions.names();
  std::string options;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) options += ',';
    options += names[i];
  }
  appendField(text, options);
  appendField(text, encodeDescription(s.templateDescription));
  return text;
}

void parseSettings(std::string_view bytes, ToolSettings& s) {
  // A lone LF stays in its line: a description holds its line breaks so.
  LineReader reader(bytes, LineEnds::CrOrCrLf);
  auto nextLine = [&reader] {
    std::string_view line;
    return reader.next(line) ? line : std::string_view();
  };
  for (std::string* field : {&s.templateName, &s.templateAuthor, &s.templateTitle,
                             &s.saveFolder, &s.className, &s.classProperties, &s.classMethods})
    *field = nextLine();
  s.classMessages = isNonZeroNumber(nextLine()) ? -1 : 0;

  s.templateOptions.clear();
  for (std::string_view option : splitAtCommas(nextLine())) s.templateOptions.add(trimSpaces(option));
  s.templateDescription = decodeDescription(nextLine());
}

void loadSettings(Platform& platform, ToolSettings& settings) {
  if (!platform.pathExists(kSettingsFileName)) return;
  std::string bytes;
  if (!platform.readFile(kSettingsFileName, bytes)) bytes.clear();
  parseSettings(bytes, settings);
}

void saveSettings(Platform& platform, const ToolSettings& settings) {
  platform.writeFile(kSettingsFileName, formatSettings(settings));
}

}  // namespace codeloom
