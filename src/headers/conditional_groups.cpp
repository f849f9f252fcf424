#include "headers/conditional_groups.h"

#include <algorithm>
#include <optional>

namespace codeloom {
namespace {

// The condition of an #IF or #ELSEIF line: what follows its first word.
std::optional<int64_t> conditionOf(std::string_view line, const Equates& equates) {
  size_t word = line.find(' ');
  if (word == std::string_view::npos) return std::nullopt;
  std::string_view condition = line.substr(word + 1);
  while (!condition.empty() && (condition.back() == '\n' || condition.back() == '\r')) condition.remove_suffix(1);
  return evaluateCondition(condition, equates);
}

// A group whose lines are written from now on: an unknown condition came
// before any branch was taken.
void keep(ConditionalGroup& group) {
  group.kept = true;
  group.reading = true;
}

}  // namespace

void takeMetastatement(ConditionalGroups& groups, LineKind kind, std::string_view line, const Equates* equates,
                       std::string& out) {
  if (kind == LineKind::GroupOpen) {
    ConditionalGroup group;
    group.pending = line;
    if (!isRead(groups)) {  // inside a branch not read: so is all of it
      group.kept = group.reading = false;
      group.taken = true;
    } else if (equates) {
      if (std::optional<int64_t> value = conditionOf(line, *equates)) {
        group.kept = false;
        group.reading = group.taken = *value != 0;
      }
    }
    groups.push_back(std::move(group));
    return;
  }
  if (groups.empty()) return;  // unmatched: nothing
  ConditionalGroup& group = groups.back();
  if (group.kept) {
    if (group.linesWritten) out += line;
    else if (kind == LineKind::GroupNext) group.pending += line;
    group.reading = true;
  } else if (kind == LineKind::GroupNext) {
    group.pending += line;  // written should the group yet be kept
    if (group.taken) {
      group.reading = false;
    } else if (line.size() <= 5 || (line[5] != 'i' && line[5] != 'I')) {  // #ELSE, not #ELSEIF
      group.reading = group.taken = true;
    } else if (std::optional<int64_t> value = conditionOf(line, *equates)) {
      group.reading = group.taken = *value != 0;
    } else {
      keep(group);
    }
  }
  if (kind == LineKind::GroupClose) groups.pop_back();
}

void writeOpenGroups(ConditionalGroups& groups, std::string& out) {
  for (ConditionalGroup& group : groups) {
    if (!group.kept || group.linesWritten) continue;
    out += group.pending;
    group.pending.clear();
    group.linesWritten = true;
  }
}

bool isRead(const ConditionalGroups& groups) {
  return std::all_of(groups.begin(), groups.end(), [](const ConditionalGroup& g) { return g.reading; });
}

bool insideKeptGroup(const ConditionalGroups& groups) {
  return std::any_of(groups.begin(), groups.end(), [](const ConditionalGroup& g) { return g.kept; });
}

}  // namespace codeloom
