// The control ids the driver presses and fills, as a user of the program
// knows them, written here independently of the program's own headers.
#pragma once

namespace e2e {

// The command window's buttons.
constexpr int kForum = 1001, kNewClass = 1002, kNewInterface = 1004, kNewApp = 1025;
constexpr int kSll = 1032, kCompile = 1034, kDll = 1035;
// Both dialogs' buttons.
constexpr int kOk = 1010, kCancel = 1011;
// The class dialog.
constexpr int kClassName = 1006, kClassProperties = 1008, kClassMethods = 1014, kClassSaveTo = 1024;
constexpr int kClassMessages = 1037;
// The template dialog.
constexpr int kTemplateName = 1016, kTemplateAuthor = 1018, kTemplateTitle = 1020;
constexpr int kTemplateDescription = 1022, kTemplateFolder = 1024, kTemplateOptions = 1031;

}  // namespace e2e
