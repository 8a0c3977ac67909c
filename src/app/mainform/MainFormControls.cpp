#include "app/mainform/MainFormControls.h"

#include "app/dialogs/DialogSupport.h"
#include "platform/core/Guarded.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setMinimumHeight(0);
    font_.font = font();
    // The document's layout throws a block's shaped glyphs away once the
    // block is laid out, so every caret move after a key would shape the
    // line again. The blocks keep them; an input line has one or a few.
    connect(document(), &QTextDocument::contentsChange, this, [this] { KeepBlockLayouts(); });
    KeepBlockLayouts();
}

void TRichEdit::KeepBlockLayouts() {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (QTextLayout* layout = block.layout()) {
            layout->setCacheEnabled(true);
        }
    }
}

void TRichEdit::SetFont(const plat::ColoredFont& value) {
    font_ = value;
    setFont(value.font);
    document()->setDefaultFont(value.font);
    dlg::SetTextColor(*this, value.color);
    if (document()->isEmpty()) {
        setTextColor(plat::ToQColor(value.color));
        setCurrentFont(value.font);
    }
}

void TRichEdit::SetColor(plat::TColor value) {
    color_ = value;
    plat::SetControlColor(*this, value);
}

plat::TColor TRichEdit::TypingColor() const {
    const QBrush brush = currentCharFormat().foreground();
    return brush.style() == Qt::NoBrush ? font_.color : plat::FromQColor(brush.color());
}

void TRichEdit::SetTypingColor(plat::TColor value) {
    setTextColor(plat::ToQColor(value));
}

void TRichEdit::keyPressEvent(QKeyEvent* event) {
    bool handled = false;
    if (OnKeyDown) {
        plat::Guarded([&] { OnKeyDown(this, event, handled); });
    }
    if (handled) {
        event->accept();
        return;
    }
    if (IsModifierKey(event->key())) {
        // Shift, Ctrl and the like alone do nothing in the text.
        event->ignore();
        return;
    }
    if (TypesText(*event)) {
        // What the editor does with a character it takes, without first
        // asking whether the key is any of some forty editing commands
        // (each question looks the platform's bindings up afresh).
        // (The editor's own cursor, in the typing format, replacing what is
        // selected.)
        insertPlainText(event->text());
        ensureCursorVisible();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool TRichEdit::IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock ||
           key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

bool TRichEdit::event(QEvent* event) {
    // A modifier alone is no editing command: the editor need not look
    // through its commands to answer that.
    if (event->type() == QEvent::ShortcutOverride &&
        IsModifierKey(static_cast<QKeyEvent*>(event)->key())) {
        event->ignore();
        return false;
    }
    return QTextEdit::event(event);
}

bool TRichEdit::TypesText(const QKeyEvent& event) const {
    // No editing command is a printable character with Shift at most: those
    // all come with Ctrl, Alt or Meta, or as keys that type no character
    // (arrows, Delete, Backspace, Enter, Tab, Escape).
    constexpr Qt::KeyboardModifiers typing =
        Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier;
    if ((event.modifiers() & ~typing) != 0 || isReadOnly() || overwriteMode() ||
        (textInteractionFlags() & Qt::TextEditable) == 0) {
        return false;
    }
    const QString text = event.text();
    return !text.isEmpty() &&
           std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isPrint(); });
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void TRichEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) {
        insertPlainText(source->text());
    }
}
