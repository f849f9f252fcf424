// The template of the worked example, shared by the tests that expand it and
// the tests that lint it.
#pragma once

#include <string>
#include <vector>

namespace codeloom {

inline const std::vector<std::string> kWorkedExample = {
    "' %title% by %author%",
    "GLOBAL g%upfx%Count AS LONG",
    "{{Icon}}",
    "  LoadIcon %pfx%Icon",
    "{{else}}",
    "  ' no icon",
    "{{/}}",
    "FUNCTION %pfx%Main() {{Param}}BYVAL p AS LONG{{/}}",
    "  x = 1 {{Size}}+ w{{else}}+ 0{{/}}",
    "",
    "{{Mouse}}",
    "  ' mouse",
    "{{/Mouse}}",
    "  END FUNCTION",
};

}  // namespace codeloom
