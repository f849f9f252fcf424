#include "support/plain_scanner.h"

#include <utility>
#include <vector>

#include "platform/ansi.h"
#include "support/line_rules.h"

namespace codeloom {
namespace {

// Lines end at CR LF, at a lone CR or at a lone LF; 0x1A ends the file.
std::vector<std::string> plainLines(std::string_view bytes) {
  std::vector<std::string> lines;
  bytes = bytes.substr(0, bytes.find('\x1A'));
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') {
      line += bytes[i];
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);  // the last line needs no line end
  return lines;
}

// Halves the runs of spaces in text; other loses the same bytes.
std::string halve(const std::string& text, std::string& other) {
  std::string out, kept;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    kept += other[i];
    if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ') ++i;
  }
  other = kept;
  return out;
}

std::string normalise(std::string text) {
  normaliseLine(text);
  return text;
}

// The declaration as the word tests see it: on each line, what follows the
// first "'" outside a string is comment. Its "'" reads as a line end, the
// rest as a byte no word holds, so positions stay those of the declaration.
std::string codeOf(const std::string& line) {
  std::string code = line;
  size_t end = codeEnd(code);
  if (end < code.size()) {
    code[end] = '\r';
    for (size_t k = end + 1; k < code.size(); ++k) code[k] = '\x01';
  }
  return code;
}

// A line continues on the next when its code, blanks after it removed,
// ends with "_": a comment after the "_" does not stop it.
bool continues(const std::string& line) {
  std::string code = codeOf(line);
  code = code.substr(0, code.find('\r'));
  size_t last = code.find_last_not_of(' ');
  return last != std::string::npos && code[last] == '_';
}

// The first "(" of the code outside a string (a string ends with its line).
size_t firstParen(const std::string& code) {
  bool inString = false;
  for (size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '"') inString = !inString;
    if (code[i] == '\n') inString = false;
    if (code[i] == '(' && !inString) return i;
  }
  return std::string::npos;
}

// The clause goes before `at`, which loses the spaces in front of it, with
// one space after the clause.
void insertBefore(std::string& text, std::string& code, const std::string& clause, size_t at) {
  size_t cut = at;
  while (cut > 0 && code[cut - 1] == ' ') --cut;
  text = text.substr(0, cut) + clause + " " + text.substr(at);
  code = code.substr(0, cut) + clause + " " + code.substr(at);
}

void insertClause(std::string& text, std::string& code, const std::string& clause, size_t& noParenAt) {
  size_t paren = firstParen(code);
  if (paren == std::string::npos) {
    text.insert(noParenAt, clause);
    code.insert(noParenAt, clause);
    noParenAt += clause.size();
    return;
  }
  insertBefore(text, code, clause, paren);
}

// Where the first of words stands in the code (as findMarkingWord finds
// each), or npos; size, when given, receives that word's size.
size_t firstOf(const std::string& code, const std::vector<std::string>& words, size_t* size = nullptr) {
  size_t first = std::string::npos;
  for (const std::string& word : words) {
    size_t at = findMarkingWord(code, word);
    if (at < first) {
      first = at;
      if (size) *size = word.size();
    }
  }
  return first;
}

void removeFirstOf(std::string& text, std::string& code, const std::vector<std::string>& words) {
  size_t size = 0;
  size_t at = firstOf(code, words, &size);
  if (at == std::string::npos) return;
  removeMarkingWordAt(text, at, size);
  removeMarkingWordAt(code, at, size);
}

// What a metastatement line does to the open #IF groups.
enum class Meta { None, If, Else, EndIf };

Meta metaOf(const std::string& line) {
  auto firstWordIs = [&](std::string_view word) {
    return startsWithNoCase(line, word) &&
           (line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '\'');
  };
  if (startsWithNoCase(line, "#if ")) return Meta::If;
  if (startsWithNoCase(line, "#elseif ") || firstWordIs("#else")) return Meta::Else;
  if (firstWordIs("#endif")) return Meta::EndIf;
  return Meta::None;
}

struct Group {
  std::vector<std::string> pending;
  bool written = false;
};

}  // namespace

void plainScanSourceFile(std::string& header, PlainCommand& command, std::string_view path, std::string_view bytes,
                         HeaderMode mode, std::string_view libraryName) {
  InterfaceNames& interfaceNames = command.interfaceNames;
  const std::string rule = "'" + std::string(70, '-') + "\r\n";
  size_t slash = path.rfind('\\');
  const std::string fileName(slash == std::string_view::npos ? path : path.substr(slash + 1));
  header += rule + "' " + fileName + "\r\n" + rule;
  std::vector<std::string> lines = plainLines(bytes);
  bool skipInterface = false;
  std::vector<Group> groups;
  // Before anything is written, the lines of the groups it stands in.
  auto writeGroups = [&] {
    for (Group& group : groups) {
      if (group.written) continue;
      for (const std::string& line : group.pending) header += line + "\r\n";
      group.pending.clear();
      group.written = true;
    }
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string line = normalise(lines[i]);
    if ((startsWithNoCase(line, "function ") && !startsWithNoCase(line, "function =")) || startsWithNoCase(line, "sub ")) {
      std::string rest = line.substr(line.find(' ') + 1);
      rest = rest.substr(rest.find_first_not_of(' '));
      std::string name = rest.substr(0, rest.find_first_of(" ("));
      name = name.substr(0, codeOf(name).find('\r'));  // the name is code
      size_t noParenAt = 8 + (line.size() - rest.size()) + name.size();
      std::string text = "Declare " + line + "\r\n";
      std::string code = "Declare " + codeOf(line) + "\r\n";
      while (continues(line) && i + 1 < lines.size()) {
        line = normalise(lines[++i]);
        text += std::string(20, ' ') + line + "\r\n";
        code += std::string(20, ' ') + codeOf(line) + "\r\n";
      }
      std::vector<std::string> exportWords = {"export"}, commonWords = {"common"};
      for (const auto& [macroName, word] : command.macros)
        (word == MarkingWord::Export ? exportWords : commonWords).push_back(macroName);
      bool exported = firstOf(code, exportWords) != std::string::npos;
      if (!exported && firstOf(code, commonWords) == std::string::npos) continue;
      // A program that uses the library never calls its entry point.
      const std::string lowerName = toLowerAnsi(name);
      if (mode != HeaderMode::Compile && (lowerName == "libmain" || lowerName == "dllmain" || lowerName == "pblibmain"))
        continue;
      if (mode == HeaderMode::Dll && exported) {
        const std::string lib = " Lib \"" + std::string(libraryName) + "\"";
        size_t alias = findWord(code, "alias");
        if (findWord(code, "lib") != std::string::npos) {
          // A Lib clause of its own stays as it is.
        } else if (alias != std::string::npos) {
          insertBefore(text, code, lib, alias);  // Lib goes before an Alias
        } else {
          insertClause(text, code, lib, noParenAt);
        }
        if (findWord(code, "alias") == std::string::npos)
          insertClause(text, code, " Alias \"" + toUpperAnsi(name) + "\"", noParenAt);
      }
      text = halve(text, code);
      if (mode != HeaderMode::Compile) removeFirstOf(text, code, exportWords);
      if (mode == HeaderMode::Dll) removeFirstOf(text, code, commonWords);
      writeGroups();
      header += text;
    } else if (startsWithNoCase(line, "end interface")) {
      if (skipInterface) {
        skipInterface = false;
      } else {
        writeGroups();
        header += line + "\r\n";
      }
    } else if (startsWithNoCase(line, "interface ")) {
      std::string rest = line.substr(10);
      rest = rest.substr(rest.find_first_not_of(' '));
      if (startsWithNoCase(rest, "idbind ") || startsWithNoCase(rest, "dispatch ")) {
        rest = rest.substr(rest.find(' '));  // a dispatch interface: its name follows
        rest = rest.substr(rest.find_first_not_of(' '));
      }
      std::string name = toLowerAnsi(rest.substr(0, rest.find(' ')));
      if (interfaceNames.count(name)) {
        skipInterface = true;
      } else {
        writeGroups();
        header += "\r\n" + line + "\r\n";
        interfaceNames.insert(name);
      }
    } else if (startsWithNoCase(line, "property get ") || startsWithNoCase(line, "property set ") ||
               startsWithNoCase(line, "inherit ") || startsWithNoCase(line, "member ") ||
               (startsWithNoCase(line, "method ") && !startsWithNoCase(line, "method ="))) {
      if (skipInterface) continue;
      writeGroups();
      header += "  " + line + "\r\n";
      while (continues(line) && i + 1 < lines.size()) {
        line = normalise(lines[++i]);
        header += std::string(22, ' ') + line + "\r\n";
      }
    } else if (startsWithNoCase(line, "macro ")) {
      // From here on, for the rest of the command, the name marks as its word does.
      if (std::optional<MarkingMacro> macro = parseMarkingMacro(line))
        command.macros[toLowerAnsi(macro->name)] = macro->word;
    } else if (startsWithNoCase(line, "#compile ")) {
      // Only a DLL that every condition compiles names the command's library.
      std::optional<std::string> dll = compiledDllName(line, fileName);
      if (dll && groups.empty() && !command.dllName) command.dllName = dll;
    } else if (Meta meta = metaOf(line); meta == Meta::If) {
      groups.push_back({{line}, false});
    } else if (meta != Meta::None && !groups.empty()) {
      Group& group = groups.back();
      if (group.written) header += line + "\r\n";
      else if (meta == Meta::Else) group.pending.push_back(line);
      if (meta == Meta::EndIf) groups.pop_back();
    }
  }
  header += "\r\n";
}

void plainScanSourceFile(std::string& header, InterfaceNames& interfaceNames,
                         std::string_view path, std::string_view bytes, HeaderMode mode,
                         std::string_view libraryName) {
  PlainCommand command{std::move(interfaceNames), {}, {}};
  plainScanSourceFile(header, command, path, bytes, mode, libraryName);
  interfaceNames = std::move(command.interfaceNames);
}

}  // namespace codeloom
