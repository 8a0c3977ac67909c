#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TDimensionInfo;
class TDimensionList;
class TLogins;

// "ZELVO Login": user name (from the stored logins, with the remembered
// password), password, whether to remember it, and the dimension to connect
// to. The dimension list can be managed from here; it is edited in place.
class TLoginForm : public QDialog {
    Q_OBJECT
public:
    // `dimensions` is the list connections use; `lastUser` and
    // `lastDimension` are the user and the dimension name of the last
    // connection. The lists must outlive the dialog.
    TLoginForm(TDimensionList& dimensions, const TLogins& logins, const QString& lastUser,
               const QString& lastDimension, QWidget* parent = nullptr);

    // The choice, read after the dialog was accepted.
    std::shared_ptr<TDimensionInfo> Dimension() const;
    QString UserName() const;
    QString Password() const;
    bool SavePassword() const;

    // The stored user names, the last user and its remembered password.
    void LoadUsers();
    // Refills the dimensions from the list, keeping the chosen name chosen
    // when it is still there (else the first).
    void LoadDimensions();
    // With a user name given, the password is what is typed next.
    void FormActivate();
    // The remembered password of the user named, or none.
    void UserComboboxChange();
    // A new dimension when there is none, else the list dialog.
    void ManageDimensions();
    void SpeedButton1Click() { ManageDimensions(); }
    // OK: refuses an empty user name or password (information box, focus),
    // else accepts.
    void OkButtonClick();

    QComboBox* UserCombobox;
    QLineEdit* PasswordEdit;
    QCheckBox* SaveCheckbox;
    QComboBox* DimensionCombobox;
    QToolButton* SpeedButton1;
    QPushButton* Button2; // "OK"
    QPushButton* Button1; // "Cancel"
    QLabel* StaticText1;
    QPlainTextEdit* Memo1;

protected:
    void changeEvent(QEvent* event) override;

private:
    void CreateControls();
    void LayOutControls();
    void UpdateOkButton();

    TDimensionList& dimensions_;
    const TLogins& logins_;
    QString lastUser_;
};
