// Output and reporting helpers shared by the codeloom-cli subcommands.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace codeloom::cli {

// Exit statuses of every subcommand: 1 for anything that failed (an
// unreadable input, a write error, lint findings, a stale header, out of
// memory), 2 for a mistake in the command line.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Writes bytes to stdout exactly: no newline translation, nothing added.
// False once any write to stdout has failed; the first failure is kept for
// finishStdout to report.
bool writeStdout(std::string_view bytes);

// Flushes and closes stdout. On a failure, now or in an earlier writeStdout,
// prints "codeloom-cli: write error: REASON" and returns false.
bool finishStdout();

// Writes bytes to path through the safe replacement (a complete new file
// moved over the old one). On failure prints a write error naming path and
// returns false; path is then left as it was.
bool writeFileSafely(const std::string& path, std::string_view bytes);

// Prints a usage error: "codeloom-cli[ SUBCOMMAND]: PROBLEM" and the line
// "Try 'codeloom-cli --help'". Returns kExitUsage.
int reportUsageError(std::string_view subcommand, std::string_view problem);

// A new GUID: CoCreateGuid on Windows, as in the GUI; elsewhere random (version 4).
Guid randomGuid();

// The part of a path after its last "\" or "/".
std::string_view baseName(std::string_view path);

}  // namespace codeloom::cli
