#include "commands/virtualkeys.h"

#include <QHash>
#include <QKeyEvent>
#include <array>

namespace {

struct TScanKey {
  quint16 InputCode;  // Linux input event code of the key position
  quint16 VirtualKey;
};

// The keys of a PC keyboard by position, as a US layout names them. The
// keypad digits and its decimal point are missing on purpose: NumLock decides
// between a digit and a navigation key there, and the Qt key already knows.
constexpr TScanKey ScanKeys[] = {
    {1, VK_ESCAPE}, {2, '1'}, {3, '2'}, {4, '3'}, {5, '4'}, {6, '5'}, {7, '6'}, {8, '7'}, {9, '8'},
    {10, '9'}, {11, '0'}, {12, VK_OEM_MINUS}, {13, VK_OEM_PLUS}, {14, VK_BACK}, {15, VK_TAB},
    {16, 'Q'}, {17, 'W'}, {18, 'E'}, {19, 'R'}, {20, 'T'}, {21, 'Y'}, {22, 'U'}, {23, 'I'}, {24, 'O'},
    {25, 'P'}, {26, VK_OEM_4}, {27, VK_OEM_6}, {28, VK_RETURN}, {29, VK_CONTROL}, {30, 'A'},
    {31, 'S'}, {32, 'D'}, {33, 'F'}, {34, 'G'}, {35, 'H'}, {36, 'J'}, {37, 'K'}, {38, 'L'},
    {39, VK_OEM_1}, {40, VK_OEM_7}, {41, VK_OEM_3}, {42, VK_SHIFT}, {43, VK_OEM_5}, {44, 'Z'},
    {45, 'X'}, {46, 'C'}, {47, 'V'}, {48, 'B'}, {49, 'N'}, {50, 'M'}, {51, VK_OEM_COMMA},
    {52, VK_OEM_PERIOD}, {53, VK_OEM_2}, {54, VK_SHIFT}, {55, VK_MULTIPLY}, {56, VK_MENU},
    {57, VK_SPACE}, {58, VK_CAPITAL}, {59, VK_F1}, {60, VK_F1 + 1}, {61, VK_F1 + 2}, {62, VK_F1 + 3},
    {63, VK_F1 + 4}, {64, VK_F1 + 5}, {65, VK_F1 + 6}, {66, VK_F1 + 7}, {67, VK_F1 + 8},
    {68, VK_F1 + 9}, {69, VK_NUMLOCK}, {70, VK_SCROLL}, {74, VK_SUBTRACT}, {78, VK_ADD},
    {86, VK_OEM_102}, {87, VK_F1 + 10}, {88, VK_F1 + 11}, {96, VK_RETURN}, {97, VK_CONTROL},
    {98, VK_DIVIDE}, {99, VK_SNAPSHOT}, {100, VK_MENU}, {102, VK_HOME}, {103, VK_UP},
    {104, VK_PRIOR}, {105, VK_LEFT}, {106, VK_RIGHT}, {107, VK_END}, {108, VK_DOWN}, {109, VK_NEXT},
    {110, VK_INSERT}, {111, VK_DELETE}, {113, VK_VOLUME_MUTE}, {114, VK_VOLUME_DOWN},
    {115, VK_VOLUME_UP}, {119, VK_PAUSE}, {121, VK_SEPARATOR}, {125, VK_LWIN}, {126, VK_RWIN},
    {127, VK_APPS}, {128, VK_BROWSER_STOP}, {138, VK_HELP}, {140, VK_LAUNCH_APP2}, {142, VK_SLEEP},
    {155, VK_LAUNCH_MAIL}, {156, VK_BROWSER_FAVORITES}, {158, VK_BROWSER_BACK},
    {159, VK_BROWSER_FORWARD}, {163, VK_MEDIA_NEXT_TRACK}, {164, VK_MEDIA_PLAY_PAUSE},
    {165, VK_MEDIA_PREV_TRACK}, {166, VK_MEDIA_STOP}, {172, VK_BROWSER_HOME},
    {173, VK_BROWSER_REFRESH}, {183, VK_F1 + 12}, {184, VK_F1 + 13}, {185, VK_F1 + 14},
    {186, VK_F1 + 15}, {187, VK_F1 + 16}, {188, VK_F1 + 17}, {189, VK_F1 + 18}, {190, VK_F1 + 19},
    {191, VK_F1 + 20}, {192, VK_F1 + 21}, {193, VK_F1 + 22}, {194, VK_F1 + 23}, {217, VK_BROWSER_SEARCH},
};

// XKB numbers key positions from 8 up.
constexpr quint32 XkbKeycodeOffset = 8;

struct TQtKey {
  int Key;
  quint16 VirtualKey;
};

// Keys a Qt key code names without regard to the keypad. Punctuation comes
// both unshifted and shifted, as the US layout puts it on its keys, because
// Qt reports the character: Shift+1 arrives as '!'.
constexpr TQtKey QtKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Print, VK_SNAPSHOT}, {Qt::Key_SysReq, VK_SNAPSHOT}, {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Home, VK_HOME}, {Qt::Key_End, VK_END}, {Qt::Key_Left, VK_LEFT}, {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT}, {Qt::Key_Down, VK_DOWN}, {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_Shift, VK_SHIFT}, {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU}, {Qt::Key_AltGr, VK_MENU}, {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Super_L, VK_LWIN},
    {Qt::Key_Super_R, VK_RWIN}, {Qt::Key_Menu, VK_APPS}, {Qt::Key_Help, VK_HELP},
    {Qt::Key_Select, VK_SELECT}, {Qt::Key_Printer, VK_PRINT}, {Qt::Key_Execute, VK_EXECUTE},
    {Qt::Key_Sleep, VK_SLEEP}, {Qt::Key_Space, VK_SPACE}, {Qt::Key_VolumeMute, VK_VOLUME_MUTE},
    {Qt::Key_VolumeDown, VK_VOLUME_DOWN}, {Qt::Key_VolumeUp, VK_VOLUME_UP},
    {Qt::Key_MediaNext, VK_MEDIA_NEXT_TRACK}, {Qt::Key_MediaPrevious, VK_MEDIA_PREV_TRACK},
    {Qt::Key_MediaStop, VK_MEDIA_STOP}, {Qt::Key_MediaPlay, VK_MEDIA_PLAY_PAUSE},
    {Qt::Key_MediaTogglePlayPause, VK_MEDIA_PLAY_PAUSE}, {Qt::Key_Back, VK_BROWSER_BACK},
    {Qt::Key_Forward, VK_BROWSER_FORWARD}, {Qt::Key_Refresh, VK_BROWSER_REFRESH},
    {Qt::Key_Stop, VK_BROWSER_STOP}, {Qt::Key_Search, VK_BROWSER_SEARCH},
    {Qt::Key_Favorites, VK_BROWSER_FAVORITES}, {Qt::Key_HomePage, VK_BROWSER_HOME},
    {Qt::Key_LaunchMail, VK_LAUNCH_MAIL}, {Qt::Key_Calculator, VK_LAUNCH_APP2},
    {';', VK_OEM_1}, {':', VK_OEM_1}, {'=', VK_OEM_PLUS}, {'+', VK_OEM_PLUS}, {',', VK_OEM_COMMA},
    {'<', VK_OEM_COMMA}, {'-', VK_OEM_MINUS}, {'_', VK_OEM_MINUS}, {'.', VK_OEM_PERIOD},
    {'>', VK_OEM_PERIOD}, {'/', VK_OEM_2}, {'?', VK_OEM_2}, {'`', VK_OEM_3}, {'~', VK_OEM_3},
    {'[', VK_OEM_4}, {'{', VK_OEM_4}, {'\\', VK_OEM_5}, {'|', VK_OEM_5}, {']', VK_OEM_6},
    {'}', VK_OEM_6}, {'\'', VK_OEM_7}, {'"', VK_OEM_7}, {'!', '1'}, {'@', '2'}, {'#', '3'},
    {'$', '4'}, {'%', '5'}, {'^', '6'}, {'&', '7'}, {'*', '8'}, {'(', '9'}, {')', '0'},
    {0x2116 /* № on the Russian 3 */, '3'},
};

// Keys that mean a keypad key when Qt marks them with the keypad modifier.
// The decimal key gives ',' under layouts with a decimal comma.
constexpr TQtKey QtKeypadKeys[] = {
    {'*', VK_MULTIPLY}, {'+', VK_ADD}, {'-', VK_SUBTRACT}, {'.', VK_DECIMAL}, {',', VK_DECIMAL},
    {'/', VK_DIVIDE}, {Qt::Key_Enter, VK_RETURN},
};

// The standard Russian layout over the US one, key by key.
constexpr char16_t RussianLetters[] = u"ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁ";
constexpr char UsKeysUnderRussian[] = "QWERTYUIOP[]ASDFGHJKL;'ZXCVBNM,.`";
static_assert(std::size(RussianLetters) == std::size(UsKeysUnderRussian));

const std::array<quint16, 256>& ScanKeyTable() {
  static const std::array<quint16, 256> table = [] {
    std::array<quint16, 256> t{};
    for (const TScanKey& k : ScanKeys) t[k.InputCode] = k.VirtualKey;
    return t;
  }();
  return table;
}

QHash<int, quint16> BuildQtKeyTable(bool keypad) {
  QHash<int, quint16> table;
  if (keypad) {
    for (const TQtKey& k : QtKeypadKeys) table.insert(k.Key, k.VirtualKey);
    for (int d = 0; d <= 9; ++d) table.insert(Qt::Key_0 + d, VK_NUMPAD0 + d);
    return table;
  }
  for (const TQtKey& k : QtKeys) table.insert(k.Key, k.VirtualKey);
  for (int c = Qt::Key_0; c <= Qt::Key_9; ++c) table.insert(c, c);
  for (int c = Qt::Key_A; c <= Qt::Key_Z; ++c) table.insert(c, c);
  for (int f = 0; f < VK_F24 - VK_F1 + 1; ++f) table.insert(Qt::Key_F1 + f, VK_F1 + f);
  for (size_t i = 0; i + 1 < std::size(RussianLetters); ++i) {
    const int us = static_cast<unsigned char>(UsKeysUnderRussian[i]);
    table.insert(RussianLetters[i], table.value(us));
  }
  return table;
}

}  // namespace

quint16 VirtualKeyFromScanCode(quint32 xkbKeycode) {
  if (xkbKeycode < XkbKeycodeOffset) return 0;
  const quint32 inputCode = xkbKeycode - XkbKeycodeOffset;
  const auto& table = ScanKeyTable();
  return inputCode < table.size() ? table[inputCode] : 0;
}

quint16 VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers) {
  static const QHash<int, quint16> plain = BuildQtKeyTable(false);
  static const QHash<int, quint16> keypad = BuildQtKeyTable(true);
  // Keypad navigation keys (NumLock off) are the same keys as the main ones.
  if (modifiers & Qt::KeypadModifier)
    if (quint16 vk = keypad.value(key)) return vk;
  return plain.value(key);
}

TShiftState ShiftStateFromModifiers(Qt::KeyboardModifiers modifiers) {
  TShiftState shift;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  return shift;
}

quint16 VirtualKeyFromEvent(const QKeyEvent& event) {
  if (quint16 vk = VirtualKeyFromScanCode(event.nativeScanCode())) return vk;
  return VirtualKeyFromQtKey(event.key(), event.modifiers());
}

TShiftState ShiftStateFromEvent(const QKeyEvent& event) {
  TShiftState shift = ShiftStateFromModifiers(event.modifiers());
  switch (VirtualKeyFromEvent(event)) {
    case VK_SHIFT: shift |= ssShift; break;
    case VK_MENU: shift |= ssAlt; break;
    case VK_CONTROL: shift |= ssCtrl; break;
    default: break;
  }
  return shift;
}

QString KeyTextFromEvent(const QKeyEvent& event) {
  return KeyText(VirtualKeyFromEvent(event), ShiftStateFromEvent(event));
}
