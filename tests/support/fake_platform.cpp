#include "support/fake_platform.h"

#include <stdexcept>

#include "platform/ansi.h"
#include "platform/safe_write.h"

namespace codeloom {
namespace {

// The folder part of a path: everything before its last "\".
std::string parentOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

FakeDialog& dialogOf(WindowHandle handle) { return *static_cast<FakeDialog*>(handle); }

}  // namespace

FakeControl* FakeDialog::control(int id) {
  for (FakeControl& c : controls)
    if (c.layout.id == id) return &c;
  return nullptr;
}

FakeControl& FakePlatform::controlOf(WindowHandle dialog, int id) {
  FakeControl* c = dialogOf(dialog).control(id);
  if (!c) throw std::logic_error("no control " + std::to_string(id) + " in the dialog");
  return *c;
}

void FakePlatform::press(FakeDialog& dialog, int id, int code) {
  if (!dialog.ended && dialog.events.onCommand) dialog.events.onCommand(dialog.handle(), id, code);
}

void FakePlatform::type(FakeDialog& dialog, int id, const std::string& text) {
  controlOf(dialog.handle(), id).text = text;
}

void FakePlatform::toggleListItem(FakeDialog& dialog, int id, const std::string& item) {
  FakeControl& list = controlOf(dialog.handle(), id);
  for (size_t i = 0; i < list.items.size(); ++i)
    if (list.items[i] == item) {
      list.selected[i] = !list.selected[i];
      return;
    }
  throw std::logic_error("no list item " + item);
}

int FakePlatform::runModalDialog(WindowHandle owner, const DialogLayout& layout,
                                 const DialogEvents& events) {
  FakeDialog dialog;
  dialog.owner = owner;
  dialog.layout = layout;
  dialog.events = events;
  for (const ControlLayout& c : layout.controls) dialog.controls.push_back({c, c.text});
  if (events.onInit) events.onInit(dialog.handle());
  if (!dialogScripts.empty()) {
    DialogScript script = std::move(dialogScripts.front());
    dialogScripts.pop_front();
    script(*this, dialog);
  }
  if (!dialog.ended) dialog.result = 0;  // the user closed it some other way
  closedDialogs.push_back(dialog);
  return dialog.result;
}

void FakePlatform::endDialog(WindowHandle dialog, int result) {
  dialogOf(dialog).ended = true;
  dialogOf(dialog).result = result;
}

std::string FakePlatform::windowText(WindowHandle window) { return dialogOf(window).layout.caption; }

std::string FakePlatform::controlText(WindowHandle dialog, int id) {
  return controlOf(dialog, id).text;
}

void FakePlatform::setControlText(WindowHandle dialog, int id, const std::string& text) {
  controlOf(dialog, id).text = text;
}

bool FakePlatform::isChecked(WindowHandle dialog, int id) { return controlOf(dialog, id).checked; }

void FakePlatform::setChecked(WindowHandle dialog, int id, bool checked) {
  controlOf(dialog, id).checked = checked;
}

void FakePlatform::setDefaultButton(WindowHandle dialog, int id) {
  dialogOf(dialog).defaultButton = id;
}

int FakePlatform::listAdd(WindowHandle dialog, int id, const std::string& text) {
  FakeControl& list = controlOf(dialog, id);
  list.items.push_back(text);
  list.selected.push_back(false);
  return static_cast<int>(list.items.size()) - 1;
}

int FakePlatform::listCount(WindowHandle dialog, int id) {
  return static_cast<int>(controlOf(dialog, id).items.size());
}

std::string FakePlatform::listText(WindowHandle dialog, int id, int index) {
  return controlOf(dialog, id).items.at(index);
}

bool FakePlatform::listIsSelected(WindowHandle dialog, int id, int index) {
  return controlOf(dialog, id).selected.at(index);
}

void FakePlatform::listSelect(WindowHandle dialog, int id, int index) {
  controlOf(dialog, id).selected.at(index) = true;
}

// Like Wine's list box, an empty prefix finds nothing.
int FakePlatform::listFindPrefix(WindowHandle dialog, int id, const std::string& prefix) {
  if (prefix.empty()) return -1;
  FakeControl& list = controlOf(dialog, id);
  for (size_t i = 0; i < list.items.size(); ++i)
    if (toLowerAnsi(list.items[i].substr(0, prefix.size())) == toLowerAnsi(prefix))
      return static_cast<int>(i);
  return -1;
}

OpenFileResult FakePlatform::openFileDialog(const OpenFileRequest& request) {
  openFileRequests.push_back(request);
  if (openFileResults.empty()) return {};
  OpenFileResult result = openFileResults.front();
  openFileResults.pop_front();
  return result;
}

bool FakePlatform::readPickedFile(const PickedFile& file, std::string& bytes) {
  pickedReads.push_back(file.path);
  auto wide = wideFiles.find(file.path);
  if (wide != wideFiles.end()) {
    bytes = wide->second;
    return true;
  }
  const std::string ansi = utf16ToAnsi(file.path);
  if (ansiToUtf16(ansi) != file.path) return false;  // no ANSI name is this one
  return readFile(ansi, bytes);
}

bool FakePlatform::readPickedFileWindows(const PickedFile& file,
                                         const std::function<void(std::string_view)>& take) {
  std::string bytes;
  if (!readPickedFile(file, bytes)) return false;
  const size_t readable = std::min(bytes.size(), pickedReadFailsAfter.value_or(bytes.size()));
  for (size_t at = 0; at < readable; at += pickedWindowBytes)
    take(std::string_view(bytes).substr(at, std::min(pickedWindowBytes, readable - at)));
  return !pickedReadFailsAfter || bytes.size() < *pickedReadFailsAfter;
}

bool FakePlatform::emptyClipboard() {
  if (clipboardBusy) return false;
  clipboard.reset();
  return true;
}

bool FakePlatform::setClipboardText(const std::string& text) {
  if (clipboardBusy) return false;
  clipboard = text;
  ++clipboardWrites;
  return true;
}

WindowHandle FakePlatform::findTopWindow(
    const std::function<bool(const std::string& title)>& titleMatches) {
  for (const TopWindow& window : topWindows)
    if (titleMatches(window.title.substr(0, 255))) return window.handle;
  return nullptr;
}

void FakePlatform::setForegroundWindow(WindowHandle window) { foreground = window; }

Guid FakePlatform::createGuid() {
  ++guidsCreated;
  if (!guids.empty()) {
    Guid guid = guids.front();
    guids.pop_front();
    return guid;
  }
  Guid guid;
  guid.data1 = static_cast<uint32_t>(guidsCreated);
  return guid;
}

bool FakePlatform::faulty(const std::string& path) const {
  for (std::string p = path; !p.empty(); p = parentOf(p))
    if (faultyPaths.count(p)) return true;
  return false;
}

bool FakePlatform::folderExists(const std::string& path) const {
  // The current directory, the root and bare drives always exist.
  if (path.empty() || (path.size() == 2 && path[1] == ':')) return true;
  return folders.count(path) != 0;
}

bool FakePlatform::readFile(const std::string& path, std::string& bytes) {
  auto it = files.find(path);
  if (it == files.end() || faulty(path)) return false;
  bytes = it->second;
  return true;
}

bool FakePlatform::writeFile(const std::string& path, const std::string& bytes) {
  fileLog.push_back("write " + path);
  if (faulty(path) || !folderExists(parentOf(path)) || folders.count(path)) return false;
  auto step = [this] { return writeSteps++ != failWriteStep; };
  std::string open;
  size_t at = 0, cutTo = std::string::npos;
  FileWriteSteps steps;
  steps.seed = [this] { return temporarySeed; };
  steps.createNew = [&](const std::string& temporary) {
    if (!step()) return CreateOutcome::Failed;
    if (files.count(temporary)) return CreateOutcome::Exists;
    open = temporary;
    files[open].clear();
    cutTo = std::string::npos;
    return CreateOutcome::Created;
  };
  steps.read = [&](const std::string& target, std::string& old) {
    return step() && readFile(target, old);
  };
  steps.openInPlace = [&](const std::string& target, uint64_t size) {
    if (!step() || !files.count(target) || readOnlyFiles.count(target)) return false;
    open = target;
    at = 0;
    cutTo = size;
    if (files[open].size() < size) files[open].resize(size, '\0');
    return true;
  };
  steps.write = [&](std::string_view chunk) {
    bool ok = step();
    if (!ok) chunk = chunk.substr(0, chunk.size() / 2);  // a torn write
    std::string& file = files[open];
    if (file.size() < at + chunk.size()) file.resize(at + chunk.size());
    file.replace(at, chunk.size(), chunk);
    at += chunk.size();
    return ok;
  };
  steps.flush = [&] { return step(); };
  steps.close = [&] {
    if (cutTo != std::string::npos) files[open].resize(cutTo);
    return step();
  };
  steps.replace = [&](const std::string& from, const std::string& to) {
    if (!step()) return ReplaceOutcome::Failed;
    if (readOnlyFiles.count(to)) return ReplaceOutcome::ReadOnly;
    if (auto error = replaceErrors.find(to); error != replaceErrors.end() && files.count(to)) {
      if (error->second == 1177) files[to + "~replaced"] = files[to];
      if (error->second == 1176 || error->second == 1177) files.erase(to);
      return replaceFileOutcome(error->second);
    }
    if (heldFiles.count(to) && files.count(to)) return ReplaceOutcome::Held;
    files[to] = std::move(files[from]);
    files.erase(from);
    return ReplaceOutcome::Replaced;
  };
  steps.rename = [&](const std::string& from, const std::string& to) {
    if (!step() || files.count(to) || folders.count(to)) return false;
    files[to] = std::move(files[from]);
    files.erase(from);
    return true;
  };
  steps.remove = [&](const std::string& file) { files.erase(file); };
  // Small chunks, so that a test can fail a write in the middle of a file.
  WriteOutcome outcome = writeFileReplacing(steps, path, bytes, 16);
  if (outcome.status == WriteStatus::Kept) messages.push_back(keptTextMessage(path, outcome));
  return outcome.written();
}

bool FakePlatform::pathExists(const std::string& path) {
  return files.count(path) || folders.count(path);
}

bool FakePlatform::isPlainFile(const std::string& path) {
  return files.count(path) && !hiddenFiles.count(path);
}

bool FakePlatform::createDirectory(const std::string& path) {
  fileLog.push_back("mkdir " + path);
  if (faulty(path) || pathExists(path) || !folderExists(parentOf(path))) return false;
  folders.insert(path);
  return true;
}

bool FakePlatform::copyFile(const std::string& from, const std::string& to) {
  fileLog.push_back("copy " + from + " -> " + to);
  std::string bytes;
  if (!readFile(from, bytes)) return false;
  return writeFile(to, bytes);
}

bool FakePlatform::samePath(const std::string& a, const std::string& b) {
  auto resolved = [](const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
      size_t end = path.find('\\', start);
      std::string part = toLowerAnsi(path.substr(start, end - start));
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (part != ".") {
        parts.push_back(part);
      }
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return parts;
  };
  return resolved(a) == resolved(b);
}

OpenFileResult fileDialogResult(const std::string& folder, const std::vector<std::string>& names) {
  OpenFileResult result;
  if (names.size() == 1) {
    bool joined = folder.empty() || folder.back() == '\\';
    result.parts.push_back(ansiToUtf16(joined ? folder + names[0] : folder + "\\" + names[0]));
    return result;
  }
  if (names.empty()) return result;
  result.parts.push_back(ansiToUtf16(folder));
  for (const std::string& name : names) result.parts.push_back(ansiToUtf16(name));
  return result;
}

}  // namespace codeloom
