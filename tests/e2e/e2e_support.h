// What the end-to-end driver needs to act as Codeloom's user: start the
// program, find its windows, press its buttons, fill its dialogs, and read
// the clipboard, the files and the foreground window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// ---- Checks -------------------------------------------------------------

// Counts and prints failed checks; the driver's exit status is the count.
extern int failures;
void fail(const std::string& what, const char* file, int line);
#define CHECK(cond) ((cond) ? (void)0 : ::e2e::fail(#cond, __FILE__, __LINE__))
#define CHECK_EQ(expected, actual) \
  ::e2e::checkEqual((expected), (actual), #actual, __FILE__, __LINE__)
void checkEqual(const std::string& expected, const std::string& actual, const char* what,
                const char* file, int line);
void checkEqual(long long expected, long long actual, const char* what, const char* file,
                int line);

// ---- Text ----------------------------------------------------------------

std::string narrow(const std::wstring& text);  // UTF-16 to ANSI bytes
std::wstring widen(const std::string& text);   // ANSI bytes to UTF-16
// Bytes with CR, LF, tabs and other controls made visible, for messages.
std::string visible(const std::string& bytes);
// Text written with "\n" line ends, given CR LF ones.
std::string crlf(const std::string& text);

// ---- The program under test ---------------------------------------------

struct Context {
  std::wstring appPath;    // C:\...\codeloom.exe
  std::wstring workDir;    // the program's current directory
};

struct App {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;  // the command window
};

// Starts codeloom.exe in ctx.workDir and waits for its command window.
bool startApp(const Context& ctx, App& app);
// Closes the command window with the close box; true when the program ended
// with exit status 0.
bool closeApp(App& app);
// Ends the program if it is still running (after a failed check).
void killApp(App& app);

// What codeloom-cli.exe (beside codeloom.exe) prints on stdout for these
// arguments, run in folder: the same engines' answer for the same input,
// which the tests compare the program's output with instead of restating
// it. A run that fails or exits with an error fails the check.
std::string cliOutput(const Context& ctx, const std::wstring& arguments,
                      const std::wstring& folder);
// Which of codeloom-cli.exe's output streams runCli captures; the other
// goes to the driver's own.
enum class CliStream { Stdout, Stderr };
// Runs codeloom-cli.exe in folder and returns its exit status (-1 when it
// did not start), with the captured stream appended to captured.
int runCli(const Context& ctx, const std::wstring& arguments, const std::wstring& folder,
           std::string& captured, CliStream stream);

// Processes this thread's messages for ms milliseconds: the driver owns
// windows (the fake IDE) that the program talks to.
void pump(int ms);

// Polls every 50 ms, pumping messages, until found returns a window or the
// timeout passes.
// How long the driver waits for what should happen: long, since a passing
// test never waits it out, and a loaded machine can slow Wine down a lot.
constexpr int kPatienceMs = 30000;
HWND waitFor(const std::function<HWND()>& found, int timeoutMs = kPatienceMs);

// A visible top-level window of the process with this class and caption.
HWND findProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& caption);
// Visible top-level dialogs (#32770) of the process.
std::vector<HWND> processDialogs(DWORD processId);

// Presses a button of the command window. Commands that open a modal
// dialog must be posted; the others are sent and so done on return.
void clickAndWait(App& app, int id);
void clickAsync(App& app, int id);

std::wstring windowText(HWND window);
std::wstring className(HWND window);

// Waits for the process's dialog with this caption.
HWND waitForDialog(DWORD processId, const std::wstring& caption);
// Waits until the window is gone; false on timeout.
bool waitUntilGone(HWND window, int timeoutMs = kPatienceMs);
// Polls, pumping messages, until done() holds; false on timeout.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = kPatienceMs);

// Dialog controls of another process, as a user would work them.
void typeText(HWND dialog, int id, const std::string& text);
std::string controlText(HWND dialog, int id);
// Posts a button's click to its dialog (the dialog may close meanwhile).
void pressButton(HWND dialog, int id);
// Presses Escape in the dialog, as the dialog manager sees it.
void pressEscape(HWND dialog);

// ---- Layout -----------------------------------------------------------------

// A rectangle given in dialog units, in pixels, for the dialog font
// "MS Sans Serif" 8 (position and size mapped separately, as the dialog
// engine does).
RECT dialogRect(int x, int y, int width, int height);
std::string describe(const RECT& r);
// The dialog's client area relative to the owner's client corner, described.
std::string clientPlacement(HWND owner, HWND dialog);

struct ExpectedControl {
  int id;
  const wchar_t* className;
  const wchar_t* caption;
  int x, y, width, height;  // dialog units
  LONG style;               // bits that must be set besides WS_CHILD | WS_VISIBLE
};
// Checks the dialog's controls in creation (z and tab) order: ids, classes,
// captions, styles and rectangles. The caption of an edit or list box is
// not checked (it holds the user's values).
void checkControls(HWND dialog, const ExpectedControl* controls, size_t count);

// ---- Clipboard, files, fake IDE ------------------------------------------

bool setClipboard(const std::wstring& text);
// The Unicode text on the clipboard; hasText false when there is none.
std::wstring clipboardText(bool* hasText = nullptr);
// Waits until the clipboard holds text other than `before` (an empty text
// counts) and returns it. Wine hands another process's clipboard data over
// a moment after it is set: a read that early finds no text at all.
std::wstring waitForClipboardOtherThan(const std::wstring& before);

bool readFile(const std::wstring& path, std::string& bytes);
bool writeFile(const std::wstring& path, const std::string& bytes);
bool fileExists(const std::wstring& path);
// Every GUID text "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" in lower case
// becomes "{GUID}".
std::string maskGuids(const std::string& text);

// A top-level window of the driver with the given title, standing in for
// the PowerBASIC IDE.
HWND createFakeIde(const std::wstring& title);

// ---- Open-file dialog ------------------------------------------------------

// Writes source files into C:\prj\pb, the file dialog's initial folder.
void putSourceFiles(const std::vector<std::pair<std::wstring, std::string>>& files);
// Waits for the process's "Select files" dialog.
HWND waitForFileDialog(DWORD processId);
// Types names into the dialog's file-name box and presses Open. Several
// files: "\"a.bas\" \"b.bas\"".
void pickFiles(HWND fileDialog, const std::wstring& names);
void cancelDialog(HWND dialog);

// ---- The registry of tests ------------------------------------------------

using TestFunction = void (*)(const Context&);
struct TestRegistration {
  TestRegistration(const char* name, TestFunction function);
};
#define E2E_TEST(name, ident)                                  \
  static void ident(const ::e2e::Context&);                    \
  static ::e2e::TestRegistration ident##_registration(name, ident); \
  static void ident(const ::e2e::Context& ctx)

TestFunction findTest(const std::string& name);
std::vector<std::string> testNames();

}  // namespace e2e
