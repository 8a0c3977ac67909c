#include "app/mainform/TreeViewAccessible.h"

#include "app/mainform/TreeModel.h"
#include "app/mainform/TreeView.h"

#include <QAccessible>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace {

// A shown row of a tree: its node's text, states and rectangle. The node
// lives as long as this interface does: the view's interface lets go of it
// before the node goes.
class TTreeRowAccessible final : public QAccessibleInterface,
                                 public QAccessibleTableCellInterface,
                                 public QAccessibleActionInterface {
public:
    TTreeRowAccessible(TTreeView* view, const TTreeNode* node) : view_(view), node_(node) {}

    TTreeView* View() const { return view_; }
    const TTreeNode* Node() const { return node_; }

    bool isValid() const override {
        const QAccessibleInterface* table = Table();
        return table && table->isValid();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        QAccessibleInterface* table = Table();
        return table ? table->window() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return Table(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Name && view_ ? node_->Text() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::TreeItem; }

    // In screen coordinates; empty while the row is not shown.
    QRect rect() const override {
        const QRect local = view_ ? view_->NodeRect(node_) : QRect();
        return local.isNull() ? QRect()
                              : local.translated(view_->viewport()->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!view_) {
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = view_->IsSelected(node_);
        state.focused = view_->CurrentNode() == node_;
        if (node_->Expandable()) {
            const bool open = view_->IsExpanded(node_);
            state.expandable = true;
            state.expanded = open;
            state.collapsed = !open;
        }
        // Scrolled out of the view, or a child of a closed root.
        const QWidget* viewport = view_->viewport();
        const QRect shown(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
        state.invisible = !shown.intersects(rect());
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface) {
            return static_cast<QAccessibleTableCellInterface*>(this);
        }
        if (type == QAccessible::ActionInterface) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return view_ && view_->IsSelected(node_); }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return view_ ? view_->RowOf(node_) : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return Table(); }

    // QAccessibleActionInterface: toggling selects the row (as in any tree
    // of one selection, the selected row stays selected).
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& name) override {
        if (name == toggleAction() && view_ && !view_->IsSelected(node_)) {
            view_->SelectNode(const_cast<TTreeNode*>(node_));
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAccessibleInterface* Table() const {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }

    QPointer<TTreeView> view_;
    const TTreeNode* node_;
};

std::function<void(QAccessibleEvent*)>& Listener() {
    static std::function<void(QAccessibleEvent*)> listener;
    return listener;
}

void Notify(QAccessibleEvent* event) {
    if (Listener()) {
        Listener()(event);
    } else {
        QAccessible::updateAccessibility(event);
    }
}

// An event about a node's row; none for a node that is not shown.
void NotifyRow(TTreeView& view, const TTreeNode* node, QAccessible::Event type) {
    const int row = node ? view.RowOf(node) : -1;
    if (row < 0) {
        return;
    }
    QAccessibleEvent event(&view, type);
    event.setChild(row);
    Notify(&event);
}

QAccessibleInterface* MakeTreeViewAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(TTreeView::staticMetaObject.className())) {
        return nullptr;
    }
    auto* view = qobject_cast<TTreeView*>(object);
    return view ? new TTreeViewAccessible(view) : nullptr;
}

} // namespace

TTreeViewAccessible::TTreeViewAccessible(TTreeView* view)
    : QAccessibleWidget(view, QAccessible::Tree) {}

TTreeViewAccessible::~TTreeViewAccessible() {
    QObject::disconnect(forget_);
    for (const QAccessible::Id id : std::as_const(rows_)) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

void TTreeViewAccessible::Install() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&MakeTreeViewAccessible);
        return true;
    }();
}

bool TTreeViewAccessible::Listening() {
    return Listener() || QAccessible::isActive();
}

void TTreeViewAccessible::SetListener(std::function<void(QAccessibleEvent*)> listener) {
    Listener() = std::move(listener);
}

void TTreeViewAccessible::CurrentChanged(TTreeView& view, const TTreeNode* current) {
    // Assistive technology follows the keyboard focus: a current node
    // elsewhere is not announced.
    if (view.hasFocus()) {
        NotifyRow(view, current, QAccessible::Focus);
    }
}

void TTreeViewAccessible::SelectionChanged(TTreeView& view, const TTreeNode* selected,
                                           const TTreeNode* deselected) {
    NotifyRow(view, selected, QAccessible::SelectionAdd);
    NotifyRow(view, deselected, QAccessible::SelectionRemove);
}

TTreeView* TTreeViewAccessible::View() const {
    return static_cast<TTreeView*>(widget());
}

QAccessibleInterface* TTreeViewAccessible::RowInterface(TTreeNode* node) const {
    const auto found = rows_.constFind(node);
    if (found != rows_.cend()) {
        return QAccessible::accessibleInterface(*found);
    }
    if (!forget_) {
        TTreeView* view = View();
        forget_ = QObject::connect(view->model(), &QAbstractItemModel::rowsAboutToBeRemoved, view,
                                   [this](const QModelIndex& parent, int first, int last) {
                                       ForgetRows(parent, first, last);
                                   });
    }
    auto* row = new TTreeRowAccessible(View(), node);
    rows_.insert(node, QAccessible::registerAccessibleInterface(row));
    return row;
}

void TTreeViewAccessible::ForgetRows(const QModelIndex& parent, int first, int last) const {
    const QAbstractItemModel* model = View()->model();
    for (int row = first; row <= last && !rows_.isEmpty(); ++row) {
        const TTreeNode* node = TTreeModel::NodeOf(model->index(row, 0, parent));
        if (const QAccessible::Id id = rows_.take(node)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
}

// --- the rows as children ---------------------------------------------------------

int TTreeViewAccessible::childCount() const {
    return View()->RowCount();
}

QAccessibleInterface* TTreeViewAccessible::child(int index) const {
    TTreeNode* node = View()->NodeOfRow(index);
    return node ? RowInterface(node) : nullptr;
}

int TTreeViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* row = dynamic_cast<const TTreeRowAccessible*>(child);
    return row && row->View() == View() ? View()->RowOf(row->Node()) : -1;
}

QAccessibleInterface* TTreeViewAccessible::childAt(int x, int y) const {
    const QWidget* viewport = View()->viewport();
    const QPoint local = viewport->mapFromGlobal(QPoint(x, y));
    TTreeNode* node = viewport->rect().contains(local) ? View()->NodeAt(local) : nullptr;
    return node ? RowInterface(node) : nullptr;
}

QAccessibleInterface* TTreeViewAccessible::focusChild() const {
    TTreeNode* current = View()->CurrentNode();
    return current && View()->RowOf(current) >= 0 ? RowInterface(current) : nullptr;
}

void* TTreeViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) {
        return static_cast<QAccessibleTableInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

// --- the rows as a table of one column ----------------------------------------------

QAccessibleInterface* TTreeViewAccessible::caption() const {
    return nullptr;
}

QAccessibleInterface* TTreeViewAccessible::summary() const {
    return nullptr;
}

QAccessibleInterface* TTreeViewAccessible::cellAt(int row, int column) const {
    return column == 0 ? child(row) : nullptr;
}

int TTreeViewAccessible::selectedCellCount() const {
    return selectedRowCount();
}

QList<QAccessibleInterface*> TTreeViewAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    for (const int row : selectedRows()) {
        cells << child(row);
    }
    return cells;
}

QString TTreeViewAccessible::columnDescription(int) const {
    return {};
}

QString TTreeViewAccessible::rowDescription(int) const {
    return {};
}

int TTreeViewAccessible::selectedColumnCount() const {
    return 0;
}

int TTreeViewAccessible::selectedRowCount() const {
    return static_cast<int>(selectedRows().size());
}

int TTreeViewAccessible::columnCount() const {
    return 1;
}

int TTreeViewAccessible::rowCount() const {
    return View()->RowCount();
}

QList<int> TTreeViewAccessible::selectedColumns() const {
    return {};
}

// The selected node's row, unless it is a child of a closed root.
QList<int> TTreeViewAccessible::selectedRows() const {
    const TTreeNode* selected = View()->SelectedNode();
    const int row = selected ? View()->RowOf(selected) : -1;
    return row < 0 ? QList<int>() : QList<int>{row};
}

bool TTreeViewAccessible::isColumnSelected(int) const {
    return false;
}

bool TTreeViewAccessible::isRowSelected(int row) const {
    const TTreeNode* node = View()->NodeOfRow(row);
    return node && View()->IsSelected(node);
}

bool TTreeViewAccessible::selectRow(int row) {
    TTreeNode* node = View()->NodeOfRow(row);
    if (!node) {
        return false;
    }
    View()->SelectNode(node);
    return true;
}

bool TTreeViewAccessible::selectColumn(int) {
    return false;
}

// The tree keeps one selected row; as the user, assistive technology moves
// it elsewhere rather than taking it away.
bool TTreeViewAccessible::unselectRow(int) {
    return false;
}

bool TTreeViewAccessible::unselectColumn(int) {
    return false;
}

// Rows are found from their nodes whenever asked, and the interfaces made
// so far are let go with their nodes: nothing is kept by row number.
void TTreeViewAccessible::modelChange(QAccessibleTableModelChangeEvent*) {}
