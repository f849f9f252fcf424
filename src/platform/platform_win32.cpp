// Win32 side of the platform layer: the only place, with the program's
// entry point, that sees <windows.h>.
#include "platform/platform_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>

#include <vector>

#include "platform/ansi.h"
#include "platform/dialog_template.h"
#include "platform/safe_write.h"

namespace codeloom {
namespace {

HWND hwnd(WindowHandle handle) { return static_cast<HWND>(handle); }

std::wstring wide(std::string_view ansi) {
  std::u16string w = ansiToUtf16(ansi);
  return std::wstring(w.begin(), w.end());
}

std::string ansi(std::wstring_view text) {
  return utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()),
                                         text.size()));
}

// ---- Modal dialogs --------------------------------------------------------

// One running dialog: its handler, the end flag of its message loop, and
// the control that had the focus when the dialog was last deactivated.
struct DialogRun {
  const DialogEvents* events = nullptr;
  HWND savedFocus = nullptr;
  bool ended = false;
  int result = 0;
};

DialogRun* runOf(HWND dialog) {
  return reinterpret_cast<DialogRun*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    DialogRun* run = reinterpret_cast<DialogRun*>(lParam);
    if (run->events->onInit) run->events->onInit(dialog);
    return TRUE;  // the dialog engine focuses the first tab stop
  }
  DialogRun* run = runOf(dialog);
  if (!run) return FALSE;
  switch (message) {
    case WM_NCACTIVATE:
      // Give the focus back to the control that had it when the user
      // switched away; the default processing still follows.
      if (wParam == 0) {
        run->savedFocus = GetFocus();
      } else if (run->savedFocus) {
        SetFocus(run->savedFocus);
        run->savedFocus = nullptr;
      }
      return FALSE;
    case WM_COMMAND:
      if (run->events->onCommand) run->events->onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return FALSE;
    case WM_CLOSE:
      // The close box, the system menu's Close and Alt+F4 end the dialog
      // with 0. Escape does not come here: it sends IDCANCEL.
      run->ended = true;
      run->result = 0;
      return TRUE;
  }
  return FALSE;
}

// ---- Open-file dialog -----------------------------------------------------

// The result buffer, in characters: room for some 60,000 names, so that a
// large selection is not lost as a failure that looks like Cancel. It is
// sized once rather than grown from the dialog's notifications, which Wine's
// dialog does not honour: measured there, typed names that overflow a 64K
// buffer crash the program, and a 4M buffer makes every call fail.
constexpr DWORD kFileBufferSize = 1024 * 1024;


UINT_PTR CALLBACK fileDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  // With an Explorer-style hook, child is our (empty) child dialog; its
  // parent is the file dialog itself.
  if (message == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
    auto* request = reinterpret_cast<const OpenFileRequest*>(ofn->lCustData);
    HWND dialog = GetParent(child);
    if (request->offsetFromOwner && request->owner) {
      RECT owner;
      if (GetWindowRect(hwnd(request->owner), &owner))
        SetWindowPos(dialog, nullptr, owner.left + 30, owner.top + 30, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
      SetForegroundWindow(dialog);
    }
  }
  return 0;
}

// An ANSI form of a path the dialog returned. A name the code page cannot
// hold falls back to its short (8.3) name, which is plain ASCII and still
// opens the same file.
std::string ansiPath(const std::wstring& path) {
  std::string text = ansi(path);
  if (wide(text) == path) return text;
  DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return text;
  std::wstring shortPath(n, L'\0');
  n = GetShortPathNameW(path.c_str(), shortPath.data(), n);
  shortPath.resize(n);
  return ansi(shortPath);
}

// ---- Files ---------------------------------------------------------------

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { if (ok()) CloseHandle(h_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

void initCommonControls() {
  HMODULE library = LoadLibraryA("COMCTL32.DLL");
  if (!library) return;
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto initEx = reinterpret_cast<InitEx>(
      reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
  if (initEx) {
    INITCOMMONCONTROLSEX init{8, 0x9FF};
    initEx(&init);
  } else {
    InitCommonControls();
  }
  FreeLibrary(library);
}

int Win32Platform::runModalDialog(WindowHandle owner, const DialogLayout& layout,
                                  const DialogEvents& events) {
  std::vector<uint16_t> words = encodeDialogTemplate(layout);
  DialogRun run;
  run.events = &events;
  HWND dialog = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), hwnd(owner),
      dialogProc, reinterpret_cast<LPARAM>(&run));
  if (!dialog) return 0;
  if (owner) EnableWindow(hwnd(owner), FALSE);
  ShowWindow(dialog, SW_SHOW);
  MSG message;
  while (!run.ended) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for outer loops
      break;
    }
    if (!IsDialogMessageW(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // Re-enable the owner before the dialog goes, so that it gets the
  // activation back.
  if (owner) EnableWindow(hwnd(owner), TRUE);
  DestroyWindow(dialog);
  return run.result;
}

void Win32Platform::endDialog(WindowHandle dialog, int result) {
  if (DialogRun* run = runOf(hwnd(dialog))) {
    run->ended = true;
    run->result = result;
  }
}

std::string Win32Platform::windowText(WindowHandle window) {
  int n = GetWindowTextLengthW(hwnd(window));
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(GetWindowTextW(hwnd(window), text.data(), n + 1));
  return ansi(text);
}

std::string Win32Platform::controlText(WindowHandle dialog, int id) {
  HWND control = GetDlgItem(hwnd(dialog), id);
  return control ? windowText(control) : std::string();
}

void Win32Platform::setControlText(WindowHandle dialog, int id, const std::string& text) {
  SetDlgItemTextW(hwnd(dialog), id, wide(text).c_str());
}

bool Win32Platform::isChecked(WindowHandle dialog, int id) {
  return IsDlgButtonChecked(hwnd(dialog), id) == BST_CHECKED;
}

void Win32Platform::setChecked(WindowHandle dialog, int id, bool checked) {
  CheckDlgButton(hwnd(dialog), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32Platform::setDefaultButton(WindowHandle dialog, int id) {
  SendMessageW(hwnd(dialog), DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

int Win32Platform::listAdd(WindowHandle dialog, int id, const std::string& text) {
  return static_cast<int>(SendDlgItemMessageW(hwnd(dialog), id, LB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(wide(text).c_str())));
}

int Win32Platform::listCount(WindowHandle dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(hwnd(dialog), id, LB_GETCOUNT, 0, 0));
}

std::string Win32Platform::listText(WindowHandle dialog, int id, int index) {
  LRESULT n = SendDlgItemMessageW(hwnd(dialog), id, LB_GETTEXTLEN, index, 0);
  if (n == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = SendDlgItemMessageW(hwnd(dialog), id, LB_GETTEXT, index,
                          reinterpret_cast<LPARAM>(text.data()));
  text.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
  return ansi(text);
}

bool Win32Platform::listIsSelected(WindowHandle dialog, int id, int index) {
  return SendDlgItemMessageW(hwnd(dialog), id, LB_GETSEL, index, 0) > 0;
}

void Win32Platform::listSelect(WindowHandle dialog, int id, int index) {
  SendDlgItemMessageW(hwnd(dialog), id, LB_SETSEL, TRUE, index);
}

int Win32Platform::listFindPrefix(WindowHandle dialog, int id, const std::string& prefix) {
  LRESULT found = SendDlgItemMessageW(hwnd(dialog), id, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(wide(prefix).c_str()));
  return found == LB_ERR ? -1 : static_cast<int>(found);
}

OpenFileResult Win32Platform::openFileDialog(const OpenFileRequest& request) {
  std::vector<wchar_t> buffer(kFileBufferSize, L'\0');
  std::wstring title = wide(request.title);
  std::wstring folder = wide(request.initialFolder);
  std::wstring filter = wide(request.filterName);
  filter += L'\0';
  filter += wide(request.filterPattern);
  filter += L'\0';  // the string's own terminator ends the list

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd(request.owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING |
              OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
  ofn.lpfnHook = fileDialogHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&request);
  if (!GetOpenFileNameW(&ofn)) return {};

  // "folder\0name\0name\0\0" for several files, "path\0\0" for one.
  const wchar_t* p = ofn.lpstrFile;
  std::vector<std::wstring> parts;
  while (*p) {
    parts.emplace_back(p);
    p += parts.back().size() + 1;
  }
  OpenFileResult result;
  if (parts.size() == 1) {
    result.count = 1;
    result.text = ansiPath(parts[0]);
    return result;
  }
  result.count = static_cast<int>(parts.size()) - 1;
  result.text = ansiPath(parts[0]);
  for (size_t i = 1; i < parts.size(); ++i) {
    std::string full = ansiPath(parts[0] + L"\\" + parts[i]);
    result.text += '\0';
    result.text += full.substr(full.find_last_of('\\') + 1);
  }
  return result;
}

bool Win32Platform::emptyClipboard() {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  CloseClipboard();
  return true;
}

bool Win32Platform::setClipboardText(const std::string& text) {
  std::u16string w = ansiToUtf16(text);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (w.size() + 1) * sizeof(char16_t));
  if (!memory) return false;
  auto* target = static_cast<char16_t*>(GlobalLock(memory));
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::copy(w.begin(), w.end(), target);
  target[w.size()] = u'\0';
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();  // makes this process the owner, so that the set succeeds
  bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (!set) GlobalFree(memory);  // the clipboard owns it only on success
  CloseClipboard();
  return set;
}

WindowHandle Win32Platform::findTopWindow(
    const std::function<bool(const std::string& title)>& titleMatches) {
  struct Search {
    const std::function<bool(const std::string&)>* matches;
    HWND found = nullptr;
  } search{&titleMatches};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        if ((*s->matches)(title)) {
          s->found = window;
          return FALSE;  // stop at the first match
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Win32Platform::setForegroundWindow(WindowHandle window) { SetForegroundWindow(hwnd(window)); }

Guid Win32Platform::createGuid() {
  GUID g{};
  CoCreateGuid(&g);
  Guid guid;
  guid.data1 = g.Data1;
  guid.data2 = g.Data2;
  guid.data3 = g.Data3;
  std::copy(std::begin(g.Data4), std::end(g.Data4), guid.data4);
  return guid;
}

bool Win32Platform::readFile(const std::string& path, std::string& bytes) {
  Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return false;
  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < content.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1 << 24));
    DWORD read = 0;
    if (!ReadFile(file.get(), content.data() + done, chunk, &read, nullptr)) return false;
    if (read == 0) break;  // the file shrank meanwhile
    done += read;
  }
  content.resize(done);
  bytes = std::move(content);
  return true;
}

bool Win32Platform::writeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = INVALID_HANDLE_VALUE;
  FileWriteSteps steps{
      [&](const std::string& temporary) {
        file = CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE;
      },
      [&](std::string_view chunk) {
        DWORD written = 0;
        return WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written,
                         nullptr) &&
               written == chunk.size();
      },
      [&] { return FlushFileBuffers(file) != 0; },
      [&] {
        bool closed = CloseHandle(file) != 0;
        file = INVALID_HANDLE_VALUE;
        return closed;
      },
      [](const std::string& from, const std::string& to) {
        // Fails on a read-only target, which is then left as it was.
        return MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
      },
      [](const std::string& temporary) { DeleteFileW(wide(temporary).c_str()); },
  };
  return writeFileReplacing(steps, path, bytes);
}

bool Win32Platform::pathExists(const std::string& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

bool Win32Platform::isPlainFile(const std::string& path) {
  DWORD attributes = GetFileAttributesW(wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool Win32Platform::createDirectory(const std::string& path) {
  return CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
}

bool Win32Platform::copyFile(const std::string& from, const std::string& to) {
  // Through the safe replacement, like every other file the tool writes, so
  // an interrupted copy never leaves half a file. The files copied are small.
  std::string bytes;
  return readFile(from, bytes) && writeFile(to, bytes);
}

}  // namespace codeloom
