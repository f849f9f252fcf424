// The codeloom-cli subcommands, free of the command-line parser: main.cpp
// parses the arguments into these options. Each subcommand prints exactly
// the bytes its button would put on the clipboard or in its file, and
// returns its exit status.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "classgen/skeleton.h"
#include "cli/source_reading.h"
#include "headers/source_scanner.h"

namespace codeloom::cli {

int runGuid();

struct HeadersOptions {
  HeaderMode mode = HeaderMode::Sll;
  std::string libraryName;  // in the Lib clauses of mode Dll; empty: from #COMPILE DLL, else export.dll
  std::vector<std::string> files;         // scanned in this order
  std::optional<std::string> outputPath;  // write the header here, only when it changes
  std::optional<std::string> checkPath;   // change nothing; fail unless it holds the header
  bool followIncludes = false;  // read #INCLUDE files and evaluate #IF as the compiler does
  std::vector<std::string> includeDirs;  // -I: where an #INCLUDE without a folder is looked for first
};
int runHeaders(const HeadersOptions& options);

struct ForumOptions {
  std::vector<std::string> files;
};
int runForum(const ForumOptions& options);

// An option left empty keeps the value of the settings file, or the default.
struct ExpandOptions {
  std::string templatePath;
  std::optional<std::string> settingsPath;
  std::optional<std::string> name, author, title, description;
  std::optional<std::vector<std::string>> options;  // selected option names, exactly as given
};
int runExpand(const ExpandOptions& options);

// New Class or New Interface; an option left empty keeps the value of the
// settings file, or the default.
struct ClassOptions {
  SkeletonKind kind = SkeletonKind::Class;
  std::optional<std::string> name, properties, methods;
  std::optional<bool> messages;
  std::string settingsFile;        // none when empty
  std::deque<std::string> guids;   // fixed GUIDs to use first, for exact output
};
int runClass(ClassOptions options);

// A hand-written header held against the DLL its sources build.
struct AuditOptions {
  std::string header;
  SourceOptions sources;
  std::string libraryName;  // the DLL's name; empty: the #COMPILE DLL line's
};
int runAudit(const AuditOptions& options);

struct LintOptions {
  std::vector<std::string> templates;  // "-" reads standard input
};
int runLint(const LintOptions& options);

}  // namespace codeloom::cli
