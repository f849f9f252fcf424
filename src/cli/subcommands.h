// The codeloom-cli subcommands. Each prints exactly the bytes its button
// would put on the clipboard or in its file, and stores its exit status.
#pragma once

#include <CLI/CLI.hpp>

namespace codeloom::cli {

void addGuidCommand(CLI::App& app, int& status);
void addHeadersCommand(CLI::App& app, int& status);
void addForumCommand(CLI::App& app, int& status);
void addExpandCommand(CLI::App& app, int& status);
void addClassCommands(CLI::App& app, int& status);
void addLintCommand(CLI::App& app, int& status);

}  // namespace codeloom::cli
