#include "cli/include_finder.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace codeloom::cli {
namespace {

namespace fs = std::filesystem;

// A fresh folder of files under the temporary folder, removed at the end.
struct IncludeTree {
  std::string root;

  explicit IncludeTree(const std::vector<std::string>& files) {
    std::string pattern = (fs::temp_directory_path() / "codeloom_include_XXXXXX").string();
    if (mkdtemp(pattern.data())) root = pattern;
    for (const std::string& file : files) {
      fs::path path = fs::path(root) / file;
      if (file.ends_with("/")) {
        fs::create_directories(path);
      } else {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "' " << file << "\r\n";
      }
    }
  }
  ~IncludeTree() {
    std::error_code error;
    if (!root.empty()) fs::remove_all(root, error);
  }
  std::string path(const std::string& relative) const { return root + "/" + relative; }
};

// The search as one line, the tree's root written as "@":
// "found @/a.inc; looked @/x.inc, @/a.inc".
std::string describeSearch(const IncludeSearch& search, const std::string& root) {
  auto shown = [&root](std::string path) {
    if (path.starts_with(root)) path.replace(0, root.size(), "@");
    return path;
  };
  std::string out = "found " + (search.found ? shown(*search.found) : "none") + "; looked";
  for (size_t i = 0; i < search.looked.size(); ++i)
    out += (i ? ", " : " ") + shown(search.looked[i]);
  return out;
}

TEST(IncludeFinder, WhereTheCompilerLooks) {
  IncludeTree tree({"src/Local.inc", "src/Tools.bas", "src/Both.inc", "src/sub/Deep.INC", "inc1/Win32API.inc",
                    "inc1/Shared.inc", "inc2/Shared.inc", "inc2/Both.inc", "Mixed/Case/File.Inc",
                    "odd/x.inc/", "odd/X.INC", "src/Tools./"});
  ASSERT_FALSE(tree.root.empty());
  const std::string src = tree.path("src");
  const std::vector<std::string> dirs = {tree.path("inc1"), tree.path("inc2")};
  // The root as a name writes it, with "\" between folders.
  std::string rootSpec = tree.root;
  for (char& c : rootSpec)
    if (c == '/') c = '\\';

  struct Row {
    std::string name;
    std::string expected;
  };
  const Row rows[] = {
      // No folder: each -I folder in order, then the compile folder.
      {"Win32API.inc", "found @/inc1/Win32API.inc; looked @/inc1/Win32API.inc"},
      {"Shared.inc", "found @/inc1/Shared.inc; looked @/inc1/Shared.inc"},
      {"Both.inc", "found @/inc2/Both.inc; looked @/inc1/Both.inc, @/inc2/Both.inc"},
      {"Local.inc", "found @/src/Local.inc; looked @/inc1/Local.inc, @/inc2/Local.inc, @/src/Local.inc"},
      {"Missing.inc", "found none; looked @/inc1/Missing.inc, @/inc2/Missing.inc, @/src/Missing.inc"},
      // ".bas" for a name without an extension; a final "." is an extension.
      {"Tools", "found @/src/Tools.bas; looked @/inc1/Tools.bas, @/inc2/Tools.bas, @/src/Tools.bas"},
      {"Tools.", "found none; looked @/inc1/Tools., @/inc2/Tools., @/src/Tools."},
      // Letter case that differs from the files'.
      {"WIN32API.INC", "found @/inc1/Win32API.inc; looked @/inc1/WIN32API.INC"},
      {"local.inc", "found @/src/Local.inc; looked @/inc1/local.inc, @/inc2/local.inc, @/src/local.inc"},
      // A relative folder: from the compile folder only, never an -I folder.
      {"sub\\deep.inc", "found @/src/sub/Deep.INC; looked @/src/sub/deep.inc"},
      {"sub/Deep.INC", "found @/src/sub/Deep.INC; looked @/src/sub/Deep.INC"},
      {"..\\inc1\\win32api.inc", "found @/src/../inc1/Win32API.inc; looked @/src/../inc1/win32api.inc"},
      {"..\\mixed\\case\\file.inc", "found @/src/../Mixed/Case/File.Inc; looked @/src/../mixed/case/file.inc"},
      {".\\Local.inc", "found @/src/./Local.inc; looked @/src/./Local.inc"},
      {"sub\\..\\Local", "found none; looked @/src/sub/../Local.bas"},
      {"nosuch\\..\\Local.inc", "found none; looked @/src/nosuch/../Local.inc"},
      {"Deep.INC", "found none; looked @/inc1/Deep.INC, @/inc2/Deep.INC, @/src/Deep.INC"},
      // Absolute: as it is, letter case folded below the root too.
      {rootSpec + "\\inc1\\Win32API.inc", "found @/inc1/Win32API.inc; looked @/inc1/Win32API.inc"},
      {tree.root + "/mixed/CASE/file.inc", "found @/Mixed/Case/File.Inc; looked @/mixed/CASE/file.inc"},
      {rootSpec + "\\\\inc1\\\\Shared.inc", "found @/inc1/Shared.inc; looked @//inc1//Shared.inc"},
      // A folder of the name is passed over for a file that differs in case.
      {rootSpec + "\\odd\\x.inc", "found @/odd/X.INC; looked @/odd/x.inc"},
      // A drive means nothing here; the name is still taken as it is.
      {"Q:\\codeloom\\none.inc", "found none; looked Q:/codeloom/none.inc"},
      // Bad names: a folder, nothing, a NUL.
      {"sub\\", "found none; looked @/src/sub/"},
      {"\\", "found none; looked /"},
      {"", "found none; looked"},
      {std::string("Local.inc\0x", 11), "found none; looked"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.expected, describeSearch(findInclude(row.name, src, dirs), tree.root)) << row.name;
}

TEST(IncludeFinder, CaseTiesAndOtherFolders) {
  IncludeTree tree({"abc.INC", "ABC.inc", "Abc.inc", "Dir/a.inc", "DIR/b.inc"});
  ASSERT_FALSE(tree.root.empty());
  struct Row {
    std::string name;
    std::string compileFolder;
    std::string expected;
  };
  const Row rows[] = {
      // The first in byte order: upper case comes before lower case.
      {"aBc.inc", tree.root, "found @/ABC.inc; looked @/aBc.inc"},
      {"abc.INC", tree.root, "found @/abc.INC; looked @/abc.INC"},
      // Of two folders that differ in case the first is taken, even without the file.
      {"dir\\a.inc", tree.root, "found none; looked @/dir/a.inc"},
      {"dir\\b.inc", tree.root, "found @/DIR/b.inc; looked @/dir/b.inc"},
      {"Dir\\b.inc", tree.root, "found none; looked @/Dir/b.inc"},
      // A compile folder that does not exist.
      {"abc.inc", tree.path("none"), "found none; looked @/none/abc.inc"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.expected, describeSearch(findInclude(row.name, row.compileFolder, {}), tree.root))
        << row.name;
}

TEST(IncludeFinder, CompileFolderRelativeToTheCurrentFolder) {
  IncludeTree tree({"src/Local.inc"});
  ASSERT_FALSE(tree.root.empty());
  std::error_code error;
  fs::path before = fs::current_path(error);
  fs::current_path(tree.root, error);
  ASSERT_FALSE(error);
  EXPECT_EQ("found src/Local.inc; looked src/local.inc",
            describeSearch(findInclude("local.inc", "src", {}), tree.root));
  EXPECT_EQ("found none; looked local.inc", describeSearch(findInclude("local.inc", "", {}), tree.root));
  fs::current_path("src", error);
  EXPECT_EQ("found Local.inc; looked local.inc", describeSearch(findInclude("local.inc", "", {}), tree.root));
  fs::current_path(before, error);
}

}  // namespace
}  // namespace codeloom::cli
