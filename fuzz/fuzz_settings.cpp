// The settings file. The whole input is the file's bytes (no flags byte).
#include <string>

#include "app/settings.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace codeloom;
  using namespace codeloom::fuzz;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  ToolSettings parsed;
  parseSettings(bytes, parsed);
  FUZZ_CHECK(parsed.classMessages == 0 || parsed.classMessages == -1);

  // Parsing replaces every field: a record full of other values ends equal.
  ToolSettings reused{"n", "a", "t", "f", "c", "p", "m", 5, {"x", "y"}, "d\r\ne"};
  parseSettings(bytes, reused);
  FUZZ_CHECK(reused == parsed);

  // The file written for the record reads back as the same record, and is
  // ten lines, each ended by CR LF with no other CR.
  std::string text = formatSettings(parsed);
  ToolSettings reread;
  parseSettings(text, reread);
  FUZZ_CHECK(reread == parsed);
  FUZZ_CHECK(formatSettings(reread) == text);
  FUZZ_CHECK(linesEndInCrLf(text));
  size_t crs = 0;
  for (char c : text) crs += c == '\r';
  FUZZ_CHECK(crs == 10);
  return 0;
}
