#include "console/QvNumEdits.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void key(QWidget& w, int k, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, k, mods, text);
    QCoreApplication::sendEvent(&w, &e);
}

void typeChar(QWidget& w, QChar c) {
    const int k = c.isDigit() ? Qt::Key_0 + (c.unicode() - u'0')
                  : c == u'-' ? Qt::Key_Minus
                  : c == u'+' ? Qt::Key_Plus
                              : Qt::Key_A + (c.toUpper().unicode() - u'A');
    key(w, k, QString(c));
}

// Types at the caret position `at` (or at the end).
QString typed(TQvIntegerEdit& edit, const QString& start, int at, const QString& chars) {
    edit.setText(start);
    edit.setCursorPosition(at < 0 ? static_cast<int>(start.size()) : at);
    for (const QChar c : chars) {
        typeChar(edit, c);
    }
    return edit.text();
}

void focusOut(QWidget& w) {
    QFocusEvent e(QEvent::FocusOut);
    QCoreApplication::sendEvent(&w, &e);
}

unsigned base(const QWidget& w, QPalette::ColorGroup group = QPalette::Active) {
    return w.palette().color(group, QPalette::Base).rgb() & 0xFFFFFF;
}

} // namespace

TEST(IntegerEdit, SignsAndDigitsAreFilteredByPosition) {
    TQvIntegerEdit edit;
    EXPECT_EQ(edit.text(), u"0"_qs);
    EXPECT_EQ(typed(edit, u"12"_qs, 0, u"-"_qs), u"-12"_qs);
    EXPECT_EQ(typed(edit, u"12"_qs, 1, u"-"_qs), u"12"_qs);
    EXPECT_EQ(typed(edit, u"-12"_qs, 0, u"-"_qs), u"-12"_qs); // already signed
    EXPECT_EQ(typed(edit, u"-12"_qs, 0, u"5"_qs), u"-12"_qs); // before the sign
    EXPECT_EQ(typed(edit, u"-12"_qs, 1, u"5"_qs), u"-512"_qs);
    EXPECT_EQ(typed(edit, QString(), -1, u"+7a 8"_qs), u"+78"_qs);
    // Over a selected negative value a digit lands at position 0: refused.
    edit.setText(u"-5"_qs);
    edit.selectAll();
    typeChar(edit, u'3');
    EXPECT_EQ(edit.text(), u"-5"_qs);
    // Overflow of 64 bits is refused like any value out of range.
    EXPECT_EQ(typed(edit, u"9223372036854775807"_qs, -1, u"0"_qs), u"9223372036854775807"_qs);
    EXPECT_EQ(typed(edit, u"-9223372036854775808"_qs, -1, u"1"_qs), u"-9223372036854775808"_qs);
}

TEST(IntegerEdit, RangeLimitsTypingPastingAndStoredValues) {
    TQvIntegerEdit edit;
    edit.SetMaxValue(65535);
    EXPECT_EQ(typed(edit, u"65535"_qs, -1, u"6"_qs), u"65535"_qs);
    EXPECT_EQ(typed(edit, u"6553"_qs, -1, u"5"_qs), u"65535"_qs);
    QClipboard* clipboard = QGuiApplication::clipboard();
    edit.setText(QString());
    clipboard->setText(u"70000"_qs);
    edit.PasteText();
    EXPECT_EQ(edit.text(), QString());
    clipboard->setText(u"80\r\n90"_qs);
    edit.PasteText();
    EXPECT_EQ(edit.text(), u"80"_qs);
    clipboard->setText(u"1\n2"_qs);
    key(edit, Qt::Key_V, u"\x16"_qs, Qt::ControlModifier); // Ctrl+V goes through the filter
    EXPECT_EQ(edit.text(), u"801"_qs);
    clipboard->setText(u"99999"_qs);
    edit.selectAll();
    key(edit, Qt::Key_V, u"\x16"_qs, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), u"801"_qs);
    clipboard->setText(u"x"_qs);
    edit.PasteText();
    EXPECT_EQ(edit.text(), u"801"_qs);

    // Narrowing the range pulls the value in.
    edit.setText(u"500"_qs);
    edit.SetMaxValue(100);
    EXPECT_EQ(edit.text(), u"100"_qs);
    edit.SetMinValue(200);
    EXPECT_EQ(edit.text(), u"200"_qs);
    // Prefixes below the minimum cannot be typed.
    EXPECT_EQ(typed(edit, QString(), -1, u"1"_qs), QString());
    // Writing the value does not check the range.
    edit.SetValue(5);
    EXPECT_EQ(edit.Value(), 5);
}

TEST(IntegerEdit, DeleteKeyAndUndoAreChecked) {
    TQvIntegerEdit edit;
    edit.SetMinValue(10);
    edit.setText(u"15"_qs);
    edit.setCursorPosition(0);
    key(edit, Qt::Key_Delete, QString());
    EXPECT_EQ(edit.text(), u"15"_qs); // "5" would be below the minimum
    edit.setCursorPosition(1);
    edit.SetMinValue(0);
    key(edit, Qt::Key_Delete, QString());
    EXPECT_EQ(edit.text(), u"1"_qs);
    edit.SetMinValue(10);
    edit.setText(u"15"_qs);
    edit.setCursorPosition(0);
    key(edit, Qt::Key_Delete, QString(), Qt::KeypadModifier); // the keypad's Delete is not
    EXPECT_EQ(edit.text(), u"5"_qs);
    // Undo would bring back text the filters never saw.
    edit.setText(u"12"_qs);
    edit.setCursorPosition(2);
    typeChar(edit, u'3');
    key(edit, Qt::Key_Z, u"\x1A"_qs, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), u"123"_qs);
    // Backspace is not checked: "123" becomes "12" whatever the range.
    edit.SetMaxValue(200);
    edit.setText(u"123"_qs);
    key(edit, Qt::Key_Backspace, u"\b"_qs);
    EXPECT_EQ(edit.text(), u"12"_qs);
}

TEST(IntegerEdit, BlankValueAndLoneSigns) {
    TQvIntegerEdit edit;
    edit.SetUseBlank(true);
    EXPECT_EQ(edit.text(), QString()); // 0 is the blank value
    edit.SetValue(0);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.Value(), 0);
    edit.SetValue(7);
    EXPECT_EQ(edit.text(), u"7"_qs);
    edit.SetBlankValue(7);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.Value(), 7);

    edit.SetUseBlank(false);
    EXPECT_EQ(edit.text(), u"7"_qs);
    edit.SetBlankValue(0);
    edit.setText(QString());
    focusOut(edit);
    EXPECT_EQ(edit.text(), u"0"_qs);
    // A lone sign is on the way to a number: it reads as the blank value and
    // leaving the field puts the blank value back.
    EXPECT_EQ(typed(edit, QString(), -1, u"-"_qs), u"-"_qs);
    EXPECT_EQ(edit.Value(), 0);
    focusOut(edit);
    EXPECT_EQ(edit.text(), u"0"_qs);
    edit.setText(u"abc"_qs);
    EXPECT_THROW(edit.Value(), plat::EConvertError);
}

TEST(IntegerEdit, FloatsRoundHalfToEven) {
    TQvIntegerEdit edit;
    const std::pair<long double, int64_t> cases[] = {
        {2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {2.4999L, 2}};
    for (const auto& [in, out] : cases) {
        edit.SetAsFloat(in);
        EXPECT_EQ(edit.Value(), out);
    }
    EXPECT_EQ(edit.AsFloat(), 2.0L);
    for (const long double bad : {std::numeric_limits<long double>::quiet_NaN(),
                                  std::numeric_limits<long double>::infinity(), 1e19L, -1e19L}) {
        EXPECT_THROW(edit.SetAsFloat(bad), EInvalidOp);
    }
    edit.SetAsFloat(-9223372036854775808.0L);
    EXPECT_EQ(edit.Value(), std::numeric_limits<int64_t>::min());
}

TEST(CustomEdit, ColourFollowsEnabledAndReadOnly) {
    TQvIntegerEdit edit;
    EXPECT_EQ(base(edit), 0xFFFFFFu);
    edit.SetEnabled(false);
    EXPECT_EQ(base(edit, QPalette::Disabled), 0xD4D0C8u); // clBtnFace
    EXPECT_EQ(edit.Color(), plat::clBtnFace);
    edit.SetColor(plat::clRed); // writes DisabledColor while disabled
    EXPECT_EQ(edit.DisabledColor(), plat::clRed);
    EXPECT_EQ(edit.EnabledColor(), plat::clWindow);
    EXPECT_EQ(base(edit, QPalette::Disabled), 0xFF0000u);
    edit.SetEnabledColor(plat::clYellow); // not shown while disabled
    EXPECT_EQ(edit.Color(), plat::clRed);
    edit.SetEnabled(true);
    EXPECT_EQ(edit.Color(), plat::clYellow);
    edit.SetReadOnlyColor(plat::clAqua);
    EXPECT_EQ(edit.Color(), plat::clYellow); // re-applied, but the edit is not read-only
    edit.SetReadOnly(true);
    EXPECT_EQ(edit.Color(), plat::clAqua);
    EXPECT_EQ(base(edit), 0x00FFFFu);
    edit.SetReadOnly(false);
    EXPECT_EQ(edit.Color(), plat::clYellow);

    EXPECT_EQ(edit.GetColor(3), plat::clAqua);
    try {
        edit.GetColor(4);
        ADD_FAILURE();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), u"Internal error in TQvCustomEdit.GetColor"_qs);
    }
    try {
        edit.SetColor(-1, plat::clRed);
        ADD_FAILURE();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), u"Internal error in TQvCustomEdit.SetColor"_qs);
    }
    EXPECT_EQ(edit.Alignment(), taRightJustify);
    EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
    edit.SetAlignment(taCenter);
    EXPECT_TRUE(edit.alignment() & Qt::AlignHCenter);
}
