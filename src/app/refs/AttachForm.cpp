#include "app/refs/AttachForm.h"

#include "app/common/Actions.h"
#include "app/common/FormBars.h"
#include "app/common/MenuImages.h"
#include "app/dialogs/DialogSupport.h"
#include "app/rtf/Rtf.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemedItem.h"
#include "platform/core/Guarded.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/AlignLayout.h"
#include "platform/gui/Edges.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/MsgBox.h"
#include "platform/gui/Rect.h"
#include "platform/gui/ShowHint.h"
#include "strings/TextRoutines.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>

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

TAttachForm::TAttachForm(TDkxCustomColorSet* colorSet, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      OpenDialog(RunOpenReferenceDialog), SaveDialog(RunSaveReferenceDialog) {
    setObjectName(QStringLiteral("AttachForm"));
    setWindowTitle(QStringLiteral("Attach Reference"));
    setAttribute(Qt::WA_DeleteOnClose);
    // "Font Color" shows only its image: its hint says what it is for.
    plat::SetShowHint(*this, true);

    // The tool bar's dock above the pages and buttons, as the platform aligns
    // controls.
    auto* align = new plat::AlignLayout(this);
    align->setSizeConstraint(QLayout::SetFixedSize); // a single border: not resizable
    TopDock = AddDock(this, QStringLiteral("TopDock"), dpTop);
    auto* client = new QWidget(this);
    align->AddWidget(client, plat::Align::Client);
    auto* layout = new QVBoxLayout(client);
    BuildActions();
    BuildToolbar(colorSet);

    PageControl = new QTabWidget(client);
    RefEdit = AddPage(new PlainPasteEdit, QStringLiteral("Reference Text"));
    RefEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RefEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RefEdit->setLineWrapMode(QTextEdit::NoWrap);
    RefEdit->setMinimumSize(420, 240);
    ItemEdit = AddPage(new QTextEdit, QStringLiteral("Example Item"));
    ItemEdit->setPlainText(QString::fromUtf16(kItemSample));
    CharEdit = AddPage(new QTextEdit, QStringLiteral("Example Character"));
    CharEdit->setPlainText(QString::fromUtf16(kCharacterSample));
    for (QTextEdit* example : {ItemEdit, CharEdit}) {
        example->setReadOnly(true);
    }
    PageControl->setCurrentIndex(0);

    OkButton = new QPushButton(QStringLiteral("Ok"), client);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), client);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);

    plat::ConnectGuarded(RefEdit, &QTextEdit::textChanged, this, [this] {
        modified_ = true;
        SaveAction->setEnabled(true);
    });
    plat::ConnectGuarded(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);
}

QTextEdit* TAttachForm::AddPage(QTextEdit* editor, const QString& caption) {
    auto* page = new QWidget(PageControl);
    auto* layout = new QVBoxLayout(page);
    editor->setParent(page);
    layout->addWidget(editor);
    PageControl->addTab(page, caption);
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
    EditActions->AddEditor(editor);
    return editor;
}

void TAttachForm::BuildActions() {
    ActionList1 = new plat::TActionList(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    // The main window's menu images, and the picture of "Font Color".
    MenuImages = NewMenuImageList(this);
    const auto action = [this](const char* name, const QString& caption, int image,
                               void (TAttachForm::*handler)()) {
        return MakeAction(ActionList1, QString::fromLatin1(name), caption, {}, image,
                          [this, handler] { (this->*handler)(); });
    };
    NewAction =
        action("NewAction", QStringLiteral("New Reference..."), 21, &TAttachForm::NewActionExecute);
    SaveAction = action("SaveAction", QStringLiteral("Save Reference..."), 23,
                        &TAttachForm::SaveActionExecute);
    SaveAction->setEnabled(false);
    OpenAction = action("OpenAction", QStringLiteral("Open Reference..."), 22,
                        &TAttachForm::OpenActionExecute);

    // The edit actions act on the editor of the pop-up menu.
    CreateEditActions(ActionList1, *this, MenuImages);
    // Before a shortcut the edit actions follow the editor with the focus;
    // with none focused they are off.
    ActionList1->OnUpdate = [this](plat::TActionList*, QAction* action) {
        if (EditActions->Holds(action)) {
            UpdateActions(FocusedEditor());
        }
    };
}

void TAttachForm::BuildToolbar(TDkxCustomColorSet* colorSet) {
    DkxToolbar1 = new TDkxToolbar(this);
    DkxToolbar1->setObjectName(QStringLiteral("DkxToolbar1"));
    DkxToolbar1->SetDockMode(dmCannotFloat);
    DkxToolbar1->SetImages(MenuImages);
    DkxToolbar1->SetCurrentDock(TopDock);
    TDkCustomItem* items = DkxToolbar1->Items();
    for (QAction* action : {NewAction, SaveAction, OpenAction}) {
        AddActionItem(items, action, nbdmImageAndText);
    }
    AddSeparatorItem(items);

    ColorItem = AddDropDownItem(items, QStringLiteral("ColorItem"), QStringLiteral("Font Color"),
                                QStringLiteral("Select Color"), MenuImages->Add(FontColorImage()));
    ColorItem->SetEnabled(false);
    ColorItem->OnDrawImage = [this](TDkxCustomItem* item, TDkItemViewer* viewer, QPainter& canvas,
                                    const plat::TRect& rect, QPoint offset, unsigned state) {
        ColorItemDrawImage(item, viewer, canvas, rect, offset, state);
    };

    ClrDefault = AddDefaultColorItem(ColorItem, kDefaultColor);
    ClrDefault->OnClick =
        TDkCustomItem::TNotifyEvent([this](QObject* sender) { ClrDefaultClick(sender); }, this);
    AddSeparatorItem(ColorItem)->SetBlank(true);
    ColorPalette = new TDkxColorPalette(ColorItem);
    ColorPalette->setObjectName(QStringLiteral("ColorPalette"));
    ColorPalette->SetColorSet(colorSet);
    ColorPalette->OnCellClick = [this](TDkxCustomToolPalette* sender, int col, int row,
                                       bool& allowChange) {
        ColorPaletteCellClick(sender, col, row, allowChange);
    };
    ColorItem->Add(ColorPalette);
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

bool TAttachForm::WriteFile(const QString& file) {
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
    if (!WriteFile(file)) {
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
    if (!txt::Trim(text).isEmpty() && OnAttachReference) {
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
    ColorItem->SetEnabled(true);
    UpdateActions(RefEdit);
}

void TAttachForm::RefEditExit() {
    ColorItem->SetEnabled(false);
}

plat::TColor TAttachForm::PaletteColor() const {
    return ColorPalette->Color();
}

QTextEdit* TAttachForm::PopupComponent() const {
    return EditActions->Editor();
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
    ColorPalette->SetColor(brush.style() == Qt::NoBrush ? kDefaultColor
                                                        : plat::FromQColor(brush.color()));
    ColorItem->Change(false);
}

void TAttachForm::ClrDefaultClick(QObject*) {
    ColorPalette->SetColor(kDefaultColor);
    ClrDefault->SetChecked(true);
    ColorItem->Change(false);
    SetSelectionColor(kDefaultColor);
}

void TAttachForm::ColorPaletteCellClick(TDkxCustomToolPalette*, int Col, int Row,
                                        bool& AllowChange) {
    AllowChange = false;
    const plat::TColor color = ColorPalette->GetCellColor(Col, Row);
    ColorPalette->SetColor(color);
    ClrDefault->SetChecked(plat::ColorToRGB(color) == plat::ColorToRGB(kDefaultColor));
    ColorItem->Change(false);
    SetSelectionColor(color);
}

void TAttachForm::ColorItemDrawImage(TDkxCustomItem*, TDkItemViewer*, QPainter& Canvas,
                                     const plat::TRect& ImageRect, QPoint ImageOffset,
                                     unsigned StateFlags) {
    if ((StateFlags & dk::ItemStateDisabled) != 0) {
        return;
    }
    const QRect image = ImageRect.ToQRect().translated(ImageOffset);
    QRect swatch(image.left(), image.bottom() - 3, image.width(), 4);
    const plat::TColor color = ColorPalette->Color();
    if (color != plat::clNone) {
        Canvas.fillRect(swatch, plat::ToQColor(color));
        return;
    }
    plat::FrameRect(Canvas, swatch, plat::clBtnShadow);
    swatch.adjust(1, 1, -1, -1);
    Canvas.fillRect(swatch, plat::ToQColor(plat::clBtnFace));
    Canvas.fillRect(swatch, QBrush(plat::ToQColor(plat::clBtnShadow), Qt::Dense4Pattern));
}

void TAttachForm::SetSelectionColor(plat::TColor color) {
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

QTextEdit* TAttachForm::FocusedEditor() const {
    for (QTextEdit* editor : {RefEdit, ItemEdit, CharEdit}) {
        if (editor != nullptr && editor->hasFocus()) {
            return editor;
        }
    }
    return nullptr;
}

void TAttachForm::UpdateActions(QTextEdit* editor) {
    EditActions->Update(editor);
}

void TAttachForm::InputPopupMenuPopup() {
    EditActions->Update(EditActions->Editor());
}

void TAttachForm::EditorReleased(QTextEdit* editor) {
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
            plat::Guarded([&] {
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
                    EditorReleased(editor);
                    break;
                default:
                    break;
                }
            });
        } else if (watched == editor->viewport() && event->type() == QEvent::MouseButtonRelease) {
            plat::Guarded([&] { EditorReleased(editor); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TAttachForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        plat::Guarded([&] { FormActivate(); });
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
