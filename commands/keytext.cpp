#include "commands/keytext.h"

#include <array>

namespace {

struct TKeyName {
  quint16 Code;
  const char* Text;
};

// Keys whose name is not their own character, a keypad digit or a function
// key number. The modifier keys themselves have an empty name.
constexpr TKeyName KeyNames[] = {
    {0, ""},         {VK_SHIFT, ""},     {VK_CONTROL, ""},     {VK_MENU, ""},       {VK_BACK, "BkSp"},
    {VK_TAB, "Tab"}, {VK_CLEAR, "Clear"}, {VK_RETURN, "Enter"}, {VK_PAUSE, "Pause"}, {VK_CAPITAL, "CpsLck"},
    {VK_ESCAPE, "Escape"}, {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},
    {VK_HOME, "Home"}, {VK_LEFT, "Left"}, {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},
    {VK_SELECT, "Select"}, {VK_PRINT, "Print"}, {VK_EXECUTE, "Exec"}, {VK_SNAPSHOT, "PrnScr"},
    {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}, {VK_HELP, "Help"}, {VK_LWIN, "LWin"}, {VK_RWIN, "RWin"},
    {VK_APPS, "App"}, {VK_MULTIPLY, "NP*"}, {VK_ADD, "NP+"}, {VK_SEPARATOR, "NP sep"},
    {VK_SUBTRACT, "NP-"}, {VK_DECIMAL, "NP."}, {VK_DIVIDE, "NP/"}, {VK_NUMLOCK, "NumLck"},
    {VK_SCROLL, "ScrlLck"}, {VK_OEM_1, ";"}, {VK_OEM_PLUS, "="}, {VK_OEM_COMMA, ","},
    {VK_OEM_MINUS, "-"}, {VK_OEM_PERIOD, "."}, {VK_OEM_2, "/"}, {VK_OEM_3, "`"}, {VK_OEM_4, "["},
    {VK_OEM_5, "\\"}, {VK_OEM_6, "]"}, {VK_OEM_7, "'"}, {VK_OEM_102, "Macro"},
};

constexpr quint16 VK_F12 = VK_F1 + 11;

QString UnnamedKeyText(quint16 code) { return QStringLiteral("<%1>").arg(code); }

std::array<QString, 256> BuildBaseTexts() {
  std::array<QString, 256> texts;
  for (quint16 c = 0; c < texts.size(); ++c) texts[c] = UnnamedKeyText(c);
  for (const TKeyName& k : KeyNames) texts[k.Code] = QString::fromUtf8(k.Text);
  for (quint16 c = '0'; c <= '9'; ++c) texts[c] = QChar(c);
  for (quint16 c = 'A'; c <= 'Z'; ++c) texts[c] = QChar(c);
  for (quint16 c = VK_NUMPAD0; c <= VK_NUMPAD0 + 9; ++c) texts[c] = QStringLiteral("NP%1").arg(c - VK_NUMPAD0);
  for (quint16 c = VK_F1; c <= VK_F12; ++c) texts[c] = QStringLiteral("F%1").arg(c - (VK_F1 - 1));
  return texts;
}

}  // namespace

QString KeyText(quint16 virtualKey, TShiftState shift) {
  static const std::array<QString, 256> baseTexts = BuildBaseTexts();
  QString text = virtualKey < baseTexts.size() ? baseTexts[virtualKey] : UnnamedKeyText(virtualKey);
  // Prepended one after the other, so the text reads Ctrl, Alt, Shift, key.
  if (shift & ssShift) text.prepend(QLatin1String("Shift+"));
  if (shift & ssAlt) text.prepend(QLatin1String("Alt+"));
  if (shift & ssCtrl) text.prepend(QLatin1String("Ctrl+"));
  return text;
}
