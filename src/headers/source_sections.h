// The sections of several files, one header command's worth, with the next
// file scanned ahead on a second core while this one is scanned.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "headers/source_scanner.h"

namespace codeloom {

// One file of a header command: the name its banner shows, how to read it,
// and whether it may be read twice, as a regular file may and a pipe or a
// device may not.
struct SectionFile {
  std::string_view bannerName;
  WindowReader read;
  bool mayReadAhead = false;
  std::string_view source = {};  // its path, as scan.declared names it
};

// The most bytes of a section held for a file scanned ahead; a longer one is
// scanned again in turn, printed as it grows.
constexpr size_t kAheadSectionBytes = size_t(2) << 20;

// Appends the sections of files to header in order, byte for byte as
// appendSourceSection called for each in turn does, and calls
// fileDone(index, read) after each file (read: whether it was read whole).
// A file that may be read ahead is scanned on a second thread into a
// section of its own, with no interface names before it; that section is
// taken only when the file was read whole, the section is at most
// kAheadSectionBytes, it adds no interface name that the files before
// it added, and the macros it knew are those they left. Otherwise the file is scanned again here, in turn, so that
// reading errors and interfaces repeated across files come out as they do
// one file after the other. After a section of over 256 KiB, files are
// scanned in turn only, until a short section comes, so that memory holds
// no long section. Stops, returning false, once fileDone does.
bool appendSourceSections(HeaderText& header, HeaderScan& command, const std::vector<SectionFile>& files,
                          const SettledOutput* output,
                          const std::function<bool(size_t index, bool read)>& fileDone);

}  // namespace codeloom
