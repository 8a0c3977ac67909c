#pragma once
// A form with four docks, dockable windows of a fixed content size, and
// scripted mouse input for the drag and sizing loops (queued before the loop
// starts, as a user's moves would be).

#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/docking/DkFloatingWindowParent.h"

#include "MenuFixtures.h"
#include "PlatformFakes.h"

#include "platform/gui/AlignLayout.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QtGlobal>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A dockable window whose content is `Content` (width x height along a
// horizontal dock, turned on vertical docks) and that records its sizing
// calls.
class TestDockable : public TDkCustomDockableWindow {
    Q_OBJECT
public:
    TestDockable(QWidget* form, const char* name, QSize content)
        : TDkCustomDockableWindow(form), Content(content) {
        setObjectName(QString::fromLatin1(name));
        SetCaption(QString::fromLatin1(name));
    }

    QSize ForKind(PlacementKind kind) const {
        return kind == pkVerticalDock ? Content.transposed() : Content;
    }
    QSize LayoutChildren(bool, PlacementKind kind, TDkDock*) override { return ForKind(kind); }
    QSize NaturalSize() override { return ForKind(Placement()); }
    void MinShrinkLength(int& size) const override {
        if (MinLength >= 0) {
            size = MinLength;
        }
    }
    TDkShrinkMode ShrinkBehaviour() const override { return Shrink; }
    void ClientSizeLimits(int& minW, int& minH, int& maxW, int& maxH) const override {
        minW = MinClient.width();
        minH = MinClient.height();
        maxW = MaxClient.width();
        maxH = MaxClient.height();
    }
    void ClientSizeChanging(int w, int h) override { Calls.push_back("Changing " + Size(w, h)); }
    void SizingBegin(int edge) override { Calls.push_back("Begin " + std::to_string(edge)); }
    void SizingApply() override { Calls.push_back("Apply"); }
    void SizingEnd() override { Calls.push_back("End"); }
    void ValidateContainer(QWidget* container) const override {
        auto* dock = qobject_cast<TDkDock*>(container);
        if (VerticalOnly && dock != nullptr && !dock->IsVertical()) {
            throw std::runtime_error("vertical docks only");
        }
    }
    void ReadExtraPositionValues(const dk::TDkPositionReadData& data) override {
        Extra = data.ReadInt(objectName(), QStringLiteral("TestExtra"), Extra);
    }
    void WriteExtraPositionValues(const dk::TDkPositionWriteData& data) override {
        data.WriteInt(objectName(), QStringLiteral("TestExtra"), Extra);
    }

    static std::string Size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

    QSize Content;
    TDkShrinkMode Shrink = dksmNone;
    int MinLength = -1;
    QSize MinClient;
    QSize MaxClient;
    bool VerticalOnly = false;
    int Extra = 0;
    std::vector<std::string> Calls;
};

// A shown form of 600 x 400 at (100, 100) on one 1024 x 768 screen, with a
// dock on each edge, the application active.
struct DockForm {
    DockForm() {
        form.setObjectName(QStringLiteral("Form"));
        layout = new plat::AlignLayout(&form);
        top = AddDock("TopDock", dpTop);
        bottom = AddDock("BottomDock", dpBottom);
        left = AddDock("LeftDock", dpLeft);
        right = AddDock("RightDock", dpRight);
        client = new QWidget(&form);
        layout->AddWidget(client, plat::Align::Client);
        form.setGeometry(100, 100, 600, 400);
        form.show();
        Settle();
    }

    TDkDock* AddDock(const char* name, TDkDockPosition position) {
        auto* dock = new TDkDock(&form, position);
        dock->setObjectName(QString::fromLatin1(name));
        return dock;
    }
    // A window on the dock (or on the form when null) at the row and offset.
    TestDockable* Add(const char* name, QSize content, TDkDock* dock, int row = 0, int pos = 0) {
        auto* w = new TestDockable(&form, name, content);
        w->SetDockRow(row);
        w->SetDockPos(pos);
        if (dock != nullptr) {
            w->SetCurrentDock(dock);
        }
        return w;
    }
    // Lets the layout follow what the docks asked for.
    void Settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        layout->activate();
    }
    DockForm(const DockForm&) = delete;
    DockForm& operator=(const DockForm&) = delete;

    // The offscreen platform cannot grab the mouse or raise windows, and
    // says so each time; the rest goes on as usual.
    QuietPlatform quiet;
    FakeScreens screens{{{plat::TRect(0, 0, 1024, 768), plat::TRect(0, 0, 1024, 768)}}};
    FakeSystemParameters params;
    QWidget form;
    plat::AlignLayout* layout = nullptr;
    TDkDock* top = nullptr;
    TDkDock* bottom = nullptr;
    TDkDock* left = nullptr;
    TDkDock* right = nullptr;
    QWidget* client = nullptr;
};

// Where a window is: "<dock> row/pos x,y wxh" docked (its place on the
// dock), "+ x,y wxh" floating (its floating form's), "-" elsewhere.
inline std::string Placed(const TDkCustomDockableWindow* w) {
    const auto box = [](const QRect& r) {
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " +
               std::to_string(r.width()) + "x" + std::to_string(r.height());
    };
    if (w->Docked()) {
        return w->CurrentDock()->objectName().toStdString() + " " + std::to_string(w->DockRow()) +
               "/" + std::to_string(w->DockPos()) + " " + box(w->geometry());
    }
    return w->Floating() ? "+ " + box(w->FloatingParent()->geometry()) : "-";
}

// --- Scripted mouse and keys -------------------------------------------------

// Queues a mouse event at a screen point; the running loop sees it. The
// event is made when it is delivered: mouse events of one pointing device
// share their point, so an event made now would move with later ones.
inline void PostMouse(QWidget* receiver, QEvent::Type type, QPoint global,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      Qt::MouseButton button = Qt::LeftButton) {
    QMetaObject::invokeMethod(
        receiver,
        [receiver, type, global, modifiers, button] {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease
                                              ? Qt::NoButton
                                              : Qt::MouseButtons(Qt::LeftButton);
            QMouseEvent event(type, receiver->mapFromGlobal(global), global,
                              type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
            QCoreApplication::sendEvent(receiver, &event);
        },
        Qt::QueuedConnection);
}
inline void PostMoves(QWidget* receiver, const std::vector<QPoint>& points,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (QPoint p : points) {
        PostMouse(receiver, QEvent::MouseMove, p, modifiers);
    }
}
inline void PostRelease(QWidget* receiver, QPoint global,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    PostMouse(receiver, QEvent::MouseButtonRelease, global, modifiers);
}
inline void PostKey(QWidget* receiver, int key, QEvent::Type type = QEvent::KeyPress) {
    QMetaObject::invokeMethod(
        receiver,
        [receiver, key, type] {
            QKeyEvent event(type, key, Qt::NoModifier);
            QCoreApplication::sendEvent(receiver, &event);
        },
        Qt::QueuedConnection);
}
// Runs f inside the loop, between the queued events.
inline void PostCall(QObject* context, std::function<void()> f) {
    QMetaObject::invokeMethod(context, std::move(f), Qt::QueuedConnection);
}

// Sends a press (or double click) at a point of the widget: a loop started by
// it runs the queued events before this returns.
inline void SendMouse(QWidget* w, QEvent::Type type, QPoint local,
                      Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(type, local, w->mapToGlobal(local), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}
inline void Press(QWidget* w, QPoint local) {
    SendMouse(w, QEvent::MouseButtonPress, local);
}
inline void DoubleClick(QWidget* w, QPoint local) {
    SendMouse(w, QEvent::MouseButtonDblClick, local);
}
