#pragma once

// The main window's status bar, tool bars, dockable panel, splitters, pop-up
// menus, palettes, tool bar positions and window placement, behind small
// interfaces. Plain Qt widgets do the work for now (QtKit.cpp,
// QtPalettes.cpp); the interfaces keep the
// behaviours the window relies on, so that other classes can take over in
// that one place.

#include "platform/gui/Colors.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class QAction;
class QMainWindow;
class QPainter;
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

// A grid of named colours. Every cell comes from OnGetColorInfo; a cell the
// event leaves alone, or one outside the grid, is clNone without a name.
class ColorSet : public QObject {
public:
    using TGetColorInfoEvent =
        std::function<void(ColorSet* Sender, int Col, int Row, plat::TColor& Color, QString& Name)>;

    using QObject::QObject;
    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetSize(int cols, int rows);
    void GetColorInfo(int col, int row, QString& name, plat::TColor& color);
    plat::TColor GetColor(int col, int row);
    QString GetName(int col, int row);

    TGetColorInfoEvent OnGetColorInfo;

private:
    int colCount_ = 0;
    int rowCount_ = 0;
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
    // Puts the palette into a menu.
    virtual QAction* Action() = 0;
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
    // What a click on the cell does: the menu showing the palette closes,
    // OnCellClick fires and, unless it refuses or NoAutoSelect is set, the
    // cell becomes the selected one. Invisible cells ignore clicks.
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
    virtual QAction* Action() = 0;
    virtual plat::TColor Color() const = 0;
    virtual void SetColor(plat::TColor value) = 0;
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool value) = 0;

    TNotifyEvent OnClick;
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

// The palettes and the item are owned by the parent.
IToolPalette* CreateToolPalette(QObject* parent, const QString& name);
IColorPalette* CreateColorPalette(QObject* parent, const QString& name);
IColorItem* CreateColorItem(QObject* parent, const QString& name, const QString& caption);

// Positions of the window's tool bars and docked panels under the key.
void LoadToolbarPositions(QMainWindow& window, plat::Registry& registry, const QStringList& key);
void SaveToolbarPositions(QMainWindow& window, plat::Registry& registry, const QStringList& key);

// The window's placement under the key. While nothing is stored the window
// opens maximized.
void LoadPlacement(QWidget& window, plat::Registry& registry, const QStringList& key);
void SavePlacement(QWidget& window, plat::Registry& registry, const QStringList& key);

} // namespace kit
