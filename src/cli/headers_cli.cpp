#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/subcommands.h"
#include "headers/source_scanner.h"

namespace codeloom::cli {
namespace {

const std::map<std::string, HeaderMode> kModes = {
    {"sll", HeaderMode::Sll}, {"dll", HeaderMode::Dll}, {"compile", HeaderMode::Compile}};

// Scans the file at path through a bounded window and prints its section,
// so memory holds neither the file nor a long section. False when the file
// cannot be opened or read: it then counts as empty (when the failure comes
// after part of a long section was printed, that part stays printed).
bool printSection(const std::string& path, InterfaceNames& interfaceNames, HeaderMode mode,
                  std::string& window, std::string& section) {
  constexpr size_t kWindow = size_t(1) << 16;
  constexpr size_t kFlushAt = size_t(1) << 20;
  window.resize(kWindow);
  section.clear();
  SourceScan scan;
  // The banner shows what follows the last "\" or "/".
  std::string_view name = baseName(path);
  beginSourceScan(scan, section, interfaceNames, name, mode);
  size_t banner = section.size();
  bool flushed = false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  bool ok = file != nullptr;
  while (ok) {
    size_t got = std::fread(window.data(), 1, window.size(), file);
    scanSourceBytes(scan, std::string_view(window.data(), got));
    if (section.size() >= kFlushAt) {
      writeStdout(section);
      section.clear();
      flushed = true;
    }
    if (got < window.size()) ok = !std::ferror(file);
    if (got < window.size()) break;
  }
  if (file) std::fclose(file);
  if (ok) {
    endSourceScan(scan);
  } else {
    abandonSourceScan(scan);
    if (!flushed) section.resize(banner);  // counts as empty
    section += "\r\n";  // the section still ends with its empty line
  }
  writeStdout(section);
  return ok;
}

struct HeadersArgs {
  std::string mode;
  std::vector<std::string> files;
};

}  // namespace

void addHeadersCommand(CLI::App& app, int& status) {
  auto args = std::make_shared<HeadersArgs>();
  CLI::App* headers = app.add_subcommand(
      "headers", "Print the header that Write SLL/DLL/compile headers builds for FILE..., in order");
  headers->add_option("--mode", args->mode, "sll, dll or compile")
      ->required()
      ->check(CLI::IsMember({"sll", "dll", "compile"}));
  headers->add_option("files", args->files, "Source files, scanned in this order")->required();
  headers->callback([args, &status] {
    HeaderMode mode = kModes.at(args->mode);
    // One file at a time, through a window: memory holds neither the file
    // nor the corpus.
    InterfaceNames interfaceNames;
    std::string window;
    std::string section;
    status = kExitOk;
    for (const std::string& path : args->files) {
      if (!printSection(path, interfaceNames, mode, window, section)) {
        reportUnreadable(path);
        status = kExitUnreadableInput;
      }
    }
  });
}

}  // namespace codeloom::cli
