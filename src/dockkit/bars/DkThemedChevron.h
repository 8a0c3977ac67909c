#pragma once
// The themed bar's chevron: its button painted by the theme, and its pop-up
// of the hidden items a themed pop-up of the chevron kind, placed as the
// theme places pop-ups.

#include "dockkit/bars/DkToolbar/DkToolbar.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "dockkit/themes/DkThemedViewer.h"

class TDkxChevronItem : public TDkChevronItem {
    Q_OBJECT
public:
    using TDkChevronItem::TDkChevronItem;

    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override;
    TDkPopupWindow* CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                      bool customizing) override;
    void GetPopupPosition(TDkView* parentView, TDkPopupWindow* popupWindow,
                          TDkPopupPositionRec& rec) override;
};

// The chevron button: the theme's chevron glyph over its button face.
class TDkxChevronItemViewer : public TDkxItemViewer {
public:
    using TDkxItemViewer::TDkxItemViewer;

    void CalcSize(QPainter& canvas, int& width, int& height) override;
    void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem, bool isPushed,
               bool useDisabledShadow) override;
};

class TDkxChevronPopupWindow : public TDkxPopupWindow {
    Q_OBJECT
public:
    TDkxChevronPopupWindow(TDkView* parentView, TDkCustomItem* item, bool customizing);

    // dk::ViewChevronPopup.
    unsigned ViewKind() const override;
    // Shows in the theme's colour for the chevron pop-up.
    void setVisible(bool visible) override;
};
