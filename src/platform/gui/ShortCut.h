#pragma once
// Keyboard shortcuts as the kits store them: one 16-bit value, the virtual
// key in the low byte and the Shift, Ctrl and Alt bits above it; 0 is none.
// Texts are the platform's: "Ctrl+C", "Shift+Del", "F10", "Alt+BkSp".

#include <QKeyCombination>
#include <QString>
#include <QStringView>

#include <cstdint>

class QKeyEvent;
class QKeySequence;

namespace plat {

using TShortCut = uint16_t;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// Virtual keys that have no character of their own (letters and digits are
// their upper-case character: 'A', '7').
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12; // Alt
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21; // Page Up
constexpr int VK_NEXT = 0x22;  // Page Down
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60; // .. VK_NUMPAD0 + 9
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;         // .. VK_F1 + 23 (F24)
constexpr int VK_OEM_1 = 0xBA;      // ;
constexpr int VK_OEM_PLUS = 0xBB;   // =
constexpr int VK_OEM_COMMA = 0xBC;  // ,
constexpr int VK_OEM_MINUS = 0xBD;  // -
constexpr int VK_OEM_PERIOD = 0xBE; // .
constexpr int VK_OEM_2 = 0xBF;      // /
constexpr int VK_OEM_3 = 0xC0;      // `
constexpr int VK_OEM_4 = 0xDB;      // [
constexpr int VK_OEM_5 = 0xDC;      // backslash
constexpr int VK_OEM_6 = 0xDD;      // ]
constexpr int VK_OEM_7 = 0xDE;      // '

constexpr TShortCut ShortCut(int virtualKey, TShortCut shift) {
    return static_cast<TShortCut>((virtualKey & 0xFF) | (shift & (scShift | scCtrl | scAlt)));
}
constexpr int ShortCutKey(TShortCut shortCut) {
    return shortCut & 0xFF;
}

// The virtual key of a Qt key; keypad keys (digits and operators) get their
// keypad codes. Shifted symbols of the US layout map to their key ("!" is
// '1'). 0 for keys without a virtual key.
int VirtualKeyFromQtKey(int qtKey, bool keypad);

// A key with its Shift, Control and Alt modifiers; 0 when the key has no
// virtual key. Other modifiers are ignored.
TShortCut ShortCutFromKeyCombination(QKeyCombination combination);
TShortCut ShortCutFromKeyEvent(const QKeyEvent& event);
// The first key of the sequence; 0 for an empty sequence.
TShortCut ShortCutFromKeySequence(const QKeySequence& sequence);
// The Qt key sequence of a shortcut; empty for 0 and keys Qt cannot name.
QKeySequence ShortCutToKeySequence(TShortCut shortCut);

// "Shift+", "Ctrl+" and "Alt+" (in that order) before the key's name; empty
// when the key has no name.
QString ShortCutToText(TShortCut shortCut);
// The reverse, ignoring case and the order of the modifiers; 0 for a text
// that names no key.
TShortCut TextToShortCut(QStringView text);

} // namespace plat
