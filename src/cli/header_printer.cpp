#include "cli/header_printer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <utility>

namespace codeloom::cli {

HeaderPrinter::HeaderPrinter(const HeaderScan& command, Write write, HeaderPrinterSizes sizes)
    : command_(command), write_(std::move(write)), sizes_(sizes) {}

HeaderPrinter::~HeaderPrinter() {
  if (spill_) std::fclose(spill_);
}

bool HeaderPrinter::print(const HeaderText& part) {
  std::string_view name = settledLibraryName(command_);
  if (name.empty()) {
    if (spill_ || held_.text.size() + part.text.size() >= sizes_.heldInMemory) return spill(held_) && spill(part);
    held_.append(part);
    return true;
  }
  if ((spill_ || !held_.text.empty()) && !flush(name)) return false;
  return writeNamed(part, name);
}

bool HeaderPrinter::finish() { return flush(finalLibraryName(command_)); }

// Writes text to the temporary file, which holds what is held from now on:
// each part as its size, its count of name places, the places and its
// bytes, so that it comes back a part at a time. Memory holds it where
// there is no temporary file.
bool HeaderPrinter::spill(const HeaderText& text) {
  if (text.text.empty()) return true;
  if (!spill_) {
    if (!(spill_ = std::tmpfile())) {
      if (&text != &held_) held_.append(text);
      return true;
    }
    // Its own buffer would be a page: a 6 MB header went out and came
    // back in some 3,000 calls of 4 KB.
    spillBuffer_.resize(std::max<size_t>(sizes_.buffer, BUFSIZ));
    std::setvbuf(spill_, spillBuffer_.data(), _IOFBF, spillBuffer_.size());
  }
  const uint64_t sizes[2] = {text.text.size(), text.libraryNameAt.size()};
  const size_t places = text.libraryNameAt.size();
  if (std::fwrite(sizes, sizeof sizes, 1, spill_) != 1 ||
      std::fwrite(text.libraryNameAt.data(), sizeof(size_t), places, spill_) != places ||
      std::fwrite(text.text.data(), 1, text.text.size(), spill_) != text.text.size()) {
    std::cerr << "codeloom-cli: write error: a temporary file: " << std::strerror(errno) << "\n";
    return false;
  }
  spilledBytes_ += text.text.size();
  if (&text == &held_) held_.clear();
  return true;
}

// Gathers small pieces of output into writes of about sizes_.buffer.
bool HeaderPrinter::put(std::string_view bytes) {
  if (out_.size() + bytes.size() <= sizes_.buffer) {
    out_ += bytes;
    return true;
  }
  if (!putOut()) return false;
  if (bytes.size() >= sizes_.buffer) return write_(bytes);
  out_ += bytes;
  return true;
}

bool HeaderPrinter::putOut() {
  const bool written = out_.empty() || write_(out_);
  out_.clear();
  return written;
}

// Puts text, the bytes of a part from `offset` on, with the name at each of
// places (offsets into the part) that falls inside it, and drops those from
// places. A place at text's end waits for the bytes after it.
bool HeaderPrinter::putNamed(std::string_view text, size_t offset, std::span<const size_t>& places,
                             std::string_view name) {
  size_t from = 0;
  for (; !places.empty() && places.front() - offset < text.size(); places = places.subspan(1)) {
    const size_t at = places.front() - offset;
    if (!put(text.substr(from, at - from)) || !put(name)) return false;
    from = at;
  }
  return put(text.substr(from));
}

// The name at each place left, all at a part's very end.
bool HeaderPrinter::putNamesAtEnd(std::span<const size_t> places, std::string_view name) {
  for (; !places.empty(); places = places.subspan(1))
    if (!put(name)) return false;
  return true;
}

// A part with the name at its places, one at its very end too.
bool HeaderPrinter::writeNamed(const HeaderText& part, std::string_view name) {
  std::span<const size_t> places = part.libraryNameAt;
  return putNamed(part.text, 0, places, name) && putNamesAtEnd(places, name) && putOut();
}

bool HeaderPrinter::flush(std::string_view name) {
  if (spill_ && !flushSpilled(name)) return false;
  bool printed = writeNamed(held_, name);
  held_.clear();
  return printed;
}

// The spilled parts back, one at a time, their bytes a buffer at a time,
// with the name at their places.
bool HeaderPrinter::flushSpilled(std::string_view name) {
  std::FILE* spill = std::exchange(spill_, nullptr);
  bool readBack = std::fflush(spill) == 0 && std::fseek(spill, 0, SEEK_SET) == 0, printed = true;
  for (size_t done = 0; readBack && printed && done < spilledBytes_;) {
    uint64_t sizes[2];
    readBack = std::fread(sizes, sizeof sizes, 1, spill) == 1 && sizes[0] <= spilledBytes_ - done &&
               sizes[1] <= sizes[0];
    if (!readBack) break;
    places_.resize(sizes[1]);
    readBack = std::fread(places_.data(), sizeof(size_t), sizes[1], spill) == sizes[1];
    std::span<const size_t> places = places_;
    for (size_t offset = 0; readBack && printed && offset < sizes[0]; offset += bytes_.size()) {
      bytes_.resize(std::min<size_t>(sizes_.buffer, sizes[0] - offset));
      readBack = std::fread(bytes_.data(), 1, bytes_.size(), spill) == bytes_.size();
      printed = readBack && putNamed(bytes_, offset, places, name);
    }
    printed = printed && readBack && putNamesAtEnd(places, name);
    done += sizes[0];
  }
  if (!readBack) std::cerr << "codeloom-cli: read error: a temporary file\n";
  std::fclose(spill);
  spilledBytes_ = 0;
  return readBack && printed && putOut();
}

}  // namespace codeloom::cli
