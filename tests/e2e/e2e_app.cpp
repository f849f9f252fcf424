// The command window: layout, New GUID, notification codes, Escape and the
// close box.
#include <cwctype>

#include "e2e_support.h"

namespace {

using namespace e2e;

const ExpectedControl kControls[] = {
    {1001, L"Button", L"&Forum Format Files", 10, 5, 105, 15, WS_TABSTOP},
    {1002, L"Button", L"New &Class", 10, 30, 105, 15, WS_TABSTOP},
    {1004, L"Button", L"New &Interface", 10, 45, 105, 15, WS_TABSTOP},
    {1012, L"Button", L"New &GUID", 10, 60, 105, 15, WS_TABSTOP},
    {1032, L"Button", L"Write SLL &headers", 10, 75, 105, 15, WS_TABSTOP},
    {1035, L"Button", L"Write DLL header&s", 10, 90, 105, 15, WS_TABSTOP},
    {1034, L"Button", L"Write compile heade&rs", 10, 105, 105, 15, WS_TABSTOP},
    {1025, L"Button", L"New &App", 10, 130, 105, 15, WS_TABSTOP},
    {1026, L"Button", L"New &Win", 10, 145, 105, 15, WS_TABSTOP},
    {1027, L"Button", L"New Chil&d", 10, 160, 105, 15, WS_TABSTOP},
    {1029, L"Static", L"Line2", 5, 25, 114, 1, SS_ETCHEDHORZ},
    {1030, L"Static", L"Line2", 5, 125, 115, 1, SS_ETCHEDHORZ},
};

bool isGuidLiteral(const std::wstring& text) {
  const std::wstring head = L"GUID$(\"{", tail = L"}\") ";
  if (text.size() != 48 || text.compare(0, 8, head) != 0 || text.compare(44, 4, tail) != 0)
    return false;
  for (size_t i = 8; i < 44; ++i) {
    bool dash = i == 16 || i == 21 || i == 26 || i == 31;
    if (dash ? text[i] != L'-' : !(std::iswdigit(text[i]) || (text[i] >= L'a' && text[i] <= L'f')))
      return false;
  }
  return true;
}

E2E_TEST("app.layout", appLayout) {
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  HWND w = app.window;
  LONG style = GetWindowLongW(w, GWL_STYLE);
  LONG exStyle = GetWindowLongW(w, GWL_EXSTYLE);
  CHECK_EQ("Codeloom", narrow(windowText(w)));
  CHECK_EQ("#32770", narrow(className(w)));
  for (LONG bit : {WS_VISIBLE, WS_CLIPSIBLINGS, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX})
    CHECK((style & bit) == bit);
  CHECK(!(style & WS_MAXIMIZEBOX));
  CHECK(!(style & WS_THICKFRAME));
  CHECK(exStyle & WS_EX_TOPMOST);
  CHECK(exStyle & WS_EX_CONTROLPARENT);

  // The client area's origin and size, from the template's dialog units.
  RECT client;
  GetClientRect(w, &client);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  RECT expected = dialogRect(663, 132, 126, 182);
  CHECK_EQ(describe(expected), describe({origin.x, origin.y, origin.x + client.right,
                                         origin.y + client.bottom}));

  checkControls(w, kControls, std::size(kControls));
  for (const ExpectedControl& c : kControls) {
    LONG childStyle = GetWindowLongW(GetDlgItem(w, c.id), GWL_STYLE);
    if (c.style == WS_TABSTOP) CHECK_EQ(BS_PUSHBUTTON, childStyle & BS_TYPEMASK);  // no default
    if (c.style == SS_ETCHEDHORZ) CHECK(!(childStyle & WS_TABSTOP));
  }
  CHECK(closeApp(app));
}

E2E_TEST("app.new_guid", appNewGuid) {
  HWND ide = createFakeIde(L"PB/WIN IDE - x.bas");
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  SetForegroundWindow(app.window);
  pump(100);
  CHECK(GetForegroundWindow() != ide);

  clickAndWait(app, 1012);
  pump(100);
  std::wstring first, second;
  CHECK(waitUntil([&] { return isGuidLiteral(first = clipboardText()); }));
  CHECK(GetForegroundWindow() == ide);

  clickAndWait(app, 1012);
  CHECK(waitUntil([&] { return isGuidLiteral(second = clipboardText()) && second != first; }));
  CHECK(closeApp(app));
  DestroyWindow(ide);
}

E2E_TEST("app.notification_code", appNotificationCode) {
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  setClipboard(L"before");
  // Any code but 0 (click) and 1 (accelerator) runs nothing for New GUID.
  for (int code : {5, 2, 0x300}) {
    SendMessageW(app.window, WM_COMMAND, MAKEWPARAM(1012, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(app.window, 1012)));
    CHECK_EQ("before", narrow(clipboardText()));
  }
  // Code 1 (accelerator) does.
  SendMessageW(app.window, WM_COMMAND, MAKEWPARAM(1012, 1), 0);
  CHECK(isGuidLiteral(clipboardText()));
  CHECK(closeApp(app));
}

E2E_TEST("app.mnemonic", appMnemonic) {
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  setClipboard(L"before");
  // Alt+G as the dialog manager sees it.
  SetForegroundWindow(app.window);
  PostMessageW(GetDlgItem(app.window, 1001), WM_SYSCHAR, L'g', 0x20000000);
  CHECK(waitUntil([] { return isGuidLiteral(clipboardText()); }));
  CHECK(closeApp(app));
}

E2E_TEST("app.escape_and_close", appEscapeAndClose) {
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  HWND button = GetDlgItem(app.window, 1001);
  PostMessageW(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(button, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  // IDCANCEL itself, as Escape would send it.
  SendMessageW(app.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  pump(300);
  CHECK(IsWindow(app.window));
  CHECK(WaitForSingleObject(app.process.hProcess, 0) == WAIT_TIMEOUT);
  // The close box ends the program with status 0.
  CHECK(closeApp(app));
  if (app.process.hProcess) killApp(app);
}

}  // namespace

namespace {

HWND focusOf(const e2e::App& app) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(app.process.dwThreadId, &info);
  return info.hwndFocus;
}

E2E_TEST("app.focus_restore", appFocusRestore) {
  HWND other = createFakeIde(L"Another program");
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  SetForegroundWindow(app.window);
  HWND guid = GetDlgItem(app.window, 1012);
  SendMessageW(app.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(guid), TRUE);
  CHECK(waitUntil([&] { return focusOf(app) == guid; }));

  // Away and back: the focus returns to the button that had it.
  SetForegroundWindow(other);
  CHECK(waitUntil([&] { return GetForegroundWindow() == other; }));
  SetForegroundWindow(app.window);
  CHECK(waitUntil([&] { return GetForegroundWindow() == app.window; }));
  CHECK(waitUntil([&] { return focusOf(app) == guid; }));
  CHECK(closeApp(app));
  DestroyWindow(other);
}

}  // namespace
