#include "platform/gui/ShortCut.h"

#include "GoldenRows.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <gtest/gtest.h>

using namespace plat;

namespace {

TEST(ShortCut, TextsNameTheKeyAndReadBack) {
    for (const QStringList& row : GoldenTextRows("platform/shortcut-texts.tsv", 2)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const auto shortCut = static_cast<TShortCut>(row[0].toUInt(nullptr, 16));
        EXPECT_EQ(ShortCutToText(shortCut), row[1]);
        EXPECT_EQ(TextToShortCut(row[1]), shortCut);
        EXPECT_EQ(TextToShortCut(row[1].toLower()), shortCut);
        // Through Qt's key sequence and back, as the action link carries it.
        EXPECT_EQ(ShortCutFromKeySequence(ShortCutToKeySequence(shortCut)), shortCut);
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
