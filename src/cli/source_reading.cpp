#include "cli/source_reading.h"

#include <filesystem>
#include <iostream>
#include <set>

#include "cli/cli_io.h"
#include "cli/include_finder.h"
#include "cli/input_reader.h"
#include "headers/source_sections.h"
#include "platform/grow_only_memory.h"

namespace codeloom::cli {
namespace {

// When printing, the header is printed whenever this much has gathered, so
// that memory holds neither a file nor a long section.
constexpr size_t kPrintAt = size_t(1) << 20;

bool appendInOrder(const SourceOptions& options, HeaderScan& command, HeaderText& header,
                   const std::function<bool(const HeaderText&)>& print) {
  std::vector<ReadResult> results(options.files.size());
  std::vector<SectionFile> files;
  files.reserve(options.files.size());
  for (size_t k = 0; k < options.files.size(); ++k) {
    const std::string& path = options.files[k];
    // The banner shows what follows the last "\" or "/".
    files.push_back({baseName(path),
                     [&path, &result = results[k]](const std::function<bool(std::string_view)>& take) {
                       result = readInputWindows(path, take);
                       return result.ok();
                     },
                     isRegularInput(path), path});
  }
  bool printed = true, read = true;
  const SettledOutput output{[&](const HeaderText& settled) { return printed = print(settled); }, kPrintAt};
  appendSourceSections(header, command, files, print ? &output : nullptr, [&](size_t index, bool) {
    if (print) {
      printed = printed && print(header);
      header.clear();
    }
    if (!printed) return false;
    if (!results[index].ok()) {
      reportReadFailure(options.files[index], results[index]);
      read = false;
    }
    return true;
  });
  return printed && read;
}

// The sources as the compiler reads them. Each file's section is scanned
// into its own text, kept in the order the files were first read.
class IncludeReader {
 public:
  IncludeReader(const SourceOptions& options, HeaderScan& command) : options_(options), command_(command) {
    following_.read = [this](const IncludeLine& include, std::string_view, size_t line) { readInclude(include, line); };
    command_.following = &following_;
  }
  ~IncludeReader() { command_.following = nullptr; }
  IncludeReader(const IncludeReader&) = delete;
  IncludeReader& operator=(const IncludeReader&) = delete;

  bool readSources() {
    for (const std::string& source : options_.files) {
      std::filesystem::path folder = std::filesystem::path(source).parent_path();
      compileFolder_ = folder.empty() ? "." : folder.string();
      readFile(source);
    }
    return read_;
  }

  // The sections, but for those with nothing but their banner (three
  // lines) and the empty line that ends every section.
  void appendTo(HeaderText& header) const {
    for (const HeaderText& section : sections_) {
      size_t lines = 0;
      for (size_t at = 0; (at = section.text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
      if (lines > 4) header.append(section);
    }
  }

 private:
  // A file already read, by any path, is not read again: that also ends
  // cycles, and makes #INCLUDE ONCE and THIS ONCE need nothing more.
  void readFile(const std::string& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    if (!read_files_.insert(error ? path : canonical.string()).second) return;
    const size_t index = sections_.size();
    sections_.emplace_back();  // its place; the files it includes come after it
    HeaderText section;
    reading_.push_back(path);
    ReadResult result;
    appendSourceSection(
        section, command_, baseName(path),
        [&](const std::function<bool(std::string_view)>& take) {
          result = readInputWindows(path, take);
          return result.ok();
        },
        nullptr, nullptr, path);
    reading_.pop_back();
    sections_[index] = std::move(section);
    if (!result.ok()) {
      reportReadFailure(path, result);
      read_ = false;
    }
  }

  void readInclude(const IncludeLine& include, size_t line) {
    if (include.kind == IncludeKind::ThisOnce) return;
    IncludeSearch search;
    if (include.kind != IncludeKind::Unclear) search = findInclude(include.name, compileFolder_, options_.includeDirs);
    if (search.found) return readFile(std::filesystem::path(*search.found).lexically_normal().generic_string());
    // The compiler's own includes usually stand elsewhere: the header goes
    // on, but a name none of the files read defines may be defined there.
    following_.equates.everyIncludeFound = false;
    std::cerr << "codeloom-cli: " << reading_.back() << ":" << line << ": ";
    if (include.kind == IncludeKind::Unclear) {
      std::cerr << "an #INCLUDE whose file cannot be told is not read\n";
      return;
    }
    std::cerr << "include \"" << include.name << "\" not found; looked for";
    for (size_t k = 0; k < search.looked.size(); ++k) std::cerr << (k ? ", " : " ") << search.looked[k];
    std::cerr << "\n";
  }

  const SourceOptions& options_;
  HeaderScan& command_;
  GrowOnlyMemory tableMemory_;  // the equates of an API include fill tens of thousands of entries
  IncludeFollowing following_{Equates(&tableMemory_), {}};  // read is set in the constructor
  std::string compileFolder_;          // the folder of the source whose tree is read
  std::vector<std::string> reading_;   // the files being read, the innermost last
  std::set<std::string> read_files_;
  std::vector<HeaderText> sections_;
  bool read_ = true;
};

}  // namespace

bool appendSources(const SourceOptions& options, HeaderScan& command, HeaderText& header,
                   const std::function<bool(const HeaderText&)>& print) {
  if (!options.followIncludes) return appendInOrder(options, command, header, print);
  IncludeReader reader(options, command);
  bool read = reader.readSources();
  reader.appendTo(header);
  if (print && !print(header)) return false;
  if (print) header.clear();
  return read;
}

}  // namespace codeloom::cli
