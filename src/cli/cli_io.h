// File and stream helpers shared by the codeloom-cli subcommands.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace codeloom::cli {

// Exit statuses of every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitUnreadableInput = 1;
constexpr int kExitUsage = 2;

// The whole file; false when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes);

// Writes bytes to stdout exactly: no newline translation, nothing added.
void writeStdout(std::string_view bytes);

// Reports an unreadable input file on stderr.
void reportUnreadable(const std::string& path);

// A new GUID: CoCreateGuid on Windows, as in the GUI; elsewhere random (version 4).
Guid randomGuid();

// The part of a path after its last "\" or "/".
std::string_view baseName(std::string_view path);

}  // namespace codeloom::cli
