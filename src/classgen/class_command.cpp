#include "classgen/class_command.h"

#include "app/ide_locator.h"
#include "app/new_guid.h"
#include "classgen/class_dialog.h"
#include "platform/file_name.h"

namespace codeloom {

std::string classFolder(const std::string& saveFolder) {
  return saveFolder.ends_with('\\') ? saveFolder : saveFolder + '\\';
}

std::string newClassFileText(const ToolSettings& s, const GuidSource& newGuid) {
  return buildSkeleton(SkeletonKind::Class, s.className, s.classProperties, s.classMethods,
                       s.classMessages != 0, newGuid) +
         "\r\n";
}

std::string newInterfaceText(const ToolSettings& s, const GuidSource& newGuid) {
  return buildSkeleton(SkeletonKind::Interface, s.className, s.classProperties, s.classMethods,
                       s.classMessages != 0, newGuid);
}

void runNewClass(Platform& platform, ToolSettings& settings, WindowHandle commandWindow) {
  if (!showClassDialog(platform, settings, commandWindow, "New Class")) return;
  // A name that would leave the Save-to folder (..\x, C:x) or that Windows
  // refuses writes nothing, as if the dialog had been cancelled.
  if (settings.className.empty() || !isSafeFileStem(settings.className)) return;
  const std::string text = newClassFileText(settings, [&] { return newGuidText(platform); });
  // Failures are not reported: a missing folder or "Message.bas" leaves that
  // step undone and the command goes on.
  const std::string folder = classFolder(settings.saveFolder);
  const std::string classFile = folder + settings.className + ".inc";
  const std::string messageFile = folder + "Message.inc";
  platform.writeFile(classFile, text);
  // A class named Message (in any case, or by a short name) is itself
  // written to Message.inc; copying the support file over it would destroy it.
  if (!platform.samePath(classFile, messageFile)) platform.copyFile("Message.bas", messageFile);
  activateIde(platform);
}

void runNewInterface(Platform& platform, ToolSettings& settings, WindowHandle commandWindow) {
  if (!showClassDialog(platform, settings, commandWindow, "New Interface")) return;
  if (settings.className.empty()) return;
  const std::string text = newInterfaceText(settings, [&] { return newGuidText(platform); });
  platform.emptyClipboard();
  platform.setClipboardText(text);
  activateIde(platform);
}

}  // namespace codeloom
