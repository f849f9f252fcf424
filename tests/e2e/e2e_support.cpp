#include "e2e_support.h"

#include <cstdio>
#include <map>

namespace e2e {

int failures = 0;

void fail(const std::string& what, const char* file, int line) {
  ++failures;
  std::printf("%s:%d: check failed: %s\n", file, line, what.c_str());
  std::fflush(stdout);
}

void checkEqual(const std::string& expected, const std::string& actual, const char* what,
                const char* file, int line) {
  if (expected == actual) return;
  fail(std::string(what) + "\n  expected: \"" + visible(expected) + "\"\n  actual:   \"" +
           visible(actual) + "\"",
       file, line);
}

void checkEqual(long long expected, long long actual, const char* what, const char* file,
                int line) {
  if (expected == actual) return;
  fail(std::string(what) + ": expected " + std::to_string(expected) + ", actual " +
           std::to_string(actual),
       file, line);
}

std::string narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string visible(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c < 32 || c == 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else out += static_cast<char>(c);
  }
  return out;
}

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void pump(int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (ms > 0) Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

HWND waitFor(const std::function<HWND()>& found, int timeoutMs) {
  DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  for (;;) {
    if (HWND window = found()) return window;
    if (static_cast<int>(end - GetTickCount()) <= 0) return nullptr;
    pump(50);
  }
}

std::wstring windowText(HWND window) {
  wchar_t text[1024] = {};
  // WM_GETTEXT works across processes for any window, controls included.
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

std::wstring className(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

namespace {

struct WindowSearch {
  DWORD processId;
  std::function<bool(HWND)> matches;
  std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->processId && IsWindowVisible(window) && search->matches(window))
    search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> processWindows(DWORD processId, std::function<bool(HWND)> matches) {
  WindowSearch search{processId, std::move(matches), {}};
  EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND findProcessWindow(DWORD processId, const wchar_t* wantedClass, const std::wstring& caption) {
  auto found = processWindows(processId, [&](HWND w) {
    return (!wantedClass || className(w) == wantedClass) && windowText(w) == caption;
  });
  return found.empty() ? nullptr : found.front();
}

std::vector<HWND> processDialogs(DWORD processId) {
  return processWindows(processId, [](HWND w) { return className(w) == L"#32770"; });
}

HWND waitForDialog(DWORD processId, const std::wstring& caption) {
  return waitFor([&] { return findProcessWindow(processId, L"#32770", caption); });
}

bool waitUntilGone(HWND window, int timeoutMs) {
  return waitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  return waitFor([&] { return done() ? HWND(1) : HWND(nullptr); }, timeoutMs) != nullptr;
}

void typeText(HWND dialog, int id, const std::string& text) {
  std::wstring wide = widen(text);
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string controlText(HWND dialog, int id) { return narrow(windowText(GetDlgItem(dialog, id))); }

void pressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void pressEscape(HWND dialog) {
  HWND target = GetWindow(dialog, GW_CHILD);
  PostMessageW(target ? target : dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(target ? target : dialog, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

bool startApp(const Context& ctx, App& app) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + ctx.appPath + L"\"";
  if (!CreateProcessW(ctx.appPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, ctx.workDir.c_str(), &startup, &app.process)) {
    std::printf("cannot start %ls (error %lu)\n", ctx.appPath.c_str(), GetLastError());
    return false;
  }
  DWORD pid = app.process.dwProcessId;
  app.window = waitFor([pid] { return findProcessWindow(pid, nullptr, L"Codeloom"); });
  if (!app.window) std::printf("the command window did not appear\n");
  return app.window != nullptr;
}

int runCli(const Context& ctx, const std::wstring& arguments, const std::wstring& folder,
           std::string& captured, CliStream stream) {
  std::wstring cli = ctx.appPath.substr(0, ctx.appPath.find_last_of(L'\\') + 1) + L"codeloom-cli.exe";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    fail("CreatePipe for codeloom-cli", __FILE__, __LINE__);
    return -1;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = stream == CliStream::Stdout ? writeEnd : GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = stream == CliStream::Stderr ? writeEnd : GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring commandLine = L"\"" + cli + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  bool started = CreateProcessW(cli.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                CREATE_NO_WINDOW, nullptr, folder.c_str(), &startup, &process);
  CloseHandle(writeEnd);  // the child holds the only write end now
  char buffer[1 << 16];
  DWORD got = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
    captured.append(buffer, got);
  CloseHandle(readEnd);
  if (!started) {
    std::printf("cannot start %ls (error %lu)\n", cli.c_str(), GetLastError());
    fail("codeloom-cli started", __FILE__, __LINE__);
    return -1;
  }
  WaitForSingleObject(process.hProcess, 30000);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(status);
}

std::string cliOutput(const Context& ctx, const std::wstring& arguments,
                      const std::wstring& folder) {
  std::string bytes;
  int status = runCli(ctx, arguments, folder, bytes, CliStream::Stdout);
  if (status < 0) return "<codeloom-cli not run>";
  if (status != 0) {
    std::printf("codeloom-cli %ls exited with %d\n", arguments.c_str(), status);
    fail("codeloom-cli succeeded", __FILE__, __LINE__);
  }
  return bytes;
}

bool closeApp(App& app) {
  PostMessageW(app.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD end = GetTickCount() + kPatienceMs;
  while (WaitForSingleObject(app.process.hProcess, 0) == WAIT_TIMEOUT) {
    if (static_cast<int>(end - GetTickCount()) <= 0) return false;
    pump(20);
  }
  DWORD status = 1;
  GetExitCodeProcess(app.process.hProcess, &status);
  CloseHandle(app.process.hProcess);
  CloseHandle(app.process.hThread);
  app.process = {};
  return status == 0;
}

void killApp(App& app) {
  if (!app.process.hProcess) return;
  TerminateProcess(app.process.hProcess, 99);
  WaitForSingleObject(app.process.hProcess, 5000);
  CloseHandle(app.process.hProcess);
  CloseHandle(app.process.hThread);
  app.process = {};
}

void clickAndWait(App& app, int id) {
  SendMessageW(app.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(app.window, id)));
}

void clickAsync(App& app, int id) {
  PostMessageW(app.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(app.window, id)));
}

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

std::string clientPlacement(HWND owner, HWND dialog) {
  POINT corner{0, 0}, origin{0, 0};
  ClientToScreen(owner, &corner);
  ClientToScreen(dialog, &origin);
  RECT client;
  GetClientRect(dialog, &client);
  LONG x = origin.x - corner.x, y = origin.y - corner.y;
  return describe({x, y, x + client.right, y + client.bottom});
}

void checkControls(HWND dialog, const ExpectedControl* controls, size_t count) {
  HWND child = GetWindow(dialog, GW_CHILD);
  for (size_t i = 0; i < count; ++i) {
    const ExpectedControl& c = controls[i];
    CHECK(child != nullptr);
    if (!child) return;
    CHECK_EQ(c.id, GetDlgCtrlID(child));
    std::wstring cls = className(child);
    CHECK_EQ(narrow(c.className), narrow(cls));
    if (cls != L"Edit" && cls != L"ListBox") CHECK_EQ(narrow(c.caption), narrow(windowText(child)));
    LONG style = GetWindowLongW(child, GWL_STYLE);
    LONG want = WS_CHILD | WS_VISIBLE | c.style;
    // A list box shows its scroll bar, and so the WS_VSCROLL bit, only when
    // its items overflow.
    if (cls == L"ListBox") want &= ~WS_VSCROLL;
    if ((style & want) != want)
      fail("style of control " + std::to_string(c.id) + " lacks bits " +
               std::to_string(want & ~style), __FILE__, __LINE__);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    RECT expected = dialogRect(c.x, c.y, c.width, c.height);
    if ((c.style & SS_TYPEMASK) == SS_ETCHEDHORZ && cls == L"Static") {
      // The etched line draws a 2-pixel edge around its 1-unit height; Wine
      // grows the window by that edge, so only the origin is exact.
      CHECK_EQ(expected.left, r.left);
      CHECK_EQ(expected.top, r.top);
      CHECK(r.right - expected.right >= 0 && r.right - expected.right <= 2);
      CHECK(r.bottom - r.top <= 2);
    } else if (cls == L"ListBox" && !(style & LBS_NOINTEGRALHEIGHT)) {
      // The list box trims its height to a whole number of items.
      int itemHeight = static_cast<int>(SendMessageW(child, LB_GETITEMHEIGHT, 0, 0));
      CHECK_EQ(describe({expected.left, expected.top, expected.right, 0}),
               describe({r.left, r.top, r.right, 0}));
      // (Wine rounds the client area, inside the 2-pixel client edge.)
      CHECK(r.bottom <= expected.bottom && r.bottom > expected.bottom - itemHeight - 4);
    } else {
      CHECK_EQ("control " + std::to_string(c.id) + " at " + describe(expected),
               "control " + std::to_string(c.id) + " at " + describe(r));
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  CHECK(child == nullptr);
}

bool setClipboard(const std::wstring& text) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
      auto* target = static_cast<wchar_t*>(GlobalLock(memory));
      std::copy(text.begin(), text.end(), target);
      target[text.size()] = 0;
      GlobalUnlock(memory);
      bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      CloseClipboard();
      return ok;
    }
    Sleep(20);
  }
  return false;
}

std::wstring clipboardText(bool* hasText) {
  if (hasText) *hasText = false;
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) {
      std::wstring text;
      if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
          if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            if (hasText) *hasText = true;
            GlobalUnlock(data);
          }
        }
      }
      CloseClipboard();
      return text;
    }
    Sleep(20);
  }
  return L"<clipboard busy>";
}

std::wstring waitForClipboardOtherThan(const std::wstring& before) {
  std::wstring text;
  bool changed = waitUntil([&] {
    bool hasText = false;
    text = clipboardText(&hasText);
    return hasText && text != before;
  });
  return changed ? text : L"<the clipboard kept '" + before + L"'>";
}

bool readFile(const std::wstring& path, std::string& bytes) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return false;
  bytes.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  std::fclose(file);
  return true;
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

bool fileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string maskGuids(const std::string& text) {
  auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool guid = text[i] == '{' && i + 38 <= text.size() && text[i + 37] == '}';
    for (size_t k = 1; guid && k < 37; ++k)
      guid = (k == 9 || k == 14 || k == 19 || k == 24) ? text[i + k] == '-' : isHex(text[i + k]);
    if (guid) {
      out += "{GUID}";
      i += 38;
    } else {
      out += text[i++];
    }
  }
  return out;
}

HWND createFakeIde(const std::wstring& title) {
  static ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CodeloomE2EFakeIde";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  HWND window = CreateWindowExW(0, L"CodeloomE2EFakeIde", title.c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  pump(50);
  return window;
}

void putSourceFiles(const std::vector<std::pair<std::wstring, std::string>>& files) {
  CreateDirectoryW(L"C:\\prj", nullptr);
  CreateDirectoryW(L"C:\\prj\\pb", nullptr);
  for (const auto& [name, bytes] : files) writeFile(L"C:\\prj\\pb\\" + name, bytes);
}

HWND waitForFileDialog(DWORD processId) {
  return waitFor([processId] { return findProcessWindow(processId, L"#32770", L"Select files"); });
}

void pickFiles(HWND fileDialog, const std::wstring& names) {
  // Wine's file-name box is a ComboBoxEx32 with id 0x47C.
  SendMessageW(GetDlgItem(fileDialog, 0x47C), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(names.c_str()));
  PostMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void cancelDialog(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

namespace {
std::map<std::string, TestFunction>& registry() {
  static std::map<std::string, TestFunction> tests;
  return tests;
}
}  // namespace

TestRegistration::TestRegistration(const char* name, TestFunction function) {
  registry()[name] = function;
}

TestFunction findTest(const std::string& name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : it->second;
}

std::vector<std::string> testNames() {
  std::vector<std::string> names;
  for (const auto& [name, function] : registry()) names.push_back(name);
  return names;
}

}  // namespace e2e
