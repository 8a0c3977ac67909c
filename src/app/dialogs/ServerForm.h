#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TDimensionInfo;
class TDimensionList;
class TQvIntegerEdit;

// "Dimension Details": name, description, host and port of one dimension.
// OK closes the dialog only when the values pass the checks; the caller
// takes the values from the fields.
class TServerForm : public QDialog {
    Q_OBJECT
public:
    // The range of ports a dimension may use.
    static constexpr int64_t kMinPort = 1;
    static constexpr int64_t kMaxPort = 65535;

    explicit TServerForm(QWidget* parent = nullptr);

    // The list the dimension belongs to (or will be added to) and the entry
    // being edited (null for a new one): OK refuses a name another entry of
    // the list already has. Without a list there is no such check.
    void SetDuplicateCheck(const TDimensionList* list, const TDimensionInfo* self);

    // Checks the fields in order and closes with Accepted when all pass;
    // otherwise an information box names the problem, the focus goes to the
    // field and the dialog stays open.
    void OkButtonClick();

    QLabel* TitleLabel;
    QLineEdit* NameEdit;
    QPlainTextEdit* DescMemo;
    QLineEdit* HostEdit;
    TQvIntegerEdit* PortEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* ApplyButton;

private:
    bool NameTaken(const QString& name) const;

    const TDimensionList* list_ = nullptr;
    const TDimensionInfo* self_ = nullptr;
};

// Asks for a new dimension ("New Dimension", port 7012) in the details
// dialog. Returns the new user-defined entry (Tag 0) with the values as
// typed, or null on Cancel; the caller appends it to a list. `list` is the
// list it will join, for the name check (may be null).
std::shared_ptr<TDimensionInfo> NewDimension(QWidget* parent, const TDimensionList* list);
