#include "console/QvNumEdits.h"

#include "platform/core/Convert.h"
#include "platform/core/Guarded.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <cmath>
#include <limits>

namespace {

bool IsSign(QChar c) {
    return c == u'+' || c == u'-';
}

bool IsLoneSign(const QString& text) {
    return text.size() == 1 && IsSign(text[0]);
}

} // namespace

TQvCustomNumEdit::TQvCustomNumEdit(QWidget* parent) : TQvCustomEdit(parent) {
    // Every way text can arrive goes through CanChange: drops and input
    // methods would bypass it.
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool TQvCustomNumEdit::CanChange(int Operation, const QString& Text) {
    const QString current = text();
    const bool selection = hasSelectedText();
    const int start = selection ? selectionStart() : cursorPosition();
    const int length = selection ? static_cast<int>(selectedText().size()) : 0;
    QString result;
    if (Operation == opInsert) {
        if (start == 0 && length == current.size()) {
            result = Text;
        } else {
            result = current.left(start) + Text + current.mid(start + length);
        }
    } else {
        result = current.left(start) + current.mid(start + (selection ? length : 1));
    }
    return IsValidText(result);
}

void TQvCustomNumEdit::PasteText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) {
        return;
    }
    QString pasted = data->text();
    for (const QChar stop : {QChar(u'\r'), QChar(u'\n')}) {
        const qsizetype at = pasted.indexOf(stop);
        if (at >= 0) {
            pasted.truncate(at);
        }
    }
    if (CanChange(opInsert, pasted)) {
        insert(pasted);
    }
}

void TQvCustomNumEdit::DeleteChecked() {
    if (CanChange(opDelete, QString())) {
        del();
    }
}

void TQvCustomNumEdit::keyPressEvent(QKeyEvent* event) {
    bool pass = false;
    plat::Guarded([&] {
        if (event->matches(QKeySequence::Paste)) {
            PasteText();
            return;
        }
        if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
            pass = true;
            return;
        }
        // Undo and redo would restore text no filter has seen; word and line
        // deletion would remove more than the Delete key is checked for.
        if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
            event->matches(QKeySequence::SelectAll) ||
            event->matches(QKeySequence::DeleteEndOfWord) ||
            event->matches(QKeySequence::DeleteEndOfLine) ||
            event->matches(QKeySequence::DeleteCompleteLine)) {
            return;
        }
        switch (event->key()) {
        case Qt::Key_Delete:
            // The keypad's Delete is not checked.
            pass =
                event->modifiers().testFlag(Qt::KeypadModifier) || CanChange(opDelete, QString());
            return;
        case Qt::Key_Backspace:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            pass = true;
            return;
        default:
            break;
        }
        const QString typed = event->text();
        if (typed.isEmpty()) {
            pass = true; // keys without a character: arrows, Home, End, ...
            return;
        }
        if (typed.size() == 1) {
            pass = AcceptChar(typed[0]);
        }
    });
    if (pass) {
        QLineEdit::keyPressEvent(event);
    } else {
        event->accept();
    }
}

void TQvCustomNumEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (name == u"edit-undo" || name == u"edit-redo") {
            action->setVisible(false);
        } else if (name == u"edit-paste") {
            action->disconnect();
            plat::ConnectGuarded(action, &QAction::triggered, this, [this] { PasteText(); });
        } else if (name == u"edit-delete") {
            action->disconnect();
            plat::ConnectGuarded(action, &QAction::triggered, this, [this] { DeleteChecked(); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TQvCustomNumEdit::mouseReleaseEvent(QMouseEvent* event) {
    // No paste of the selection clipboard with the middle button.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

TQvCustomIntegerEdit::TQvCustomIntegerEdit(QWidget* parent)
    : TQvCustomNumEdit(parent), minValue_(std::numeric_limits<int64_t>::min()),
      maxValue_(std::numeric_limits<int64_t>::max()) {
    SetAlignment(taRightJustify);
    SetValue(0);
}

bool TQvCustomIntegerEdit::IsValidText(const QString& Text) const {
    if (Text.isEmpty()) {
        return true;
    }
    const qsizetype first = IsSign(Text[0]) ? 1 : 0;
    for (qsizetype i = first; i < Text.size(); ++i) {
        if (Text[i] < u'0' || Text[i] > u'9') {
            return false;
        }
    }
    if (first == Text.size()) {
        return true; // a lone sign, on the way to a number
    }
    const auto number = plat::TryStrToInt64(Text);
    return number && minValue_ <= *number && *number <= maxValue_;
}

int64_t TQvCustomIntegerEdit::GetValue() const {
    const QString current = text();
    // A lone sign is an unfinished number: it reads like an empty edit.
    if (current.isEmpty() || IsLoneSign(current)) {
        return blankValue_;
    }
    return plat::StrToInt64(current);
}

void TQvCustomIntegerEdit::SetValue(int64_t Value) {
    if (Value == blankValue_ && useBlank_) {
        setText(QString());
    } else {
        setText(QString::number(Value));
    }
}

long double TQvCustomIntegerEdit::GetAsFloat() const {
    return static_cast<long double>(GetValue());
}

void TQvCustomIntegerEdit::SetAsFloat(long double Value) {
    // Halves round to even, as the processor does by default.
    const long double rounded = std::nearbyint(Value);
    constexpr long double kLimit = 9223372036854775808.0L; // 2^63
    if (!std::isfinite(rounded) || rounded < -kLimit || rounded >= kLimit) {
        throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    }
    SetValue(static_cast<int64_t>(rounded));
}

void TQvCustomIntegerEdit::SetMinValue(int64_t value) {
    minValue_ = value;
    ApplyRangeRule();
}

void TQvCustomIntegerEdit::SetMaxValue(int64_t value) {
    maxValue_ = value;
    ApplyRangeRule();
}

void TQvCustomIntegerEdit::SetBlankValue(int64_t value) {
    blankValue_ = value;
    ApplyBlankRule();
}

void TQvCustomIntegerEdit::SetUseBlank(bool value) {
    useBlank_ = value;
    ApplyBlankRule();
}

bool TQvCustomIntegerEdit::AcceptChar(QChar c) {
    const QString current = text();
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    const bool signedText = !current.isEmpty() && IsSign(current[0]);
    if (IsSign(c)) {
        if (caret != 0 || signedText) {
            return false;
        }
    } else if (c >= u'0' && c <= u'9') {
        if (caret == 0 && signedText) {
            return false;
        }
    } else {
        // Copy, backspace, Ctrl+W and cut reach the edit; nothing else does.
        const char16_t u = c.unicode();
        return u == 3 || u == 8 || u == 23 || u == 24;
    }
    return CanChange(opInsert, QString(c));
}

void TQvCustomIntegerEdit::focusOutEvent(QFocusEvent* event) {
    TQvCustomNumEdit::focusOutEvent(event);
    plat::Guarded([&] { ApplyBlankRule(); });
}

void TQvCustomIntegerEdit::ApplyBlankRule() {
    if (useBlank_) {
        if (!text().isEmpty() && GetValue() == blankValue_) {
            setText(QString());
        }
    } else if (text().isEmpty() || IsLoneSign(text())) {
        setText(QString::number(blankValue_));
    }
}

void TQvCustomIntegerEdit::ApplyRangeRule() {
    if (text().isEmpty()) {
        return;
    }
    const int64_t value = GetValue();
    if (value < minValue_) {
        SetValue(minValue_);
    } else if (value > maxValue_) {
        SetValue(maxValue_);
    }
}
