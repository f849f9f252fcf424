// The real Platform over the Win32 API. Only the Windows build has it.
#pragma once

#include "platform/platform.h"
#include "platform/safe_write.h"

namespace codeloom {

class Win32Platform : public Platform {
 public:
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
  bool samePath(const std::string& a, const std::string& b) override;
};

// Writes path through the safe replacement, telling nobody how it ended:
// Win32Platform::writeFile and codeloom-cli.exe each report it their way.
WriteOutcome writeFileWin32(const std::string& path, std::string_view bytes);

// Initialises the common controls: InitCommonControlsEx looked up by name in
// COMCTL32.DLL, else InitCommonControls.
void initCommonControls();

}  // namespace codeloom
