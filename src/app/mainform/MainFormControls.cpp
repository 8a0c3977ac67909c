#include "app/mainform/MainFormControls.h"

#include "app/dialogs/DialogSupport.h"
#include "platform/core/Guarded.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

TTreeView::TTreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    font_.font = font();
}

void TTreeView::SetFont(const plat::ColoredFont& value) {
    font_ = value;
    setFont(value.font);
    dlg::SetTextColor(*this, value.color);
}

void TTreeView::SetColor(plat::TColor value) {
    color_ = value;
    plat::SetControlColor(*this, value);
}

QTreeWidgetItem* TTreeView::AddRoot(const QString& caption, int imageIndex) {
    auto* item = new QTreeWidgetItem(this, QStringList{caption});
    item->setData(0, ImageIndexRole, imageIndex);
    return item;
}

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setMinimumHeight(0);
    font_.font = font();
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
        plat::guarded([&] { OnKeyDown(this, event, handled); });
    }
    if (handled) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void TRichEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) {
        insertPlainText(source->text());
    }
}
