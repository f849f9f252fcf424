#include "platform/dialog_template.h"

#include "platform/ansi.h"
#include "platform/window_styles.h"

namespace codeloom {
namespace {

uint16_t classAtom(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button: return 0x0080;
    case ControlKind::Edit: return 0x0081;
    case ControlKind::Static: return 0x0082;
    case ControlKind::ListBox: return 0x0083;
  }
  return 0x0082;
}

void putDword(std::vector<uint16_t>& out, uint32_t value) {
  out.push_back(static_cast<uint16_t>(value & 0xFFFF));
  out.push_back(static_cast<uint16_t>(value >> 16));
}

void putText(std::vector<uint16_t>& out, const std::string& text) {
  for (char16_t c : ansiToUtf16(text)) out.push_back(static_cast<uint16_t>(c));
  out.push_back(0);
}

void alignToDword(std::vector<uint16_t>& out) {
  if (out.size() % 2) out.push_back(0);
}

}  // namespace

std::vector<uint16_t> encodeDialogTemplate(const DialogLayout& layout) {
  std::vector<uint16_t> out;
  putDword(out, layout.style | styles::kDsSetFont);
  putDword(out, layout.exStyle);
  out.push_back(static_cast<uint16_t>(layout.controls.size()));
  for (int v : {layout.x, layout.y, layout.width, layout.height}) out.push_back(static_cast<uint16_t>(v));
  out.push_back(0);  // no menu
  out.push_back(0);  // the standard dialog class
  putText(out, layout.caption);
  out.push_back(static_cast<uint16_t>(layout.fontPoints));
  putText(out, layout.fontFace);
  for (const ControlLayout& control : layout.controls) {
    alignToDword(out);
    putDword(out, control.style);
    putDword(out, control.exStyle);
    for (int v : {control.x, control.y, control.width, control.height})
      out.push_back(static_cast<uint16_t>(v));
    out.push_back(static_cast<uint16_t>(control.id));
    out.push_back(0xFFFF);
    out.push_back(classAtom(control.kind));
    putText(out, control.text);
    out.push_back(0);  // no creation data
  }
  return out;
}

}  // namespace codeloom
