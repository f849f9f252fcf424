// Write SLL / DLL / compile headers through the real open-file dialog.
#include "e2e_ids.h"
#include "e2e_support.h"

namespace {

using namespace e2e;

const char kLibSource[] =
    "Function AddTwo(ByVal a As Long, _\r\n"
    "                ByVal b As Long) Export As Long\r\n"
    "  Function = a + b\r\n"
    "End Function\r\n"
    "Class CCounter\r\n"
    "  Interface ICounter\r\n"
    "    Inherit IUnknown\r\n"
    "    Method Increment(ByVal n As Long) As Long\r\n"
    "      Method = n + 1\r\n"
    "    End Method\r\n"
    "  End Interface\r\n"
    "End Class\r\n";

const char kHelperSource[] =
    "Sub Helper() Common\r\n"
    "End Sub\r\n"
    "Interface ICounter\r\n"
    "  Inherit IUnknown\r\n"
    "End Interface\r\n";

std::string banner(const std::string& name) {
  const std::string rule = "'----------------------------------------------------------------------\r\n";
  return rule + "' " + name + "\r\n" + rule;
}

// What codeloom-cli prints for the same files in C:\prj\pb: the exact bytes
// are the unit tests' to own; here the program must give the same answer.
std::string cliHeaders(const Context& ctx, int mode, const std::wstring& files) {
  const wchar_t* name = mode == kSll ? L"sll" : mode == kDll ? L"dll" : L"compile";
  return cliOutput(ctx, std::wstring(L"headers --mode ") + name + L" " + files, L"C:\\prj\\pb");
}

void putFiles() {
  putSourceFiles({{L"hdr_lib.bas", kLibSource}, {L"hdr_b.inc", kHelperSource}});
}

// Presses a header button, picks names in the dialog and returns the text
// the clipboard then holds.
std::string runHeaders(App& app, int button, const std::wstring& names) {
  setClipboard(L"before");
  clickAsync(app, button);
  HWND dialog = waitForFileDialog(app.process.dwProcessId);
  CHECK(dialog != nullptr);
  if (!dialog) return "<no dialog>";
  // No owner: the command window stays enabled meanwhile. No hook either:
  // a hooked Explorer-style dialog holds the hook's child dialog.
  CHECK(GetWindow(dialog, GW_OWNER) == nullptr);
  CHECK(FindWindowExW(dialog, nullptr, L"#32770", nullptr) == nullptr);
  CHECK(IsWindowEnabled(app.window));
  if (names.empty()) cancelDialog(dialog); else pickFiles(dialog, names);
  CHECK(waitUntilGone(dialog));
  return narrow(waitForClipboardOtherThan(L"before"));
}

E2E_TEST("headers.one_file", headersOneFile) {
  putFiles();
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  for (int mode : {kSll, kDll, kCompile})
    CHECK_EQ(cliHeaders(ctx, mode, L"hdr_lib.bas"), runHeaders(app, mode, L"hdr_lib.bas"));
  CHECK(closeApp(app));
}

// A source as git stores it, with LF line ends, with #IF branches, an
// Alias and a dispatch interface: the window's reader gives what the
// command line's does (whose cases hold the same against CR LF files).
E2E_TEST("headers.lf_line_ends", headersLfLineEnds) {
  putSourceFiles({{L"hdr_lf.bas",
                   "#IF %DEF(%UNICODE)\n"
                   "FUNCTION W ALIAS \"W\" (BYVAL s AS WSTRING, _  ' text\n"
                   "           BYVAL n AS LONG) EXPORT AS LONG\n"
                   "#ELSE\n"
                   "FUNCTION W ALIAS \"W\" (BYVAL s AS STRING) EXPORT AS LONG\n"
                   "#ENDIF\n"
                   "INTERFACE IDBIND IPen\n"
                   "  MEMBER GET Color <1> () AS LONG\n"
                   "END INTERFACE\n"}});
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  for (int mode : {kSll, kDll, kCompile}) {
    std::string header = runHeaders(app, mode, L"hdr_lf.bas");
    CHECK_EQ(cliHeaders(ctx, mode, L"hdr_lf.bas"), header);
    CHECK(header.find("MEMBER GET Color") != std::string::npos);
  }
  CHECK(closeApp(app));
}

// A name with a character the ANSI code page lacks is read by that name;
// its best-fit spelling (C:\prj\pb\h\.bas) holds another procedure.
E2E_TEST("headers.wide_name", headersWideName) {
  putSourceFiles({{L"h\uFF3C.bas", "Sub Real() Export\r\n"}});
  CreateDirectoryW(L"C:\\prj\\pb\\h", nullptr);
  writeFile(L"C:\\prj\\pb\\h\\.bas", "Sub Trap() Export\r\n");
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  CHECK_EQ(banner("h?.bas") + "Declare Sub Real()\r\n\r\n", runHeaders(app, kSll, L"h\uFF3C.bas"));
  CHECK(closeApp(app));
}

E2E_TEST("headers.several_files", headersSeveralFiles) {
  putFiles();
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  // The interface is written once, in the first file that defines it; each
  // file keeps its banner and its own declarations.
  struct Order { const wchar_t* typed; const wchar_t* arguments; };
  for (Order order : {Order{L"\"hdr_lib.bas\" \"hdr_b.inc\"", L"hdr_lib.bas hdr_b.inc"},
                      Order{L"\"hdr_b.inc\" \"hdr_lib.bas\"", L"hdr_b.inc hdr_lib.bas"}})
    for (int mode : {kSll, kDll, kCompile})
      CHECK_EQ(cliHeaders(ctx, mode, order.arguments), runHeaders(app, mode, order.typed));
  // Only the first file that defines ICounter shows it.
  std::string section = runHeaders(app, kSll, L"\"hdr_b.inc\" \"hdr_lib.bas\"");
  CHECK_EQ(section.find("Interface ICounter"), section.rfind("Interface ICounter"));
  CHECK(closeApp(app));
}

// A DLL project picked by hand, its main file last: the #COMPILE DLL name
// names every Lib clause, the entry point gets no Declare, and each
// DISPATCH interface is kept.
E2E_TEST("headers.dll_project", headersDllProject) {
  putSourceFiles({{L"kit_util.inc", "Sub FreeCache()EXPORT\r\n"
                                     "Interface Dispatch IEvents\r\n  Member Call Done()\r\nEnd Interface\r\n"},
                  {L"kit_main.bas", "#COMPILE DLL \"..\\bin\\Kit.dll\"\r\n"
                                     "Macro KitExport = Export\r\n"
                                     "Function LibMain(ByVal h As Long, ByVal r As Long, ByVal x As Long) Export As Long\r\n"
                                     "End Function\r\n"
                                     "Sub Start() KitExport\r\n"
                                     "Interface Dispatch IEvents2\r\n  Member Call Stop()\r\nEnd Interface\r\n"}});
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  std::string header = runHeaders(app, kDll, L"\"kit_util.inc\" \"kit_main.bas\"");
  CHECK_EQ(cliHeaders(ctx, kDll, L"kit_util.inc kit_main.bas"), header);
  CHECK(header.find("Declare Sub FreeCache Lib \"Kit.dll\" Alias \"FREECACHE\" ()") != std::string::npos);
  CHECK(header.find("Declare Sub Start Lib \"Kit.dll\"") != std::string::npos);
  CHECK(header.find("LibMain") == std::string::npos);
  CHECK(header.find("Interface Dispatch IEvents\r\n") != std::string::npos);
  CHECK(header.find("Interface Dispatch IEvents2\r\n") != std::string::npos);
  CHECK(closeApp(app));
}

E2E_TEST("headers.cancel", headersCancel) {
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  CHECK_EQ("", runHeaders(app, kDll, L""));
  bool hasText = false;
  clipboardText(&hasText);
  CHECK(hasText);  // an empty text, not an empty clipboard
  CHECK(closeApp(app));
}

E2E_TEST("headers.any_notification_code", headersAnyNotificationCode) {
  putFiles();
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  setClipboard(L"before");
  // Unlike the other buttons, a header button runs on any notification code.
  PostMessageW(app.window, WM_COMMAND, MAKEWPARAM(kCompile, 5), 0);
  HWND dialog = waitForFileDialog(app.process.dwProcessId);
  CHECK(dialog != nullptr);
  if (!dialog) return killApp(app);
  pickFiles(dialog, L"hdr_lib.bas");
  CHECK(waitUntilGone(dialog));
  CHECK_EQ(cliHeaders(ctx, kCompile, L"hdr_lib.bas"), narrow(waitForClipboardOtherThan(L"before")));
  CHECK(closeApp(app));
}

}  // namespace

namespace {

using namespace e2e;

E2E_TEST("headers.large_selection", headersLargeSelection) {
  // More names than a 64K-character result buffer holds: the selection must
  // still come through, not be taken for a cancel.
  constexpr int kFiles = 5000;
  std::vector<std::pair<std::wstring, std::string>> files;
  std::wstring names;
  std::string expected;
  for (int i = 0; i < kFiles; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"big_selection_%05d.bas", i);
    files.push_back({name, "Sub S() Export\r\n"});
    names += std::wstring(L"\"") + name + L"\" ";
    expected += banner(narrow(name)) + "Declare Sub S()\r\n\r\n";
  }
  putSourceFiles(files);
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  CHECK(names.size() > 64 * 1024);
  CHECK_EQ(expected, runHeaders(app, kSll, names));
  CHECK(closeApp(app));
}

}  // namespace
