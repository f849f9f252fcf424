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

bool closeApp(App& app) {
  PostMessageW(app.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD end = GetTickCount() + 10000;
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
