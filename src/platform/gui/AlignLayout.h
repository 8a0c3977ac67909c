#pragma once

#include <QLayout>

#include <vector>

namespace plat {

// Where a child sits in its parent, as the platform's forms align controls.
enum class Align { None, Top, Bottom, Left, Right, Client };

// Lays children out the way the platform aligns controls on a form: first
// every Top child (each below the previous one, across the full width left),
// then every Bottom child (each above the previous one), then Left and Right
// children in the height that is left, and last the Client children, which
// each fill what remains. Within one alignment children go in the order they
// were added. Hidden children take no room; None children keep the geometry
// they are given.
//
// A Top or Bottom child keeps its height and a Left or Right child its width:
// the child's current size, or its size hint while it has never been sized.
// Resizing an aligned child along that direction lays the parent out again;
// a child that changes its extent while it is being placed (a bar that wraps
// when it gets narrower) is placed again at once.
class AlignLayout : public QLayout {
    Q_OBJECT
public:
    explicit AlignLayout(QWidget* parent = nullptr);
    ~AlignLayout() override;

    // Adds the widget after the others (of its alignment), or at the index of
    // the layout's order.
    void AddWidget(QWidget* widget, Align align);
    void InsertWidget(int index, QWidget* widget, Align align);
    // Changes the alignment of a widget of this layout; others are ignored.
    void SetAlign(QWidget* widget, Align align);
    // None for widgets this layout does not hold.
    Align AlignOf(const QWidget* widget) const;

    // QLayout. Items added through QLayout's own functions are aligned None.
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    void setGeometry(const QRect& rect) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QLayoutItem* item;
        Align align;
        int extent; // the size along the alignment given at the last layout (-1: none)
    };

    static int Extent(const Entry& entry);
    void Place();
    int EntryIndex(const QWidget* widget) const;

    std::vector<Entry> entries_;
    bool placing_ = false;
    bool extentChanged_ = false; // a child changed its extent while being placed
};

} // namespace plat
