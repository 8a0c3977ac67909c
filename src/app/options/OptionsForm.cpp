// The options dialog: the tree of page names, the page table, showing pages
// lazily, and OK and Cancel.
#include "app/options/OptionsForm.h"

#include "app/dialogs/DialogSupport.h"

#include "controls/QvBrowseFolder.h"
#include "platform/core/Guarded.h"
#include "platform/gui/ImageList.h"
#include "strings/TextRoutines.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace options {

namespace {

// The initial font with what the user changed in the font dialog: the dialog
// shows another family for one that is not installed, and a font size in
// points; what the user left as shown stays as it was.
QFont WithChanges(const QFont& initial, const QFont& shown, const QFont& chosen) {
    QFont result = initial;
    if (chosen.family() != shown.family()) {
        result.setFamily(chosen.family());
    }
    if (chosen.pointSize() != shown.pointSize()) {
        result.setPointSize(chosen.pointSize());
    }
    if (chosen.bold() != shown.bold()) {
        result.setBold(chosen.bold());
    }
    if (chosen.italic() != shown.italic()) {
        result.setItalic(chosen.italic());
    }
    if (chosen.underline() != shown.underline()) {
        result.setUnderline(chosen.underline());
    }
    if (chosen.strikeOut() != shown.strikeOut()) {
        result.setStrikeOut(chosen.strikeOut());
    }
    return result;
}

TChoosers OrdinaryChoosers() {
    TChoosers choosers;
    // The folder dialog with its title above the tree, the chosen path on its
    // status line and an edit box for typing one, centred on the screen.
    choosers.Folder = [](QWidget* parent, const QString& title,
                         const QString& start) -> std::optional<QString> {
        TQvBrowseFolder browse(parent);
        browse.SetTitle(title);
        browse.SetOptions(OptionBit(odStatusAvailable) | OptionBit(odEditBox) |
                          OptionBit(odNewDialogStyle));
        browse.SetPosition(fpScreenCenter);
        browse.SetRootDirectory(fdDesktop);
        browse.SetDirectory(start);
        if (!browse.Execute()) {
            return std::nullopt;
        }
        return browse.Directory();
    };
    choosers.Font = [](QWidget* parent, const QFont& initial) -> std::optional<QFont> {
        // Named, the font's own style is the one the dialog selects: else it
        // may take another of the family's styles, an oblique one for a
        // regular font.
        QFont start = initial;
        start.setStyleName(QFontDatabase::styleString(QFontInfo(initial)));
        QFontDialog dialog(start, parent);
        const QFont shown = dialog.currentFont();
        if (dlg::RunModal(dialog) != QDialog::Accepted) {
            return std::nullopt;
        }
        return WithChanges(initial, shown, dialog.currentFont());
    };
    choosers.Color = [](QWidget* parent, const QColor& initial) -> std::optional<QColor> {
        // Through the modal runner, as the font dialog: it hands the
        // keyboard focus back to the options dialog when it closes.
        QColorDialog dialog(initial, parent);
        if (dlg::RunModal(dialog) != QDialog::Accepted || !dialog.selectedColor().isValid()) {
            return std::nullopt;
        }
        return dialog.selectedColor();
    };
    return choosers;
}

} // namespace

TChoosers& Choosers() {
    static TChoosers choosers = OrdinaryChoosers();
    return choosers;
}

void ResetChoosers() {
    Choosers() = OrdinaryChoosers();
}

QString BrowseForFolder(QWidget* parent, const QString& title, const QString& start) {
    QCoreApplication::processEvents();
    const QString startIn = !start.isEmpty() && QDir(start).exists() ? start : QString();
    const std::optional<QString> chosen = Choosers().Folder(parent, title, startIn);
    if (!chosen) {
        return start;
    }
    return chosen->endsWith(u'/') ? *chosen : *chosen + u'/';
}

} // namespace options

namespace {

struct TPageRow {
    const char* parentCaption;
    const char* caption;
    int image; // in OptionsList
};

constexpr TPageRow kPages[TOptionsForm::kPageCount] = {
    {"General Settings", "Connection", 1},    {"General Settings", "Logging", 2},
    {"General Settings", "Away Options", 3},  {"General Settings", "Audio Options", 4},
    {"Visual Settings", "Fonts & Colors", 5}, {"Visual Settings", "Chat Window", 6},
};
// The image of the top nodes.
constexpr int kGroupImage = 0;

// The room the pages get, in average characters and lines of their font:
// enough for the widest and tallest page at the ordinary fonts, so that the
// dialog keeps its size from page to page. A page that needs more (a larger
// sample font, a long folder) widens the dialog.
constexpr int kHolderColumns = 64;
constexpr int kHolderLines = 21;

TOptionBaseFrame* CreateFrame(int row, TOptionsContext& context, QWidget* owner) {
    switch (row) {
    case 0:
        return new TAutoConnectFrame(context, owner);
    case 1:
        return new TLoggingFrame(context, owner);
    case 2:
        return new TAwayOptionsFrame(context, owner);
    case 3:
        return new TSoundsFrame(context, owner);
    case 4:
        return new TFontsFrame(context, owner);
    default:
        return new TChatWindowFrame(context, owner);
    }
}

} // namespace

TOptionsForm::TOptionsForm(TOptionsContext context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), context_(std::move(context)) {
    setWindowTitle(QStringLiteral("ZELVO Options"));
    // Opens in the same place each time: the middle of the main window's monitor.
    dlg::CenterWhenShown(*this);

    OptionsList = new plat::ImageList(16, 16, this);
    AddOptionsImages(*OptionsList);
    OptionsTreeView = new TOptionsTreeView(this);
    OptionsTreeView->SetImages(OptionsList);
    QTreeWidgetItem* parentNode = nullptr;
    for (const TPageRow& row : kPages) {
        const QString parentCaption = QString::fromLatin1(row.parentCaption);
        if (parentNode == nullptr || parentNode->text(0) != parentCaption) {
            parentNode = new QTreeWidgetItem(OptionsTreeView, QStringList{parentCaption});
            OptionsTreeView->SetImageIndex(parentNode, kGroupImage);
        }
        auto* node = new QTreeWidgetItem(parentNode, QStringList{QString::fromLatin1(row.caption)});
        OptionsTreeView->SetImageIndex(node, row.image);
    }
    OptionsTreeView->expandAll();
    OptionsTreeView->FitWidth();

    CaptionPanel = new QWidget(this);
    CaptionLabel = new QLabel(CaptionPanel);
    CaptionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* captionRow = new QHBoxLayout(CaptionPanel);
    captionRow->setContentsMargins(0, 0, 0, 0);
    captionRow->addWidget(CaptionLabel);
    HolderPanel = new QWidget(this);
    // The pages share one cell, at least of the design size and as large as
    // the page shown needs.
    pages_ = new QGridLayout(HolderPanel);
    pages_->setContentsMargins(0, 0, 0, 0);
    const QFontMetrics page(TOptionBaseFrame::PageFont());
    pages_->setColumnMinimumWidth(0, kHolderColumns * page.averageCharWidth());
    pages_->setRowMinimumHeight(0, kHolderLines * page.lineSpacing());
    // Enter anywhere in the dialog is OK, Esc is Cancel (keyPressEvent).
    OkButton = new QPushButton(QStringLiteral("Ok"), this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);

    auto* right = new QVBoxLayout;
    right->addWidget(CaptionPanel);
    right->addWidget(HolderPanel, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(OptionsTreeView);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    // Every way of selecting a node shows its page: clicks, Up and Down, and
    // the other keys that move the selection.
    plat::ConnectGuarded(OptionsTreeView, &QTreeWidget::currentItemChanged, this,
                         [this](QTreeWidgetItem* node) { ShowPage(node); });
    plat::ConnectGuarded(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    plat::ConnectGuarded(CancelButton, &QPushButton::clicked, this,
                         [this] { CancelButtonClick(); });

    SelectFirstPage();
}

TOptionsForm::~TOptionsForm() {
    closing_ = true;
}

int TOptionsForm::FindPage(const QTreeWidgetItem* node) const {
    if (node == nullptr || node->parent() == nullptr) {
        return -1;
    }
    for (int row = 0; row < kPageCount; ++row) {
        if (txt::SameTextAscii(node->text(0), QString::fromLatin1(kPages[row].caption)) &&
            txt::SameTextAscii(node->parent()->text(0),
                               QString::fromLatin1(kPages[row].parentCaption))) {
            return row;
        }
    }
    return -1;
}

void TOptionsForm::ShowPage(QTreeWidgetItem* node) {
    if (closing_) {
        return;
    }
    const int row = FindPage(node);
    if (row < 0 || row >= kPageCount || node == lastNode_) {
        return;
    }
    HideFrames();
    if (frames_[row] == nullptr) {
        frames_[row] = CreateFrame(row, context_, HolderPanel);
        pages_->addWidget(frames_[row], 0, 0);
        frames_[row]->LoadSettings();
        frames_[row]->FitEdits();
    }
    frames_[row]->setVisible(true);
    CaptionLabel->setText(node->text(0) + QStringLiteral("..."));
    lastNode_ = node;
}

void TOptionsForm::SelectFirstPage() {
    OptionsTreeView->expandAll();
    if (OptionsTreeView->topLevelItemCount() > 0 &&
        OptionsTreeView->topLevelItem(0)->childCount() > 0) {
        QTreeWidgetItem* first = OptionsTreeView->topLevelItem(0)->child(0);
        OptionsTreeView->setCurrentItem(first);
        ShowPage(first);
    }
}

QTreeWidgetItem* TOptionsForm::FindNode(const QString& text) const {
    const QList<QTreeWidgetItem*> found =
        OptionsTreeView->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

void TOptionsForm::SaveFrames() {
    for (TOptionBaseFrame* frame : frames_) {
        if (frame != nullptr) {
            frame->SaveSettings();
        }
    }
}

void TOptionsForm::HideFrames() {
    for (TOptionBaseFrame* frame : frames_) {
        if (frame != nullptr) {
            frame->setVisible(false);
        }
    }
}

void TOptionsForm::FreeFrames() {
    for (TOptionBaseFrame*& frame : frames_) {
        delete frame;
        frame = nullptr;
    }
    lastNode_ = nullptr;
}

void TOptionsForm::OkButtonClick() {
    TSettingsChange change;
    change.Previous = context_.Settings;
    change.RestartAutoAway = FindFrame<TAwayOptionsFrame>() != nullptr;
    SaveFrames();
    if (context_.Apply) {
        context_.Apply(change);
    }
    close();
}

void TOptionsForm::CancelButtonClick() {
    close();
}

void TOptionsForm::closeEvent(QCloseEvent* event) {
    closing_ = true;
    FreeFrames();
    event->accept();
}

// Enter is OK, Esc is Cancel.
void TOptionsForm::keyPressEvent(QKeyEvent* event) {
    plat::Guarded([&] {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            OkButtonClick();
        } else if (event->key() == Qt::Key_Escape) {
            CancelButtonClick();
        } else {
            QWidget::keyPressEvent(event);
        }
    });
}
