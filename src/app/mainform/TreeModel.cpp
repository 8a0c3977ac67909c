#include "app/mainform/TreeModel.h"

#include <algorithm>

TTreeNode::~TTreeNode() {
    qDeleteAll(children_);
}

int TTreeModel::RowOf(const TTreeNode* node) {
    if (!node->parent_) {
        return node->rootRow_;
    }
    const auto& siblings = node->parent_->children_;
    auto at = std::lower_bound(siblings.begin(), siblings.end(), node->text_,
                               [](const TTreeNode* sibling, const QString& text) {
                                   return TTreeView::SortsBefore(sibling->text_, text);
                               });
    // Only siblings of the same text can stand between: texts never
    // change, so every child is in its sorted place.
    for (; at != siblings.end() && (*at)->text_ == node->text_; ++at) {
        if (*at == node) {
            return static_cast<int>(at - siblings.begin());
        }
    }
    Q_ASSERT(false);
    return -1;
}

int TTreeModel::InsertionRow(const TTreeNode* root, const QString& text) {
    const auto& children = root->children_;
    const auto at = std::upper_bound(children.begin(), children.end(), text,
                                     [](const QString& value, const TTreeNode* child) {
                                         return TTreeView::SortsBefore(value, child->text_);
                                     });
    return static_cast<int>(at - children.begin());
}

QModelIndex TTreeModel::IndexOf(const TTreeNode* node) const {
    if (!node) {
        return {};
    }
    return createIndex(RowOf(node), 0, node);
}

TTreeNode* TTreeModel::AddRoot(const QString& caption, int image) {
    const int row = static_cast<int>(Roots.size());
    beginInsertRows(QModelIndex(), row, row);
    Roots.emplace_back(new TTreeNode(this, nullptr, caption, image));
    Roots.back()->rootRow_ = row;
    endInsertRows();
    return Roots.back().get();
}

TTreeNode* TTreeModel::AddChild(TTreeNode* root, const QString& text, int image) {
    const int row = InsertionRow(root, text);
    beginInsertRows(IndexOf(root), row, row);
    auto* node = new TTreeNode(this, root, text, image);
    root->children_.emplace(root->children_.begin() + row, node);
    endInsertRows();
    return node;
}

void TTreeModel::MoveChild(TTreeNode* child, TTreeNode* root) {
    TTreeNode* from = child->parent_;
    if (from == root) {
        return;
    }
    const int fromRow = RowOf(child);
    const int toRow = InsertionRow(root, child->text_);
    beginMoveRows(IndexOf(from), fromRow, fromRow, IndexOf(root), toRow);
    from->children_.erase(from->children_.begin() + fromRow);
    child->parent_ = root;
    root->children_.insert(root->children_.begin() + toRow, child);
    endMoveRows();
}

void TTreeModel::DeleteChild(TTreeNode* child) {
    TTreeNode* root = child->parent_;
    const int row = RowOf(child);
    beginRemoveRows(IndexOf(root), row, row);
    root->children_.erase(root->children_.begin() + row);
    endRemoveRows();
    // Freed once the views have let go of it.
    delete child;
}

void TTreeModel::DeleteChildren(TTreeNode* root) {
    if (root->children_.empty()) {
        return;
    }
    beginRemoveRows(IndexOf(root), 0, root->ChildCount() - 1);
    const std::vector<TTreeNode*> owned = std::move(root->children_);
    root->children_.clear();
    endRemoveRows();
    qDeleteAll(owned);
}

void TTreeModel::SetImage(TTreeNode* node, int image) {
    if (node->image_ == image) {
        return;
    }
    node->image_ = image;
    const QModelIndex index = IndexOf(node);
    Q_EMIT dataChanged(index, index, {Qt::DecorationRole, TTreeView::ImageIndexRole});
}

QModelIndex TTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return {};
    }
    if (!parent.isValid()) {
        return row < static_cast<int>(Roots.size())
                   ? createIndex(row, 0, Roots[static_cast<size_t>(row)].get())
                   : QModelIndex();
    }
    const TTreeNode* root = NodeOf(parent);
    return row < root->ChildCount() ? createIndex(row, 0, root->Child(row)) : QModelIndex();
}

QModelIndex TTreeModel::parent(const QModelIndex& child) const {
    const TTreeNode* node = child.isValid() ? NodeOf(child) : nullptr;
    if (!node || !node->parent_) {
        return {};
    }
    return createIndex(node->parent_->rootRow_, 0, node->parent_);
}

int TTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return static_cast<int>(Roots.size());
    }
    const TTreeNode* node = NodeOf(parent);
    return parent.column() == 0 && !node->parent_ ? node->ChildCount() : 0;
}

QVariant TTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const TTreeNode* node = NodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return node->text_;
    case Qt::DecorationRole:
        if (node->image_ >= 0 && node->image_ < static_cast<int>(Images.size())) {
            return Images[static_cast<size_t>(node->image_)];
        }
        return {};
    case TTreeView::ImageIndexRole:
        return node->image_;
    default:
        return {};
    }
}

Qt::ItemFlags TTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (NodeOf(index)->parent_) {
        flags |= Qt::ItemNeverHasChildren;
    }
    return flags;
}
