#pragma once

// The main window's status bar, tool bars, dockable panel, splitters, pop-up
// menus, tool bar positions and window placement, behind small interfaces. Plain Qt
// widgets do the work for now (QtKit.cpp); the interfaces keep the
// behaviours the window relies on, so that other classes can take over in
// that one place.

#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class QAction;
class QMainWindow;
class QWidget;

namespace plat {
class Registry;
}

namespace kit {

// A status bar of text panels. Showing it keeps it below the bottom dock.
class IStatusBar {
public:
    virtual ~IStatusBar() = default;
    virtual QWidget* Widget() = 0;
    virtual int PanelCount() const = 0;
    // The panel's width in pixels; -1 for the panel that takes the rest.
    virtual int PanelWidth(int index) const = 0;
    virtual QString PanelText(int index) const = 0;
    virtual void SetPanelText(int index, const QString& text) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool value) = 0;
};

// A vertical split of two panes with a bar 3 pixels high. The lower pane
// keeps its height when the splitter is resized; the upper one takes the
// difference. Positions are the top of the bar, counted from the top.
class ISplitter {
public:
    static constexpr int BarSize = 3;

    virtual ~ISplitter() = default;
    virtual QWidget* Widget() = 0;
    virtual int Height() const = 0;
    virtual int Position() const = 0;
    virtual void SetPosition(int value) = 0;
};

// A tool bar in the top dock.
class IToolbar {
public:
    using TNotifyEvent = std::function<void(IToolbar* Sender)>;

    virtual ~IToolbar() = default;
    virtual QWidget* Widget() = 0;
    virtual void AddAction(QAction* action) = 0;
    virtual void AddSeparator() = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool value) = 0;

    // The user closed the bar (not fired for SetVisible).
    TNotifyEvent OnClose;
};

// A panel that docks at the window's side or floats in a frame of its own.
class IDockablePanel {
public:
    using TNotifyEvent = std::function<void(IDockablePanel* Sender)>;
    // Before the panel floats (Floating true) or docks again (false).
    using TDockChangingEvent = std::function<void(IDockablePanel* Sender, bool Floating)>;

    virtual ~IDockablePanel() = default;
    virtual QWidget* Widget() = 0;
    virtual QString Caption() const = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool value) = 0;
    virtual bool Floating() const = 0;
    virtual void SetFloating(bool value) = 0;
    virtual int Height() const = 0;
    // While floating, the height of the frame's contents; while docked, the
    // height it floats with next time.
    virtual void SetHeight(int value) = 0;
    // The height of the dock the panel was last docked to.
    virtual int LastDockHeight() const = 0;

    TDockChangingEvent OnDockChanging;
    // The user closed the panel with its close button (not fired for SetVisible).
    TNotifyEvent OnClose;
};

// An item of a pop-up menu.
class IMenuItem {
public:
    using TNotifyEvent = std::function<void(IMenuItem* Sender)>;

    virtual ~IMenuItem() = default;
    virtual QString Name() const = 0;
    virtual QString Caption() const = 0;
    virtual void SetCaption(const QString& value) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool value) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool value) = 0;

    // The user chose the item. Runs from the event loop once the menu has
    // closed, never inside the menu's own handling.
    TNotifyEvent OnClick;
};

// A pop-up menu of items and separators. Consecutive separators, and those
// next to hidden items only, are not shown.
class IPopupMenu {
public:
    virtual ~IPopupMenu() = default;
    virtual QString Name() const = 0;
    // The menu owns its items.
    virtual IMenuItem* AddItem(const QString& name, const QString& caption) = 0;
    virtual void AddSeparator() = 0;
    // Items in menu order, separators not counted.
    virtual int ItemCount() const = 0;
    virtual IMenuItem* Items(int index) const = 0;
    // Null when the menu has no item of that name.
    virtual IMenuItem* FindItem(const QString& name) const = 0;
    // Opens the menu with its top left corner at a point in screen
    // coordinates and returns at once.
    virtual void Popup(int X, int Y) = 0;
    virtual bool IsOpen() const = 0;
};

// The widgets are owned by their Qt parents; the interfaces live as long as
// the widgets do.
IStatusBar* CreateStatusBar(QMainWindow& window, const QString& name,
                            std::initializer_list<int> panelWidths);
ISplitter* CreateSplitter(QWidget* parent, const QString& name, QWidget* upper, QWidget* lower);
IToolbar* CreateToolbar(QMainWindow& window, const QString& name, const QString& caption);
// Docked at the right side of the window.
IDockablePanel* CreateDockablePanel(QMainWindow& window, const QString& name,
                                    const QString& caption, QWidget* content);

// A pop-up menu owned by the window (named for lookups among its children).
IPopupMenu* CreatePopupMenu(QWidget& owner, const QString& name);

// Positions of the window's tool bars and docked panels under the key.
void LoadToolbarPositions(QMainWindow& window, plat::Registry& registry, const QStringList& key);
void SaveToolbarPositions(QMainWindow& window, plat::Registry& registry, const QStringList& key);

// The window's placement under the key. While nothing is stored the window
// opens maximized.
void LoadPlacement(QWidget& window, plat::Registry& registry, const QStringList& key);
void SavePlacement(QWidget& window, plat::Registry& registry, const QStringList& key);

} // namespace kit
