// The files New Class and New App write: names that would leave their
// folder, and the safe replacement of an existing file.
#include <algorithm>

#include "e2e_ids.h"
#include "e2e_support.h"

namespace {

using namespace e2e;

// Waits until the program's window thread is back in its message loop, so
// that the command the last dialog belonged to has finished.
void waitForIdle(App& app) {
  DWORD_PTR result;
  SendMessageTimeoutW(app.window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

// Runs New Class (or New App) with name and folder typed in its dialog.
bool runNamed(App& app, int button, const wchar_t* caption, int nameBox, int folderBox,
              const std::string& name, const std::wstring& folder) {
  clickAsync(app, button);
  HWND dialog = waitForDialog(app.process.dwProcessId, caption);
  CHECK(dialog != nullptr);
  if (!dialog) return false;
  typeText(dialog, nameBox, name);
  typeText(dialog, folderBox, narrow(folder));
  pressButton(dialog, kOk);
  CHECK(waitUntilGone(dialog));
  waitForIdle(app);
  return true;
}

bool newClass(App& app, const std::string& name, const std::wstring& folder) {
  return runNamed(app, kNewClass, L"New Class", kClassName, kClassSaveTo, name, folder);
}

std::string fileText(const std::wstring& path) {
  std::string bytes;
  return readFile(path, bytes) ? bytes : "<none>";
}

// The names in folder that match a wildcard, sorted.
std::string matching(const std::wstring& folder, const wchar_t* wildcard) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\" + wildcard).c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do names.push_back(narrow(found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& name : names) joined += name + "|";
  return joined;
}

std::wstring prepareOut(const Context& ctx) {
  std::wstring out = ctx.workDir + L"\\out";
  CreateDirectoryW(out.c_str(), nullptr);
  writeFile(ctx.workDir + L"\\Message.bas", "' bridge\r\n");
  return out;
}

bool isClassFile(const std::string& bytes, const std::string& name) {
  return bytes.starts_with("Function New" + name + "() Common Export As i" + name + "\r\n") &&
         bytes.ends_with("End Class\r\n\r\n");
}

// A class name or name prefix with a separator writes nothing; the
// settings still hold what was typed.
E2E_TEST("files.unsafe_names", unsafeNames) {
  std::wstring out = prepareOut(ctx);
  writeFile(ctx.workDir + L"\\template_App.bas", "' %pfx%\r\n");
  writeFile(ctx.workDir + L"\\theme.xml", "<theme/>");
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  if (!newClass(app, "..\\escaped", out)) return killApp(app);
  CHECK(!fileExists(ctx.workDir + L"\\escaped.inc"));
  CHECK(!fileExists(out + L"\\Message.inc"));
  CHECK(fileText(ctx.workDir + L"\\settings.txt").find("\r\n..\\escaped\r\n") != std::string::npos);

  std::wstring project = out + L"\\proj";
  if (!runNamed(app, kNewApp, L"New Application", kTemplateName, kTemplateFolder, "..\\x", project))
    return killApp(app);
  CHECK(!fileExists(project));
  CHECK(!fileExists(out + L"\\x.bas"));
  CHECK_EQ("..\\x\r\n", fileText(ctx.workDir + L"\\settings.txt").substr(0, 6));

  // The same commands with plain names do write.
  if (!newClass(app, "escaped", out)) return killApp(app);
  CHECK(isClassFile(fileText(out + L"\\escaped.inc"), "escaped"));
  CHECK_EQ("' bridge\r\n", fileText(out + L"\\Message.inc"));
  // A class that is Message.inc under another spelling keeps its file.
  if (!newClass(app, "MESSAGE", out + L"\\.\\")) return killApp(app);
  CHECK(isClassFile(fileText(out + L"\\Message.inc"), "MESSAGE"));
  CHECK(closeApp(app));
}

// A read-only file is left as it was; a hidden one is replaced and stays
// hidden; no temporary is left beside them.
E2E_TEST("files.attributes_kept", attributesKept) {
  std::wstring out = prepareOut(ctx);
  std::wstring pen = out + L"\\Pen.inc", hidden = out + L"\\Hidden.inc";
  writeFile(pen, "old");
  writeFile(hidden, "old");
  SetFileAttributesW(pen.c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  if (!newClass(app, "Pen", out)) return killApp(app);
  CHECK_EQ("' bridge\r\n", fileText(out + L"\\Message.inc"));  // the command went on
  CHECK_EQ("old", fileText(pen));
  CHECK(GetFileAttributesW(pen.c_str()) & FILE_ATTRIBUTE_READONLY);
  if (!newClass(app, "Hidden", out)) return killApp(app);
  CHECK(isClassFile(fileText(hidden), "Hidden"));
  CHECK(GetFileAttributesW(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  CHECK_EQ("", matching(out, L"~cl*"));
  CHECK(closeApp(app));
  SetFileAttributesW(pen.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file another program holds open, sharing reading and writing but not
// deletion, cannot be renamed over: it is written in place.
E2E_TEST("files.held_target", heldTarget) {
  std::wstring out = prepareOut(ctx);
  std::wstring pen = out + L"\\Pen.inc";
  writeFile(pen, std::string(10000, 'x'));  // longer than the new text
  HANDLE held = CreateFileW(pen.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK(held != INVALID_HANDLE_VALUE);
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  if (!newClass(app, "Pen", out)) return killApp(app);
  CHECK(isClassFile(fileText(pen), "Pen"));
  CHECK_EQ("", matching(out, L"~cl*"));
  CloseHandle(held);
  CHECK(closeApp(app));
}

// A save removes its own temporary alone: others, of any age, may be the
// only copy a killed save left, or the user's own files.
E2E_TEST("files.temporaries_stay", temporariesStay) {
  std::wstring out = prepareOut(ctx);
  for (const wchar_t* name : {L"~cl0000.tmp", L"~cl0001.tmp", L"~cl00002.tmp"})
    writeFile(out + L"\\" + name, "left over");
  HANDLE file = CreateFileW((out + L"\\~cl0000.tmp").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER old{{now.dwLowDateTime, now.dwHighDateTime}};
  old.QuadPart -= 2ull * 3600 * 10000000;  // two hours ago
  FILETIME written{old.LowPart, old.HighPart};
  CHECK(SetFileTime(file, nullptr, nullptr, &written));
  CloseHandle(file);
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  if (!newClass(app, "Pen", out)) return killApp(app);
  CHECK(isClassFile(fileText(out + L"\\Pen.inc"), "Pen"));
  CHECK_EQ("~cl0000.tmp|~cl00002.tmp|~cl0001.tmp|", matching(out, L"~cl*"));
  CHECK(closeApp(app));
}

// A held Pen.inc on a volume that runs full during its in-place write (a
// small tmpfs, where SetEndOfFile allocates nothing): Pen.inc gets its old
// bytes back, the class is kept as Pen.inc.new, and one message box says so.
// The folder comes from small_disk.sh.
E2E_TEST("files.held_target_full_disk", heldTargetFullDisk) {
  wchar_t folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"CODELOOM_SMALL_DISK", folder, MAX_PATH))
    return fail("CODELOOM_SMALL_DISK set", __FILE__, __LINE__);
  const std::wstring out = folder, pen = out + L"\\Pen.inc", filler = out + L"\\filler";
  writeFile(ctx.workDir + L"\\Message.bas", "' bridge\r\n");
  writeFile(pen, "x");
  // Many properties make a class of many pages; the free space is then set
  // to hold its temporary and a few pages more.
  std::string properties;
  for (int i = 0; i < 400; ++i) properties += "Property" + std::to_string(i) + ",";
  const size_t size = cliOutput(ctx, L"class Pen --properties " + widen(properties), ctx.workDir).size();
  CHECK(size > 40000);
  ULARGE_INTEGER free{};
  CHECK(GetDiskFreeSpaceExW(out.c_str(), &free, nullptr, nullptr));
  const uint64_t pages = (size + 4095) / 4096;
  CHECK(free.QuadPart > (pages + 4) * 4096);
  CHECK(writeFile(filler, std::string(free.QuadPart - (pages + 4) * 4096, 'f')));
  HANDLE held = CreateFileW(pen.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK(held != INVALID_HANDLE_VALUE);

  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  clickAsync(app, kNewClass);
  HWND dialog = waitForDialog(app.process.dwProcessId, L"New Class");
  CHECK(dialog != nullptr);
  if (!dialog) return killApp(app);
  typeText(dialog, kClassName, "Pen");
  typeText(dialog, kClassProperties, properties);
  typeText(dialog, kClassSaveTo, narrow(out));
  pressButton(dialog, kOk);
  // The message box, not the command window of the same caption.
  HWND box = waitFor([&]() -> HWND {
    for (HWND found : processDialogs(app.process.dwProcessId))
      if (found != app.window && windowText(found) == L"Codeloom") return found;
    return nullptr;
  });
  CHECK(box != nullptr);
  if (!box) return killApp(app);
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  std::string message = "\"";
  message += narrow(pen) + "\" could not be written. Its new text is in \"" + narrow(pen) +
             ".new\"; the file still holds its old text.";
  CHECK_EQ(message, narrow(text));
  pressButton(box, IDOK);
  CHECK(waitUntilGone(box));
  waitForIdle(app);
  CHECK_EQ("x", fileText(pen));
  std::string kept = fileText(pen + L".new");
  CHECK_EQ(static_cast<long long>(size), static_cast<long long>(kept.size()));
  CHECK(isClassFile(kept, "Pen"));
  CHECK_EQ("", matching(out, L"~cl*"));
  CHECK(closeApp(app));
  CloseHandle(held);
  DeleteFileW(filler.c_str());
}

// codeloom-cli.exe's -o goes through the GUI's replacement: a held target
// is written in place, or named as open elsewhere; a hidden one stays hidden.
E2E_TEST("files.cli_output_held_and_hidden", cliOutputHeldAndHidden) {
  writeFile(ctx.workDir + L"\\a.bas", "Sub A() Common\r\nEnd Sub\r\n");
  const std::string header = cliOutput(ctx, L"headers --mode sll a.bas", ctx.workDir);
  const std::wstring target = ctx.workDir + L"\\a.inc";
  const std::wstring write = L"headers --mode sll a.bas -o a.inc";
  std::string errors;
  // Held, sharing reading and writing: written in place.
  writeFile(target, "old");
  HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK_EQ(0, runCli(ctx, write, ctx.workDir, errors, CliStream::Stderr));
  CHECK_EQ("", errors);
  CHECK_EQ(header, fileText(target));
  CloseHandle(held);
  // Held, sharing reading alone: it cannot be written, and says why.
  writeFile(target, "old");
  held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK_EQ(1, runCli(ctx, write, ctx.workDir, errors, CliStream::Stderr));
  CHECK_EQ("codeloom-cli: write error: 'a.inc' is open in another program\r\n", errors);
  CloseHandle(held);
  CHECK_EQ("old", fileText(target));
  // Hidden: replaced, and still hidden.
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN);
  errors.clear();
  CHECK_EQ(0, runCli(ctx, write, ctx.workDir, errors, CliStream::Stderr));
  CHECK_EQ(header, fileText(target));
  CHECK(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  CHECK_EQ("", matching(ctx.workDir, L"~cl*"));
}

}  // namespace
