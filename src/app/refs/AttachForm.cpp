#include "app/refs/AttachForm.h"

#include "app/dialogs/DialogSupport.h"
#include "app/format/NamedColors.h"
#include "app/mainform/CommandParser.h"
#include "app/rtf/Rtf.h"
#include "platform/core/Guarded.h"
#include "platform/gui/MsgBox.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

#include <array>
#include <utility>
#include <vector>

namespace {

const QString kProgramTitle = QStringLiteral("Quorvel");
const QString kFileFilter = QStringLiteral("ZELVO References (*.ref)");
const QString kFileSuffix = QStringLiteral("ref");

// The editor's pastes and drops insert the clipboard's plain text only: a
// reference holds no pictures or markup of its own.
class PlainPasteEdit : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override { return source->hasText(); }
    void insertFromMimeData(const QMimeData* source) override {
        if (source->hasText()) {
            insertPlainText(source->text());
        }
    }
};

// The "Font Color" image: a letter over a swatch of the chosen colour in its
// bottom four rows; nothing chosen (clNone) shows a framed dither.
QIcon colorItemIcon(plat::TColor color) {
    const QRect image(0, 0, 16, 16);
    const auto glyph = [&](QPainter& painter, plat::TColor ink) {
        QFont font = painter.font();
        font.setPixelSize(11);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(plat::ToQColor(ink));
        painter.drawText(QRect(0, 0, 16, 12), Qt::AlignCenter, QStringLiteral("A"));
    };
    QPixmap normal(image.size());
    normal.fill(Qt::transparent);
    {
        QPainter painter(&normal);
        glyph(painter, plat::clWindowText);
        QRect swatch(image.left(), image.bottom() - 3, image.width(), 4);
        if (color == plat::clNone) {
            painter.setPen(plat::ToQColor(plat::clBtnShadow));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(swatch.adjusted(0, 0, -1, -1));
            swatch.adjust(1, 1, -1, -1);
            painter.fillRect(swatch, plat::ToQColor(plat::clBtnFace));
            painter.fillRect(swatch, QBrush(plat::ToQColor(plat::clBtnShadow), Qt::Dense4Pattern));
        } else {
            painter.fillRect(swatch, plat::ToQColor(color));
        }
    }
    // Drawn disabled, the item shows no swatch.
    QPixmap disabled(image.size());
    disabled.fill(Qt::transparent);
    {
        QPainter painter(&disabled);
        glyph(painter, plat::clGrayText);
    }
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}

QIcon swatchIcon(plat::TColor color) {
    QPixmap pixmap(14, 14);
    pixmap.fill(plat::ToQColor(color));
    QPainter painter(&pixmap);
    painter.setPen(plat::ToQColor(plat::clBtnShadow));
    painter.drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

// The sample texts of the example pages: label, tab, value.
const char16_t* const kItemSample = u"Item:\tRunesteel Longsword\n"
                                    u"Type:\tWeapon (two-handed)\n"
                                    u"Damage:\t18 - 31\n"
                                    u"Weight:\t6.5\n"
                                    u"Requires:\tStrength 42\n"
                                    u"Price:\t1250 coins";
const char16_t* const kCharacterSample = u"Name:\tAelis Varrow\n"
                                         u"Level:\t27\n"
                                         u"Breed:\tMiravel\n"
                                         u"Gender:\tFemale\n"
                                         u"Profession:\tScout\n"
                                         u"Organization:\tThe Silver Lantern";

} // namespace

QString FirstLine(const QTextDocument& document) {
    const QString text = document.firstBlock().text();
    return text.left(text.indexOf(QChar::LineSeparator));
}

QString RunOpenReferenceDialog(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Select ZELVO Reference:"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(kFileFilter);
    dialog.setDefaultSuffix(kFileSuffix);
    if (dlg::RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

QString RunSaveReferenceDialog(QWidget* parent) {
    // Asks before overwriting a file.
    QFileDialog dialog(parent, QStringLiteral("Save ZELVO Reference as:"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(kFileFilter);
    dialog.setDefaultSuffix(kFileSuffix);
    if (dlg::RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

TAttachForm::TAttachForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      OpenDialog(RunOpenReferenceDialog), SaveDialog(RunSaveReferenceDialog) {
    setObjectName(QStringLiteral("AttachForm"));
    setWindowTitle(QStringLiteral("Attach Reference"));
    setAttribute(Qt::WA_DeleteOnClose);

    buildActions();
    buildToolbar();

    PageControl = new QTabWidget(this);
    RefEdit = addPage(new PlainPasteEdit, QStringLiteral("Reference Text"));
    RefEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RefEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RefEdit->setLineWrapMode(QTextEdit::NoWrap);
    RefEdit->setMinimumSize(420, 240);
    ItemEdit = addPage(new QTextEdit, QStringLiteral("Example Item"));
    ItemEdit->setPlainText(QString::fromUtf16(kItemSample));
    CharEdit = addPage(new QTextEdit, QStringLiteral("Example Character"));
    CharEdit->setPlainText(QString::fromUtf16(kCharacterSample));
    for (QTextEdit* example : {ItemEdit, CharEdit}) {
        example->setReadOnly(true);
    }
    PageControl->setCurrentIndex(0);

    OkButton = new QPushButton(QStringLiteral("Ok"), this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a single border: not resizable
    layout->addWidget(DkxToolbar1);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);

    connect(RefEdit, &QTextEdit::textChanged, this, [this] {
        plat::guarded([&] {
            modified_ = true;
            SaveAction->setEnabled(true);
        });
    });
    connect(OkButton, &QPushButton::clicked, this,
            [this] { plat::guarded([&] { OkButtonClick(); }); });
    connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);
}

QTextEdit* TAttachForm::addPage(QTextEdit* editor, const QString& caption) {
    auto* page = new QWidget(PageControl);
    auto* layout = new QVBoxLayout(page);
    editor->setParent(page);
    layout->addWidget(editor);
    PageControl->addTab(page, caption);

    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
    connect(editor, &QWidget::customContextMenuRequested, this, [this, editor](const QPoint& pos) {
        plat::guarded([&] {
            popupComponent_ = editor;
            InputPopupMenuPopup();
            InputPopupMenu->popup(editor->viewport()->mapToGlobal(pos));
        });
    });
    return editor;
}

void TAttachForm::buildActions() {
    const auto action = [this](const QString& caption, const QKeySequence& shortcut,
                               void (TAttachForm::*handler)()) {
        auto* a = new QAction(caption, this);
        a->setShortcut(shortcut);
        addAction(a); // shortcuts work anywhere in the window
        if (handler != nullptr) {
            connect(a, &QAction::triggered, this,
                    [this, handler] { plat::guarded([&] { (this->*handler)(); }); });
        }
        return a;
    };
    NewAction = action(QStringLiteral("New Reference..."), {}, &TAttachForm::NewActionExecute);
    SaveAction = action(QStringLiteral("Save Reference..."), {}, &TAttachForm::SaveActionExecute);
    SaveAction->setEnabled(false);
    OpenAction = action(QStringLiteral("Open Reference..."), {}, &TAttachForm::OpenActionExecute);
    CutAction = action(QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), nullptr);
    CopyAction = action(QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), nullptr);
    PasteAction = action(QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), nullptr);
    DeleteAction = action(QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete), nullptr);
    SelectAllAction =
        action(QStringLiteral("S&elect All"), QKeySequence(Qt::CTRL | Qt::Key_A), nullptr);
    UndoAction = action(QStringLiteral("Undo..."), QKeySequence(Qt::CTRL | Qt::Key_Y), nullptr);
    // Listed, never enabled.
    RedoAction = action(QStringLiteral("&Redo..."), QKeySequence(Qt::CTRL | Qt::Key_Y), nullptr);
    for (QAction* a : {CutAction, CopyAction, PasteAction, DeleteAction, SelectAllAction,
                       UndoAction, RedoAction}) {
        a->setEnabled(false);
    }

    // The edit actions act on the editor of the pop-up menu.
    const auto onEditor = [this](QAction* a, void (*act)(QTextEdit*)) {
        connect(a, &QAction::triggered, this, [this, act] {
            plat::guarded([&] {
                if (popupComponent_ != nullptr) {
                    act(popupComponent_);
                }
            });
        });
    };
    onEditor(CutAction, [](QTextEdit* e) { e->cut(); });
    onEditor(CopyAction, [](QTextEdit* e) { e->copy(); });
    onEditor(PasteAction, [](QTextEdit* e) {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (!e->isReadOnly() && data != nullptr && data->hasText()) {
            e->insertPlainText(data->text());
        }
    });
    onEditor(DeleteAction, [](QTextEdit* e) {
        if (!e->isReadOnly()) {
            e->textCursor().removeSelectedText();
        }
    });
    onEditor(SelectAllAction, [](QTextEdit* e) { e->selectAll(); });
    onEditor(UndoAction, [](QTextEdit* e) { e->undo(); });

    InputPopupMenu = new QMenu(this);
    InputPopupMenu->addActions({UndoAction, RedoAction});
    InputPopupMenu->addSeparator();
    InputPopupMenu->addActions({CutAction, CopyAction, PasteAction, DeleteAction});
    InputPopupMenu->addSeparator();
    InputPopupMenu->addAction(SelectAllAction);
}

void TAttachForm::buildToolbar() {
    DkxToolbar1 = new QToolBar(this);
    DkxToolbar1->setFloatable(false);
    DkxToolbar1->setMovable(false);
    DkxToolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    DkxToolbar1->addActions({NewAction, SaveAction, OpenAction});
    DkxToolbar1->addSeparator();

    auto* menu = new QMenu(QStringLiteral("Font Color"), this);
    menu->setToolTipsVisible(true);
    ClrDefault = menu->addAction(swatchIcon(kDefaultColor), QStringLiteral("Default"));
    ClrDefault->setToolTip(QStringLiteral("Default Color"));
    ClrDefault->setCheckable(true);
    connect(ClrDefault, &QAction::triggered, this,
            [this] { plat::guarded([&] { ClrDefaultClick(); }); });
    menu->addSeparator();

    // The palette selects no cell itself; a click only reports the cell.
    ColorPalette = new QWidget(menu);
    auto* grid = new QGridLayout(ColorPalette);
    grid->setSpacing(1);
    grid->setContentsMargins(2, 2, 2, 2);
    for (int index = 0; index < kNamedColorColumns * kNamedColorRows; ++index) {
        const int column = index % kNamedColorColumns;
        const int row = index / kNamedColorColumns;
        const auto [name, color] = NamedColorAt(column, row);
        auto* cell = new QToolButton(ColorPalette);
        cell->setObjectName(QStringLiteral("ColorCell%1").arg(index));
        cell->setIcon(swatchIcon(color));
        cell->setToolTip(name);
        cell->setAutoRaise(true);
        grid->addWidget(cell, row, column);
        connect(cell, &QToolButton::clicked, this, [this, menu, column, row] {
            plat::guarded([&] {
                menu->close();
                ColorPaletteCellClick(column, row);
            });
        });
    }
    auto* paletteAction = new QWidgetAction(menu);
    paletteAction->setDefaultWidget(ColorPalette);
    menu->addAction(paletteAction);

    ColorItem = menu->menuAction();
    ColorItem->setToolTip(QStringLiteral("Select Color"));
    ColorItem->setEnabled(false);
    DkxToolbar1->addAction(ColorItem);
    if (auto* button = qobject_cast<QToolButton*>(DkxToolbar1->widgetForAction(ColorItem))) {
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    repaintColorItem();
}

void TAttachForm::LoadReference(const QByteArray& richText) {
    rtf::Read(richText, *RefEdit->document());
}

bool TAttachForm::QuerySave() {
    if (!modified_) {
        return true;
    }
    const QString text = fileName_.isEmpty() ? QStringLiteral("Save changes to current reference?")
                                             : QStringLiteral("Save changes to ") +
                                                   QFileInfo(fileName_).fileName() + u'?';
    switch (plat::ConfirmationBox(this, kProgramTitle, text, plat::MsgButtons::YesNoCancel)) {
    case plat::MsgResult::Yes:
        return SaveReference();
    case plat::MsgResult::Cancel:
        return false;
    default:
        return true;
    }
}

bool TAttachForm::writeFile(const QString& file) {
    const QByteArray bytes = rtf::Write(*RefEdit->document());
    // Written beside the old file and renamed over it, so that a failed save
    // leaves the old file as it was.
    QSaveFile out(file);
    out.setDirectWriteFallback(true);
    if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit()) {
        return true;
    }
    dlg::ErrorBox(this,
                  QStringLiteral("Cannot create file \"%1\". %2").arg(file, out.errorString()));
    return false;
}

bool TAttachForm::SaveReference() {
    QString file = fileName_;
    if (file.isEmpty()) {
        file = SaveDialog ? SaveDialog(this) : QString();
        if (file.isEmpty()) {
            return false;
        }
    }
    if (!writeFile(file)) {
        return false;
    }
    savedFile_ = file;
    return true;
}

void TAttachForm::NewActionExecute() {
    if (!QuerySave()) {
        return;
    }
    RefEdit->clear();
    fileName_.clear();
    modified_ = false;
    SaveAction->setEnabled(false);
}

void TAttachForm::OpenActionExecute() {
    if (!QuerySave()) {
        return;
    }
    const QString file = OpenDialog ? OpenDialog(this) : QString();
    if (file.isEmpty()) {
        return;
    }
    // A file that cannot be read leaves the editor as it is.
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        dlg::ErrorBox(this,
                      QStringLiteral("Cannot open file \"%1\". %2").arg(file, in.errorString()));
        return;
    }
    if (in.size() > kMaxFileSize) {
        dlg::ErrorBox(this, QStringLiteral("Cannot open file \"%1\". The file is too large for a "
                                           "reference.")
                                .arg(file));
        return;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        dlg::ErrorBox(this,
                      QStringLiteral("Cannot open file \"%1\". %2").arg(file, in.errorString()));
        return;
    }
    rtf::Read(bytes, *RefEdit->document());
    fileName_ = file;
    modified_ = false;
    SaveAction->setEnabled(false);
}

void TAttachForm::SaveActionExecute() {
    if (!SaveReference()) {
        return;
    }
    fileName_ = savedFile_;
    modified_ = false;
    SaveAction->setEnabled(false);
}

void TAttachForm::OkButtonClick() {
    QString text = RefEdit->toPlainText();
    text.replace(QChar::LineSeparator, u'\n');
    if (!cmd::Trim(text).isEmpty() && OnAttachReference) {
        OnAttachReference(this, rtf::Write(*RefEdit->document()), FirstLine(*RefEdit->document()));
    }
    close();
}

void TAttachForm::FormActivate() {
    if (firstActivation_) {
        firstActivation_ = false;
        RefEdit->setFocus();
    }
}

void TAttachForm::RefEditEnter() {
    ColorItem->setEnabled(true);
    UpdateActions(RefEdit);
}

void TAttachForm::RefEditExit() {
    ColorItem->setEnabled(false);
}

void TAttachForm::SyncColor() {
    // The colour of the selection's first character, or the typing colour.
    QTextCursor cursor = RefEdit->textCursor();
    QTextCharFormat format = RefEdit->currentCharFormat();
    if (cursor.hasSelection()) {
        cursor.setPosition(cursor.selectionStart() + 1);
        format = cursor.charFormat();
    }
    const QBrush brush = format.foreground();
    paletteColor_ = brush.style() == Qt::NoBrush ? kDefaultColor : plat::FromQColor(brush.color());
    repaintColorItem();
}

void TAttachForm::ClrDefaultClick() {
    paletteColor_ = kDefaultColor;
    ClrDefault->setChecked(true);
    repaintColorItem();
    setSelectionColor(kDefaultColor);
}

void TAttachForm::ColorPaletteCellClick(int column, int row) {
    paletteColor_ = NamedColorAt(column, row).Color;
    ClrDefault->setChecked(plat::ColorToRGB(paletteColor_) == plat::ColorToRGB(kDefaultColor));
    repaintColorItem();
    setSelectionColor(paletteColor_);
}

void TAttachForm::setSelectionColor(plat::TColor color) {
    // The default colour is no colour of the text's own.
    const auto apply = [color](QTextCharFormat& format) {
        if (color == kDefaultColor) {
            format.clearForeground();
        } else {
            format.setForeground(plat::ToQColor(color));
        }
    };
    QTextCursor cursor = RefEdit->textCursor();
    if (!cursor.hasSelection()) {
        QTextCharFormat format = RefEdit->currentCharFormat();
        apply(format);
        RefEdit->setCurrentCharFormat(format);
        return;
    }
    // Each run of the selection keeps the rest of its format.
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::vector<std::pair<std::pair<int, int>, QTextCharFormat>> runs;
    QTextDocument* document = RefEdit->document();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from < to) {
                runs.push_back({{from, to}, fragment.charFormat()});
            }
        }
    }
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (auto& [range, format] : runs) {
        apply(format);
        edit.setPosition(range.first);
        edit.setPosition(range.second, QTextCursor::KeepAnchor);
        edit.setCharFormat(format);
    }
    edit.endEditBlock();
}

void TAttachForm::repaintColorItem() {
    ColorItem->setIcon(colorItemIcon(paletteColor_));
}

void TAttachForm::UpdateActions(QTextEdit* editor) {
    popupComponent_ = editor;
    const bool selected = editor->textCursor().hasSelection();
    const bool hasText = !editor->document()->isEmpty();
    const bool editable = editor == RefEdit;
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    PasteAction->setEnabled(editable && clipboard != nullptr && clipboard->hasText());
    CutAction->setEnabled(editable && selected);
    CopyAction->setEnabled(selected);
    DeleteAction->setEnabled(editable && selected);
    SelectAllAction->setEnabled(hasText);
    UndoAction->setEnabled(editable && editor->document()->isUndoAvailable());
}

void TAttachForm::InputPopupMenuPopup() {
    if (popupComponent_ == nullptr) {
        for (QAction* a :
             {UndoAction, CutAction, CopyAction, PasteAction, DeleteAction, SelectAllAction}) {
            a->setEnabled(false);
        }
        return;
    }
    UpdateActions(popupComponent_);
}

void TAttachForm::editorReleased(QTextEdit* editor) {
    if (editor == RefEdit) {
        SyncColor();
    }
    UpdateActions(editor);
}

bool TAttachForm::eventFilter(QObject* watched, QEvent* event) {
    for (QTextEdit* editor : {RefEdit, ItemEdit, CharEdit}) {
        if (editor == nullptr) {
            continue; // still being built
        }
        if (watched == editor) {
            plat::guarded([&] {
                switch (event->type()) {
                case QEvent::FocusIn:
                    // Coming back from a menu is no new entry.
                    if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
                        editor == RefEdit ? RefEditEnter() : UpdateActions(editor);
                    }
                    break;
                case QEvent::FocusOut:
                    if (editor == RefEdit &&
                        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
                        RefEditExit();
                    }
                    break;
                case QEvent::KeyRelease:
                    editorReleased(editor);
                    break;
                default:
                    break;
                }
            });
        } else if (watched == editor->viewport() && event->type() == QEvent::MouseButtonRelease) {
            plat::guarded([&] { editorReleased(editor); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TAttachForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        plat::guarded([&] { FormActivate(); });
    }
    return QDialog::event(event);
}

void TAttachForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!placed_) {
        placed_ = true;
        dlg::CenterOnScreen(*this);
    }
}
