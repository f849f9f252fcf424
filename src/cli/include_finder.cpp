#include "cli/include_finder.h"

#include <filesystem>
#include <system_error>

namespace codeloom::cli {
namespace {

namespace fs = std::filesystem;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isDrive(std::string_view included) {
  return included.size() >= 2 && included[1] == ':' &&
         ((included[0] >= 'a' && included[0] <= 'z') || (included[0] >= 'A' && included[0] <= 'Z'));
}

// The included name with ".bas" added when its file name has no extension.
std::string withExtension(std::string_view included) {
  std::string text(included);
  size_t name = text.find_last_of("\\/");
  std::string_view fileName = std::string_view(text).substr(name == std::string::npos ? 0 : name + 1);
  if (!fileName.empty() && fileName.find('.') == std::string_view::npos) text += ".bas";
  return text;
}

// The path of text with every "\" made "/", which both systems read as a
// separator.
fs::path slashed(std::string text) {
  for (char& c : text)
    if (c == '\\') c = '/';
  return fs::path(text);
}

bool isFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool isFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

template <typename Char>
Char foldAscii(Char c) {
  return c >= 'A' && c <= 'Z' ? Char(c - 'A' + 'a') : c;
}

template <typename Text>
bool equalFoldingAscii(const Text& a, const Text& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

// The entry of folder named name but for ASCII letter case that is a
// folder (wantFolder) or a file: the first in byte order, so that the
// choice never depends on the order the system lists them in.
std::optional<fs::path> entryFoldingCase(const fs::path& folder, const fs::path& name, bool wantFolder) {
  std::error_code error;
  fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
  std::optional<fs::path> best;
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    fs::path entryName = entries->path().filename();
    if (!equalFoldingAscii(entryName.native(), name.native())) continue;
    fs::path candidate = folder / entryName;
    if (wantFolder ? !isFolder(candidate) : !isFile(candidate)) continue;
    if (!best || entryName.native() < best->filename().native()) best = candidate;
  }
  return best;
}

// base joined with the parts of relative, each the exact name or else one
// that differs in letter case; nothing when some part is missing.
std::optional<fs::path> resolve(const fs::path& base, const fs::path& relative) {
  std::vector<fs::path> parts;
  for (const fs::path& part : relative)
    if (!part.empty()) parts.push_back(part);
  // An included name that ends in a separator names a folder, never a file.
  if (parts.empty() || relative.filename().empty()) return std::nullopt;
  fs::path at = base;
  for (size_t i = 0; i < parts.size(); ++i) {
    bool last = i + 1 == parts.size();
    fs::path exact = at / parts[i];
    if (last ? isFile(exact) : isFolder(exact)) {
      at = exact;
      continue;
    }
    if (parts[i] == "." || parts[i] == "..") return std::nullopt;
    std::optional<fs::path> folded = entryFoldingCase(at, parts[i], !last);
    if (!folded) return std::nullopt;
    at = *folded;
  }
  return at;
}

}  // namespace

IncludeSearch findInclude(std::string_view included, const std::string& compileFolder,
                          const std::vector<std::string>& includeDirs) {
  IncludeSearch search;
  if (included.empty() || included.find('\0') != std::string_view::npos) return search;
  fs::path path = slashed(withExtension(included));

  // Where to look: a base folder and the included name's path from there.
  std::vector<std::pair<fs::path, fs::path>> places;
  if (isSeparator(included[0]) || isDrive(included)) {
    places.emplace_back(path.root_path(), path.relative_path());
  } else if (included.find_first_of("\\/") == std::string_view::npos) {
    for (const std::string& folder : includeDirs) places.emplace_back(fs::path(folder), path);
    places.emplace_back(fs::path(compileFolder), path);
  } else {
    places.emplace_back(fs::path(compileFolder), path);
  }

  for (const auto& [base, relative] : places) {
    search.looked.push_back((base / relative).make_preferred().string());
    if (std::optional<fs::path> found = resolve(base, relative)) {
      search.found = found->make_preferred().string();
      break;
    }
  }
  return search;
}

}  // namespace codeloom::cli
