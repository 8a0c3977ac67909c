#include "app/refs/TextRefForm.h"

#include "app/common/Actions.h"
#include "app/common/MenuImages.h"
#include "app/dialogs/DialogSupport.h"
#include "app/format/ColorCodes.h"
#include "engine/VLBlob.h"
#include "platform/core/Cp1252.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/ImageList.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

bool IsBlank(QStringView line) {
    for (const QChar ch : line) {
        if (ch.unicode() > 0x20) {
            return false;
        }
    }
    return true;
}

} // namespace

TTextRefForm::TTextRefForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TextRefForm"));
    setWindowTitle(QStringLiteral("Reference Information"));
    setAttribute(Qt::WA_DeleteOnClose);

    RefMemo = new QTextEdit(this);
    RefMemo->setReadOnly(true);
    RefMemo->setAcceptRichText(false);
    RefMemo->setAcceptDrops(false);
    RefMemo->setUndoRedoEnabled(false);
    RefMemo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RefMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RefMemo->setMinimumSize(360, 220);

    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setDefault(true); // Esc closes the dialog as well
    connect(Button1, &QPushButton::clicked, this, &QWidget::close);

    // Of the edit actions only Copy and Select All act on the read-only text.
    ActionList1 = new plat::TActionList(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    MenuImages = NewMenuImageList(this);
    CreateEditActions(ActionList1, *this, MenuImages);
    // Before a shortcut: as when the menu opens.
    ActionList1->OnUpdate = [this](plat::TActionList*, QAction*) { InputPopupMenuPopup(); };
    EditActions->AddEditor(RefMemo);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a single border: not resizable
    layout->addWidget(RefMemo);
    layout->addLayout(buttons);
}

QString TTextRefForm::ReferenceText(const TTextBlob& blob) {
    return plat::FromCp1252(blob.Text()).replace(u'\t', u' ');
}

void TTextRefForm::ShowReference(const QString& text) {
    const QString stripped = StripColorCodes(text);
    // A new reference replaces the one shown before.
    RefMemo->clear();
    QTextCursor cursor(RefMemo->document());
    QTextCharFormat plain;
    plain.setFontWeight(QFont::Normal);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = stripped.split(lineEnd);
    if (!stripped.contains(u':')) {
        cursor.insertText(lines.join(u'\n'), plain);
        return;
    }
    qsizetype last = lines.size() - 1;
    while (last >= 0 && IsBlank(lines[last])) {
        --last; // blank lines at the end are left out
    }
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (qsizetype i = 0; i <= last; ++i) {
        if (i > 0) {
            cursor.insertBlock(QTextBlockFormat(), plain);
        }
        const QString& line = lines[i];
        const qsizetype colon = line.indexOf(u':');
        if (colon >= 0) {
            cursor.insertText(line.left(colon + 1), bold);
        }
        cursor.insertText(line.mid(colon + 1), plain);
    }
}

void TTextRefForm::InputPopupMenuPopup() {
    EditActions->Update(RefMemo);
}

void TTextRefForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!placed_) {
        placed_ = true;
        dlg::CenterOnScreen(*this);
    }
}
