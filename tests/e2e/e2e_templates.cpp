// New App, New Win and New Child through the template options dialog.
#include "e2e_ids.h"
#include "e2e_support.h"

namespace {

using namespace e2e;

const ExpectedControl kDialogControls[] = {
    {1015, L"Static", L"Name %prefix%", 15, 5, 55, 10, SS_RIGHT},
    {1016, L"Edit", L"", 75, 5, 100, 13, WS_TABSTOP | ES_AUTOHSCROLL},
    {1017, L"Static", L"Author %author%", 15, 20, 55, 10, SS_RIGHT},
    {1018, L"Edit", L"", 75, 20, 100, 13, WS_TABSTOP | ES_AUTOHSCROLL},
    {1019, L"Static", L"Title %title%", 15, 35, 55, 10, SS_RIGHT},
    {1020, L"Edit", L"", 75, 35, 145, 13, WS_TABSTOP | ES_AUTOHSCROLL},
    {1021, L"Static", L"Description %desc%", 5, 50, 65, 10, SS_RIGHT},
    {1022, L"Edit", L"", 75, 50, 145, 50, WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL},
    {1023, L"Static", L"Save to:", 15, 100, 55, 10, SS_RIGHT},
    {1024, L"Edit", L"", 75, 100, 145, 13, WS_TABSTOP | ES_AUTOHSCROLL},
    {1031, L"ListBox", L"", 225, 5, 130, 110,
     WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_MULTIPLESEL},
    {1010, L"Button", L"&OK", 75, 115, 50, 15, WS_TABSTOP | BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER},
    {1011, L"Button", L"&Cancel", 130, 115, 50, 15, WS_TABSTOP},
};

const char* const kOptionNames[] = {"Accel", "Activate", "AddMem", "ExitLast", "Icon", "Key",
                                    "Mouse", "Paint", "Param", "Resource", "Size"};

const char kTemplate[] = R"(' %title% by %author%
GLOBAL g%upfx%Count AS LONG
{{Icon}}
  LoadIcon %pfx%Icon
{{else}}
  ' no icon
{{/}}
FUNCTION %pfx%Main() {{Param}}BYVAL p AS LONG{{/}}
  x = 1 {{Size}}+ w{{else}}+ 0{{/}}

{{Mouse}}
  ' mouse
{{/Mouse}}
  ' %description%
  END FUNCTION
)";

struct Kind {
  int button;
  const wchar_t* caption;
  const wchar_t* templateFile;
  const wchar_t* extension;
};

int listIndex(HWND dialog, const char* item) {
  return static_cast<int>(SendDlgItemMessageW(dialog, kTemplateOptions, LB_FINDSTRINGEXACT,
                                              static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(widen(item).c_str())));
}

std::string selectedOptions(HWND dialog) {
  std::string selected;
  for (const char* name : kOptionNames)
    if (SendDlgItemMessageW(dialog, kTemplateOptions, LB_GETSEL, listIndex(dialog, name), 0) > 0)
      selected += std::string(selected.empty() ? "" : ",") + name;
  return selected;
}

HWND openDialog(App& app, const Kind& kind) {
  clickAsync(app, kind.button);
  return waitForDialog(app.process.dwProcessId, kind.caption);
}

void runKind(const Context& ctx, const Kind& kind) {
  writeFile(ctx.workDir + L"\\" + kind.templateFile, crlf(kTemplate));
  writeFile(ctx.workDir + L"\\theme.xml", "<theme version=\"1\"/>");
  std::wstring folder = ctx.workDir + L"\\out\\proj";
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);

  HWND dialog = openDialog(app, kind);
  CHECK(dialog != nullptr);
  if (!dialog) return killApp(app);
  checkControls(dialog, kDialogControls, std::size(kDialogControls));
  // Placed at (-119, 18) units from the command window's client corner,
  // with a client area of 364 x 137 units. (The display is wide enough
  // that the window system need not move it back onto the screen.)
  CHECK_EQ(describe(dialogRect(-119, 18, 364, 137)), clientPlacement(app.window, dialog));
  CHECK(!(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU));
  CHECK_EQ(11, SendDlgItemMessageW(dialog, kTemplateOptions, LB_GETCOUNT, 0, 0));
  CHECK_EQ("", selectedOptions(dialog));  // no settings.txt yet
  CHECK_EQ("", controlText(dialog, kTemplateName));

  typeText(dialog, kTemplateName, "demo");
  typeText(dialog, kTemplateAuthor, "R&D");
  typeText(dialog, kTemplateTitle, "Demo");
  typeText(dialog, kTemplateDescription, "first\r\nsecond");
  typeText(dialog, kTemplateFolder, narrow(folder) + "\\");
  for (const char* option : {"Size", "Icon", "Key"})
    SendDlgItemMessageW(dialog, kTemplateOptions, LB_SETSEL, TRUE, listIndex(dialog, option));
  SendDlgItemMessageW(dialog, kTemplateOptions, LB_SETSEL, FALSE, listIndex(dialog, "Key"));
  pressButton(dialog, kOk);
  CHECK(waitUntilGone(dialog));

  std::wstring output = folder + L"\\demo" + kind.extension;
  std::string bytes;
  CHECK(waitUntil([&] { return readFile(output, bytes); }));
  // The expansion's bytes are the unit tests' to pin: here the file must be
  // what codeloom-cli expands from the template and the saved settings.
  CHECK_EQ(cliOutput(ctx, std::wstring(L"expand ") + kind.templateFile + L" --settings settings.txt",
                     ctx.workDir),
           bytes);
  CHECK(bytes.find("  LoadIcon demoIcon\r\n") != std::string::npos);
  std::string theme;
  CHECK(readFile(folder + L"\\theme.xml", theme));
  CHECK_EQ("<theme version=\"1\"/>", theme);
  std::string settings;
  CHECK(readFile(ctx.workDir + L"\\settings.txt", settings));
  CHECK_EQ("demo\r\nR&D\r\nDemo\r\n" + narrow(folder) + "\\\r\n\r\n\r\n\r\n 0\r\nIcon,Size\r\n"
           "first\x7Fsecond\r\n",
           settings);

  // Reopening shows what was saved; a second OK keeps the first theme.xml.
  writeFile(ctx.workDir + L"\\theme.xml", "<theme version=\"2\"/>");
  dialog = openDialog(app, kind);
  if (!dialog) return killApp(app);
  CHECK_EQ("demo", controlText(dialog, kTemplateName));
  CHECK_EQ("R&D", controlText(dialog, kTemplateAuthor));
  CHECK_EQ("Demo", controlText(dialog, kTemplateTitle));
  CHECK_EQ("first\r\nsecond", controlText(dialog, kTemplateDescription));
  CHECK_EQ(narrow(folder) + "\\", controlText(dialog, kTemplateFolder));
  CHECK_EQ("Icon,Size", selectedOptions(dialog));
  pressButton(dialog, kOk);
  CHECK(waitUntilGone(dialog));
  pump(300);
  CHECK(readFile(folder + L"\\theme.xml", theme));
  CHECK_EQ("<theme version=\"1\"/>", theme);

  // Cancel and Escape create nothing and store nothing.
  for (bool escape : {false, true}) {
    dialog = openDialog(app, kind);
    if (!dialog) return killApp(app);
    typeText(dialog, kTemplateName, "other");
    typeText(dialog, kTemplateFolder, narrow(ctx.workDir) + "\\cancelled");
    if (escape) pressEscape(dialog); else pressButton(dialog, kCancel);
    CHECK(waitUntilGone(dialog));
  }
  pump(300);
  CHECK(!fileExists(ctx.workDir + L"\\cancelled"));
  std::string after;
  CHECK(readFile(ctx.workDir + L"\\settings.txt", after));
  CHECK_EQ(settings, after);
  CHECK(closeApp(app));
}

// Saved values that multiply through the placeholders (about a terabyte of
// output): the command writes nothing, keeps the old output file, and the
// program goes on running.
E2E_TEST("templates.exploding_values", explodingValues) {
  auto times = [](const char* text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
  };
  std::wstring folder = ctx.workDir + L"\\big";
  CreateDirectoryW(folder.c_str(), nullptr);
  writeFile(folder + L"\\big.bas", "previous");
  writeFile(ctx.workDir + L"\\theme.xml", "<theme/>");
  writeFile(ctx.workDir + L"\\template_App.bas", times("%author%", 1000) + "\r\n");
  writeFile(ctx.workDir + L"\\settings.txt",
            "big\r\n" + times("%title%", 1000) + "\r\n" + times("%description%", 1000) +
                "\r\n" + narrow(folder) + "\r\n\r\n\r\n\r\n 0\r\n\r\n" + times("x", 1000) +
                "\r\n");
  App app;
  if (!startApp(ctx, app)) return fail("start", __FILE__, __LINE__);
  HWND dialog = openDialog(app, {1025, L"New Application", L"template_App.bas", L".bas"});
  CHECK(dialog != nullptr);
  if (!dialog) return killApp(app);
  pressButton(dialog, kOk);
  CHECK(waitUntilGone(dialog));
  pump(500);
  std::string bytes;
  CHECK(readFile(folder + L"\\big.bas", bytes));
  CHECK_EQ("previous", bytes);
  CHECK(!fileExists(folder + L"\\theme.xml"));
  // Still running: the next command works.
  dialog = openDialog(app, {1025, L"New Application", L"template_App.bas", L".bas"});
  CHECK(dialog != nullptr);
  if (!dialog) return killApp(app);
  pressButton(dialog, kCancel);
  CHECK(waitUntilGone(dialog));
  CHECK(closeApp(app));
}

E2E_TEST("templates.new_app", newApp) {
  runKind(ctx, {1025, L"New Application", L"template_App.bas", L".bas"});
}
E2E_TEST("templates.new_win", newWin) {
  runKind(ctx, {1026, L"New Window", L"template_Win.bas", L".inc"});
}
E2E_TEST("templates.new_child", newChild) {
  runKind(ctx, {1027, L"New Child", L"template_Child.bas", L".inc"});
}

}  // namespace
