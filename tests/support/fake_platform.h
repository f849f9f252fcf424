// A scripted, in-memory Platform for running whole commands in native tests.
//
// Dialogs: each modal dialog runs the next script from dialogScripts (or, if
// none is queued, ends with 0 as if closed). A script plays the user: it
// types into controls and presses buttons through press(), which delivers
// WM_COMMAND to the dialog's own handler just as the window system would.
// Files: a map of path to bytes plus a set of folders, with paths compared as
// written; a folder named in faultyPaths makes every operation on it fail.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace codeloom {

struct FakeControl {
  ControlLayout layout;
  std::string text;
  bool checked = false;
  std::vector<std::string> items;
  std::vector<bool> selected;
};

struct FakeDialog {
  WindowHandle owner = nullptr;
  DialogLayout layout;
  DialogEvents events;
  std::vector<FakeControl> controls;
  int defaultButton = 0;
  bool ended = false;
  int result = 0;

  FakeControl* control(int id);  // the first control with this id, or null
  WindowHandle handle() { return this; }
};

class FakePlatform : public Platform {
 public:
  using DialogScript = std::function<void(FakePlatform&, FakeDialog&)>;

  // Dialogs -------------------------------------------------------------
  std::deque<DialogScript> dialogScripts;
  // Copies of every dialog as it was when it ended, in order of opening.
  std::vector<FakeDialog> closedDialogs;
  // Sends a WM_COMMAND from control id with notification code to the dialog.
  void press(FakeDialog& dialog, int id, int code = 0);
  // Types text into a control (WM_SETTEXT as a user would).
  void type(FakeDialog& dialog, int id, const std::string& text);
  // Toggles a list item's selection, as a click in a multiple-selection list.
  void toggleListItem(FakeDialog& dialog, int id, const std::string& item);

  // Open-file dialog: results handed out in order; cancel when none is left.
  std::deque<OpenFileResult> openFileResults;
  std::vector<OpenFileRequest> openFileRequests;
  // Every picked file read, by its UTF-16 path.
  std::vector<std::u16string> pickedReads;
  // Windowed reads hand out windows of this size (small, so that tests cross
  // window ends), and fail once this many bytes of a file were handed out.
  size_t pickedWindowBytes = 7;
  std::optional<size_t> pickedReadFailsAfter;

  // Clipboard ------------------------------------------------------------
  std::optional<std::string> clipboard;  // nullopt: empty, no text
  bool clipboardBusy = false;             // every open fails
  int clipboardWrites = 0;

  // Windows: top-level windows from the top of the Z order down.
  struct TopWindow { WindowHandle handle; std::string title; };
  std::vector<TopWindow> topWindows;
  WindowHandle foreground = nullptr;

  // GUIDs: queued values first, then 00000001-..., 00000002-... and so on.
  std::deque<Guid> guids;
  int guidsCreated = 0;

  // Files ----------------------------------------------------------------
  std::map<std::string, std::string> files;
  // Files whose names hold characters the ANSI code page lacks: only a
  // picked file's UTF-16 path reaches them. A picked path that is ANSI
  // throughout reads from files.
  std::map<std::u16string, std::string> wideFiles;
  std::set<std::string> folders;
  std::set<std::string> hiddenFiles;     // exist, but are not plain files
  std::set<std::string> faultyPaths;     // every operation on these fails
  // Read-only files: they read as usual, but replacing one fails at the
  // replace step (the new content never reaches it), as on Windows.
  std::set<std::string> readOnlyFiles;
  // Held files: open in another program that shares reading and writing
  // but not deletion; they cannot be replaced by a rename, only written.
  std::set<std::string> heldFiles;
  // Targets whose replace fails as ReplaceFileW does with this error code,
  // leaving the files as its documentation says: 1176 removes the target,
  // 1177 moves it to "NAME~replaced"; the temporary keeps its name.
  std::map<std::string, uint32_t> replaceErrors;
  std::vector<std::string> fileLog;      // "write path", "copy a -> b", ...
  // The message boxes shown, in order.
  std::vector<std::string> messages;
  // When set, the n-th step (counted from 0 over all writes) of writing a
  // file fails: create, each chunk, flush, close, replace; for a held file
  // the read, the open in place, each chunk, flush and close (twice, when
  // the old bytes go back); each rename.
  int failWriteStep = -1;
  int writeSteps = 0;
  uint32_t temporarySeed = 0x1000;  // the first temporary is ~cl1000.tmp

  // Platform -------------------------------------------------------------
  int runModalDialog(WindowHandle owner, const DialogLayout& layout,
                     const DialogEvents& events) override;
  void endDialog(WindowHandle dialog, int result) override;
  std::string windowText(WindowHandle window) override;
  std::string controlText(WindowHandle dialog, int id) override;
  void setControlText(WindowHandle dialog, int id, const std::string& text) override;
  bool isChecked(WindowHandle dialog, int id) override;
  void setChecked(WindowHandle dialog, int id, bool checked) override;
  void setDefaultButton(WindowHandle dialog, int id) override;
  int listAdd(WindowHandle dialog, int id, const std::string& text) override;
  int listCount(WindowHandle dialog, int id) override;
  std::string listText(WindowHandle dialog, int id, int index) override;
  bool listIsSelected(WindowHandle dialog, int id, int index) override;
  void listSelect(WindowHandle dialog, int id, int index) override;
  int listFindPrefix(WindowHandle dialog, int id, const std::string& prefix) override;
  OpenFileResult openFileDialog(const OpenFileRequest& request) override;
  bool readPickedFile(const PickedFile& file, std::string& bytes) override;
  bool readPickedFileWindows(const PickedFile& file,
                             const std::function<void(std::string_view)>& take) override;
  bool emptyClipboard() override;
  bool setClipboardText(const std::string& text) override;
  WindowHandle findTopWindow(
      const std::function<bool(const std::string& title)>& titleMatches) override;
  void setForegroundWindow(WindowHandle window) override;
  Guid createGuid() override;
  bool readFile(const std::string& path, std::string& bytes) override;
  bool writeFile(const std::string& path, const std::string& bytes) override;
  bool pathExists(const std::string& path) override;
  bool isPlainFile(const std::string& path) override;
  bool createDirectory(const std::string& path) override;
  bool copyFile(const std::string& from, const std::string& to) override;
  // "." and ".." resolved, compared ignoring case; no short names here.
  bool samePath(const std::string& a, const std::string& b) override;

 private:
  FakeControl& controlOf(WindowHandle dialog, int id);
  bool folderExists(const std::string& path) const;
  bool faulty(const std::string& path) const;
};

// Builds an OpenFileResult as the real dialog returns it, from ANSI text:
// one path alone, or the folder and then the names.
OpenFileResult fileDialogResult(const std::string& folder, const std::vector<std::string>& names);

}  // namespace codeloom
