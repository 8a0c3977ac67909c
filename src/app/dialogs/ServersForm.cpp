#include "app/dialogs/ServersForm.h"

#include "app/dialogs/DialogSupport.h"
#include "app/dialogs/ServerForm.h"
#include "console/QvNumEdits.h"
#include "platform/core/Guarded.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr int kDimensionRole = Qt::UserRole;

// The first row whose caption equals `caption` ignoring case, else the first
// one that begins with it; null when none.
QTreeWidgetItem* FindRow(QTreeWidget* view, const QString& caption) {
    const int count = view->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* row = view->topLevelItem(i);
        if (row->text(0).compare(caption, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* row = view->topLevelItem(i);
        if (row->text(0).startsWith(caption, Qt::CaseInsensitive)) {
            return row;
        }
    }
    return nullptr;
}

// The heading of the dialog on a white panel.
QFrame* NewHeader(QWidget* parent) {
    auto* header = new QFrame(parent);
    header->setFrameShape(QFrame::StyledPanel);
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Base);
    auto* heading = new QLabel(QStringLiteral("Available Vellinor Dimensions"), header);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* headerText = new QLabel(
        QStringLiteral("You can select a Dimension and change its settings or remove it."), header);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->addWidget(heading);
    headerLayout->addWidget(headerText);
    return header;
}

// The list of dimensions: one column of names, whole rows selected one at a
// time.
QTreeWidget* NewServerList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setColumnCount(1);
    list->setHeaderLabels({QStringLiteral("Name")});
    list->setColumnWidth(0, 250);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selected row stays visible while the list has no focus.
    QPalette palette = list->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    list->setPalette(palette);
    return list;
}

} // namespace

TServersForm::TServersForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vellinor Dimensions"));

    QFrame* header = NewHeader(this);
    auto* listLabel =
        new QLabel(QStringLiteral("ZELVO has the following Dimensions configred:"), this);
    ServerListview = NewServerList(this);
    listLabel->setBuddy(ServerListview);

    ChangeButton = new QPushButton(QStringLiteral("&Change..."), this);
    AddButton = new QPushButton(QStringLiteral("&Add..."), this);
    RemoveButton = new QPushButton(QStringLiteral("&Remove"), this);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    HelpButton = new QPushButton(QStringLiteral("&Help"), this);

    auto* side = new QVBoxLayout;
    side->addWidget(ChangeButton);
    side->addWidget(AddButton);
    side->addWidget(RemoveButton);
    side->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(ServerListview, 1);
    middle->addLayout(side);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(OkButton);
    bottom->addWidget(CancelButton);
    bottom->addWidget(HelpButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(listLabel);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    plat::ConnectGuarded(ChangeButton, &QPushButton::clicked, this,
                         [this] { ChangeButtonClick(); });
    plat::ConnectGuarded(AddButton, &QPushButton::clicked, this, [this] { AddButtonClick(); });
    plat::ConnectGuarded(RemoveButton, &QPushButton::clicked, this,
                         [this] { RemoveButtonClick(); });
    plat::ConnectGuarded(ServerListview, &QTreeWidget::itemSelectionChanged, this,
                         [this] { UpdateButtons(); });
    plat::ConnectGuarded(ServerListview, &QTreeWidget::itemDoubleClicked, this,
                         [this] { ServerListviewDblClick(); });
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    dlg::SetDialogBorder(*this, false);
    dlg::CenterWhenShown(*this);
    UpdateButtons();
}

std::shared_ptr<TDimensionInfo> TServersForm::RowDimension(const QTreeWidgetItem* row) {
    if (row == nullptr) {
        return nullptr;
    }
    return row->data(0, kDimensionRole).value<std::shared_ptr<TDimensionInfo>>();
}

QTreeWidgetItem* TServersForm::SelectedRow() const {
    const QList<QTreeWidgetItem*> rows = ServerListview->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

QTreeWidgetItem* TServersForm::AddRow(const std::shared_ptr<TDimensionInfo>& dimension) {
    auto* row = new QTreeWidgetItem(ServerListview, {dimension->Name()});
    row->setData(0, kDimensionRole, QVariant::fromValue(dimension));
    return row;
}

void TServersForm::SelectRow(QTreeWidgetItem* row) {
    if (row == nullptr) {
        ServerListview->clearSelection();
        return;
    }
    ServerListview->setCurrentItem(row);
    row->setSelected(true);
    ServerListview->scrollToItem(row);
}

void TServersForm::UpdateButtons() {
    const QTreeWidgetItem* row = SelectedRow();
    const std::shared_ptr<TDimensionInfo> dimension = RowDimension(row);
    ChangeButton->setEnabled(row != nullptr);
    AddButton->setEnabled(true);
    RemoveButton->setEnabled(dimension != nullptr && dimension->Tag() == 0);
}

void TServersForm::RefreshList() {
    const QTreeWidgetItem* selected = SelectedRow();
    const QString remembered = selected != nullptr ? selected->text(0) : QString();
    {
        const QSignalBlocker blocker(ServerListview);
        ServerListview->setUpdatesEnabled(false);
        ServerListview->clear();
        for (qsizetype i = 0; i < dimensionList_.Count(); ++i) {
            AddRow(dimensionList_.Items(i));
        }
        ServerListview->setUpdatesEnabled(true);
    }
    QTreeWidgetItem* row = FindRow(ServerListview, remembered);
    if (row == nullptr && ServerListview->topLevelItemCount() > 0) {
        row = ServerListview->topLevelItem(0);
    }
    SelectRow(row);
    UpdateButtons();
}

void TServersForm::ChangeButtonClick() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        dlg::ErrorBox(this, QStringLiteral("Please select a Dimension configuration to change."));
        return;
    }
    const std::shared_ptr<TDimensionInfo> dimension = RowDimension(row);
    if (dimension == nullptr) {
        return;
    }
    {
        TServerForm form(this);
        form.NameEdit->setText(dimension->Name());
        form.DescMemo->setPlainText(dimension->Description());
        form.HostEdit->setText(dimension->Host());
        form.PortEdit->SetValue(dimension->Port());
        // A built-in dimension can be looked at, not changed.
        const bool editable = dimension->Tag() == 0;
        for (QWidget* field : std::initializer_list<QWidget*>{
                 form.NameEdit, form.DescMemo, form.HostEdit, form.PortEdit, form.OkButton}) {
            field->setEnabled(editable);
        }
        if (!editable) {
            form.TitleLabel->setText(QStringLiteral("Built-In Vellinor Dimension"));
        }
        form.SetDuplicateCheck(&dimensionList_, dimension.get());
        if (dlg::RunModal(form) == QDialog::Accepted && editable) {
            dimension->SetName(form.NameEdit->text());
            dimension->SetDescription(form.DescMemo->toPlainText());
            dimension->SetHost(form.HostEdit->text());
            dimension->SetPort(static_cast<int32_t>(form.PortEdit->Value()));
        }
    }
    row->setText(0, dimension->Name());
    UpdateButtons();
}

void TServersForm::AddButtonClick() {
    const std::shared_ptr<TDimensionInfo> dimension = NewDimension(this, &dimensionList_);
    if (dimension == nullptr) {
        return;
    }
    dimensionList_.AddInfo(dimension);
    // Always a row of its own: a row found by name would carry another entry.
    SelectRow(AddRow(dimension));
    UpdateButtons();
}

void TServersForm::RemoveButtonClick() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        dlg::ErrorBox(this, QStringLiteral("Please select a Dimension configuration to remove."));
        return;
    }
    const QString question = QStringLiteral("Are you sure you want to remove the '") +
                             row->text(0) + QStringLiteral("' Dimension?");
    if (!dlg::ConfirmationBox(this, question)) {
        return;
    }
    if (const std::shared_ptr<TDimensionInfo> dimension = RowDimension(row)) {
        dimensionList_.Remove(dimension.get());
    }
    {
        const QSignalBlocker blocker(ServerListview);
        delete row;
        ServerListview->clearSelection();
    }
    UpdateButtons();
}

void TServersForm::ServerListviewDblClick() {
    if (SelectedRow() != nullptr) {
        ChangeButtonClick();
    }
}

bool EditDimensions(QWidget* parent, TDimensionList& dimensions) {
    TServersForm form(parent);
    TDimensionList& copy = form.DimensionList();
    copy.Clear();
    // Each copy with the entry it was made from.
    std::vector<std::pair<std::shared_ptr<TDimensionInfo>, std::shared_ptr<TDimensionInfo>>>
        origins;
    for (qsizetype i = 0; i < dimensions.Count(); ++i) {
        const std::shared_ptr<TDimensionInfo> original = dimensions.Items(i);
        const std::shared_ptr<TDimensionInfo> entry =
            copy.Add(original->Name(), original->Description(), original->Port(), original->Host());
        entry->SetTag(original->Tag());
        origins.emplace_back(entry, original);
    }
    form.RefreshList();
    if (dlg::RunModal(form) != QDialog::Accepted) {
        return false;
    }
    std::vector<std::shared_ptr<TDimensionInfo>> result;
    for (qsizetype i = 0; i < copy.Count(); ++i) {
        const std::shared_ptr<TDimensionInfo> entry = copy.Items(i);
        const auto origin = std::find_if(origins.begin(), origins.end(),
                                         [&](const auto& pair) { return pair.first == entry; });
        if (origin == origins.end()) {
            result.push_back(entry);
            continue;
        }
        TDimensionInfo& target = *origin->second;
        target.SetName(entry->Name());
        target.SetDescription(entry->Description());
        target.SetHost(entry->Host());
        target.SetPort(entry->Port());
        target.SetTag(entry->Tag());
        result.push_back(origin->second);
    }
    dimensions.Clear();
    for (std::shared_ptr<TDimensionInfo>& entry : result) {
        dimensions.AddInfo(std::move(entry));
    }
    return true;
}
