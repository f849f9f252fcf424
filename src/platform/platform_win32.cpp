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

bool readWholeFile(const std::wstring& path, std::string& bytes) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

bool setFileSize(HANDLE file, uint64_t size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// The full form of a path: current directory and drive, "." and "..".
std::wstring fullPath(const std::string& path) {
  std::wstring resolved = wide(path);
  DWORD n = GetFullPathNameW(resolved.c_str(), 0, nullptr, nullptr);
  if (n > 0) {
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(resolved.c_str(), n, full.data(), nullptr);
    if (n > 0 && n < full.size()) resolved = full.substr(0, n);
  }
  return resolved;
}

// The full, long form of a path, as far as it exists.
std::wstring resolvedPath(const std::string& path) {
  std::wstring resolved = fullPath(path);
  DWORD n = GetLongPathNameW(resolved.c_str(), nullptr, 0);
  if (n > 0) {
    std::wstring longer(n, L'\0');
    n = GetLongPathNameW(resolved.c_str(), longer.data(), n);
    if (n > 0 && n < longer.size()) resolved = longer.substr(0, n);
  }
  return resolved;
}

// The system's text for an error code, without its line end.
std::string systemMessage(DWORD error) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = n && text ? std::string(text, n) : "error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message;
}

// Moves a complete temporary over the target. ReplaceFileW keeps the
// target's attributes, security, links and streams; a rename would drop them.
ReplaceOutcome replaceFile(const std::string& from, const std::string& to, DWORD& error) {
  // Full paths: Wine's ReplaceFileW fails on relative ones (error 267).
  const std::wstring source = fullPath(from), target = fullPath(to);
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
      return ReplaceOutcome::Replaced;
    error = GetLastError();
    return ReplaceOutcome::Failed;
  }
  // A read-only file is never written (Wine would replace it all the same).
  if (attributes & FILE_ATTRIBUTE_READONLY) return ReplaceOutcome::ReadOnly;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    error = ERROR_DIRECTORY;  // "The directory name is invalid"
    return ReplaceOutcome::Failed;
  }
  if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, 0, nullptr, nullptr)) {
    // Windows keeps these itself; Wine does not, so put them back.
    const DWORD kept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD settable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE;
    DWORD now = GetFileAttributesW(target.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & kept) != (attributes & kept))
      SetFileAttributesW(target.c_str(), (now & settable) | (attributes & kept));
    return ReplaceOutcome::Replaced;
  }
  error = GetLastError();
  return replaceFileOutcome(error);
}

// The exe's icon (resource 1) on a top-level window's caption and taskbar
// button: a dialog's window class has none. Shared icons need no freeing.
void setWindowIcons(HWND window) {
  const std::pair<WPARAM, int> sizes[] = {{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}};
  for (auto [which, metric] : sizes) {
    int side = GetSystemMetrics(metric);
    HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, side,
                             side, LR_SHARED);
    if (icon) SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
}

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
  else setWindowIcons(dialog);
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
              OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  // The hook places the dialog. Any hook also costs the current dialog on
  // Windows Vista and later (the system falls back to the old one), so only
  // a dialog that asks to be placed gets it.
  if (request.offsetFromOwner) {
    ofn.Flags |= OFN_ENABLEHOOK;
    ofn.lpfnHook = fileDialogHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&request);
  }
  if (!GetOpenFileNameW(&ofn)) return {};

  // "folder\0name\0name\0\0" for several files, "path\0\0" for one.
  OpenFileResult result;
  for (const wchar_t* p = ofn.lpstrFile; *p; p += result.parts.back().size() + 1)
    result.parts.emplace_back(reinterpret_cast<const char16_t*>(p));
  return result;
}

bool Win32Platform::readPickedFile(const PickedFile& file, std::string& bytes) {
  return readWholeFile(std::wstring(file.path.begin(), file.path.end()), bytes);
}

bool Win32Platform::readPickedFileWindows(const PickedFile& file,
                                          const std::function<void(std::string_view)>& take) {
  const std::wstring path(file.path.begin(), file.path.end());
  Handle handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle.ok()) return false;
  std::string window(kPickedReadWindow, '\0');
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(handle.get(), window.data(), static_cast<DWORD>(window.size()), &read, nullptr))
      return false;
    if (read == 0) return true;
    take(std::string_view(window.data(), read));
  }
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
  return readWholeFile(wide(path), bytes);
}

WriteOutcome writeFileWin32(const std::string& path, std::string_view bytes) {
  HANDLE file = INVALID_HANDLE_VALUE;
  int64_t cutTo = -1;  // in place: the size the close leaves
  DWORD error = 0;     // the first failure, for the reason
  auto failed = [&error] {
    if (!error) error = GetLastError();
    return false;
  };
  FileWriteSteps steps;
  steps.seed = [] {
    // Apart per process and per save, so that two saves rarely try the
    // same name; CREATE_NEW keeps them apart when they do.
    static uint32_t saves = 0;
    return (GetCurrentProcessId() * 2654435761u) ^ GetTickCount() ^ (++saves * 40503u);
  };
  steps.createNew = [&](const std::string& temporary) {
    // No sharing at all: another save cannot open or remove it meanwhile.
    file = CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return CreateOutcome::Created;
    DWORD created = GetLastError();
    if (created == ERROR_FILE_EXISTS || created == ERROR_ALREADY_EXISTS) return CreateOutcome::Exists;
    failed();
    return CreateOutcome::Failed;
  };
  steps.read = [](const std::string& target, std::string& old) {
    return readWholeFile(wide(target), old);
  };
  steps.openInPlace = [&](const std::string& target, uint64_t size) {
    // Shares what the program holding it shares: reading and writing.
    file = CreateFileW(wide(target).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failed();
    LARGE_INTEGER now{}, start{};
    bool ok = GetFileSizeEx(file, &now) &&
              (static_cast<uint64_t>(now.QuadPart) >= size || setFileSize(file, size)) &&
              SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    if (!ok) {
      failed();
      CloseHandle(file);
      file = INVALID_HANDLE_VALUE;
      return false;
    }
    cutTo = static_cast<int64_t>(size);
    return true;
  };
  steps.write = [&](std::string_view chunk) {
    DWORD written = 0;
    return (WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) &&
            written == chunk.size()) ||
           failed();
  };
  steps.flush = [&] { return FlushFileBuffers(file) != 0 || failed(); };
  steps.close = [&] {
    bool cut = cutTo < 0 || setFileSize(file, static_cast<uint64_t>(cutTo));
    bool closed = CloseHandle(file) != 0;
    file = INVALID_HANDLE_VALUE;
    cutTo = -1;
    return (cut && closed) || failed();
  };
  steps.replace = [&](const std::string& from, const std::string& to) {
    return replaceFile(from, to, error);
  };
  steps.rename = [](const std::string& from, const std::string& to) {
    return MoveFileExW(fullPath(from).c_str(), fullPath(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  };
  steps.remove = [](const std::string& temporary) { DeleteFileW(wide(temporary).c_str()); };
  WriteOutcome outcome = writeFileReplacing(steps, path, bytes);
  if (outcome.status == WriteStatus::Failed && error) outcome.reason = systemMessage(error);
  return outcome;
}

bool Win32Platform::writeFile(const std::string& path, const std::string& bytes) {
  WriteOutcome outcome = writeFileWin32(path, bytes);
  // The one failure the user hears of: a new text kept beside its target.
  // No owner is at hand here; topmost, so that the always-on-top command
  // window does not cover the box.
  if (outcome.status == WriteStatus::Kept)
    MessageBoxW(nullptr, wide(keptTextMessage(path, outcome)).c_str(), L"Codeloom",
                MB_OK | MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND);
  return outcome.written();
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

bool Win32Platform::samePath(const std::string& a, const std::string& b) {
  return CompareStringOrdinal(resolvedPath(a).c_str(), -1, resolvedPath(b).c_str(), -1, TRUE) ==
         CSTR_EQUAL;
}

}  // namespace codeloom
