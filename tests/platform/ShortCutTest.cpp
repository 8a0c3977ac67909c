#include "platform/gui/ShortCut.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <gtest/gtest.h>

using namespace plat;

namespace {

TEST(ShortCut, TextsNameTheKeyAndReadBack) {
    const std::pair<TShortCut, const char*> cases[] = {
        {ShortCut('C', scCtrl), "Ctrl+C"},
        {ShortCut(VK_DELETE, scShift), "Shift+Del"},
        {ShortCut(VK_F1 + 9, 0), "F10"},
        {ShortCut(VK_F1 + 23, scAlt), "Alt+F24"},
        {ShortCut(VK_BACK, scAlt), "Alt+BkSp"},
        {ShortCut('A', scShift | scCtrl | scAlt), "Shift+Ctrl+Alt+A"},
        {ShortCut(VK_NUMPAD0 + 5, scCtrl), "Ctrl+Num 5"},
        {ShortCut(VK_ADD, scCtrl), "Ctrl+Num +"},
        {ShortCut(VK_OEM_PLUS, scCtrl), "Ctrl+="},
        {ShortCut(VK_PRIOR, 0), "PgUp"},
        {ShortCut(VK_RETURN, scCtrl), "Ctrl+Enter"},
        {ShortCut(VK_ESCAPE, 0), "Esc"},
        {ShortCut(VK_SPACE, scShift), "Shift+Space"},
        {ShortCut(VK_LEFT, scAlt), "Alt+Left"}};
    for (const auto& [shortCut, text] : cases) {
        EXPECT_EQ(ShortCutToText(shortCut), QString(text));
        EXPECT_EQ(TextToShortCut(QString(text)), shortCut) << text;
        EXPECT_EQ(TextToShortCut(QString(text).toLower()), shortCut) << text;
        // Through Qt's key sequence and back, as the action link carries it.
        EXPECT_EQ(ShortCutFromKeySequence(ShortCutToKeySequence(shortCut)), shortCut) << text;
    }
    // Texts that name no key.
    EXPECT_EQ(ShortCutToText(scNone), QString());
    EXPECT_EQ(ShortCutToText(ShortCut(0xFF, scCtrl)), QString());
    EXPECT_EQ(TextToShortCut(u"ctrl+shift+a"), ShortCut('A', scShift | scCtrl));
    for (const char16_t* text : {u"", u"Ctrl+", u"Ctrl+Foo", u"Ctrl C", u"F25", u"Shift"}) {
        EXPECT_EQ(TextToShortCut(text), scNone) << QString::fromUtf16(text).toStdString();
    }
    EXPECT_TRUE(ShortCutToKeySequence(ShortCut(0xFF, 0)).isEmpty());
}

TEST(ShortCut, KeyEventsGiveTheVirtualKeyAndModifiers) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        TShortCut expected;
    } cases[] = {
        {Qt::Key_C, Qt::ControlModifier, ShortCut('C', scCtrl)},
        {Qt::Key_Exclam, Qt::ShiftModifier, ShortCut('1', scShift)},
        {Qt::Key_Plus, Qt::ShiftModifier, ShortCut(VK_OEM_PLUS, scShift)},
        {Qt::Key_Plus, Qt::KeypadModifier, ShortCut(VK_ADD, 0)},
        {Qt::Key_5, Qt::KeypadModifier | Qt::AltModifier, ShortCut(VK_NUMPAD0 + 5, scAlt)},
        {Qt::Key_Enter, Qt::KeypadModifier, ShortCut(VK_RETURN, 0)},
        {Qt::Key_Backtab, Qt::ShiftModifier, ShortCut(VK_TAB, scShift)},
        {Qt::Key_F12, Qt::MetaModifier, ShortCut(VK_F1 + 11, 0)},
        // Qt leaves a modifier key's own bit out of its event.
        {Qt::Key_Control, Qt::ControlModifier, ShortCut(VK_CONTROL, 0)},
        {Qt::Key_unknown, Qt::ControlModifier, scNone},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.mods);
        EXPECT_EQ(ShortCutFromKeyEvent(event), c.expected) << c.key;
    }
    EXPECT_EQ(ShortCutFromKeySequence(QKeySequence(QStringLiteral("Ctrl+S"))),
              ShortCut('S', scCtrl));
    EXPECT_EQ(ShortCutFromKeySequence(QKeySequence()), scNone);
}

} // namespace
