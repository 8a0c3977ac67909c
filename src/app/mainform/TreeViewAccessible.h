#pragma once

// What assistive technology (a screen reader) sees of the friends and groups
// trees: the view as a tree whose children are its shown rows (the roots,
// and the children of the open roots), each a tree item with its text, its
// states (selected, focused, expandable, expanded or collapsed) and its
// rectangle; the view's rows as a table of one column; a focus event when
// the current node changes while the view has the keyboard focus, and
// selection events when the selection changes.
//
// Nothing is made per node: a row's interface is made when assistive
// technology asks for that row, found from its node as long as the node
// lives (so a buddy that moves keeps its interface), and let go with the
// node. Nothing is made and no event is sent while no assistive technology
// listens.

#include <QAccessibleWidget>
#include <QHash>
#include <QModelIndex>

#include <functional>

class TTreeNode;
class TTreeView;

class TTreeViewAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TTreeViewAccessible(TTreeView* view);
    ~TTreeViewAccessible() override;

    // Makes the trees' views known to Qt's accessibility layer (the first
    // call does; later ones do nothing).
    static void Install();

    // Whether assistive technology listens: Qt's accessibility layer is
    // active, or a listener stands in for it.
    static bool Listening();
    // Tests stand in for assistive technology: while set, the listener hears
    // the trees' events in place of Qt's accessibility layer (an empty
    // function takes it away).
    static void SetListener(std::function<void(QAccessibleEvent*)> listener);

    // The view tells of its current node and of its selection (only while
    // someone listens).
    static void CurrentChanged(TTreeView& view, const TTreeNode* current);
    static void SelectionChanged(TTreeView& view, const TTreeNode* selected,
                                 const TTreeNode* deselected);

    // QAccessibleInterface
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface: one column, a row per shown row.
    QAccessibleInterface* caption() const override;
    QAccessibleInterface* summary() const override;
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    TTreeView* View() const;
    // The interface of a node's row, made on first request.
    QAccessibleInterface* RowInterface(TTreeNode* node) const;
    // Rows whose nodes are about to go let go of their interfaces.
    void ForgetRows(const QModelIndex& parent, int first, int last) const;

    // The interfaces made so far, by node; only rows assistive technology
    // asked for.
    mutable QHash<const TTreeNode*, QAccessible::Id> rows_;
    mutable QMetaObject::Connection forget_;
};
