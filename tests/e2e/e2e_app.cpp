// The command window: layout, New GUID, notification codes, Escape and the
// close box.
#include <cwctype>

#include "e2e_support.h"

namespace {

using namespace e2e;

struct ExpectedControl {
  int id;
  const wchar_t* className;
  const wchar_t* caption;
  int x, y, width, height;
  LONG style;  // bits that must be set
};

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

// A rectangle in dialog units, in pixels. MapDialogRect only works on a
// dialog of this process, so it is asked of a hidden dialog with the same
// font ("MS Sans Serif", 8 point) as the command window.
RECT dialogRect(int x, int y, int width, int height) {
  static HWND probe = [] {
    alignas(4) static WORD words[64] = {};
    WORD* p = words;
    *p++ = DS_SETFONT; *p++ = 0;  // style (not visible)
    *p++ = 0; *p++ = 0;           // exstyle
    *p++ = 0;                     // no controls
    *p++ = 0; *p++ = 0; *p++ = 10; *p++ = 10;
    *p++ = 0; *p++ = 0; *p++ = 0;  // menu, class, caption
    *p++ = 8;
    for (const wchar_t* face = L"MS Sans Serif"; *face; ++face) *p++ = *face;
    *p++ = 0;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                      reinterpret_cast<LPCDLGTEMPLATEW>(words), nullptr,
                                      [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
  }();
  // The dialog engine maps position and size separately, as here.
  RECT units{x, y, width, height};
  MapDialogRect(probe, &units);
  return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

std::string describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

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

  // Every control, in creation (z and tab) order.
  HWND child = GetWindow(w, GW_CHILD);
  for (const ExpectedControl& c : kControls) {
    CHECK(child != nullptr);
    if (!child) break;
    CHECK_EQ(c.id, GetDlgCtrlID(child));
    CHECK_EQ(narrow(c.className), narrow(className(child)));
    CHECK_EQ(narrow(c.caption), narrow(windowText(child)));
    LONG childStyle = GetWindowLongW(child, GWL_STYLE);
    CHECK((childStyle & (WS_CHILD | WS_VISIBLE | c.style)) == (WS_CHILD | WS_VISIBLE | c.style));
    if (c.style == WS_TABSTOP) CHECK_EQ(BS_PUSHBUTTON, childStyle & 0x0F);  // not the default
    if (c.style == SS_ETCHEDHORZ) CHECK(!(childStyle & WS_TABSTOP));
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
    RECT want = dialogRect(c.x, c.y, c.width, c.height);
    if (c.style == SS_ETCHEDHORZ) {
      // The etched line draws a 2-pixel edge around its 1-unit height; Wine
      // grows the window by that edge, so only the origin is exact.
      CHECK_EQ(want.left, r.left);
      CHECK_EQ(want.top, r.top);
      CHECK(r.right - want.right >= 0 && r.right - want.right <= 2);
      CHECK(r.bottom - r.top <= 2);
    } else {
      CHECK_EQ(describe(want), describe(r));
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  CHECK(child == nullptr);
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
  std::wstring first = clipboardText();
  CHECK(isGuidLiteral(first));
  CHECK(GetForegroundWindow() == ide);

  clickAndWait(app, 1012);
  std::wstring second = clipboardText();
  CHECK(isGuidLiteral(second));
  CHECK(first != second);
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
  CHECK(waitUntil([] { return isGuidLiteral(clipboardText()); }, 5000));
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
  CHECK(waitUntil([&] { return focusOf(app) == guid; }, 3000));

  // Away and back: the focus returns to the button that had it.
  SetForegroundWindow(other);
  CHECK(waitUntil([&] { return GetForegroundWindow() == other; }, 3000));
  SetForegroundWindow(app.window);
  CHECK(waitUntil([&] { return GetForegroundWindow() == app.window; }, 3000));
  CHECK(waitUntil([&] { return focusOf(app) == guid; }, 3000));
  CHECK(closeApp(app));
  DestroyWindow(other);
}

}  // namespace
