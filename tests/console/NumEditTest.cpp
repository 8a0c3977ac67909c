#include "console/QvNumEdits.h"

#include "GoldenRows.h"

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

void paste(TQvIntegerEdit& edit, const QString& text, bool byKey = false) {
    QGuiApplication::clipboard()->setText(text);
    if (byKey) {
        key(edit, Qt::Key_V, u"\x16"_qs, Qt::ControlModifier); // Ctrl+V goes through the filter
    } else {
        edit.PasteText();
    }
}

unsigned base(const QWidget& w, QPalette::ColorGroup group = QPalette::Active) {
    return w.palette().color(group, QPalette::Base).rgb() & 0xFFFFFF;
}

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

} // namespace

// Rows: minimum and maximum ("min" and "max" for the 64-bit limits), the
// text, what is typed, where (-1 at the end), the text then.
TEST(IntegerEdit, TypingIsFilteredBySignPositionAndRange) {
    const auto limit = [](const QString& field) {
        return field == u"min" ? kMin : field == u"max" ? kMax : field.toLongLong();
    };
    for (const QStringList& row : GoldenTextRows("console/integer-typing.tsv", 6)) {
        TQvIntegerEdit edit;
        edit.SetMinValue(limit(row[0]));
        edit.SetMaxValue(limit(row[1]));
        EXPECT_EQ(typed(edit, row[2], row[4].toInt(), row[3]), row[5])
            << row.join(u" | ").toStdString();
    }
    // Over a selected negative value a digit lands at position 0: refused.
    TQvIntegerEdit edit;
    EXPECT_EQ(edit.text(), u"0"_qs);
    edit.setText(u"-5"_qs);
    edit.selectAll();
    typeChar(edit, u'3');
    EXPECT_EQ(edit.text(), u"-5"_qs);
}

TEST(IntegerEdit, PastingNarrowingAndStoringValues) {
    TQvIntegerEdit edit;
    edit.SetMaxValue(65535);
    edit.setText(QString());
    paste(edit, u"70000"_qs);
    EXPECT_EQ(edit.text(), QString());
    paste(edit, u"80\r\n90"_qs); // the first line only
    EXPECT_EQ(edit.text(), u"80"_qs);
    paste(edit, u"1\n2"_qs, true);
    EXPECT_EQ(edit.text(), u"801"_qs);
    edit.selectAll();
    paste(edit, u"99999"_qs, true);
    paste(edit, u"x"_qs);
    EXPECT_EQ(edit.text(), u"801"_qs);
    // Narrowing the range pulls the value in; writing the value does not check it.
    edit.setText(u"500"_qs);
    edit.SetMaxValue(100);
    EXPECT_EQ(edit.text(), u"100"_qs);
    edit.SetMinValue(200);
    EXPECT_EQ(edit.text(), u"200"_qs);
    edit.SetValue(5);
    EXPECT_EQ(edit.Value(), 5);
}

TEST(IntegerEdit, DeleteKeyAndUndoAreChecked) {
    TQvIntegerEdit edit;
    const auto deleteAt = [&](int min, const QString& text, int at, Qt::KeyboardModifiers mods) {
        edit.SetMinValue(min);
        edit.setText(text);
        edit.setCursorPosition(at);
        key(edit, Qt::Key_Delete, QString(), mods);
        return edit.text();
    };
    EXPECT_EQ(deleteAt(10, u"15"_qs, 0, Qt::NoModifier), u"15"_qs); // "5" is below the minimum
    EXPECT_EQ(deleteAt(0, u"15"_qs, 1, Qt::NoModifier), u"1"_qs);
    EXPECT_EQ(deleteAt(10, u"15"_qs, 0, Qt::KeypadModifier), u"5"_qs); // the keypad's is not
    // Undo would bring back text the filters never saw.
    typed(edit, u"12"_qs, 2, u"3"_qs);
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
    edit.SetValue(7);
    EXPECT_EQ(edit.text(), u"7"_qs);
    edit.SetBlankValue(7);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.Value(), 7);
    edit.SetUseBlank(false);
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
        {2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {2.4999L, 2}, {-9223372036854775808.0L, kMin}};
    for (const auto& [in, out] : cases) {
        edit.SetAsFloat(in);
        EXPECT_EQ(edit.Value(), out);
    }
    edit.SetValue(2);
    EXPECT_EQ(edit.AsFloat(), 2.0L);
    for (const long double bad : {std::numeric_limits<long double>::quiet_NaN(),
                                  std::numeric_limits<long double>::infinity(), 1e19L, -1e19L}) {
        EXPECT_THROW(edit.SetAsFloat(bad), EInvalidOp);
    }
}

TEST(CustomEdit, ColourFollowsEnabledAndReadOnly) {
    TQvIntegerEdit edit;
    EXPECT_EQ(base(edit), 0xFFFFFFu);
    edit.SetEnabled(false);
    EXPECT_EQ(base(edit, QPalette::Disabled), 0xD4D0C8u); // clBtnFace
    edit.SetColor(plat::clRed);                           // writes DisabledColor while disabled
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
    EXPECT_EQ(base(edit), 0x00FFFFu);

    // Colours by index 0..3; others are refused.
    EXPECT_EQ(edit.GetColor(3), plat::clAqua);
    EXPECT_THROW(edit.GetColor(4), plat::Exception);
}
