#pragma once
// Items of a fixed size and a window that shows a view, for layout and
// painting tests that must not depend on fonts.

#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <initializer_list>
#include <memory>
#include <string>

// A viewer that measures as its item says and paints a solid block.
class FixedViewer : public TDkItemViewer {
public:
    using TDkItemViewer::TDkItemViewer;
    void CalcSize(QPainter& canvas, int& width, int& height) override;
    void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem, bool isPushed,
               bool useDisabledShadow) override;
};

// An item whose viewer is `width` x `height` and paints in `color`.
class FixedItem : public TDkCustomItem {
    Q_OBJECT
public:
    FixedItem(QObject* owner, const char* name, int width, int height, QColor color = Qt::darkBlue)
        : TDkCustomItem(owner), Width(width), Height(height), Color(color) {
        setObjectName(QString::fromLatin1(name));
    }
    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override {
        return std::make_unique<FixedViewer>(view, this, groupLevel);
    }
    int Width;
    int Height;
    QColor Color;
};

inline void FixedViewer::CalcSize(QPainter& /*canvas*/, int& width, int& height) {
    const auto* item = static_cast<const FixedItem*>(Item());
    width = item->Width;
    height = item->Height;
}

inline void FixedViewer::Paint(QPainter& canvas, const plat::TRect& clientArea, bool, bool, bool) {
    canvas.fillRect(clientArea.ToQRect(), static_cast<const FixedItem*>(Item())->Color);
}

// A view that may have a chevron and counts its layouts.
class TestView : public TDkView {
    Q_OBJECT
public:
    using TDkView::TDkView;
    TDkCustomItem* GetChevronItem() const override { return Chevron; }
    void DoUpdatePositions(QSize size) override {
        ++Layouts;
        LastSize = size;
        TDkView::DoUpdatePositions(size);
    }
    TDkCustomItem* Chevron = nullptr;
    int Layouts = 0;
    QSize LastSize;
};

// A window that paints its view.
class ViewWindow : public QWidget {
public:
    ViewWindow() { setAttribute(Qt::WA_DontShowOnScreen); }
    TestView* View = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (View != nullptr) {
            View->PaintWindow(painter, event->region());
        }
    }
};

// A root item with a window and a view over it.
struct ViewSetup {
    explicit ViewSetup(bool isToolbar, bool usePriorityList = false,
                       TDkCustomItem* chevron = nullptr) {
        root = new TDkRootItem(&owner);
        view = new TestView(&window, nullptr, root, &window, isToolbar, false, usePriorityList);
        if (chevron != nullptr) {
            view->Chevron = chevron;
            view->RecreateAllViewers();
        }
        window.View = view;
    }
    // Adds fixed items named "A", "B", ... of the size.
    FixedItem* Add(const char* name, int width, int height, QColor color = Qt::darkBlue) {
        auto* item = new FixedItem(&owner, name, width, height, color);
        root->Add(item);
        return item;
    }
    TDkSeparatorItem* AddSeparator() {
        auto* item = new TDkSeparatorItem(&owner);
        item->setObjectName(QStringLiteral("sep"));
        root->Add(item);
        return item;
    }
    // Items of one size named as given, "|" a separator.
    void AddAll(std::initializer_list<const char*> names, int width, int height) {
        for (const char* name : names) {
            if (std::string(name) == "|") {
                AddSeparator();
            } else {
                Add(name, width, height);
            }
        }
    }
    // The shown viewers as "name left,top-right,bottom", then "= " and the
    // size the view laid out for.
    std::string Layout() const {
        view->ValidatePositions();
        std::string text;
        for (int i = 0; i < view->ViewerCount(); ++i) {
            const TDkItemViewer* v = view->Viewers(i);
            const plat::TRect& r = v->BoundsRect;
            if (v->Show) {
                text += v->Item()->objectName().toStdString() + " " + std::to_string(r.Left) + "," +
                        std::to_string(r.Top) + "-" + std::to_string(r.Right) + "," +
                        std::to_string(r.Bottom) + " ";
            }
        }
        return text + "= " + std::to_string(view->LastSize.width()) + "x" +
               std::to_string(view->LastSize.height());
    }
    plat::TRect Bounds(const TDkCustomItem* item) const { return view->Find(item)->BoundsRect; }
    bool Shown(const TDkCustomItem* item) const { return view->Find(item)->Show; }

    QObject owner;
    ViewWindow window;
    TDkRootItem* root;
    TestView* view;
};
