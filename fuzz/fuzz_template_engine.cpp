// The template engine. Flags: unused. Parts: the name prefix, author, title,
// description, the option names separated by commas, then the template.
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/text_lines.h"
#include "templates/template_engine.h"
#include "templates/template_lint.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace codeloom;
  using namespace codeloom::fuzz;
  FuzzInput input = splitInput(data, size, 6);
  TemplateValues values{.namePrefix = std::string(input.parts[0]),
                        .author = std::string(input.parts[1]),
                        .title = std::string(input.parts[2]),
                        .description = std::string(input.parts[3])};
  for (std::string_view options = input.parts[4];;) {
    size_t comma = options.find(',');
    values.options.emplace(options.substr(0, comma));
    if (comma == std::string_view::npos) break;
    options.remove_prefix(comma + 1);
  }
  std::string_view templateText = input.parts[5];

  // A small limit, so that refused expansions are explored too.
  constexpr size_t kLimit = 1 << 16;
  std::optional<std::string> expanded = expandTemplate(templateText, values, kLimit);

  // The same expansion line by line, with the same single flag of state.
  std::string byLine;
  TemplateExpander expander;
  expander.room = kLimit;
  LineReader reader(templateText);
  bool hasMarker = false, hasPercent = false;
  for (std::string_view line; reader.next(line);) {
    hasMarker = hasMarker || line.find("{{") != std::string_view::npos;
    hasPercent = hasPercent || line.find('%') != std::string_view::npos;
    if (std::optional<std::string> written = expandTemplateLine(expander, line, values))
      byLine += *written + "\r\n";
  }
  // The lint reads any template; one it passes writes no marker text when
  // the values bring none in.
  const bool clean = lintTemplate(templateText).empty();
  FUZZ_CHECK(expanded.has_value() == !expander.tooLarge);
  if (!expanded) return 0;
  const std::string& output = *expanded;
  FUZZ_CHECK(output == byLine);
  FUZZ_CHECK(output.size() <= kLimit);

  // Values without a CR leave every written line ending in CR LF (the
  // description's own lines end in CR LF too).
  bool valuesHaveCr = false;
  for (size_t i = 0; i < 4; ++i) valuesHaveCr = valuesHaveCr || input.parts[i].find('\r') != std::string_view::npos;
  if (!valuesHaveCr) FUZZ_CHECK(linesEndInCrLf(output));

  // An empty value can join the braces around its placeholder ("{%title%{"
  // gives "{{"), which no reading of the template alone can foresee.
  bool valuesPlain = true;
  for (size_t i = 0; i < 4; ++i)
    valuesPlain = valuesPlain && !input.parts[i].empty() &&
                  input.parts[i].find_first_of("{}%") == std::string_view::npos;
  if (clean && valuesPlain) FUZZ_CHECK(output.find("{{") == std::string::npos);

  // A template without placeholders or markers is copied line by line.
  if (!hasMarker && !hasPercent) {
    std::string copy;
    LineReader again(templateText);
    for (std::string_view line; again.next(line);) copy.append(line).append("\r\n");
    FUZZ_CHECK(output == copy);
  }
  return 0;
}
