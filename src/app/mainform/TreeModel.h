#pragma once

#include "app/mainform/TreeView.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <memory>
#include <vector>

// The nodes as an item model: roots at the top level, their children below.
// An index points at its node; a child's row is found among its sorted
// siblings. Only the tree view uses it.
class TTreeModel final : public QAbstractItemModel {
public:
    explicit TTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

    std::vector<std::unique_ptr<TTreeNode>> Roots;
    std::vector<QIcon> Images;

    static TTreeNode* NodeOf(const QModelIndex& index) {
        return static_cast<TTreeNode*>(index.internalPointer());
    }
    // A root's place among the roots, a child's among its siblings.
    static int RowOf(const TTreeNode* node);
    // Where a child with this text goes: after every child that does not
    // sort after it.
    static int InsertionRow(const TTreeNode* root, const QString& text);
    QModelIndex IndexOf(const TTreeNode* node) const;

    // Changes, each announced to the views as the rows it moves.
    TTreeNode* AddRoot(const QString& caption, int image);
    TTreeNode* AddChild(TTreeNode* root, const QString& text, int image);
    void MoveChild(TTreeNode* child, TTreeNode* root);
    void DeleteChild(TTreeNode* child);
    void DeleteChildren(TTreeNode* root);
    void SetImage(TTreeNode* node, int image);

    QModelIndex index(int row, int column, const QModelIndex& parent) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex&) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
};
