#include "app/dialogs/ServerForm.h"

#include "app/dialogs/DialogSupport.h"
#include "console/QvNumEdits.h"
#include "engine/DimensionList.h"
#include "platform/core/Guarded.h"
#include "strings/TextRoutines.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TServerForm::TServerForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dimension Details"));

    auto* pages = new QTabWidget(this);
    auto* page = new QWidget(pages);
    pages->addTab(page, QStringLiteral("General"));

    TitleLabel = new QLabel(QStringLiteral("Edit Vellinor Dimension"), page);
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);

    NameEdit = new QLineEdit(page);
    DescMemo = new QPlainTextEdit(page);
    DescMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DescMemo->setTabChangesFocus(true);
    HostEdit = new QLineEdit(page);
    PortEdit = new TQvIntegerEdit(page);
    PortEdit->SetMaxValue(kMaxPort);
    PortEdit->SetAlignment(taLeftJustify);
    PortEdit->SetDisabledColor(plat::clWindow);
    PortEdit->SetValue(7012);

    auto* grid = new QGridLayout(page);
    grid->addWidget(TitleLabel, 0, 0, 1, 2);
    const auto addRow = [&](int row, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, page);
        label->setBuddy(field);
        grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(field, row, 1);
    };
    addRow(1, QStringLiteral("Name:"), NameEdit);
    addRow(2, QStringLiteral("Description:"), DescMemo);
    addRow(3, QStringLiteral("Host:"), HostEdit);
    addRow(4, QStringLiteral("Port:"), PortEdit);

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    ApplyButton = new QPushButton(QStringLiteral("Apply"), this);
    ApplyButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(ApplyButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);

    plat::ConnectGuarded(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    dlg::SetDialogBorder(*this, true);
    dlg::CenterWhenShown(*this);
    NameEdit->setFocus();
}

void TServerForm::SetDuplicateCheck(const TDimensionList* list, const TDimensionInfo* self) {
    list_ = list;
    self_ = self;
}

bool TServerForm::NameTaken(const QString& name) const {
    if (list_ == nullptr) {
        return false;
    }
    // Names compare as the list's lookup by name does.
    const qsizetype index = list_->IndexOfName(name);
    return index >= 0 && list_->Items(index).get() != self_;
}

void TServerForm::OkButtonClick() {
    const auto refuse = [this](QWidget* field, const QString& text) {
        dlg::InformationBox(this, text);
        field->setFocus();
    };
    if (txt::Trim(NameEdit->text()).isEmpty()) {
        refuse(NameEdit, QStringLiteral("You must specify a name for the Dimension."));
        return;
    }
    if (txt::Trim(HostEdit->text()).isEmpty()) {
        refuse(HostEdit, QStringLiteral("You must specify a host for the Dimension."));
        return;
    }
    // A port must fit the connection's 16 bits.
    const int64_t port = PortEdit->Value();
    if (port < kMinPort || port > kMaxPort) {
        refuse(PortEdit, QStringLiteral("You must specify a port for the Dimension."));
        return;
    }
    // User dimensions are stored under their names, which must not clash.
    if (NameTaken(NameEdit->text())) {
        refuse(NameEdit, QStringLiteral("A Dimension named '") + NameEdit->text() +
                             QStringLiteral("' already exists."));
        return;
    }
    accept();
}

std::shared_ptr<TDimensionInfo> NewDimension(QWidget* parent, const TDimensionList* list) {
    TServerForm form(parent);
    form.NameEdit->setText(QStringLiteral("New Dimension"));
    form.SetDuplicateCheck(list, nullptr);
    if (dlg::RunModal(form) != QDialog::Accepted) {
        return nullptr;
    }
    auto entry = std::make_shared<TDimensionInfo>();
    entry->SetName(form.NameEdit->text());
    entry->SetDescription(form.DescMemo->toPlainText());
    entry->SetHost(form.HostEdit->text());
    entry->SetPort(static_cast<int32_t>(form.PortEdit->Value()));
    return entry;
}
