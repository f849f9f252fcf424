// Prints a header as it grows, and holds it while the name its Lib clauses
// hold may still change: in mode Dll, a later file's #COMPILE DLL names the
// clauses of the files before it. Past `heldInMemory` bytes, what is held
// waits in a temporary file, and however long the header, it passes
// through buffers of about `buffer` bytes: memory written the first time
// costs a page fault, and a 6 MB header held in 1 MB buffers took some 800
// of them.
#pragma once

#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "headers/header_scan.h"

namespace codeloom::cli {

struct HeaderPrinterSizes {
  size_t heldInMemory = size_t(64) << 10;
  size_t buffer = size_t(64) << 10;
};

class HeaderPrinter {
 public:
  // write prints bytes and returns whether it could.
  using Write = std::function<bool(std::string_view bytes)>;
  HeaderPrinter(const HeaderScan& command, Write write, HeaderPrinterSizes sizes = {});
  ~HeaderPrinter();
  HeaderPrinter(const HeaderPrinter&) = delete;
  HeaderPrinter& operator=(const HeaderPrinter&) = delete;

  // The next part of the header; false once printing failed.
  bool print(const HeaderText& part);
  // What is held, with the name as it ends up.
  bool finish();

 private:
  bool spill(const HeaderText& text);
  bool put(std::string_view bytes);
  bool putOut();
  bool putNamed(std::string_view text, size_t offset, std::span<const size_t>& places, std::string_view name);
  bool putNamesAtEnd(std::span<const size_t> places, std::string_view name);
  bool writeNamed(const HeaderText& part, std::string_view name);
  bool flush(std::string_view name);
  bool flushSpilled(std::string_view name);

  const HeaderScan& command_;
  Write write_;
  HeaderPrinterSizes sizes_;
  HeaderText held_;
  std::string out_;             // output gathered for one write
  std::string bytes_;           // a spilled part's bytes, a buffer at a time
  std::vector<size_t> places_;  // a spilled part's name places
  std::vector<char> spillBuffer_;  // the temporary file's, which must outlive it
  std::FILE* spill_ = nullptr;
  size_t spilledBytes_ = 0;
};

}  // namespace codeloom::cli
