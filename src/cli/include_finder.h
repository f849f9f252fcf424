// Finds the file an #INCLUDE names, where the PowerBASIC compiler looks
// for it. Free of the command-line parser: the caller hands in the folders.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace codeloom::cli {

struct IncludeSearch {
  std::optional<std::string> found;  // the file, when there is one
  std::vector<std::string> looked;   // every place looked, in order, the found one last
};

// Looks for the file of name (the text of an #INCLUDE line). "\" and "/"
// separate folders. A name that starts with "\", "/" or a drive ("C:") is
// used as it is; one without a folder is looked for in each of includeDirs
// in order, then in compileFolder (the folder of the source being read,
// also for nested includes); one with a relative folder is taken from
// compileFolder. ".bas" is added to a name without an extension. Where
// the exact name is missing, each part of the name may differ in ASCII
// letter case (the first such file or folder in byte order is taken), as
// on Windows. An empty name, or one holding a NUL, finds nothing and
// looks nowhere.
IncludeSearch findInclude(std::string_view name, const std::string& compileFolder,
                          const std::vector<std::string>& includeDirs);

}  // namespace codeloom::cli
