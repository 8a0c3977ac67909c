#pragma once

// What the windows need of menus, tool bars, the dockable panel, the status
// bar and palettes, behind small interfaces. The toolbar and docking kit
// does the work (KitMenus.cpp, KitBars.cpp, KitPalettes.cpp; KitClasses.h
// reaches the kit's objects behind them); the interfaces state the
// behaviours the windows rely on. Bars and panels live on docks round the
// form: a main window gets them round its central widget; another form gets
// its top dock (menu bar, then tool bars, a row each) above its layout's
// contents and its status bar and other docks below them.

#include "dockkit/palettes/DkxColorSet.h"

#include "platform/gui/Colors.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class QAction;
class QPainter;
class QWidget;

namespace plat {
class Registry;
}

namespace kit {

// A status bar of text panels, below everything else in the form.
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

class IMenu;
class IToolPalette;
class IColorItem;

// An item of a menu.
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
    // What the user's click does: the menus close, then OnClick runs (or the
    // item's action executes) from the event loop, never inside the menu's
    // own handling, so that it may open dialogs or change the menu freely.
    // A hidden or disabled item ignores clicks. A submenu item opens its menu.
    virtual void Click() = 0;

    TNotifyEvent OnClick;
};

// An item that opens a menu of its own, in a menu, on a menu bar or on a
// tool bar. Its image is the one set, with OnDrawImage drawing over it.
class ISubmenuItem : public IMenuItem {
public:
    using TDrawImageEvent = std::function<void(ISubmenuItem* Sender, QPainter& Canvas,
                                               const QRect& ImageRect, bool Enabled)>;

    virtual IMenu* Menu() = 0;
    virtual QString Hint() const = 0;
    virtual void SetHint(const QString& value) = 0;
    // A 16 x 16 image; drawn greyed while the item is disabled.
    virtual void SetImage(const QImage& image) = 0;
    // Draws the image afresh, OnDrawImage included.
    virtual void Repaint() = 0;
    // The image as the item shows it while enabled or disabled.
    virtual QImage ItemImage(bool enabled) const = 0;

    TDrawImageEvent OnDrawImage;
};

// Items, submenus, palettes and separators in order. A separator is shown
// only between two shown items: not at either end, not next to another
// separator and not next to hidden items only. The menu owns its items.
class IMenu {
public:
    virtual ~IMenu() = default;
    // The window the menu shows in while it is open.
    virtual QWidget* Widget() = 0;
    virtual IMenuItem* AddItem(const QString& name, const QString& caption) = 0;
    // An item that shows the action's caption, image, shortcut, check mark,
    // enabled and visible state as they change, and executes the action.
    virtual IMenuItem* AddAction(QAction* action) = 0;
    virtual ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) = 0;
    virtual void AddSeparator() = 0;
    // Palettes and colour items go into one menu each.
    virtual void AddPalette(IToolPalette* palette) = 0;
    virtual void AddColorItem(IColorItem* item) = 0;
    // The items in menu order; separators, palettes and colour items not counted.
    virtual int ItemCount() const = 0;
    virtual IMenuItem* Items(int index) const = 0;
    // Null when the menu has no item of that name.
    virtual IMenuItem* FindItem(const QString& name) const = 0;
    // Opens the menu with its top left corner at a point in screen
    // coordinates and returns at once.
    virtual void Popup(int X, int Y) = 0;
    virtual bool IsOpen() const = 0;
    virtual void CloseUp() = 0;
};

// A menu that opens where the window asks, named for lookups.
class IPopupMenu : public IMenu {
public:
    virtual QString Name() const = 0;
};

// A menu bar at the top of the form.
class IMenuBar {
public:
    virtual ~IMenuBar() = default;
    virtual QWidget* Widget() = 0;
    virtual ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) = 0;
    virtual int ItemCount() const = 0;
    virtual ISubmenuItem* Items(int index) const = 0;
};

// A tool bar at the top of the form.
class IToolbar {
public:
    using TNotifyEvent = std::function<void(IToolbar* Sender)>;

    virtual ~IToolbar() = default;
    virtual QWidget* Widget() = 0;
    // A button with the action's image, or its caption while it has none.
    virtual void AddAction(QAction* action) = 0;
    // A button with the action's image and caption side by side.
    virtual void AddCaptionedAction(QAction* action) = 0;
    // A button whose menu drops down when it is clicked.
    virtual ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) = 0;
    virtual void AddSeparator() = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool value) = 0;

    // The user closed the bar (not fired for SetVisible).
    TNotifyEvent OnClose;
};

// A panel that docks at the form's side or floats in a frame of its own.
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

// A grid of named colours. Every cell's colour and name come from
// OnGetColorInfo; a cell the event leaves alone is clNone without a name.
class ColorSet : public TDkxColorSet {
public:
    using TGetColorInfoEvent =
        std::function<void(ColorSet* Sender, int Col, int Row, plat::TColor& Color, QString& Name)>;

    using TDkxColorSet::TDkxColorSet;
    void GetColorInfo(int col, int row, QString& name, plat::TColor& color) override;

    TGetColorInfoEvent OnGetColorInfo;
};

// A grid of cells in a menu. A cell is its image (16 x 16 unless
// OnCalcImageSize says otherwise) with 3 pixels round it; the cells are
// drawn by OnDrawCellImage.
class IToolPalette {
public:
    using TNotifyEvent = std::function<void(IToolPalette* Sender)>;
    using TCalcImageSizeEvent = std::function<void(IToolPalette* Sender, int& Width, int& Height)>;
    // AllowChange starts true; false keeps the selected cell where it is.
    using TCellClickEvent =
        std::function<void(IToolPalette* Sender, int Col, int Row, bool& AllowChange)>;
    using TDrawCellImageEvent =
        std::function<void(IToolPalette* Sender, QPainter& Canvas, const QRect& Rect, int Col,
                           int Row, bool Selected, bool Hot, bool Enabled)>;

    virtual ~IToolPalette() = default;
    virtual QWidget* Widget() = 0;
    virtual int ColCount() const = 0;
    virtual int RowCount() const = 0;
    virtual void SetSize(int cols, int rows) = 0;
    // Clicks leave the selected cell alone.
    virtual bool NoAutoSelect() const = 0;
    virtual void SetNoAutoSelect(bool value) = 0;
    // (-1, -1) while no cell is selected.
    virtual QPoint SelectedCell() const = 0;
    virtual void SetSelectedCell(int col, int row) = 0;
    // Inside Widget().
    virtual QRect CellRect(int col, int row) const = 0;
    virtual bool CellVisible(int col, int row) const = 0;
    virtual QString CellHint(int col, int row) const = 0;
    // What a click on the cell does: the menus close, OnCellClick fires and,
    // unless it refuses or NoAutoSelect is set, the cell becomes the
    // selected one. Invisible cells ignore clicks.
    virtual void ClickCell(int col, int row) = 0;

    TCalcImageSizeEvent OnCalcImageSize;
    TCellClickEvent OnCellClick;
    // The selected cell changed.
    TNotifyEvent OnChange;
    TDrawCellImageEvent OnDrawCellImage;
};

// A palette of the colours of a colour set: 12 x 12 swatches, a cell for
// every colour that is not clNone, its name as the hint.
class IColorPalette : public IToolPalette {
public:
    virtual plat::TColor Color() const = 0;
    // Selects the first cell (rows first) of the same RGB value, or none,
    // then OnChange.
    virtual void SetColor(plat::TColor value) = 0;
    virtual ColorSet* GetColorSet() const = 0;
    virtual void SetColorSet(ColorSet* value) = 0;
    virtual plat::TColor GetCellColor(int col, int row) const = 0;
};

// A menu item whose image is a swatch of its colour. Clicking it does not
// change Checked by itself.
class IColorItem {
public:
    using TNotifyEvent = std::function<void(IColorItem* Sender)>;

    virtual ~IColorItem() = default;
    virtual plat::TColor Color() const = 0;
    virtual void SetColor(plat::TColor value) = 0;
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool value) = 0;
    virtual QString Hint() const = 0;
    virtual void SetHint(const QString& value) = 0;
    // What the user's click does: the menus close, then OnClick fires.
    virtual void Click() = 0;

    TNotifyEvent OnClick;
};

// The widgets are owned by the form or the parent given; the interfaces live
// as long as the widgets do.
IStatusBar* CreateStatusBar(QWidget& form, const QString& name,
                            std::initializer_list<int> panelWidths);
IMenuBar* CreateMenuBar(QWidget& form, const QString& name);
IToolbar* CreateToolbar(QWidget& form, const QString& name, const QString& caption);
// Docked at the right side of the form.
IDockablePanel* CreateDockablePanel(QWidget& form, const QString& name, const QString& caption,
                                    QWidget* content);
IPopupMenu* CreatePopupMenu(QWidget& form, const QString& name);
IToolPalette* CreateToolPalette(QObject* parent, const QString& name);
IColorPalette* CreateColorPalette(QObject* parent, const QString& name);
IColorItem* CreateColorItem(QObject* parent, const QString& name, const QString& caption);

// Positions of the form's tool bars and dockable panels under the key, one
// key per bar or panel below it (its name), in the kit's saved-position
// values ("Rev", "Visible", "DockedTo", "DockRow", "DockPos", "FloatLeft",
// ...).
void LoadToolbarPositions(QWidget& form, plat::Registry& registry, const QStringList& key);
void SaveToolbarPositions(QWidget& form, plat::Registry& registry, const QStringList& key);

} // namespace kit
