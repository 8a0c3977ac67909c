#include "app/dialogs/LoginForm.h"

#include "app/dialogs/DialogSupport.h"
#include "app/dialogs/ServerForm.h"
#include "app/dialogs/ServersForm.h"
#include "app/settings/Settings.h"
#include "engine/DimensionList.h"
#include "platform/core/Guarded.h"
#include "platform/gui/BusyCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TLoginForm::TLoginForm(TDimensionList& dimensions, const TLogins& logins, const QString& lastUser,
                       const QString& lastDimension, QWidget* parent)
    : QDialog(parent), dimensions_(dimensions), logins_(logins), lastUser_(lastUser) {
    setWindowTitle(QStringLiteral("ZELVO Login"));
    CreateControls();
    LayOutControls();

    // Creation: the users, the dimensions and the last dimension used.
    LoadUsers();
    LoadDimensions();
    const int last = DimensionCombobox->findText(lastDimension, Qt::MatchFixedString);
    if (last >= 0) {
        DimensionCombobox->setCurrentIndex(last);
    } else if (DimensionCombobox->count() > 0) {
        DimensionCombobox->setCurrentIndex(0);
    }
    UpdateOkButton();

    plat::ConnectGuarded(UserCombobox, &QComboBox::editTextChanged, this,
                         [this] { UserComboboxChange(); });
    plat::ConnectGuarded(DimensionCombobox, &QComboBox::currentIndexChanged, this,
                         [this] { UpdateOkButton(); });
    plat::ConnectGuarded(SpeedButton1, &QToolButton::clicked, this,
                         [this] { SpeedButton1Click(); });
    plat::ConnectGuarded(Button2, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    // A dialog border with the help button, centred on the main window's monitor.
    dlg::SetDialogBorder(*this, true);
    dlg::CenterWhenShown(*this);
}

void TLoginForm::CreateControls() {
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setBackgroundRole(QPalette::Window);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPlainText(QStringLiteral("User authentication is required to \n"
                                       "chat on Vellinor.  Please \n"
                                       "select a dimension, enter your \n"
                                       "username and corresponding \n"
                                       "password below."));
    // As tall as its lines, so that the fields follow the text closely.
    const int lines = Memo1->document()->blockCount();
    Memo1->setFixedHeight(lines * Memo1->fontMetrics().lineSpacing() +
                          2 * static_cast<int>(Memo1->document()->documentMargin()) +
                          2 * Memo1->frameWidth() + 2);

    UserCombobox = new QComboBox(this);
    UserCombobox->setEditable(true);
    UserCombobox->setInsertPolicy(QComboBox::NoInsert);
    PasswordEdit = dlg::NewPasswordEdit(this);
    SaveCheckbox = new QCheckBox(QStringLiteral("Remember password"), this);
    DimensionCombobox = new QComboBox(this);
    DimensionCombobox->setEditable(false);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setToolTip(QStringLiteral("Manage Dimensions"));

    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    StaticText1 = new QLabel(QStringLiteral("Help"), this);
    StaticText1->setCursor(Qt::PointingHandCursor);
}

// The text above the fields, the fields with their labels, the buttons.
void TLoginForm::LayOutControls() {
    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, const QString& caption, QWidget* field, QWidget* buddy) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(buddy);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    addRow(0, QStringLiteral("&Username:"), UserCombobox, UserCombobox);
    addRow(1, QStringLiteral("&Password:"), PasswordEdit, PasswordEdit);
    grid->addWidget(SaveCheckbox, 2, 1);
    auto* dimensionRow = new QWidget(this);
    auto* dimensionLayout = new QHBoxLayout(dimensionRow);
    dimensionLayout->setContentsMargins(0, 0, 0, 0);
    dimensionLayout->addWidget(DimensionCombobox, 1);
    dimensionLayout->addWidget(SpeedButton1);
    addRow(3, QStringLiteral("&Dimension:"), dimensionRow, DimensionCombobox);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(StaticText1);
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

std::shared_ptr<TDimensionInfo> TLoginForm::Dimension() const {
    return DimensionCombobox->currentData().value<std::shared_ptr<TDimensionInfo>>();
}

QString TLoginForm::UserName() const {
    return UserCombobox->currentText();
}

QString TLoginForm::Password() const {
    return PasswordEdit->text();
}

bool TLoginForm::SavePassword() const {
    return SaveCheckbox->isChecked();
}

void TLoginForm::LoadUsers() {
    QStringList users;
    for (const TLogin& login : logins_.Items()) {
        users.append(login.User);
    }
    const QSignalBlocker blocker(UserCombobox);
    dlg::SetSortedItems(UserCombobox, users);
    UserCombobox->setCurrentIndex(-1);
    UserCombobox->setEditText(lastUser_);
    const QString password = logins_.GetLoginPassword(lastUser_);
    if (!password.isEmpty()) {
        PasswordEdit->setText(password);
        SaveCheckbox->setChecked(true);
    }
}

void TLoginForm::LoadDimensions() {
    // The hourglass while the dimensions are loaded.
    const plat::BusyScope busy;
    const QString chosen = DimensionCombobox->currentText();
    {
        const QSignalBlocker blocker(DimensionCombobox);
        DimensionCombobox->clear();
        for (qsizetype i = 0; i < dimensions_.Count(); ++i) {
            const std::shared_ptr<TDimensionInfo> dimension = dimensions_.Items(i);
            DimensionCombobox->addItem(dimension->Name(), QVariant::fromValue(dimension));
        }
        const int index = DimensionCombobox->findText(chosen, Qt::MatchFixedString);
        DimensionCombobox->setCurrentIndex(index >= 0                       ? index
                                           : DimensionCombobox->count() > 0 ? 0
                                                                            : -1);
    }
    UpdateOkButton();
}

void TLoginForm::FormActivate() {
    if (!UserCombobox->currentText().isEmpty()) {
        PasswordEdit->setFocus();
    }
}

void TLoginForm::UserComboboxChange() {
    const QString password = logins_.GetLoginPassword(UserCombobox->currentText());
    PasswordEdit->setText(password);
    SaveCheckbox->setChecked(!password.isEmpty());
}

void TLoginForm::ManageDimensions() {
    if (dimensions_.Count() == 0) {
        const std::shared_ptr<TDimensionInfo> dimension = NewDimension(this, &dimensions_);
        if (dimension == nullptr) {
            return;
        }
        dimensions_.AddInfo(dimension);
        DimensionCombobox->addItem(dimension->Name(), QVariant::fromValue(dimension));
        DimensionCombobox->setCurrentIndex(DimensionCombobox->count() - 1);
    } else if (EditDimensions(this, dimensions_)) {
        LoadDimensions();
    }
}

void TLoginForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        plat::Guarded([&] { FormActivate(); });
    }
}

// Connecting needs a dimension.
// The chat service cannot log in without a user name or a password: say so
// here rather than connect and stop half-way through the login.
void TLoginForm::OkButtonClick() {
    const auto refuse = [this](QWidget* field, const QString& text) {
        dlg::InformationBox(this, text);
        field->setFocus();
    };
    if (UserCombobox->currentText().isEmpty()) {
        refuse(UserCombobox, QStringLiteral("Need a username!"));
    } else if (PasswordEdit->text().isEmpty()) {
        refuse(PasswordEdit, QStringLiteral("No password!"));
    } else {
        accept();
    }
}

void TLoginForm::UpdateOkButton() {
    Button2->setEnabled(DimensionCombobox->currentIndex() >= 0);
}
