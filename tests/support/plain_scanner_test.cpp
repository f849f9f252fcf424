// The plain rules on small files whose headers are worked out by hand: the
// fast scanner is checked against them, so they must be right on their own.
#include "support/plain_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeloom {
namespace {

const std::string kRule = "'" + std::string(70, '-') + "\r\n";

// The files scanned in turn by one command, each named f<i>.bas.
struct Scan {
  std::string header;
  PlainCommand command;
  std::string lastSection;
};

Scan scanFiles(const std::vector<std::string>& files, HeaderMode mode) {
  Scan scan;
  for (size_t i = 0; i < files.size(); ++i) {
    size_t before = scan.header.size();
    plainScanSourceFile(scan.header, scan.command, "C:\\src\\f" + std::to_string(i) + ".bas", files[i], mode,
                        kDefaultLibraryName);
    scan.lastSection = scan.header.substr(before);
  }
  return scan;
}

// What the last file's section holds between its banner and its closing
// empty line; the banner and the closing line are checked here.
std::string lastBody(const std::vector<std::string>& files, HeaderMode mode) {
  std::string section = scanFiles(files, mode).lastSection;
  const std::string banner = kRule + "' f" + std::to_string(files.size() - 1) + ".bas\r\n" + kRule;
  EXPECT_EQ(banner, section.substr(0, banner.size()));
  EXPECT_EQ("\r\n", section.substr(section.size() - 2));
  return section.substr(banner.size(), section.size() - banner.size() - 2);
}

// Each row: the files of one command and the last one's lines in each mode.
struct Case {
  std::vector<std::string> files;
  std::string sll, dll, compile;
};

void checkCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const std::string& file = c.files.back();
    EXPECT_EQ(c.sll, lastBody(c.files, HeaderMode::Sll)) << "Sll [" << file << ']';
    EXPECT_EQ(c.dll, lastBody(c.files, HeaderMode::Dll)) << "Dll [" << file << ']';
    EXPECT_EQ(c.compile, lastBody(c.files, HeaderMode::Compile)) << "Compile [" << file << ']';
  }
}

Case sameInEveryMode(std::vector<std::string> files, std::string body) {
  return {std::move(files), body, body, body};
}

TEST(PlainScanner, DispatchInterfacesAreNamedByTheWordAfterDispatch) {
  const std::string ia = "\r\nInterface DISPATCH IA\r\nEnd Interface\r\n";
  checkCases({
      sameInEveryMode({"Interface DISPATCH IA\r\nEnd Interface\r\nInterface dispatch ia\r\nMethod M()\r\nEnd Interface"},
                      ia),
      sameInEveryMode({"Interface IDBIND IA\r\nEnd Interface", "Interface Dispatch\tia\r\nEnd Interface"}, ""),
      sameInEveryMode({"Interface DISPATCH IA\r\nEnd Interface", "Interface ia\r\nEnd Interface"}, ""),
      // Alone at the end, the word is the name itself.
      sameInEveryMode({"Interface Dispatch\r\nEnd Interface\r\nInterface DISPATCH Dispatch\r\nEnd Interface"},
                      "\r\nInterface Dispatch\r\nEnd Interface\r\n"),
      sameInEveryMode({"Interface Dispatcher IA\r\nEnd Interface", "Interface dispatcher\r\nEnd Interface"}, ""),
  });
}

}  // namespace
}  // namespace codeloom
