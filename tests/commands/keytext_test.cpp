#include <gtest/gtest.h>

#include "commands/keytext.h"

TEST(KeyText, NamedKeysAndUnnamedCodes) {
  EXPECT_EQ(KeyText(VK_DELETE, ssCtrl | ssAlt | ssShift), "Ctrl+Alt+Shift+Del");
  EXPECT_EQ(KeyText(124, ssShift), "Shift+<124>");  // F13
  EXPECT_EQ(KeyText(VK_F24, {}), "<135>");
  EXPECT_EQ(KeyText(VK_ADD, {}), "NP+");
  EXPECT_EQ(KeyText(VK_OEM_PLUS, {}), "=");
  EXPECT_EQ(KeyText(VK_SEPARATOR, {}), "NP sep");
  EXPECT_EQ(KeyText(VK_OEM_5, {}), "\\");
  EXPECT_EQ(KeyText(VK_OEM_102, {}), "Macro");
  EXPECT_EQ(KeyText(VK_F1, {}), "F1");
  EXPECT_EQ(KeyText(VK_F1 + 11, {}), "F12");
  EXPECT_EQ(KeyText(VK_NUMPAD0, {}), "NP0");
  EXPECT_EQ(KeyText(VK_NUMPAD0 + 9, {}), "NP9");
  EXPECT_EQ(KeyText('0', {}), "0");
  EXPECT_EQ(KeyText('Z', {}), "Z");
  // Neighbours of the named ranges have no name.
  EXPECT_EQ(KeyText(47, {}), "Help");
  EXPECT_EQ(KeyText(58, {}), "<58>");
  EXPECT_EQ(KeyText(64, {}), "<64>");
  EXPECT_EQ(KeyText(91, {}), "LWin");
  EXPECT_EQ(KeyText(97, {}), "NP1");
  EXPECT_EQ(KeyText(111, {}), "NP/");
  EXPECT_EQ(KeyText(94, {}), "<94>");
  EXPECT_EQ(KeyText(255, {}), "<255>");
  EXPECT_EQ(KeyText(256, {}), "<256>");
  EXPECT_EQ(KeyText(65535, ssCtrl), "Ctrl+<65535>");
}

TEST(KeyText, ModifiersReadCtrlAltShiftWhateverTheirOrder) {
  EXPECT_EQ(KeyText(VK_SUBTRACT, ssAlt), "Alt+NP-");
  EXPECT_EQ(KeyText('1', ssShift), "Shift+1");
  EXPECT_EQ(KeyText(VK_RIGHT, ssCtrl), "Ctrl+Right");
  EXPECT_EQ(KeyText(VK_ADD, ssCtrl | ssAlt), "Ctrl+Alt+NP+");
  EXPECT_EQ(KeyText(VK_RETURN, ssShift | ssCtrl), "Ctrl+Shift+Enter");
}

TEST(KeyText, ModifierKeyAloneGivesOnlyPrefixes) {
  EXPECT_EQ(KeyText(VK_CONTROL, ssCtrl), "Ctrl+");
  EXPECT_EQ(KeyText(VK_MENU, ssAlt), "Alt+");
  EXPECT_EQ(KeyText(VK_SHIFT, ssShift), "Shift+");
  EXPECT_EQ(KeyText(VK_CONTROL, ssCtrl | ssShift), "Ctrl+Shift+");
  EXPECT_EQ(KeyText(0, {}), "");
}
