// The window-style bits that Codeloom's dialog tables use, with the values
// of the Windows headers, so the tables and their encoder need no
// <windows.h> and can be checked natively.
#pragma once

#include <cstdint>

namespace codeloom::styles {

// Window styles.
constexpr uint32_t kPopup = 0x80000000;
constexpr uint32_t kChild = 0x40000000;
constexpr uint32_t kVisible = 0x10000000;
constexpr uint32_t kClipSiblings = 0x04000000;
constexpr uint32_t kCaption = 0x00C00000;
constexpr uint32_t kBorder = 0x00800000;
constexpr uint32_t kVScroll = 0x00200000;
constexpr uint32_t kHScroll = 0x00100000;
constexpr uint32_t kSysMenu = 0x00080000;
constexpr uint32_t kGroup = 0x00020000;
constexpr uint32_t kMinimizeBox = 0x00020000;
constexpr uint32_t kTabStop = 0x00010000;

// Dialog styles.
constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsModalFrame = 0x80;

// Extended styles.
constexpr uint32_t kExTopmost = 0x00000008;
constexpr uint32_t kExClientEdge = 0x00000200;
constexpr uint32_t kExControlParent = 0x00010000;

// Buttons.
constexpr uint32_t kBsPushButton = 0x0;
constexpr uint32_t kBsDefPushButton = 0x1;
constexpr uint32_t kBsCheckBox = 0x2;
constexpr uint32_t kBsAutoCheckBox = 0x3;
constexpr uint32_t kBsCenter = 0x300;
constexpr uint32_t kBsVCenter = 0xC00;

// Statics.
constexpr uint32_t kSsLeft = 0x0;
constexpr uint32_t kSsRight = 0x2;
constexpr uint32_t kSsEtchedHorz = 0x10;

// Edits.
constexpr uint32_t kEsLeft = 0x0;
constexpr uint32_t kEsMultiline = 0x4;
constexpr uint32_t kEsAutoVScroll = 0x40;
constexpr uint32_t kEsAutoHScroll = 0x80;
constexpr uint32_t kEsWantReturn = 0x1000;

// List boxes.
constexpr uint32_t kLbsNotify = 0x1;
constexpr uint32_t kLbsSort = 0x2;
constexpr uint32_t kLbsMultipleSel = 0x8;

// Command identifiers the dialog engine sends.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

}  // namespace codeloom::styles
