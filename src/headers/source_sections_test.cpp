#include "headers/source_sections.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace codeloom {
namespace {

// A file as the tests read it: its bytes in windows of a given size, and
// perhaps a read error after some windows.
struct TestFile {
  std::string name, bytes;
  size_t window = 64 * 1024;
  int failAfterWindows = -1;  // -1: read whole
  bool mayReadAhead = true;
};

bool readTestFile(const TestFile& file, const std::function<bool(std::string_view)>& take,
                  std::atomic<int>* reads = nullptr) {
  if (reads) ++*reads;
  int windows = 0;
  for (size_t at = 0; at < file.bytes.size(); at += file.window) {
    if (windows++ == file.failAfterWindows) return false;
    if (!take(std::string_view(file.bytes).substr(at, file.window))) return true;
  }
  return file.failAfterWindows < 0;  // one that never came fails at the end
}

// Waits, for at most 5 s, until count is at least 1.
void waitForFirst(const std::atomic<int>& count) {
  for (int k = 0; k < 500 && count.load() == 0; ++k) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

struct Outcome {
  std::string header;
  InterfaceNames names;
  std::vector<bool> reads;  // fileDone's read flag, file by file
  bool operator==(const Outcome&) const = default;
};

// One file after the other, as the header commands did before.
Outcome inTurn(const std::vector<TestFile>& files, HeaderMode mode) {
  Outcome out;
  HeaderScan command;
  command.mode = mode;
  HeaderText header;
  for (const TestFile& file : files) {
    out.reads.push_back(appendSourceSection(header, command, file.name,
                                            [&](const auto& take) { return readTestFile(file, take); }));
  }
  out.header = withLibraryName(header, finalLibraryName(command));
  out.names = command.interfaceNames;
  return out;
}

// With reads, counts each file's reads; the first file's read then waits
// until the helper has begun the second, so that it always gets there first.
Outcome withReadAhead(const std::vector<TestFile>& files, HeaderMode mode,
                      std::vector<std::atomic<int>>* reads = nullptr) {
  Outcome out;
  std::vector<SectionFile> sections;
  for (size_t k = 0; k < files.size(); ++k) {
    const TestFile& file = files[k];
    std::atomic<int>* count = reads ? &(*reads)[k] : nullptr;
    const std::atomic<int>* awaited = reads && k == 0 && files.size() > 1 && files[1].mayReadAhead ? &(*reads)[1] : nullptr;
    sections.push_back({file.name,
                        [&file, count, awaited](const auto& take) {
                          if (awaited) waitForFirst(*awaited);
                          return readTestFile(file, take, count);
                        },
                        file.mayReadAhead});
  }
  HeaderScan command;
  command.mode = mode;
  HeaderText header;
  appendSourceSections(header, command, sections, nullptr,
                       [&](size_t index, bool read) {
                         EXPECT_EQ(index, out.reads.size());
                         out.reads.push_back(read);
                         return true;
                       });
  out.header = withLibraryName(header, finalLibraryName(command));
  out.names = command.interfaceNames;
  return out;
}

// Pieces of PowerBASIC that files are made of: declarations, interfaces
// that several files define, and #IF groups around them.
const char* const kPieces[] = {
    "Function F%(ByVal a As Long) Export As Long\r\n  F% = a\r\nEnd Function\r\n",
    "Sub S% Common\r\nEnd Sub\r\n",
    "Sub Hidden%\r\nEnd Sub\r\n",
    "Interface IShared\r\n  Method Go()\r\nEnd Interface\r\n",
    "Interface IDBIND IOther\r\n  Member Call Run()\r\nEnd Interface\r\n",
    "Interface IOwn%\r\n  Property Get P() As Long\r\nEnd Interface\r\n",
    // A macro a later file marks its procedures with, and the DLL's name,
    // which names the Lib clauses of the files before it too.
    "Macro Mark = Export\r\n",
    "Sub Marked% Mark\r\nEnd Sub\r\n",
    "#Compile Dll \"part%.dll\"\r\n",
    "#IF %DEF(%UNICODE)\r\nFunction W%(s As WString) Export As Long\r\n#ELSE\r\n"
    "Function W%(s As String) Export As Long\r\n#ENDIF\r\n",
    "#IF %DEBUG\r\nInterface IShared\r\nEnd Interface\r\n#ENDIF\r\n",
    "x = 1 ' Sub NotOne Export\n",
};

std::string makeSource(std::mt19937& random, int file) {
  std::string text;
  int pieces = static_cast<int>(random() % 6);
  for (int k = 0; k < pieces; ++k) {
    std::string piece = kPieces[random() % std::size(kPieces)];
    for (size_t at; (at = piece.find('%')) != std::string::npos;)
      piece.replace(at, 1, std::to_string(file) + "_" + std::to_string(k));
    text += piece;
  }
  return text;
}

TEST(SourceSections, ReadAheadWritesWhatOneFileAfterTheOtherDoes) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<TestFile> files(1 + random() % 7);
    for (size_t k = 0; k < files.size(); ++k) {
      TestFile& file = files[k];
      file.name = "f" + std::to_string(k) + ".bas";
      file.bytes = makeSource(random, static_cast<int>(k));
      file.window = 1 + random() % 40;
      if (random() % 8 == 0) file.failAfterWindows = static_cast<int>(random() % 4);
      file.mayReadAhead = random() % 6 != 0;
    }
    for (HeaderMode mode : {HeaderMode::Sll, HeaderMode::Dll, HeaderMode::Compile})
      ASSERT_EQ(inTurn(files, mode), withReadAhead(files, mode)) << "round " << round;
  }
}

TEST(SourceSections, WhichFilesAreReadTwice) {
  const std::string shared = "Interface IShared\r\nEnd Interface\r\n";
  const std::string declarations = "Sub A Export\r\n";
  struct Case {
    const char* what;
    std::vector<TestFile> files;
    std::vector<int> reads;  // how often each file is read
  };
  std::string huge;
  while (huge.size() <= kAheadSectionBytes) huge += "Sub Some_Name_That_Is_Long Export\r\n";
  const Case cases[] = {
      {"a section of its own", {{"a", declarations}, {"b", declarations}}, {1, 1}},
      {"an interface the file before wrote", {{"a", shared}, {"b", shared}}, {1, 2}},
      {"an interface of its own", {{"a", declarations}, {"b", shared}}, {1, 1}},
      {"unreadable, read again to tell why", {{"a", declarations}, {"b", declarations, 4, 0}}, {1, 2}},
      {"unreadable at its end", {{"a", declarations}, {"b", declarations, 4, 9}}, {1, 2}},
      {"a section past the limit", {{"a", declarations}, {"b", huge}}, {1, 2}},
      {"not to be read twice", {{"a", declarations}, {"b", declarations, 64, -1, false}}, {1, 1}},
  };
  for (const Case& c : cases) {
    std::vector<std::atomic<int>> reads(c.files.size());
    Outcome ahead = withReadAhead(c.files, HeaderMode::Dll, &reads);
    EXPECT_EQ(inTurn(c.files, HeaderMode::Dll), ahead) << c.what;
    for (size_t k = 0; k < c.files.size(); ++k) EXPECT_EQ(c.reads[k], reads[k].load()) << c.what << ", file " << k;
  }
}

TEST(SourceSections, StopsWhenFileDoneSaysSo) {
  const std::vector<TestFile> files(5, {"a", "Sub A Export\r\n"});
  std::vector<SectionFile> sections;
  for (const TestFile& file : files)
    sections.push_back({file.name, [&file](const auto& take) { return readTestFile(file, take); }, true});
  HeaderText header;
  HeaderScan command;
  size_t done = 0;
  EXPECT_FALSE(appendSourceSections(header, command, sections, nullptr, [&](size_t, bool) { return ++done < 2; }));
  EXPECT_EQ(2u, done);
  Outcome two = inTurn({files[0], files[1]}, HeaderMode::Sll);
  EXPECT_EQ(two.header, header.text);
}

}  // namespace
}  // namespace codeloom
