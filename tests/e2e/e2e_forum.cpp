// Forum Format Files through the real open-file dialog.
#include <cstdio>

#include "e2e_ids.h"
#include "e2e_support.h"

namespace {

using namespace e2e;

E2E_TEST("forum.one_file", forumOneFile) {
  putSourceFiles({{L"forum_one.bas", "Sub A()\r\n\tx = 1\r\n\r\nEnd Sub\r\n"}});
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  setClipboard(L"before");
  clickAsync(app, kForum);
  HWND dialog = waitForFileDialog(app.process.dwProcessId);
  CHECK(dialog != nullptr);
  if (!dialog) return killApp(app);

  // Owned by the command window: 30 pixels right of and below its corner.
  RECT owner, placed;
  GetWindowRect(app.window, &owner);
  GetWindowRect(dialog, &placed);
  CHECK_EQ(owner.left + 30, placed.left);
  CHECK_EQ(owner.top + 30, placed.top);
  CHECK(GetWindow(dialog, GW_OWNER) == app.window);
  // Placed by the hook, whose child dialog it holds.
  CHECK(FindWindowExW(dialog, nullptr, L"#32770", nullptr) != nullptr);
  CHECK(!IsWindowEnabled(app.window));

  pickFiles(dialog, L"forum_one.bas");
  CHECK(waitUntilGone(dialog));
  CHECK_EQ(cliOutput(ctx, L"forum forum_one.bas", L"C:\\prj\\pb"), narrow(waitForClipboardOtherThan(L"before")));
  CHECK(closeApp(app));
}

E2E_TEST("forum.several_files", forumSeveralFiles) {
  putSourceFiles({{L"forum_b.bas", "b1\rb2"}, {L"forum_a.inc", ""}});
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  clickAsync(app, kForum);
  HWND dialog = waitForFileDialog(app.process.dwProcessId);
  if (!dialog) return killApp(app);
  pickFiles(dialog, L"\"forum_b.bas\" \"forum_a.inc\"");
  CHECK(waitUntilGone(dialog));
  const std::string expected =
      cliOutput(ctx, L"forum forum_b.bas forum_a.inc", L"C:\\prj\\pb");
  CHECK(waitUntil([&] { return narrow(clipboardText()) == expected; }));
  CHECK_EQ(expected, narrow(clipboardText()));
  CHECK(closeApp(app));
}

// Names with characters the ANSI code page lacks: the files are read by the
// names picked, not by a best-fit spelling of them ("8" for infinity, "\"
// for a fullwidth backslash), which here names other files; the output
// shows '?' for each such character.
E2E_TEST("forum.wide_names", forumWideNames) {
  putSourceFiles({{L"w\u221E.bas", "infinity"}, {L"w8.bas", "best fit"},
                  {L"a\uFF3Cb.bas", "fullwidth"}});
  CreateDirectoryW(L"C:\\prj\\pb\\a", nullptr);
  writeFile(L"C:\\prj\\pb\\a\\b.bas", "best fit");
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  const std::pair<const wchar_t*, const wchar_t*> picks[] = {
      {L"\"w\u221E.bas\" \"a\uFF3Cb.bas\"",
       L"w?.bas\r\n[code]infinity[/code]\r\n \r\na?b.bas\r\n[code]fullwidth[/code]\r\n \r\n"},
      {L"a\uFF3Cb.bas", L"a?b.bas\r\n[code]fullwidth[/code]\r\n \r\n"},
  };
  for (const auto& [names, expected] : picks) {
    setClipboard(L"before");
    clickAsync(app, kForum);
    HWND dialog = waitForFileDialog(app.process.dwProcessId);
    if (!dialog) return killApp(app);
    pickFiles(dialog, names);
    CHECK(waitUntilGone(dialog));
    std::wstring clipboard = waitForClipboardOtherThan(L"before");
    CHECK(clipboard == expected);
    if (clipboard != expected) std::printf("clipboard: %ls\n", clipboard.c_str());
  }
  CHECK(closeApp(app));
}

E2E_TEST("forum.cancel", forumCancel) {
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  setClipboard(L"before");
  clickAsync(app, kForum);
  HWND dialog = waitForFileDialog(app.process.dwProcessId);
  if (!dialog) return killApp(app);
  cancelDialog(dialog);
  CHECK(waitUntilGone(dialog));
  // The clipboard then holds an empty text.
  bool hasText = false;
  CHECK(waitUntil([&] { return clipboardText(&hasText).empty() && hasText; }));
  CHECK(IsWindowEnabled(app.window));
  CHECK(closeApp(app));
}

}  // namespace
