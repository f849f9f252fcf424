// codeloom-e2e: runs one end-to-end test against codeloom.exe.
//
//   codeloom-e2e TEST APP_EXE WORK_DIR    exit status = failed checks
//   codeloom-e2e --list
#include <cstdio>

#include "e2e_support.h"

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--list") {
    for (const std::string& name : e2e::testNames()) std::printf("%s\n", name.c_str());
    return 0;
  }
  if (argc != 4) {
    std::printf("usage: codeloom-e2e TEST APP_EXE WORK_DIR | --list\n");
    return 2;
  }
  std::string name = e2e::narrow(argv[1]);
  e2e::TestFunction test = e2e::findTest(name);
  if (!test) {
    std::printf("no test named %s\n", name.c_str());
    return 2;
  }
  test({argv[2], argv[3]});
  std::printf("%s: %s (%d failed checks)\n", name.c_str(), e2e::failures ? "FAILED" : "passed",
              e2e::failures);
  return e2e::failures > 100 ? 100 : e2e::failures;
}
