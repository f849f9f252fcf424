// The #IF groups open around the lines a header is written from, and which
// of their lines go into the header.
//
// A group's metastatement lines are held until something is written inside
// it, and dropped with a group that gets nothing, so that both branches'
// Declares stay apart and groups around nothing are left out. Where the
// conditions are evaluated (equates given), a group whose conditions are
// known up to its taken branch is decided: only that branch is read, and
// none of its metastatement lines is written. A group with a condition that
// is unknown before a branch is taken is kept as above, all its branches
// read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "headers/conditions.h"
#include "headers/line_kinds.h"

namespace codeloom {

struct ConditionalGroup {
  std::string pending;        // metastatement lines not written yet, each with CR LF
  bool kept = true;           // its lines are written once something inside is
  bool linesWritten = false;  // they have been
  bool reading = true;        // the lines of the branch now open are read
  bool taken = false;         // decided: a branch was taken, the rest are not read
};

using ConditionalGroups = std::vector<ConditionalGroup>;

// Takes a metastatement line (GroupOpen, GroupNext or GroupClose), normalised
// and ended with CR LF; appends to out what is written at once. equates:
// null when conditions are not evaluated.
void takeMetastatement(ConditionalGroups& groups, LineKind kind, std::string_view line, const Equates* equates,
                       std::string& out);

// Something is about to be written: the held lines of the groups around it go first.
void writeOpenGroups(ConditionalGroups& groups, std::string& out);

// Whether the current line is read: every group around it reads its branch.
bool isRead(const ConditionalGroups& groups);

// Whether a group around the current line is kept: what it holds may or
// may not be compiled.
bool insideKeptGroup(const ConditionalGroups& groups);

}  // namespace codeloom
