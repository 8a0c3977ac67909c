#pragma once
// The themed items: every menu and tool bar item of the forms is one of
// these. They measure and paint through the current theme (their viewers,
// DkThemedViewer.h), open themed pop-ups, and add a font size, a glyph
// layout, a minimum size and the events that let a form adjust an item's
// font or draw over its image.

#include "dockkit/items/DkItem/DkItem.h"

#include "platform/gui/Rect.h"

#include <QFont>
#include <QPoint>

#include <functional>

class QPainter;
class TDkItemViewer;

enum TDkxFontSize { dkxfNormal, dkxfSmaller, dkxfLarger };
enum TDkxItemLayout { dkxlAuto, dkxlGlyphLeft, dkxlGlyphTop };

class TDkxCustomItem : public TDkCustomItem {
    Q_OBJECT
public:
    // (item, viewer, font, state flags dk::ItemState*)
    using TDkxAdjustFontEvent = std::function<void(TDkxCustomItem* Item, TDkItemViewer* Viewer,
                                                   QFont& Font, unsigned StateFlags)>;
    // (item, viewer, canvas, image rectangle, image offset, state flags)
    using TDkxDrawImageEvent =
        std::function<void(TDkxCustomItem* Item, TDkItemViewer* Viewer, QPainter& Canvas,
                           const plat::TRect& ImageRect, QPoint ImageOffset, unsigned StateFlags)>;

    explicit TDkxCustomItem(QObject* owner = nullptr);

    // Setters of a different value store it and lay the item's views out anew.
    TDkxFontSize FontSize() const { return fontSize_; }
    void SetFontSize(TDkxFontSize value);
    TDkxItemLayout Layout() const { return layout_; }
    void SetLayout(TDkxItemLayout value);
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    // The item takes the room its tool bar has left (its stretch style bit).
    bool Stretch() const { return HasStyle(dk::StyleStretch); }
    void SetStretch(bool value);
    // The item's pop-up shows as a tool box.
    bool ToolBoxPopup() const { return toolBoxPopup_; }
    void SetToolBoxPopup(bool value) { toolBoxPopup_ = value; }

    TDkxAdjustFontEvent OnAdjustFont;
    TDkxDrawImageEvent OnDrawImage;

    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override;
    TDkPopupWindow* CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                      bool customizing) override;
    // With a theme that joins pop-ups to their items, a drop-down overlaps
    // its item by a pixel and a submenu starts at the item's edge; pop-ups
    // opened from an edit pop-up play no sound.
    void GetPopupPosition(TDkView* parentView, TDkPopupWindow* popupWindow,
                          TDkPopupPositionRec& rec) override;

private:
    TDkxFontSize fontSize_ = dkxfNormal;
    TDkxItemLayout layout_ = dkxlAuto;
    int minHeight_ = 0;
    int minWidth_ = 0;
    bool toolBoxPopup_ = false;
};

// The item of menus and tool bars.
class TDkxItem : public TDkxCustomItem {
    Q_OBJECT
public:
    using TDkxCustomItem::TDkxCustomItem;
};

// An item with a submenu, or a split button with DropdownCombo.
class TDkxSubmenuItem : public TDkxCustomItem {
    Q_OBJECT
public:
    explicit TDkxSubmenuItem(QObject* owner = nullptr);

    bool DropdownCombo() const { return HasStyle(dk::StyleCombo); }
    void SetDropdownCombo(bool value);
    // The pop-up opens with its first item selected, also by the mouse.
    bool AlwaysSelectFirst() const { return alwaysSelectFirst_; }
    void SetAlwaysSelectFirst(bool value) { alwaysSelectFirst_ = value; }

    TDkPopupWindow* CreatePopup(TDkView* parentView, TDkItemViewer* parentViewer,
                                bool positionAsSubmenu, bool selectFirstItem, bool customizing,
                                QPoint popupPoint, TDkPopupAlignment alignment) override;

private:
    bool alwaysSelectFirst_ = false;
};

// A themed separator; Size -1 takes the theme's size.
class TDkxSeparatorItem : public TDkSeparatorItem {
    Q_OBJECT
public:
    using TDkSeparatorItem::TDkSeparatorItem;

    int Size() const { return size_; }
    // Values below -1 are taken as -1.
    void SetSize(int value);

    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override;

private:
    int size_ = -1;
};

// The root item of themed pop-up menus: its pop-ups are themed.
class TDkxRootItem : public TDkRootItem {
    Q_OBJECT
public:
    using TDkRootItem::TDkRootItem;
    TDkPopupWindow* CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                      bool customizing) override;
};

namespace dk {

// The font size for FontSize: 7/8 (smaller) or 9/8 (larger) of its size,
// a pixel size counted as that many points, and never below one point.
void ScaleItemFont(QFont& font, TDkxFontSize size);

// The placement of a themed item's pop-up: the kit's own, except that with a
// theme that joins pop-ups to their items a drop-down overlaps its item by a
// pixel (keeping its size) and a submenu starts at the item's edge.
void PlaceThemedPopup(TDkCustomItem* item, TDkView* parentView, TDkPopupWindow* popupWindow,
                      TDkPopupPositionRec& rec);

} // namespace dk
