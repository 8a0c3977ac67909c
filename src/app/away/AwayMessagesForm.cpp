#include "app/away/AwayMessagesForm.h"

#include "app/away/AwayList.h"
#include "app/common/Actions.h"
#include "app/common/FormBars.h"
#include "app/format/ColorCodes.h"
#include "controls/QvPanel/QvPanel.h"
#include "controls/QvSplitter/QvSplitter.h"
#include "controls/StateSaver.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/themes/DkThemedItem.h"
#include "platform/core/FormatDateTime.h"
#include "platform/core/Guarded.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/AlignLayout.h"
#include "platform/gui/BusyCursor.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/ShowHint.h"
#include "strings/TextRoutines.h"

#include <QAction>
#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The list's height above the splitter's bar until the user drags it.
constexpr int kListHeight = 150;

// Rows sort by their caption, ignoring letter case.
class TCharacterRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int order = text(0).compare(other.text(0), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : text(0) < other.text(0);
    }
};

// The selection keeps its colours while the widget has no focus.
void KeepSelectionVisible(QWidget& widget) {
    QPalette palette = widget.palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    widget.setPalette(palette);
}

// An opaque panel holding one widget.
QWidget* Panel(QWidget* content) {
    auto* panel = new TQvOpaquePanel;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return panel;
}

// Date and time of the platform's short date and long time formats.
QString DateTimeText(const QDateTime& value) {
    return plat::FormatDateTime(u"ddddd tt", value);
}

} // namespace

TAwayMessagesForm::TAwayMessagesForm(TAwayList* awayList, plat::ImageList* images,
                                     std::shared_ptr<plat::Registry> registry, QWidget* parent)
    : QMainWindow(parent), awayList_(awayList), images_(images) {
    setWindowTitle(QStringLiteral("Logged Away Messages"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    // Refresh Messages shows only its image: the bar's buttons explain
    // themselves.
    plat::SetShowHint(*this, true);

    CharacterListview = new QTreeWidget;
    CharacterListview->setObjectName(QStringLiteral("CharacterListview"));
    CharacterListview->setColumnCount(3);
    CharacterListview->setHeaderLabels(
        {QStringLiteral("Character"), QStringLiteral("Messages"), QStringLiteral("Last Message")});
    CharacterListview->setColumnWidth(0, 150);
    CharacterListview->setColumnWidth(1, 100);
    CharacterListview->setColumnWidth(2, 150);
    CharacterListview->setRootIsDecorated(false);
    CharacterListview->setItemsExpandable(false);
    CharacterListview->setAllColumnsShowFocus(true);
    CharacterListview->setSelectionMode(QAbstractItemView::SingleSelection);
    CharacterListview->setSelectionBehavior(QAbstractItemView::SelectRows);
    CharacterListview->header()->setSectionsClickable(false);
    CharacterListview->setSortingEnabled(true);
    CharacterListview->sortByColumn(0, Qt::AscendingOrder);
    KeepSelectionVisible(*CharacterListview);
    plat::ConnectGuarded(CharacterListview, &QTreeWidget::itemSelectionChanged, this,
                         [this] { ShowCharacter(); });

    MessagesEdit = new QTextEdit;
    MessagesEdit->setObjectName(QStringLiteral("MessagesEdit"));
    MessagesEdit->setReadOnly(true);
    MessagesEdit->setAcceptRichText(false);
    MessagesEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    KeepSelectionVisible(*MessagesEdit);

    // The status bar at the bottom, the docks round the panes.
    const TDockSite site = AddDockSite(*this, {150, -1});
    StatusBar = site.StatusBar;
    TopDock = site.Top;
    BottomDock = site.Bottom;
    LeftDock = site.Left;
    RightDock = site.Right;
    Splitter = new TQvSplitter(site.Client);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->SetOrientation(orVertical);
    Splitter->SetRealTimeDrag(true);
    Splitter->SetPosition(kListHeight);
    Splitter->UpperLeft()->InsertControl(Panel(CharacterListview));
    Splitter->LowerRight()->InsertControl(Panel(MessagesEdit));
    site.Layout->AddWidget(Splitter, plat::Align::Client);
    CreateActions();

    if (registry) {
        StateSaver = new TStateSaver(this);
        StateSaver->setObjectName(QStringLiteral("StateSaver"));
        StateSaver->SetPath(QStringLiteral("Software\\ZELVO\\MessagesForm"));
        StateSaver->SetRegistry(std::move(registry));
        StateSaver->Loaded();
    }
}

void TAwayMessagesForm::CreateActions() {
    ActionList1 = new plat::TActionList(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    auto make = [this](const char* name, const QString& caption, int image,
                       void (TAwayMessagesForm::*run)()) {
        return MakeAction(ActionList1, QString::fromLatin1(name), caption, {}, image,
                          [this, run] { (this->*run)(); });
    };
    ClearAction = make("ClearAction", QStringLiteral("Clear Messages"), ClearImage,
                       &TAwayMessagesForm::ClearActionExecute);
    RefreshAction = make("RefreshAction", QStringLiteral("Refresh Messages"), RefreshImage,
                         &TAwayMessagesForm::RefreshActionExecute);
    CloseAction =
        make("CloseAction", QStringLiteral("Close"), -1, &TAwayMessagesForm::CloseActionExecute);

    MenuBar = AddToolbar(this, TopDock, QStringLiteral("MenuBar"), QStringLiteral("Menu"), 0);
    MenuBar->SetMenuBar(true);
    MenuBar->SetImages(images_);
    AddActionItem(
        AddSubmenuItem(MenuBar->Items(), QStringLiteral("FileMenu"), QStringLiteral("&File")),
        CloseAction);
    TDkCustomItem* actions =
        AddSubmenuItem(MenuBar->Items(), QStringLiteral("ActionsMenu"), QStringLiteral("&Actions"));
    AddActionItem(actions, ClearAction);
    AddActionItem(actions, RefreshAction);

    FileBar = AddToolbar(this, TopDock, QStringLiteral("FileBar"), QStringLiteral("File Bar"), 1);
    FileBar->SetImages(images_);
    AddActionItem(FileBar->Items(), ClearAction, nbdmImageAndText);
    AddSeparatorItem(FileBar->Items());
    AddActionItem(FileBar->Items(), RefreshAction);
}

void TAwayMessagesForm::SetRowImage(QTreeWidgetItem* row, int image) const {
    row->setData(0, ImageIndexRole, image);
    if (images_) {
        row->setIcon(0, QIcon(QPixmap::fromImage(images_->Image(image))));
    }
}

QTreeWidgetItem* TAwayMessagesForm::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = CharacterListview->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TAwayMessagesForm::RefreshMessages() {
    const plat::BusyScope busy;
    // The selected character is shown afresh, so that messages that arrived
    // since it was last shown appear and it counts as read.
    shownName_.clear();
    CharacterListview->setUpdatesEnabled(false);
    {
        const QTreeWidgetItem* selected = SelectedRow();
        const QString remembered = selected ? selected->text(0) : QString();
        CharacterListview->clear();
        const qsizetype count = awayList_ ? awayList_->Count() : 0;
        for (qsizetype i = 0; i < count; ++i) {
            const TAwayCharacter* character = awayList_->Items(i);
            const TAwayMessageList& messages = character->Messages();
            auto* row = new TCharacterRow;
            SetRowImage(row, character->Tag() == 1 ? ReadImage : UnreadImage);
            row->setText(0, character->Name());
            row->setText(1, QString::number(messages.Count()));
            if (messages.Count() > 0) {
                row->setText(2, DateTimeText(messages.Items(messages.Count() - 1)->Time()));
            }
            CharacterListview->addTopLevelItem(row);
        }
        if (!remembered.isEmpty()) {
            for (int i = 0; i < CharacterListview->topLevelItemCount(); ++i) {
                QTreeWidgetItem* row = CharacterListview->topLevelItem(i);
                if (row->text(0) == remembered) {
                    CharacterListview->setCurrentItem(row);
                    break;
                }
            }
        }
    }
    CharacterListview->setUpdatesEnabled(true);
    if (!SelectedRow() && CharacterListview->topLevelItemCount() > 0) {
        CharacterListview->setCurrentItem(CharacterListview->topLevelItem(0));
    }
    if (CharacterListview->topLevelItemCount() == 0) {
        MessagesEdit->clear();
    }
}

void TAwayMessagesForm::ShowCharacter() {
    QTreeWidgetItem* row = SelectedRow();
    if (!row) {
        return;
    }
    const QString name = row->text(0);
    const QString upper = txt::AsciiUpper(name);
    if (upper == shownName_) {
        return;
    }
    const qsizetype index = awayList_ ? awayList_->IndexOf(name) : -1;
    if (index >= 0) {
        TAwayCharacter* character = awayList_->Items(index);
        const TAwayMessageList& messages = character->Messages();
        QTextCharFormat plain;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        MessagesEdit->setUpdatesEnabled(false);
        MessagesEdit->clear();
        // Oldest at the top. Texts go in as plain text, never as markup.
        QTextCursor cursor(MessagesEdit->document());
        for (qsizetype i = 0; i < messages.Count(); ++i) {
            const TAwayMessage* message = messages.Items(i);
            if (i > 0) {
                cursor.insertBlock();
            }
            cursor.insertText(QStringLiteral("["), bold);
            cursor.insertText(plat::FormatDateTime(u"tt", message->Time()), plain);
            cursor.insertText(QStringLiteral("]"), bold);
            cursor.insertText(QStringLiteral(" ") + character->Name() + QStringLiteral(": ") +
                                  StripColorCodes(message->Text()),
                              plain);
        }
        MessagesEdit->setUpdatesEnabled(true);
        MessagesEdit->moveCursor(QTextCursor::Start);
        character->SetTag(1);
        SetRowImage(row, ReadImage);
    }
    shownName_ = upper;
}

void TAwayMessagesForm::ClearActionExecute() {
    if (awayList_) {
        awayList_->Clear();
    }
    if (OnClear) {
        OnClear(this);
    }
    RefreshMessages();
}

void TAwayMessagesForm::RefreshActionExecute() {
    RefreshMessages();
}

void TAwayMessagesForm::CloseActionExecute() {
    close();
}
