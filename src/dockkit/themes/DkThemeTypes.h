#pragma once
// What the themed windows tell the theme: the kind of view an item sits in,
// the item's state (the item paint record) and the records that describe the
// frames of tool bars, dockable panels, pop-ups and floating windows.

#include "platform/gui/Rect.h"

#include <QPoint>
#include <QString>

#include <cstdint>

class QWidget;

namespace dk {

// --- View kinds ----------------------------------------------------------------------

// Classes, tested by masking.
constexpr unsigned ViewToolbarClass = 0x1000; // tool bars and menu bars
constexpr unsigned ViewPopupClass = 0x2000;
constexpr unsigned ViewPanelClass = 0x4000; // dockable panels

constexpr unsigned ViewToolbar = 0x1001;
constexpr unsigned ViewMenuBar = 0x1002;
constexpr unsigned ViewPopupMenu = 0x2001;
constexpr unsigned ViewEditPopup = 0x2002;    // a submenu whose first subitem is an edit item
constexpr unsigned ViewToolBoxPopup = 0x2004; // an item shown as a tool box
constexpr unsigned ViewChevronPopup = 0x2008;
constexpr unsigned ViewDockPanel = 0x4001;
// Added to a tool bar's or panel's kind.
constexpr unsigned ViewFloating = 0x800;
constexpr unsigned ViewResizable = 0x400;
constexpr unsigned ViewOpaque = 0x200; // a tool bar whose items are drawn opaque

// True when every bit of `member` is set in `kind` ((kind & 0x2002) == 0x2002
// for the edit pop-up).
constexpr bool IsViewKind(unsigned kind, unsigned member) {
    return (kind & member) == member;
}

// --- The item paint record -----------------------------------------------------------

// Item options.
constexpr unsigned ItemToolbarStyle = 1; // a button of a tool bar or status bar
constexpr unsigned ItemSubmenu = 4;
constexpr unsigned ItemCombo = 8;      // a split button
constexpr unsigned ItemDesigning = 16; // design mode

// Hover kinds.
constexpr uint8_t HoverNone = 0;
constexpr uint8_t HoverKeyboard = 1;
constexpr uint8_t HoverMouse = 2;

// Parts of a button.
constexpr uint8_t ComboNone = 0;
constexpr uint8_t ComboWhole = 1;  // the whole button
constexpr uint8_t ComboButton = 2; // the button half of a split item
constexpr uint8_t ComboArrow = 3;  // its arrow half: the face ends with the drop-down glyph

// Built by the item viewers for every paint call.
struct TDkxItemInfo {
    unsigned ViewKind = 0;
    unsigned ItemOptions = 0;
    // The item is enabled, or its view is being customized.
    bool Enabled = false;
    // A mouse button is held on the item.
    bool Pushed = false;
    uint8_t HoverKind = HoverNone;
    // Checked, or the selected cell of a palette.
    bool Selected = false;
    bool ImageShown = false;
    int ImageWidth = 0;
    int ImageHeight = 0;
    bool Vertical = false;
    uint8_t ComboPart = ComboNone;
    // The item's own pop-up is open.
    bool DropDownOpen = false;
    // The width of a menu's image column; a menu item's highlight starts after it.
    int MenuImageColumn = 0;

    bool Has(unsigned option) const { return (ItemOptions & option) != 0; }
    bool IsHot() const { return HoverKind != HoverNone; }
};

// The state flags of an item for its font and image events: 1 disabled,
// 2 hot by the mouse, 4 pushed, 8 selected.
constexpr unsigned ItemStateDisabled = 1;
constexpr unsigned ItemStateHot = 2;
constexpr unsigned ItemStatePushed = 4;
constexpr unsigned ItemStateSelected = 8;
unsigned ItemStateFlags(const TDkxItemInfo& info);

// --- Frame records -----------------------------------------------------------------

// Margins in the order the theme gives them.
struct TDkxMargins {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;

    bool operator==(const TDkxMargins&) const = default;
};

// Margin kinds of GetPartMargins.
constexpr int MarginToolbarItem = 1;
constexpr int MarginMenuItem = 2;
constexpr int MarginStatusPanel = 3;

// Close button states, added together.
constexpr unsigned CloseButtonShown = 1;
constexpr unsigned CloseButtonHot = 2;
constexpr unsigned CloseButtonPushed = 4;

// Drag handle styles and border styles as the dockable windows number them.
constexpr int DragHandleDouble = 0;
constexpr int DragHandleNone = 1;
constexpr int DragHandleSingle = 2;
constexpr int BorderNone = 0;
constexpr int BorderSingle = 1;

// A docked tool bar's non-client area.
struct TDkxToolbarInfo {
    QWidget* Window = nullptr;
    unsigned ViewKind = 0;
    // Docked on the left or right.
    bool Vertical = false;
    // The dock lets it be dragged.
    bool DragHandleShown = false;
    int BorderStyle = BorderNone;
    QPoint BorderSize;
    int ClientWidth = 0;
    int ClientHeight = 0;
    int DragHandleStyle = DragHandleSingle;
    unsigned CloseButtonState = 0;
};

// A docked dockable panel's non-client area.
struct TDkxDockPanelInfo {
    QWidget* Window = nullptr;
    unsigned ViewKind = 0;
    bool Vertical = false;
    bool AllowDrag = false;
    int BorderStyle = BorderNone;
    QPoint BorderSize;
    int ClientWidth = 0;
    int ClientHeight = 0;
    bool ShowCaption = false;
    unsigned CloseButtonState = 0;
    QString Caption;
};

// A pop-up window's non-client area.
struct TDkxPopupInfo {
    QWidget* Window = nullptr;
    unsigned ViewKind = 0;
    // The opening item in the pop-up's window coordinates, when it is a
    // tool-bar-style item or a chevron (so the frame can stay open towards
    // it); empty otherwise.
    plat::TRect ParentItemRect;
    QPoint BorderSize;
};

// Parts of a floating frame to paint.
constexpr unsigned FloatingRedrawFrame = 1;
constexpr unsigned FloatingRedrawCaption = 2;
constexpr unsigned FloatingRedrawCloseButton = 4;

// A floating window's frame and caption.
struct TDkxFloatingBorderInfo {
    QWidget* FloatingForm = nullptr;
    QWidget* Window = nullptr; // the hosted dockable window
    unsigned ViewKind = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
    bool ShowCaption = false;
    QPoint BorderSize;
    unsigned CloseButtonState = 0;
    unsigned RedrawWhat = 0;
    QString Caption;
    bool Active = false;
};

// The button inside an edit item.
constexpr int EditButtonDropDown = 0;
constexpr int EditButtonEllipsis = 1;
struct TDkxEditButtonInfo {
    int ButtonKind = EditButtonDropDown;
    bool Hot = false;
    bool Pushed = false;
};

// An edit item's frame: the field and the button at its right end.
struct TDkxEditFrameInfo {
    int ButtonWidth = 0; // 0: no button
    TDkxEditButtonInfo Button;
};

// Caption buttons (DrawWindowButton) and scroll arrows (DrawScrollArrowButton).
constexpr int WindowButtonClose = 0;
constexpr int WindowButtonMinimize = 1;
constexpr int WindowButtonRestore = 2;
constexpr int ScrollArrowUp = 1;
constexpr int ScrollArrowDown = 2;
constexpr int ScrollArrowLeft = 3;
constexpr int ScrollArrowRight = 4;

// DrawCheckRadioFrame kinds and state bits.
constexpr int CheckBoxFrame = 1;
constexpr int RadioButtonFrame = 2;
constexpr unsigned CheckStateChecked = 1;
constexpr unsigned CheckStateMixed = 2;
constexpr unsigned CheckStatePushed = 4;
constexpr unsigned CheckStateHot = 8;
constexpr unsigned CheckStateDisabled = 16;

// DrawStatusBarPart parts.
constexpr int StatusBarBackground = 0;
constexpr int StatusBarPanel = 1;
constexpr int StatusBarLastPanel = 2; // the panel that ends beside the grip
constexpr int StatusBarGrip = 3;

// GetIntegerValue indexes the kit asks for.
constexpr int ValueSplitArrowWidth = 10;
constexpr int ValueDropDownArrowWidth = 20;
constexpr int ValueDropDownArrowSpace = 21;
constexpr int ValueMenuItemVertMargin = 30;
constexpr int ValueMenuItemHorzMargin = 31;
constexpr int ValueMenuImageGapBefore = 32;
constexpr int ValueMenuImageGapAfter = 33;
constexpr int ValueMenuItemExtraWidth = 34;
constexpr int ValueMenuSeparatorSize = 35;
constexpr int ValueToolbarSeparatorSize = 50;
constexpr int ValueEditFrame = 60;
// Indexes the themes answer that no part of the kit asks for: menu metrics
// after the margins, one of their own, and edit metrics after the frame.
constexpr int ValueMenuMetric36 = 36;
constexpr int ValueMenuMetric37 = 37;
constexpr int ValueMetric40 = 40;
constexpr int ValueEditMetric61 = 61;
constexpr int ValueEditMetric62 = 62;
constexpr int ValueEditMetric64 = 64;
constexpr int ValueEditMetric65 = 65;

// One integer value of a theme's table.
struct ThemeIntegerValue {
    int Index = 0;
    int Value = 0;
};

// GetBooleanValue indexes.
constexpr int ValueJoinPopups = 1;        // pop-ups overlap the item that opens them
constexpr int ValueVisualStyleColors = 2; // take the visual style's tool bar colours
constexpr int ValueOption3 = 3;           // answered by the Flat theme; no part of the kit asks

// Pop-up shadow styles.
constexpr int PopupShadowNone = 0;
constexpr int PopupShadowSystem = 1;
constexpr int PopupShadowOwnFramingItem = 2;
constexpr int PopupShadowOwn = 3;

} // namespace dk
