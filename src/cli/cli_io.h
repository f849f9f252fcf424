// Output and reporting helpers shared by the codeloom-cli subcommands.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/safe_write.h"

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

// Writes bytes to path through the safe replacement that the GUI uses (a
// complete new file moved over the old one), keeping the target's mode or
// attributes; on POSIX through a symbolic link to the file it names. A
// read-only target is never written. On failure prints why (naming the
// file that holds the new text when the target could not take it) and
// returns false.
bool writeFileSafely(const std::string& path, std::string_view bytes);

// Prints "codeloom-cli: write error: ..." for a save that did not write
// path; true, printing nothing, for one that did.
bool reportWriteOutcome(const std::string& path, const WriteOutcome& outcome);

// Makes a standard stream binary: no CR LF translation on Windows, nothing
// to do elsewhere.
void useBinaryMode(std::FILE* stream);

// The size of an open regular file; 0 for anything else (a pipe, a device),
// or when it cannot be told. One fstat on the open file: no second walk of
// its path, which for many small sources costs as much as reading them.
uint64_t regularFileSize(std::FILE* file);

// strerror(error), or otherwise when error is 0.
std::string errorText(int error, const char* otherwise);

// Prints a usage error: "codeloom-cli[ SUBCOMMAND]: PROBLEM" and the line
// "Try 'codeloom-cli --help'". Returns kExitUsage.
int reportUsageError(std::string_view subcommand, std::string_view problem);

// A new GUID: CoCreateGuid on Windows, as in the GUI; elsewhere random (version 4).
Guid randomGuid();

// The part of a path after its last "\" or "/".
std::string_view baseName(std::string_view path);

}  // namespace codeloom::cli
