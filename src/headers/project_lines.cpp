#include "headers/project_lines.h"

#include "platform/ansi.h"

namespace codeloom {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Reads a line from the left, a word or a literal at a time.
struct LineReader {
  std::string_view rest;

  // Skips blanks; false when there were none.
  bool skipBlanks() {
    size_t blanks = 0;
    while (blanks < rest.size() && isBlank(rest[blanks])) ++blanks;
    rest.remove_prefix(blanks);
    return blanks > 0;
  }

  // Takes a keyword (lower case, a leading "#" included) that is not the
  // start of a longer word.
  bool takeWord(std::string_view word) {
    if (rest.size() < word.size() || toLowerAnsi(rest.substr(0, word.size())) != word) return false;
    if (rest.size() > word.size() && isWordChar(rest[word.size()])) return false;
    rest.remove_prefix(word.size());
    return true;
  }

  // Takes a word of letters, digits and "_".
  std::string_view takeName() {
    size_t length = 0;
    while (length < rest.size() && isWordChar(rest[length])) ++length;
    std::string_view name = rest.substr(0, length);
    rest.remove_prefix(length);
    return name;
  }

  bool takeChar(char c) {
    if (rest.empty() || rest.front() != c) return false;
    rest.remove_prefix(1);
    return true;
  }

  // Takes a string literal; nothing when there is none, it does not end,
  // or it holds a doubled quote (a quote of its own).
  std::optional<std::string_view> takeLiteral() {
    if (!rest.starts_with('"')) return std::nullopt;
    size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) return std::nullopt;
    if (close + 1 < rest.size() && rest[close + 1] == '"') return std::nullopt;
    std::string_view text = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
    return text;
  }

  // Whether only blanks and perhaps a comment ("'" or REM) are left.
  bool atEnd() {
    skipBlanks();
    return rest.empty() || rest.front() == '\'' || takeWord("rem");
  }
};

bool isSoundFileName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name)
    if (c == '"' || static_cast<unsigned char>(c) < 32 || c == '\x7F') return false;
  return true;
}

std::string_view afterFolders(std::string_view path) {
  size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::optional<MarkingMacro> parseMarkingMacro(std::string_view line) {
  LineReader reader{line};
  reader.skipBlanks();
  if (!reader.takeWord("macro") || !reader.skipBlanks()) return std::nullopt;
  std::string_view name = reader.takeName();
  if (name.empty()) return std::nullopt;
  reader.skipBlanks();
  if (!reader.takeChar('=')) return std::nullopt;
  reader.skipBlanks();
  MarkingWord word;
  if (reader.takeWord("export"))
    word = MarkingWord::Export;
  else if (reader.takeWord("common"))
    word = MarkingWord::Common;
  else
    return std::nullopt;
  if (!reader.atEnd()) return std::nullopt;
  // The words the header writer reads keep their meaning: PowerBASIC takes
  // no macro of a keyword's name, and one would turn ALIAS into a marking.
  const std::string lower = toLowerAnsi(name);
  if (lower == "export" || lower == "common" || lower == "lib" || lower == "alias") return std::nullopt;
  return MarkingMacro{std::string(name), word};
}

std::optional<std::string> compiledDllName(std::string_view line, std::string_view sourceFileName) {
  LineReader reader{line};
  reader.skipBlanks();
  if (!reader.takeWord("#compile") || !reader.skipBlanks() || !reader.takeWord("dll")) return std::nullopt;
  std::string name;
  if (reader.atEnd()) {
    std::string_view source = afterFolders(sourceFileName);
    size_t dot = source.rfind('.');
    name = std::string(source.substr(0, dot));
    if (name.empty()) return std::nullopt;
    name += ".dll";
  } else {
    reader.takeChar('=');
    reader.skipBlanks();
    std::optional<std::string_view> literal = reader.takeLiteral();
    if (!literal || !reader.atEnd()) return std::nullopt;
    name = std::string(afterFolders(*literal));
    if (name.empty()) return std::nullopt;
    if (name.find('.') == std::string::npos) name += ".dll";
  }
  if (!isSoundFileName(name)) return std::nullopt;
  return name;
}

std::optional<IncludeLine> parseIncludeLine(std::string_view line) {
  LineReader reader{line};
  reader.skipBlanks();
  if (!reader.takeWord("#include")) return std::nullopt;
  const IncludeLine unclear{IncludeKind::Unclear, ""};
  reader.skipBlanks();
  if (reader.takeWord("this")) {
    reader.skipBlanks();
    if (!reader.takeWord("once") || !reader.atEnd()) return unclear;
    return IncludeLine{IncludeKind::ThisOnce, ""};
  }
  IncludeKind kind = IncludeKind::File;
  if (reader.takeWord("once")) {
    kind = IncludeKind::FileOnce;
    reader.skipBlanks();
  }
  std::optional<std::string_view> name = reader.takeLiteral();
  if (!name || name->empty() || !reader.atEnd()) return unclear;
  return IncludeLine{kind, std::string(*name)};
}

}  // namespace codeloom
