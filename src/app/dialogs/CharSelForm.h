#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

// "Character Selection": the account's characters to log in with. OK accepts
// only a name of the list (letter case ignored).
class TCharSelForm : public QDialog {
    Q_OBJECT
public:
    explicit TCharSelForm(QWidget* parent = nullptr);

    // Fills the combo box with the names (kept sorted, letter case ignored)
    // and selects the one equal to `lastCharacter` ignoring case, else the
    // first.
    void SetCharacters(const QStringList& names, const QString& lastCharacter);
    // The character chosen: the combo box's text.
    QString Character() const;

    // Closes with Accepted when the text names a listed character; otherwise
    // an error box and the dialog stays open.
    void Button2Click();

    QComboBox* CharacterCombobox;
    QPushButton* Button2; // "Ok"
    QPushButton* Button1; // "Cancel"
};
