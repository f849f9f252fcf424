#include "platform/dialog_template.h"

#include <gtest/gtest.h>

#include "platform/window_styles.h"

namespace codeloom {
namespace {

TEST(DialogTemplate, HeaderAndItemsAreLaidOutAsDlgTemplate) {
  DialogLayout layout;
  layout.caption = "Ab";
  layout.x = 1;
  layout.y = 2;
  layout.width = 3;
  layout.height = 4;
  layout.style = 0x10000000;
  layout.exStyle = 0x8;
  layout.fontFace = "F";
  layout.fontPoints = 8;
  layout.controls.push_back({1001, ControlKind::Button, "x", 10, 5, 105, 15, 0x50010000, 0});
  layout.controls.push_back({1031, ControlKind::ListBox, "", 1, 2, 3, 4, 0x50210000, 0x200});

  const std::vector<uint16_t> expected = {
      // style with DS_SETFONT, exstyle, count, x, y, cx, cy, menu, class
      0x0040, 0x1000, 0x0008, 0x0000, 2, 1, 2, 3, 4, 0, 0,
      'A', 'b', 0,       // caption
      8, 'F', 0,         // font
      0,                 // pad to a DWORD (17 words so far)
      0x0000, 0x5001, 0x0000, 0x0000, 10, 5, 105, 15, 1001, 0xFFFF, 0x0080, 'x', 0, 0,
      // 32 words so far: already aligned
      0x0000, 0x5021, 0x0200, 0x0000, 1, 2, 3, 4, 1031, 0xFFFF, 0x0083, 0, 0,
  };
  EXPECT_EQ(expected, encodeDialogTemplate(layout));
}

TEST(DialogTemplate, ClassAtoms) {
  for (auto [kind, atom] : {std::pair{ControlKind::Button, 0x80}, {ControlKind::Edit, 0x81},
                            {ControlKind::Static, 0x82}, {ControlKind::ListBox, 0x83}}) {
    DialogLayout layout;
    layout.fontFace = "";  // header: 11 words, caption 1, size 1, face 1 = 14: aligned
    layout.controls.push_back({7, kind, "", 0, 0, 0, 0, 0, 0});
    std::vector<uint16_t> words = encodeDialogTemplate(layout);
    ASSERT_EQ(14u + 13u, words.size());
    EXPECT_EQ(atom, words[14 + 10]);
  }
}

}  // namespace
}  // namespace codeloom
