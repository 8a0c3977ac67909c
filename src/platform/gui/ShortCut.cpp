#include "platform/gui/ShortCut.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <utility>

namespace plat {

namespace {

// Keys with a name of their own, and their Qt key. Letters and digits are
// handled by rule.
struct NamedKey {
    int vk;
    const char16_t* name;
    Qt::Key qtKey;
    bool keypad;
};

constexpr NamedKey kNamedKeys[] = {
    {VK_BACK, u"BkSp", Qt::Key_Backspace, false},
    {VK_TAB, u"Tab", Qt::Key_Tab, false},
    {VK_RETURN, u"Enter", Qt::Key_Return, false},
    {VK_ESCAPE, u"Esc", Qt::Key_Escape, false},
    {VK_SPACE, u"Space", Qt::Key_Space, false},
    {VK_PRIOR, u"PgUp", Qt::Key_PageUp, false},
    {VK_NEXT, u"PgDn", Qt::Key_PageDown, false},
    {VK_END, u"End", Qt::Key_End, false},
    {VK_HOME, u"Home", Qt::Key_Home, false},
    {VK_LEFT, u"Left", Qt::Key_Left, false},
    {VK_UP, u"Up", Qt::Key_Up, false},
    {VK_RIGHT, u"Right", Qt::Key_Right, false},
    {VK_DOWN, u"Down", Qt::Key_Down, false},
    {VK_INSERT, u"Ins", Qt::Key_Insert, false},
    {VK_DELETE, u"Del", Qt::Key_Delete, false},
    {VK_MULTIPLY, u"Num *", Qt::Key_Asterisk, true},
    {VK_ADD, u"Num +", Qt::Key_Plus, true},
    {VK_SUBTRACT, u"Num -", Qt::Key_Minus, true},
    {VK_DECIMAL, u"Num .", Qt::Key_Period, true},
    {VK_DIVIDE, u"Num /", Qt::Key_Slash, true},
    {VK_OEM_1, u";", Qt::Key_Semicolon, false},
    {VK_OEM_PLUS, u"=", Qt::Key_Equal, false},
    {VK_OEM_COMMA, u",", Qt::Key_Comma, false},
    {VK_OEM_MINUS, u"-", Qt::Key_Minus, false},
    {VK_OEM_PERIOD, u".", Qt::Key_Period, false},
    {VK_OEM_2, u"/", Qt::Key_Slash, false},
    {VK_OEM_3, u"`", Qt::Key_QuoteLeft, false},
    {VK_OEM_4, u"[", Qt::Key_BracketLeft, false},
    {VK_OEM_5, u"\\", Qt::Key_Backslash, false},
    {VK_OEM_6, u"]", Qt::Key_BracketRight, false},
    {VK_OEM_7, u"'", Qt::Key_Apostrophe, false},
};

// Further Qt keys that arrive for the same keys: the keypad's Enter, Shift+Tab
// and the shifted symbols of the US layout.
constexpr std::pair<Qt::Key, int> kQtAliases[] = {
    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Colon, VK_OEM_1},
    {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_AsciiTilde, VK_OEM_3},
    {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BraceRight, VK_OEM_6},
    {Qt::Key_QuoteDbl, VK_OEM_7},
    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
};

constexpr int kFunctionKeys = 24;

QString KeyName(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        return QString(QChar(vk));
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        return QStringLiteral("Num ") + QChar(u'0' + (vk - VK_NUMPAD0));
    }
    if (vk >= VK_F1 && vk < VK_F1 + kFunctionKeys) {
        return QStringLiteral("F") + QString::number(vk - VK_F1 + 1);
    }
    for (const NamedKey& k : kNamedKeys) {
        if (k.vk == vk) {
            return QString::fromUtf16(k.name);
        }
    }
    return {};
}

int KeyFromName(QStringView name) {
    for (int vk = 1; vk < 256; ++vk) {
        const QString known = KeyName(vk);
        if (!known.isEmpty() && name.compare(known, Qt::CaseInsensitive) == 0) {
            return vk;
        }
    }
    return 0;
}

} // namespace

int VirtualKeyFromQtKey(int qtKey, bool keypad) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return qtKey; // the same codes
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : qtKey;
    }
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys) {
        return VK_F1 + (qtKey - Qt::Key_F1);
    }
    for (const NamedKey& k : kNamedKeys) {
        if (k.qtKey == qtKey && k.keypad == keypad) {
            return k.vk;
        }
    }
    for (const auto& [key, vk] : kQtAliases) {
        if (key == qtKey) {
            return vk;
        }
    }
    for (const NamedKey& k : kNamedKeys) {
        if (k.qtKey == qtKey) {
            return k.vk; // a key that is on the keypad and elsewhere (arrows, Del)
        }
    }
    return 0;
}

TShortCut ShortCutFromKeyCombination(QKeyCombination combination) {
    const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    const int vk = VirtualKeyFromQtKey(combination.key(), mods.testFlag(Qt::KeypadModifier));
    if (vk == 0) {
        return scNone;
    }
    TShortCut shift = 0;
    if (mods.testFlag(Qt::ShiftModifier)) {
        shift |= scShift;
    }
    if (mods.testFlag(Qt::ControlModifier)) {
        shift |= scCtrl;
    }
    if (mods.testFlag(Qt::AltModifier)) {
        shift |= scAlt;
    }
    return ShortCut(vk, shift);
}

TShortCut ShortCutFromKeyEvent(const QKeyEvent& event) {
    return ShortCutFromKeyCombination(event.keyCombination());
}

TShortCut ShortCutFromKeySequence(const QKeySequence& sequence) {
    return sequence.isEmpty() ? scNone : ShortCutFromKeyCombination(sequence[0]);
}

QKeySequence ShortCutToKeySequence(TShortCut shortCut) {
    const int vk = ShortCutKey(shortCut);
    Qt::KeyboardModifiers mods;
    int key = 0;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        key = vk;
    } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        key = Qt::Key_0 + (vk - VK_NUMPAD0);
        mods |= Qt::KeypadModifier;
    } else if (vk >= VK_F1 && vk < VK_F1 + kFunctionKeys) {
        key = Qt::Key_F1 + (vk - VK_F1);
    } else {
        for (const NamedKey& k : kNamedKeys) {
            if (k.vk == vk) {
                key = k.qtKey;
                if (k.keypad) {
                    mods |= Qt::KeypadModifier;
                }
                break;
            }
        }
    }
    if (key == 0) {
        return {};
    }
    if (shortCut & scShift) {
        mods |= Qt::ShiftModifier;
    }
    if (shortCut & scCtrl) {
        mods |= Qt::ControlModifier;
    }
    if (shortCut & scAlt) {
        mods |= Qt::AltModifier;
    }
    return QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key)));
}

QString ShortCutToText(TShortCut shortCut) {
    const QString name = KeyName(ShortCutKey(shortCut));
    if (name.isEmpty()) {
        return {};
    }
    QString text;
    if (shortCut & scShift) {
        text += QStringLiteral("Shift+");
    }
    if (shortCut & scCtrl) {
        text += QStringLiteral("Ctrl+");
    }
    if (shortCut & scAlt) {
        text += QStringLiteral("Alt+");
    }
    return text + name;
}

TShortCut TextToShortCut(QStringView text) {
    static constexpr std::pair<const char16_t*, TShortCut> kPrefixes[] = {
        {u"Shift+", scShift}, {u"Ctrl+", scCtrl}, {u"Alt+", scAlt}};
    TShortCut shift = 0;
    bool more = true;
    while (more) {
        more = false;
        for (const auto& [prefix, bit] : kPrefixes) {
            const QStringView p(prefix);
            if (text.startsWith(p, Qt::CaseInsensitive)) {
                text = text.mid(p.size());
                shift |= bit;
                more = true;
            }
        }
    }
    const int vk = KeyFromName(text);
    return vk == 0 ? scNone : ShortCut(vk, shift);
}

} // namespace plat
