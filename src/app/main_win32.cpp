// The program's entry point: common controls, then the command window until
// it is closed. The command line is ignored.
#include <windows.h>

#include "app/command_window.h"
#include "platform/platform_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  codeloom::initCommonControls();
  codeloom::Win32Platform platform;
  return codeloom::runCommandWindow(platform);
}
