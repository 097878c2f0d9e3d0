#pragma once
#include <Qt>
#include <QtGlobal>

#include "commands/keytext.h"

class QKeyEvent;

// Virtual-key codes name key positions, not the characters a layout
// puts on them: the key that is F on a US keyboard is 'F' under a Russian
// layout too. So a key event is mapped by its physical key where the platform
// tells it, and by its Qt key only where it does not.

// The virtual key of a key event; 0 when the key has none.
quint16 VirtualKeyFromEvent(const QKeyEvent& event);
// Shift, Alt and Ctrl of a key event. A modifier key counts as held while it
// is being pressed, so pressing Ctrl alone reads "Ctrl+".
TShiftState ShiftStateFromEvent(const QKeyEvent& event);
// The key text of a key press, as the key map holds it.
QString KeyTextFromEvent(const QKeyEvent& event);

// By XKB keycode (the Linux input code + 8), which is what the xcb and Wayland
// platforms give as the native scan code; 0 when the position is unknown or
// its key depends on the NumLock state.
quint16 VirtualKeyFromScanCode(quint32 xkbKeycode);
// By Qt key code; Qt::KeypadModifier picks the numeric-keypad keys. Cyrillic
// letters stand for the keys that carry them on the standard Russian layout.
// 0 when unknown.
quint16 VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers);
TShiftState ShiftStateFromModifiers(Qt::KeyboardModifiers modifiers);
