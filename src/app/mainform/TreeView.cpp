#include "app/mainform/TreeView.h"

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/TreeModel.h"
#include "app/mainform/TreeViewAccessible.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <memory>

// --- the view -------------------------------------------------------------------

TTreeView::TTreeView(QWidget* parent) : QAbstractItemView(parent), model_(new TTreeModel(this)) {
    // Assistive technology finds the rows through an interface of our own:
    // Qt's knows only its own views.
    TTreeViewAccessible::Install();
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Texts too long for the width are shortened; nothing scrolls sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    font_.font = font();
    connect(this, &QAbstractItemView::iconSizeChanged, this, [this] {
        rowHeight_ = 0;
        ScheduleRefresh(true);
    });
    // A child moving to another root leaves one place and takes another: the
    // places are noted here, and the item view's own answer to a move (a
    // layout of everything, one event-loop turn later) is not wanted.
    disconnect(model_, &QAbstractItemModel::rowsMoved, this, nullptr);
    connect(model_, &QAbstractItemModel::rowsAboutToBeMoved, this,
            [this](const QModelIndex& from, int start, int, const QModelIndex& to, int row) {
                NoteChildren(from, start, model_->rowCount(from) == 1);
                NoteChildren(to, row, model_->rowCount(to) == 0);
            });
}

void TTreeView::SetFont(const plat::ColoredFont& value) {
    font_ = value;
    setFont(value.font);
    dlg::SetTextColor(*this, value.color);
}

void TTreeView::SetColor(plat::TColor value) {
    color_ = value;
    plat::SetControlColor(*this, value);
}

void TTreeView::SetImages(std::vector<QIcon> images) {
    model_->Images = std::move(images);
    rowHeight_ = 0;
    ScheduleRefresh(true);
}

bool TTreeView::SortsBefore(const QString& a, const QString& b) {
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order < 0 || (order == 0 && a < b);
}

TTreeNode* TTreeView::AddRoot(const QString& caption, int image) {
    return model_->AddRoot(caption, image);
}

int TTreeView::RootCount() const {
    return static_cast<int>(model_->Roots.size());
}

TTreeNode* TTreeView::Root(int index) const {
    return index >= 0 && index < RootCount() ? model_->Roots[static_cast<size_t>(index)].get()
                                             : nullptr;
}

TTreeNode* TTreeView::AddChild(TTreeNode* root, const QString& text, int image) {
    Q_ASSERT(root && !root->parent_ && root->model_ == model_);
    return model_->AddChild(root, text, image);
}

void TTreeView::MoveChild(TTreeNode* child, TTreeNode* root) {
    Q_ASSERT(child->parent_ && !root->parent_ && root->model_ == model_);
    model_->MoveChild(child, root);
}

void TTreeView::DeleteChild(TTreeNode* child) {
    Q_ASSERT(child->parent_ && child->model_ == model_);
    model_->DeleteChild(child);
}

void TTreeView::DeleteChildren(TTreeNode* root) {
    Q_ASSERT(!root->parent_ && root->model_ == model_);
    model_->DeleteChildren(root);
}

void TTreeView::SetNodeImage(TTreeNode* node, int image) {
    node->model_->SetImage(node, image);
}

bool TTreeView::IsExpanded(const TTreeNode* root) const {
    return root->expanded_;
}

void TTreeView::SetExpanded(TTreeNode* root, bool expanded) {
    if (root->parent_ || root->expanded_ == expanded) {
        return;
    }
    root->expanded_ = expanded;
    // Shown at once: it happens once per root, or at the user's hand.
    repaint_ = true;
    Refresh();
}

// --- rows -------------------------------------------------------------------------

int TTreeView::RowCount() const {
    int rows = 0;
    for (const auto& root : model_->Roots) {
        rows += 1 + (root->expanded_ ? root->ChildCount() : 0);
    }
    return rows;
}

int TTreeView::RowHeight() const {
    if (rowHeight_ > 0) {
        return rowHeight_;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int least = std::max({1, option.decorationSize.height(), option.fontMetrics.height()});
    // Measured on the first root, kept until the font, style or icons change.
    const QModelIndex probe = model_->index(0, 0, QModelIndex());
    if (!probe.isValid()) {
        return least;
    }
    rowHeight_ = std::max(least, itemDelegate()->sizeHint(option, probe).height());
    return rowHeight_;
}

int TTreeView::RowOf(const TTreeNode* node) const {
    const TTreeNode* root = node->parent_ ? node->parent_ : node;
    int row = 0;
    for (const auto& other : model_->Roots) {
        if (other.get() == root) {
            break;
        }
        row += 1 + (other->expanded_ ? other->ChildCount() : 0);
    }
    if (node == root) {
        return row;
    }
    return root->expanded_ ? row + 1 + TTreeModel::RowOf(node) : -1;
}

TTreeNode* TTreeView::NodeOfRow(int row) const {
    return NodeOf(IndexOfRow(row));
}

QModelIndex TTreeView::IndexOfRow(int row) const {
    if (row < 0) {
        return {};
    }
    for (int rootRow = 0; rootRow < RootCount(); ++rootRow) {
        const QModelIndex root = model_->index(rootRow, 0, QModelIndex());
        if (row == 0) {
            return root;
        }
        --row;
        const TTreeNode* node = TTreeModel::NodeOf(root);
        const int shown = node->expanded_ ? node->ChildCount() : 0;
        if (row < shown) {
            return model_->index(row, 0, root);
        }
        row -= shown;
    }
    return {};
}

int TTreeView::RowAtY(int y) const {
    const int contentY = y + verticalOffset();
    return contentY < 0 ? -1 : contentY / RowHeight();
}

QModelIndex TTreeView::IndexOf(const TTreeNode* node) const {
    return model_->IndexOf(node);
}

TTreeNode* TTreeView::NodeOf(const QModelIndex& index) {
    return index.isValid() ? TTreeModel::NodeOf(index) : nullptr;
}

QRect TTreeView::RowRect(int row, const TTreeNode* node) const {
    const int indent = style()->pixelMetric(QStyle::PM_TreeViewIndentation, nullptr, this);
    const int x = (node->parent_ ? 2 : 1) * indent;
    const int height = RowHeight();
    return {x, row * height - verticalOffset(), std::max(0, viewport()->width() - x), height};
}

TTreeNode* TTreeView::NodeAt(QPoint pos) const {
    return NodeOf(indexAt(pos));
}

QRect TTreeView::NodeRect(const TTreeNode* node) const {
    const int row = node ? RowOf(node) : -1;
    return row < 0 ? QRect() : RowRect(row, node);
}

QRect TTreeView::NodeIconRect(const TTreeNode* node) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = NodeRect(node);
    option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.icon = model_->data(IndexOf(node), Qt::DecorationRole).value<QIcon>();
    option.text = node->text_;
    return style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
}

TTreeNode* TTreeView::CurrentNode() const {
    return NodeOf(currentIndex());
}

TTreeNode* TTreeView::SelectedNode() const {
    const QItemSelection selection = selectionModel()->selection();
    return selection.isEmpty() ? nullptr : NodeOf(selection.first().topLeft());
}

bool TTreeView::IsSelected(const TTreeNode* node) const {
    return selectionModel()->isSelected(IndexOf(node));
}

void TTreeView::SelectNode(TTreeNode* node) {
    setCurrentIndex(IndexOf(node));
}

void TTreeView::ScrollToNode(const TTreeNode* node) {
    scrollTo(IndexOf(node));
}

// --- what the item view asks -------------------------------------------------------

QRect TTreeView::visualRect(const QModelIndex& index) const {
    return NodeRect(NodeOf(index));
}

void TTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    TTreeNode* node = NodeOf(index);
    if (!node) {
        return;
    }
    if (node->parent_ && state() == NoState) {
        SetExpanded(node->parent_, true);
    }
    const int row = RowOf(node);
    if (row < 0) {
        return;
    }
    const int height = RowHeight();
    const int top = row * height;
    const int shown = viewport()->height();
    int value = verticalOffset();
    switch (hint) {
    case EnsureVisible:
        if (top < value) {
            value = top;
        } else if (top + height > value + shown) {
            value = top + height - shown;
        }
        break;
    case PositionAtTop:
        value = top;
        break;
    case PositionAtBottom:
        value = top + height - shown;
        break;
    case PositionAtCenter:
        value = top - (shown - height) / 2;
        break;
    }
    updateGeometries();
    verticalScrollBar()->setValue(value);
}

QModelIndex TTreeView::indexAt(const QPoint& point) const {
    if (point.x() < 0 || point.x() >= viewport()->width()) {
        return {};
    }
    return IndexOfRow(RowAtY(point.y()));
}

// The item view asks for this after children moved (their places are noted
// before) and when its own settings change (each noted where it changes).
void TTreeView::doItemsLayout() {
    ScheduleRefresh(false);
}

void TTreeView::keyboardSearch(const QString& search) {
    if (search.isEmpty()) {
        return;
    }
    // Letters typed in quick succession make one text; a new text starts
    // after the current node, a longer one at it.
    const bool more = typedAt_.isValid() && !typed_.isEmpty() &&
                      typedAt_.elapsed() < QApplication::keyboardInputInterval();
    typed_ = more ? typed_ + search : search;
    typedAt_.start();
    const int rows = RowCount();
    const TTreeNode* current = CurrentNode();
    const int currentRow = current ? RowOf(current) : -1;
    const int start = std::max(0, more ? currentRow : currentRow + 1);
    for (int i = 0; i < rows; ++i) {
        TTreeNode* node = NodeOfRow((start + i) % rows);
        if (node->text_.startsWith(typed_, Qt::CaseInsensitive)) {
            SelectNode(node);
            return;
        }
    }
}

QModelIndex TTreeView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    const int last = RowCount() - 1;
    TTreeNode* current = CurrentNode();
    // A child of a collapsed root moves from its root.
    int row = current ? RowOf(current) : -1;
    if (current && row < 0) {
        current = current->parent_;
        row = RowOf(current);
    }
    if (!current) {
        return IndexOfRow(0);
    }
    const int page = std::max(1, viewport()->height() / RowHeight());
    int target = row;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        target = row - 1;
        break;
    case MoveDown:
    case MoveNext:
        target = row + 1;
        break;
    case MovePageUp:
        target = row - page;
        break;
    case MovePageDown:
        target = row + page;
        break;
    case MoveHome:
        target = 0;
        break;
    case MoveEnd:
        target = last;
        break;
    case MoveLeft:
        // A root closes; a child goes to its root.
        if (!current->parent_) {
            SetExpanded(current, false);
            return IndexOf(current);
        }
        return IndexOf(current->parent_);
    case MoveRight:
        // A root opens, then goes to its first child.
        if (!current->Expandable()) {
            return IndexOf(current);
        }
        if (!current->expanded_) {
            SetExpanded(current, true);
            return IndexOf(current);
        }
        return IndexOf(current->Child(0));
    }
    return IndexOfRow(std::clamp(target, 0, std::max(0, last)));
}

int TTreeView::horizontalOffset() const {
    return 0;
}

int TTreeView::verticalOffset() const {
    return verticalScrollBar()->value();
}

bool TTreeView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void TTreeView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const QRect area = rect.normalized();
    const int last = RowCount() - 1;
    const int top = std::max(0, RowAtY(area.top()));
    const int bottom = std::min(last, RowAtY(area.bottom()));
    QItemSelection selection;
    for (int row = top; row <= bottom; ++row) {
        const QModelIndex index = IndexOfRow(row);
        // Rows of one parent join the range before them.
        if (!selection.isEmpty() && selection.last().parent() == index.parent() &&
            selection.last().bottom() + 1 == index.row()) {
            selection.last() = QItemSelectionRange(selection.last().topLeft(), index);
        } else {
            selection.append(QItemSelectionRange(index));
        }
    }
    if (selection.isEmpty() && !(command & QItemSelectionModel::Clear)) {
        return;
    }
    selectionModel()->select(selection, command);
}

QRegion TTreeView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const QRect top = visualRect(range.topLeft());
        const QRect bottom = visualRect(range.bottomRight());
        if (top.isValid() && bottom.isValid()) {
            region += QRect(0, top.top(), viewport()->width(), bottom.bottom() - top.top() + 1);
        }
    }
    return region;
}

// --- changes ---------------------------------------------------------------------------

void TTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                            const QList<int>&) {
    if (topLeft == bottomRight) {
        const TTreeNode* node = NodeOf(topLeft);
        NoteChange(node ? RowOf(node) : -1, false);
    } else {
        ScheduleRefresh(true);
    }
}

void TTreeView::rowsInserted(const QModelIndex& parent, int start, int end) {
    // The rows are in place: the first one stands where the change began.
    const bool first = parent.isValid() && model_->rowCount(parent) == end - start + 1;
    NoteChildren(parent, start, first);
}

void TTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    // The item view moves the current index off the rows.
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    NoteChildren(parent, start, parent.isValid() && model_->rowCount(parent) == end - start + 1);
}

void TTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The item view shows the new current node first (opening its root).
    QAbstractItemView::currentChanged(current, previous);
    if (TTreeViewAccessible::Listening()) {
        TTreeViewAccessible::CurrentChanged(*this, NodeOf(current));
    }
}

void TTreeView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    if (TTreeViewAccessible::Listening()) {
        const auto first = [](const QItemSelection& selection) {
            return selection.isEmpty() ? nullptr : NodeOf(selection.first().topLeft());
        };
        TTreeViewAccessible::SelectionChanged(*this, first(selected), first(deselected));
    }
}

void TTreeView::NoteChildren(const QModelIndex& parent, int start, bool firstOrLast) {
    TTreeNode* root = NodeOf(parent);
    if (!root) {
        ScheduleRefresh(true); // a root
        return;
    }
    if (root->expanded_) {
        NoteChange(RowOf(root) + 1 + start, true);
    } else if (firstOrLast) {
        // Only the root's branch shows whether it has children.
        NoteChange(RowOf(root), false);
    }
}

void TTreeView::NoteChange(int row, bool shifts) {
    if (row < 0) {
        return;
    }
    const int first = RowAtY(0);
    const int last = RowAtY(viewport()->height() - 1);
    ScheduleRefresh(row <= last && (shifts || row >= first));
}

void TTreeView::ScheduleRefresh(bool repaint) {
    repaint_ = repaint_ || repaint;
    if (!refresh_.isActive()) {
        refresh_.start(RefreshInterval, this);
    }
}

void TTreeView::Refresh() {
    refresh_.stop();
    updateGeometries();
    if (repaint_) {
        repaint_ = false;
        viewport()->update();
    }
}

void TTreeView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == refresh_.timerId()) {
        Refresh();
        return;
    }
    QAbstractItemView::timerEvent(event);
}

void TTreeView::updateGeometries() {
    const int height = RowHeight();
    const int shown = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(height);
    bar->setPageStep(shown);
    bar->setRange(0, std::max(0, RowCount() * height - shown));
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void TTreeView::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy);
}

// --- painting ---------------------------------------------------------------------------

void TTreeView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QRect area = event->rect();
    const int first = std::max(0, RowAtY(area.top()));
    const int last = std::min(RowCount() - 1, RowAtY(area.bottom()));
    for (int row = first; row <= last; ++row) {
        DrawRow(painter, option, row, IndexOfRow(row));
    }
}

void TTreeView::DrawRow(QPainter& painter, QStyleOptionViewItem option, int row,
                        const QModelIndex& index) {
    const QRect itemRect = RowRect(row, NodeOf(index));
    if (selectionModel()->isSelected(index)) {
        option.state |= QStyle::State_Selected;
    }
    if (hasFocus() && index == currentIndex()) {
        option.state |= QStyle::State_HasFocus;
    }
    option.showDecorationSelected =
        style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, nullptr, this) != 0;
    option.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    // The row's own background (the selection across the branches, where the
    // style shows it so), the branches, the item.
    option.rect = QRect(0, itemRect.top(), viewport()->width(), itemRect.height());
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
    DrawBranches(painter, QRect(0, itemRect.top(), itemRect.left(), itemRect.height()), index);
    option.rect = itemRect;
    itemDelegateForIndex(index)->paint(&painter, option, index);
}

void TTreeView::DrawBranches(QPainter& painter, const QRect& rowRect, const QModelIndex& index) {
    const TTreeNode* node = NodeOf(index);
    QStyleOption option;
    option.initFrom(this);
    const QStyle::State plain = option.state & ~QStyle::State_HasFocus;
    const int indent = style()->pixelMetric(QStyle::PM_TreeViewIndentation, nullptr, this);
    const TTreeNode* root = node->parent_ ? node->parent_ : node;
    const bool rootFollows = root->rootRow_ + 1 < RootCount();
    option.rect = QRect(rowRect.left(), rowRect.top(), indent, rowRect.height());
    if (node == root) {
        option.state = plain | QStyle::State_Item;
        option.state |= rootFollows ? QStyle::State_Sibling : QStyle::State_None;
        option.state |= root->ChildCount() > 0 ? QStyle::State_Children : QStyle::State_None;
        option.state |= root->expanded_ ? QStyle::State_Open : QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
        return;
    }
    // The line of the roots that follow passes by; then the child's own branch.
    if (rootFollows) {
        option.state = plain | QStyle::State_Sibling;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
    }
    option.rect.translate(indent, 0);
    option.state = plain | QStyle::State_Item;
    if (index.row() + 1 < root->ChildCount()) {
        option.state |= QStyle::State_Sibling;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
}

// --- mouse and keys ----------------------------------------------------------------------

bool TTreeView::OnBranch(const TTreeNode* node, QPoint pos) const {
    const int indent = style()->pixelMetric(QStyle::PM_TreeViewIndentation, nullptr, this);
    return node->Expandable() && pos.x() >= 0 && pos.x() < indent;
}

bool TTreeView::ToggleExpanded(TTreeNode* root) {
    if (!root->Expandable()) {
        return false;
    }
    SetExpanded(root, !root->expanded_);
    return true;
}

void TTreeView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        TTreeNode* node = NodeAt(pos);
        // A click on a root's branch opens or closes it and selects nothing.
        if (node && OnBranch(node, pos) && ToggleExpanded(node)) {
            event->accept();
            return;
        }
    }
    QAbstractItemView::mousePressEvent(event);
}

void TTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    TTreeNode* node = NodeAt(pos);
    if (node && OnBranch(node, pos)) {
        return;
    }
    QAbstractItemView::mouseDoubleClickEvent(event);
    // A double click on a root opens or closes it (what the click did may
    // have changed the nodes).
    node = NodeAt(pos);
    if (event->button() == Qt::LeftButton && node && !node->parent_) {
        ToggleExpanded(node);
    }
}

void TTreeView::keyPressEvent(QKeyEvent* event) {
    TTreeNode* current = CurrentNode();
    if (current && !current->parent_ &&
        (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus)) {
        SetExpanded(current, event->key() == Qt::Key_Plus);
        event->accept();
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

void TTreeView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        rowHeight_ = 0;
        ScheduleRefresh(true);
    }
    QAbstractItemView::changeEvent(event);
}
