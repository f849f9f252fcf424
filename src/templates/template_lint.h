// The template lint: what in a template the engine would read otherwise
// than its author most likely meant. It reads the template exactly as
// expandTemplate does (the same text lines, the same marker reading), before
// any value is put in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace codeloom {

enum class LintSeverity { Error, Warning };

struct LintFinding {
  size_t line = 0;    // from 1
  size_t column = 0;  // from 1, in bytes
  LintSeverity severity = LintSeverity::Error;
  std::string message;
};

// Every finding in the template, in line and column order; none for a
// clean template.
std::vector<LintFinding> lintTemplate(std::string_view templateText);

// "FILE:LINE:COLUMN: error: MESSAGE" (or "warning:"), with a line end: the
// form editors jump to.
std::string formatLintFinding(std::string_view file, const LintFinding& finding);

}  // namespace codeloom
