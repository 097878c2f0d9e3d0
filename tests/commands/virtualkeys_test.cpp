#include <gtest/gtest.h>

#include <QKeyEvent>

#include "commands/virtualkeys.h"

namespace {

// XKB keycodes of a PC keyboard as the xcb platform reports them.
constexpr quint32 XkbF = 41, XkbGrave = 49, XkbThree = 12, XkbKpAdd = 86, XkbKpSubtract = 82,
                  XkbKp1 = 87, XkbLeftCtrl = 37, XkbRightAlt = 108, XkbRight = 114, XkbF13 = 191;

QKeyEvent Press(int key, Qt::KeyboardModifiers mods, quint32 scanCode = 0, const QString& text = {}) {
  return QKeyEvent(QEvent::KeyPress, key, mods, scanCode, 0, 0, text);
}

QString TextOf(const QKeyEvent& e) { return KeyTextFromEvent(e); }

}  // namespace

TEST(VirtualKeys, PhysicalKeyWinsOverTheLayoutsCharacter) {
  // The F key under a Russian layout types "а".
  EXPECT_EQ(TextOf(Press(0x410, Qt::NoModifier, XkbF, "а")), "F");
  EXPECT_EQ(TextOf(Press(0x410, Qt::ControlModifier, XkbF)), "Ctrl+F");
  EXPECT_EQ(TextOf(Press(0x2116, Qt::ShiftModifier, XkbThree, "№")), "Shift+3");
  EXPECT_EQ(TextOf(Press(0x401, Qt::NoModifier, XkbGrave, "ё")), "`");
  EXPECT_EQ(TextOf(Press(Qt::Key_Right, Qt::ControlModifier, XkbRight)), "Ctrl+Right");
  EXPECT_EQ(TextOf(Press(Qt::Key_F13, Qt::ShiftModifier, XkbF13)), "Shift+<124>");
}

TEST(VirtualKeys, WithoutScanCodeTheQtKeyDecides) {
  EXPECT_EQ(TextOf(Press(0x410, Qt::NoModifier)), "F");
  EXPECT_EQ(TextOf(Press(0x416, Qt::NoModifier)), ";");
  EXPECT_EQ(TextOf(Press(Qt::Key_F, Qt::AltModifier)), "Alt+F");
  EXPECT_EQ(TextOf(Press(Qt::Key_Exclam, Qt::ShiftModifier)), "Shift+1");
  EXPECT_EQ(TextOf(Press(Qt::Key_Equal, Qt::NoModifier)), "=");
  EXPECT_EQ(TextOf(Press(Qt::Key_Plus, Qt::ShiftModifier)), "Shift+=");
  EXPECT_EQ(TextOf(Press(Qt::Key_QuoteLeft, Qt::NoModifier)), "`");
  EXPECT_EQ(TextOf(Press(Qt::Key_Backspace, Qt::NoModifier)), "BkSp");
  EXPECT_EQ(TextOf(Press(Qt::Key_F12, Qt::NoModifier)), "F12");
  EXPECT_EQ(TextOf(Press(Qt::Key_F13, Qt::NoModifier)), "<124>");
  EXPECT_EQ(TextOf(Press(Qt::Key_Backtab, Qt::ShiftModifier)), "Shift+Tab");
  // Unknown scan codes fall back rather than lose the key.
  EXPECT_EQ(TextOf(Press(Qt::Key_F13, Qt::NoModifier, 8)), "<124>");
  EXPECT_EQ(VirtualKeyFromEvent(Press(Qt::Key_unknown, Qt::NoModifier)), 0);
}

TEST(VirtualKeys, NumericKeypad) {
  EXPECT_EQ(TextOf(Press(Qt::Key_Plus, Qt::KeypadModifier, XkbKpAdd)), "NP+");
  EXPECT_EQ(TextOf(Press(Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier)), "Ctrl+NP+");
  EXPECT_EQ(TextOf(Press(Qt::Key_Minus, Qt::KeypadModifier | Qt::AltModifier, XkbKpSubtract)), "Alt+NP-");
  EXPECT_EQ(TextOf(Press(Qt::Key_Minus, Qt::KeypadModifier)), "NP-");
  EXPECT_EQ(TextOf(Press(Qt::Key_Asterisk, Qt::KeypadModifier)), "NP*");
  EXPECT_EQ(TextOf(Press(Qt::Key_Slash, Qt::KeypadModifier)), "NP/");
  EXPECT_EQ(TextOf(Press(Qt::Key_Comma, Qt::KeypadModifier)), "NP.");
  EXPECT_EQ(TextOf(Press(Qt::Key_Enter, Qt::KeypadModifier)), "Enter");
  // NumLock decides between a digit and a navigation key on the same position.
  EXPECT_EQ(TextOf(Press(Qt::Key_1, Qt::KeypadModifier, XkbKp1)), "NP1");
  EXPECT_EQ(TextOf(Press(Qt::Key_End, Qt::KeypadModifier, XkbKp1)), "End");
  EXPECT_EQ(TextOf(Press(Qt::Key_7, Qt::KeypadModifier)), "NP7");
  EXPECT_EQ(TextOf(Press(Qt::Key_Clear, Qt::KeypadModifier)), "Clear");
  // The main keyboard's keys stay themselves.
  EXPECT_EQ(TextOf(Press(Qt::Key_1, Qt::NoModifier)), "1");
  EXPECT_EQ(TextOf(Press(Qt::Key_Minus, Qt::NoModifier)), "-");
}

TEST(VirtualKeys, Modifiers) {
  EXPECT_EQ(ShiftStateFromModifiers(Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier),
            ssShift | ssAlt | ssCtrl);
  EXPECT_EQ(ShiftStateFromModifiers(Qt::MetaModifier | Qt::KeypadModifier), TShiftState());
  EXPECT_EQ(TextOf(Press(Qt::Key_Delete, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier)),
            "Ctrl+Alt+Shift+Del");
  // A modifier being pressed counts as held, whether or not Qt reports it yet.
  EXPECT_EQ(TextOf(Press(Qt::Key_Control, Qt::NoModifier, XkbLeftCtrl)), "Ctrl+");
  EXPECT_EQ(TextOf(Press(Qt::Key_Control, Qt::ControlModifier)), "Ctrl+");
  EXPECT_EQ(TextOf(Press(Qt::Key_Alt, Qt::NoModifier, XkbRightAlt)), "Alt+");
  EXPECT_EQ(TextOf(Press(Qt::Key_Control, Qt::ShiftModifier)), "Ctrl+Shift+");
  EXPECT_EQ(TextOf(Press(Qt::Key_Shift, Qt::NoModifier)), "Shift+");
}
