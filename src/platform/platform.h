// The thin seam between Codeloom's commands and the window system.
//
// Commands are plain procedures that take a Platform&. The Win32 build passes
// the real implementation (platform_win32.cpp); native tests pass a scripted
// double (tests/support/fake_platform.h). Nothing above this header includes
// <windows.h>. All text here is single-byte ANSI; the Win32 side converts to
// UTF-16 where the window system wants it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace codeloom {

// An HWND, opaque above the platform layer. Null means "no window".
using WindowHandle = void*;

// The 16 bytes of a GUID as the four usual fields.
struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

// ---- Dialogs built at run time from a table of controls -------------------

enum class ControlKind { Button, Edit, Static, ListBox };

struct ControlLayout {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  uint32_t style = 0;                       // full window style
  uint32_t exStyle = 0;
};

struct DialogLayout {
  std::string caption;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  uint32_t style = 0;
  uint32_t exStyle = 0;
  std::string fontFace = "MS Sans Serif";
  int fontPoints = 8;
  std::vector<ControlLayout> controls;  // creation order = tab order
};

// Appends a control to a dialog's table, built in place.
inline void addControl(DialogLayout& layout, int id, ControlKind kind, const std::string& text,
                       int x, int y, int width, int height, uint32_t style,
                       uint32_t exStyle = 0) {
  ControlLayout& control = layout.controls.emplace_back();
  control.id = id;
  control.kind = kind;
  control.text = text;
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  control.style = style;
  control.exStyle = exStyle;
}

// What a dialog does with its messages. Either callback may be empty.
// onInit runs once the controls exist; onCommand gets WM_COMMAND's control id
// and notification code. The platform itself handles the focus-restore rule
// (each dialog remembers the focused control across deactivation) and the
// close box (ends the dialog with 0).
struct DialogEvents {
  std::function<void(WindowHandle dialog)> onInit;
  std::function<void(WindowHandle dialog, int id, int code)> onCommand;
};

// ---- The open-file dialog ------------------------------------------------

struct OpenFileRequest {
  WindowHandle owner = nullptr;
  std::string title;
  std::string initialFolder;
  std::string filterName;
  std::string filterPattern;
  // Move the dialog 30 pixels right and down from the owner's top-left
  // corner and bring it to the foreground once it opens. Only a dialog that
  // asks for this gets the dialog hook, which costs the current dialog style.
  bool offsetFromOwner = false;
};

// What the dialog returned, in its own order and as UTF-16 (a picked name
// may hold characters the ANSI code page lacks): no parts on cancel or
// failure; one full path for one file; for several, the folder and then
// each name.
struct OpenFileResult {
  std::vector<std::u16string> parts;
};

// One picked file: the path that opens it, exactly as the dialog named it,
// and its name as ANSI text for the output (a character the code page lacks
// is '?' there). The file is opened by path only, never by name.
struct PickedFile {
  std::u16string path;
  std::string name;
};

// ---- The interface -------------------------------------------------------

class Platform {
 public:
  virtual ~Platform() = default;

  // Dialogs. runModalDialog disables the owner while it runs and returns the
  // value passed to endDialog (0 when closed by the close box).
  virtual int runModalDialog(WindowHandle owner, const DialogLayout& layout,
                             const DialogEvents& events) = 0;
  virtual void endDialog(WindowHandle dialog, int result) = 0;
  virtual std::string windowText(WindowHandle window) = 0;
  virtual std::string controlText(WindowHandle dialog, int id) = 0;
  virtual void setControlText(WindowHandle dialog, int id, const std::string& text) = 0;
  virtual bool isChecked(WindowHandle dialog, int id) = 0;
  virtual void setChecked(WindowHandle dialog, int id, bool checked) = 0;
  virtual void setDefaultButton(WindowHandle dialog, int id) = 0;

  // List boxes. Indexes count from 0; -1 means "none".
  virtual int listAdd(WindowHandle dialog, int id, const std::string& text) = 0;
  virtual int listCount(WindowHandle dialog, int id) = 0;
  virtual std::string listText(WindowHandle dialog, int id, int index) = 0;
  virtual bool listIsSelected(WindowHandle dialog, int id, int index) = 0;
  virtual void listSelect(WindowHandle dialog, int id, int index) = 0;
  // The list box's own prefix search (LB_FINDSTRING from the first item):
  // the first item that begins with prefix, ignoring case.
  virtual int listFindPrefix(WindowHandle dialog, int id, const std::string& prefix) = 0;

  virtual OpenFileResult openFileDialog(const OpenFileRequest& request) = 0;
  // The whole of a picked file, opened by its UTF-16 path.
  virtual bool readPickedFile(const PickedFile& file, std::string& bytes) = 0;
  // The same file in windows of at most kPickedReadWindow bytes, handed to
  // take in order, so that memory never holds the whole file. False when it
  // cannot be opened or a read fails, possibly after some windows.
  static constexpr size_t kPickedReadWindow = size_t{1} << 16;
  virtual bool readPickedFileWindows(const PickedFile& file,
                                     const std::function<void(std::string_view)>& take) = 0;

  // Clipboard, opened with no owner. Each call opens and closes it; a call
  // that cannot open it does nothing and returns false.
  virtual bool emptyClipboard() = 0;
  virtual bool setClipboardText(const std::string& text) = 0;

  // The first top-level window, top of the Z order first, whose title (at
  // most 255 bytes) satisfies titleMatches; null when none does.
  virtual WindowHandle findTopWindow(
      const std::function<bool(const std::string& title)>& titleMatches) = 0;
  virtual void setForegroundWindow(WindowHandle window) = 0;

  virtual Guid createGuid() = 0;

  // Files. Paths are ANSI; relative paths resolve against the current
  // directory. readFile gives the whole file; writeFile replaces the file
  // only once the new content is completely on disk, so a failed write
  // leaves any previous file as it was (keeping its attributes); only a
  // file another program holds open without delete sharing is written in
  // place. Should that fail midway, the file gets its old bytes back where
  // they can be written, the new text stays beside it as "NAME.new", and
  // one message box says so. A read-only file is never written.
  virtual bool readFile(const std::string& path, std::string& bytes) = 0;
  virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
  // A directory search for exactly this name: files and folders both count.
  virtual bool pathExists(const std::string& path) = 0;
  // A plain file: not a folder, not hidden, not a system file.
  virtual bool isPlainFile(const std::string& path) = 0;
  virtual bool createDirectory(const std::string& path) = 0;
  // Copies byte for byte, replacing an existing target.
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;
  // Whether a and b name the same file: both made full paths (".", ".."
  // and short names resolved) and compared ignoring case.
  virtual bool samePath(const std::string& a, const std::string& b) = 0;
};

}  // namespace codeloom
