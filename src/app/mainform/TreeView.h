#pragma once

// The view of the friends and groups trees: roots in the order they were
// added, each with children kept in alphabetical order, every node with a
// text and an image index.
//
// A tree may hold tens of thousands of children that come and go and change
// their image many times a second. Nothing here is laid out per node: all
// rows have one height, so a row's place is arithmetic over the roots, and a
// child's row is found by binary search among its sorted siblings. A change
// costs the same whatever the number of nodes. Changes made in a burst are
// shown together, at most once per refresh interval, and the shown rows are
// painted again only when a change reached them.

#include "platform/gui/Colors.h"
#include "platform/gui/Drawing.h"

#include <QAbstractItemView>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QIcon>
#include <QString>

#include <vector>

class TTreeModel;

// A root or a child of the tree. Nodes belong to their view; only the view
// changes them.
class TTreeNode {
public:
    ~TTreeNode();
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    const QString& Text() const { return text_; }
    int Image() const { return image_; }
    // The root of a child; nullptr for a root.
    TTreeNode* Parent() const { return parent_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    TTreeNode* Child(int row) const { return children_[static_cast<size_t>(row)]; }
    // A root with children, which opens and closes.
    bool Expandable() const { return !parent_ && !children_.empty(); }

private:
    friend class TTreeModel;
    friend class TTreeView;

    TTreeNode(TTreeModel* model, TTreeNode* parent, const QString& text, int image)
        : model_(model), parent_(parent), text_(text), image_(image) {}

    TTreeModel* model_;
    TTreeNode* parent_;
    QString text_;
    int image_;
    // Owned. Plain pointers, so that a child coming or going moves the
    // others in one block copy.
    std::vector<TTreeNode*> children_;
    int rootRow_ = 0;       // a root's place among the roots
    bool expanded_ = false; // roots only
};

class TTreeView : public QAbstractItemView {
    Q_OBJECT
public:
    // The model role that holds a node's image index.
    static constexpr int ImageIndexRole = Qt::UserRole + 1;
    // At most one refresh of the shown rows per this many milliseconds while
    // nodes change.
    static constexpr int RefreshInterval = 20;

    explicit TTreeView(QWidget* parent = nullptr);

    const plat::ColoredFont& Font() const { return font_; }
    void SetFont(const plat::ColoredFont& value);
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);

    // The icons shown for the image indexes (an index without one shows none).
    void SetImages(std::vector<QIcon> images);

    // The order of the children: alphabetical without regard to case, and
    // exactly between texts that differ only in case.
    static bool SortsBefore(const QString& a, const QString& b);

    TTreeNode* AddRoot(const QString& caption, int image);
    int RootCount() const;
    TTreeNode* Root(int index) const;

    // A new child in its sorted place.
    TTreeNode* AddChild(TTreeNode* root, const QString& text, int image);
    // The child goes to another root, in its sorted place there; it stays
    // selected and current if it was.
    void MoveChild(TTreeNode* child, TTreeNode* root);
    // Deletes a child.
    void DeleteChild(TTreeNode* child);
    // Deletes every child of the root.
    void DeleteChildren(TTreeNode* root);
    static void SetNodeImage(TTreeNode* node, int image);

    bool IsExpanded(const TTreeNode* root) const;
    void SetExpanded(TTreeNode* root, bool expanded);

    // In viewport coordinates. A child of a collapsed root has no rectangle.
    TTreeNode* NodeAt(QPoint pos) const;
    QRect NodeRect(const TTreeNode* node) const;
    // Where the node's icon is painted.
    QRect NodeIconRect(const TTreeNode* node) const;

    TTreeNode* CurrentNode() const;
    TTreeNode* SelectedNode() const;
    bool IsSelected(const TTreeNode* node) const;
    // Makes the node current and the only one selected.
    void SelectNode(TTreeNode* node);
    void ScrollToNode(const TTreeNode* node);

    // The number of rows the expanded roots show.
    int RowCount() const;
    // The row of a node among the shown rows, -1 for a child of a closed
    // root; the node of a row, nullptr outside the rows.
    int RowOf(const TTreeNode* node) const;
    TTreeNode* NodeOfRow(int row) const;
    int RowHeight() const;
    // Shows what changed at once, without waiting for the refresh interval:
    // the scroll range, and the shown rows when a change reached them.
    void Refresh();

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;
    // Typed letters go to the next shown node whose text starts with them.
    void keyboardSearch(const QString& search) override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;

    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    int RowAtY(int y) const;
    QModelIndex IndexOf(const TTreeNode* node) const;
    // The index of a shown row, taken from the row's place: no search among
    // the siblings. Invalid outside the rows.
    QModelIndex IndexOfRow(int row) const;
    static TTreeNode* NodeOf(const QModelIndex& index);
    // The item's rectangle of a shown row, right of its branch area.
    QRect RowRect(int row, const TTreeNode* node) const;
    // Shows the changes of a burst at the end of the refresh interval: the
    // scroll range, and the shown rows when a change reached them.
    void ScheduleRefresh(bool repaint);
    // A change at a row (-1: none shown); rows below it move when `shifts`.
    void NoteChange(int row, bool shifts);
    // Children come or go under a root (or roots at the top) from `start`;
    // firstOrLast: the root gains its first or loses its last.
    void NoteChildren(const QModelIndex& parent, int start, bool firstOrLast);
    void DrawRow(QPainter& painter, QStyleOptionViewItem option, int row, const QModelIndex& index);
    // The index's row is the node's place among its siblings.
    void DrawBranches(QPainter& painter, const QRect& rowRect, const QModelIndex& index);
    bool OnBranch(const TTreeNode* node, QPoint pos) const;
    bool ToggleExpanded(TTreeNode* root);

    TTreeModel* model_; // a child of the view
    plat::ColoredFont font_;
    plat::TColor color_ = plat::clWindow;
    mutable int rowHeight_ = 0; // 0: to be measured
    QBasicTimer refresh_;
    bool repaint_ = false; // at the next refresh
    QString typed_;        // the letters typed so far
    QElapsedTimer typedAt_;
};
