#pragma once

#include "engine/DimensionList.h"

#include <QDialog>
#include <QMetaType>

#include <memory>

// Rows and combo box items carry their dimension as a shared handle.
Q_DECLARE_METATYPE(std::shared_ptr<TDimensionInfo>)

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Vellinor Dimensions": the list of dimensions with Change, Add and Remove.
// It edits its own list; the caller copies it in and, on OK, back.
class TServersForm : public QDialog {
    Q_OBJECT
public:
    explicit TServersForm(QWidget* parent = nullptr);

    // The working copy the form shows and edits.
    TDimensionList& DimensionList() { return dimensionList_; }

    // Refills the rows from DimensionList, keeping the selected row's name
    // selected when a row of that name (else a row starting with it) is
    // left; otherwise the first row.
    void RefreshList();
    // Change needs a selected row, Remove a selected user-defined one.
    void UpdateButtons();

    void ChangeButtonClick();
    void AddButtonClick();
    void RemoveButtonClick();
    void ServerListviewDblClick();

    // The dimension a row stands for.
    static std::shared_ptr<TDimensionInfo> RowDimension(const QTreeWidgetItem* row);

    QTreeWidget* ServerListview;
    QPushButton* ChangeButton;
    QPushButton* AddButton;
    QPushButton* RemoveButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;

private:
    QTreeWidgetItem* SelectedRow() const;
    QTreeWidgetItem* AddRow(const std::shared_ptr<TDimensionInfo>& dimension);
    void SelectRow(QTreeWidgetItem* row);

    TDimensionList dimensionList_{nullptr};
};

// Lets the user edit `dimensions` in the list dialog, on a copy. On OK the
// list takes the edited entries in the edited order and returns true; the
// entries that were in it before are updated in place, so whoever holds one
// (an engine connected with it) sees the new values, and a removed entry
// stays valid for its holders. On Cancel the list is untouched.
bool EditDimensions(QWidget* parent, TDimensionList& dimensions);
