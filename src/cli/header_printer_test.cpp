#include "cli/header_printer.h"

#include <gtest/gtest.h>

namespace codeloom::cli {
namespace {

// A header of `parts` parts, with name places at every kind of spot: the
// start, the end, side by side and far apart.
std::vector<HeaderText> partsOfAHeader(size_t parts) {
  std::vector<HeaderText> all;
  for (size_t k = 0; k < parts; ++k) {
    HeaderText part;
    part.libraryNameAt.push_back(0);
    part.text = "Declare Sub P" + std::to_string(k) + " Lib \"\" ()\r\n";
    for (size_t line = 0; line < k * 7 % 23; ++line) {
      part.libraryNameAt.push_back(part.text.size() + 17);
      part.text += "Declare Sub Line Lib \"\" Alias \"LINE\" ()\r\n";
    }
    part.text += std::string(k * 13 % 41, 'x');
    if (k % 3 == 0) part.libraryNameAt.push_back(part.text.size());
    if (k % 4 == 1) part.libraryNameAt.push_back(part.text.size());
    all.push_back(part);
  }
  return all;
}

// Prints parts whatever the sizes, and once the name is settled after
// settledAfter parts (never, when beyond them), and compares with the
// whole header named at once.
TEST(HeaderPrinter, PrintsTheHeaderNamedWhateverItsBuffersAndWhenTheNameIsSettled) {
  const std::vector<HeaderText> parts = partsOfAHeader(12);
  HeaderText whole;
  for (const HeaderText& part : parts) whole.append(part);
  const HeaderPrinterSizes sizes[] = {{1, 1}, {2, 3}, {7, 5}, {64, 1}, {1, 64}, {40, 40}, {100000, 100000}, {}};
  for (const HeaderPrinterSizes& size : sizes)
    for (size_t settledAfter : {0, 1, 5, 11, 12}) {
      HeaderScan command;
      command.mode = HeaderMode::Dll;
      std::string printed;
      size_t writes = 0;
      HeaderPrinter printer(
          command,
          [&](std::string_view bytes) {
            printed += bytes;
            ++writes;
            return true;
          },
          size);
      for (size_t k = 0; k < parts.size(); ++k) {
        if (k == settledAfter) command.compiledDll = "late.dll";
        ASSERT_TRUE(printer.print(parts[k]));
      }
      ASSERT_TRUE(printer.finish());
      const std::string name = settledAfter < parts.size() ? "late.dll" : "export.dll";
      EXPECT_EQ(withLibraryName(whole, name), printed)
          << "held " << size.heldInMemory << ", buffer " << size.buffer << ", settled after " << settledAfter;
      if (size.buffer > printed.size()) {
        EXPECT_LE(writes, parts.size() + 1);  // small pieces are gathered: a write a part at most
      }
    }
}

TEST(HeaderPrinter, AFailedWriteIsReported) {
  HeaderScan command;
  command.mode = HeaderMode::Dll;
  command.libraryName = "given.dll";
  HeaderPrinter printer(command, [](std::string_view) { return false; }, {1, 1});
  EXPECT_FALSE(printer.print(partsOfAHeader(3)[2]));
}

}  // namespace
}  // namespace codeloom::cli
