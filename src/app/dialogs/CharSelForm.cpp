#include "app/dialogs/CharSelForm.h"

#include "app/dialogs/DialogSupport.h"
#include "platform/core/Guarded.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TCharSelForm::TCharSelForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Character Selection"));

    auto* header = new QFrame(this);
    header->setFrameShape(QFrame::StyledPanel);
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Base);
    auto* heading = new QLabel(QStringLiteral("Select VL Character"), header);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* headerText =
        new QLabel(QStringLiteral("You have the following characters available..."), header);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->addWidget(heading);
    headerLayout->addWidget(headerText);

    CharacterCombobox = new QComboBox(this);
    CharacterCombobox->setEditable(true);
    CharacterCombobox->setInsertPolicy(QComboBox::NoInsert);
    auto* label = new QLabel(QStringLiteral("&Character:"), this);
    label->setBuddy(CharacterCombobox);

    Button2 = new QPushButton(QStringLiteral("Ok"), this);
    Button2->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);

    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(CharacterCombobox, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addLayout(field);
    layout->addStretch(1);
    layout->addLayout(buttons);

    plat::ConnectGuarded(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    dlg::SetDialogBorder(*this, false);
    dlg::CenterWhenShown(*this);
}

void TCharSelForm::SetCharacters(const QStringList& names, const QString& lastCharacter) {
    dlg::SetSortedItems(CharacterCombobox, names);
    const int last = CharacterCombobox->findText(lastCharacter, Qt::MatchFixedString);
    if (last >= 0) {
        CharacterCombobox->setCurrentIndex(last);
    } else if (CharacterCombobox->count() > 0) {
        CharacterCombobox->setCurrentIndex(0);
    }
}

QString TCharSelForm::Character() const {
    return CharacterCombobox->currentText();
}

void TCharSelForm::Button2Click() {
    const QString name = CharacterCombobox->currentText();
    if (CharacterCombobox->findText(name, Qt::MatchFixedString) < 0) {
        dlg::ErrorBox(this, QStringLiteral("The character ") + name +
                                QStringLiteral(" is not available for your account."));
        return;
    }
    accept();
}
