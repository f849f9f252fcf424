#include "headers/header_scan.h"

namespace codeloom {

std::string_view settledLibraryName(const HeaderScan& scan) {
  if (scan.mode != HeaderMode::Dll) return kDefaultLibraryName;  // no Lib clause is written
  return scan.libraryName.empty() ? std::string_view(scan.compiledDll) : scan.libraryName;
}

std::string_view finalLibraryName(const HeaderScan& scan) {
  std::string_view name = settledLibraryName(scan);
  return name.empty() ? kDefaultLibraryName : name;
}

void HeaderText::append(const HeaderText& more) {
  for (size_t at : more.libraryNameAt) libraryNameAt.push_back(text.size() + at);
  text += more.text;
}

void HeaderText::clear() {
  text.clear();
  libraryNameAt.clear();
}

void appendWithLibraryName(std::string& out, const HeaderText& header, std::string_view name) {
  out.reserve(out.size() + header.text.size() + header.libraryNameAt.size() * name.size());
  size_t from = 0;
  for (size_t at : header.libraryNameAt) {
    (out += std::string_view(header.text).substr(from, at - from)) += name;
    from = at;
  }
  out += std::string_view(header.text).substr(from);
}

std::string withLibraryName(const HeaderText& header, std::string_view name) {
  std::string out;
  appendWithLibraryName(out, header, name);
  return out;
}

}  // namespace codeloom
