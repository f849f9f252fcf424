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

// Reads the whole file into buffer, which keeps its capacity from file to
// file, and points bytes at the content. False when it cannot be read.
bool readInto(const std::string& path, std::string& buffer, std::string_view& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  size_t length = 0;
  for (;;) {
    if (length == buffer.size()) buffer.resize(std::max<size_t>(buffer.size() * 2, 1 << 16));
    size_t got = std::fread(buffer.data() + length, 1, buffer.size() - length, file);
    length += got;
    if (got == 0) break;
  }
  bool ok = !std::ferror(file);
  std::fclose(file);
  bytes = std::string_view(buffer.data(), ok ? length : 0);
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
    // One file at a time: read it, scan it, print its section, so memory
    // holds one file and its section rather than the whole corpus.
    InterfaceNames interfaceNames;
    std::string buffer;
    std::string section;
    status = kExitOk;
    for (const std::string& path : args->files) {
      std::string_view bytes;
      if (!readInto(path, buffer, bytes)) {
        reportUnreadable(path);
        status = kExitUnreadableInput;
      }
      section.clear();
      // The banner shows what follows the last "\" or "/".
      scanSourceFile(section, interfaceNames, baseName(path), bytes, mode);
      writeStdout(section);
    }
  });
}

}  // namespace codeloom::cli
