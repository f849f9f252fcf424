#include "platform/file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace codeloom {
namespace {

TEST(FileName, SafeStems) {
  for (const char* stem : {"Pen", "", "demo app", "a.b", "Pen.", "Pen ", ".", "..", "...",
                           "\x7F", "\xE9t\xE9", "CONSOLE", "NULL", "COM", "COM10", "LPTX",
                           "AUXI", "xCON", "CON_", "$", "Message", "~cl1234"})
    EXPECT_TRUE(isSafeFileStem(stem)) << stem;
}

TEST(FileName, RefusedCharacters) {
  for (char c : std::string("<>:\"/\\|?*")) {
    EXPECT_FALSE(isSafeFileStem(std::string("a") + c + "b")) << c;
    EXPECT_FALSE(isSafeFileStem(std::string(1, c))) << c;
  }
  for (int c = 0; c < 32; ++c) EXPECT_FALSE(isSafeFileStem(std::string("a") + char(c))) << c;
  for (const char* stem : {"..\\escaped", "..\\..\\x", ".\\Message", "C:x", "C:\\x", "a/b",
                           "\\\\server\\share\\x", "Pen:stream", "a?b"})
    EXPECT_FALSE(isSafeFileStem(stem)) << stem;
}

TEST(FileName, DeviceNames) {
  for (const char* stem : {"CON", "con", "Prn", "aux", "NUL", "nul.x", "NUL .x", " nul",
                           "nul ", "COM0", "com1", "COM9", "LPT1", "lpt9", "CONIN$", "conout$",
                           "COM\xB9", "LPT\xB2", "com\xB3.a.b"})
    EXPECT_FALSE(isSafeFileStem(stem)) << stem;
}

}  // namespace
}  // namespace codeloom
