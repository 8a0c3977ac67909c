#pragma once
// The visual of one item inside one view: it knows its place in the view's
// window, measures and paints the item, and takes the mouse while the menu
// loop runs. Themed viewers override measuring and painting.

#include "platform/gui/Rect.h"

#include <QString>
#include <Qt>

class QPainter;
class TDkCustomItem;
class TDkView;

namespace plat {
class ImageList;
}

class TDkItemViewer {
public:
    TDkItemViewer(TDkView* view, TDkCustomItem* item, int groupLevel);
    virtual ~TDkItemViewer();
    TDkItemViewer(const TDkItemViewer&) = delete;
    TDkItemViewer& operator=(const TDkItemViewer&) = delete;

    // --- Measuring and painting ---
    // The size the item needs with the painter's font (bold already set for
    // default items).
    virtual void CalcSize(QPainter& canvas, int& width, int& height);
    virtual void DrawItemCaption(QPainter& canvas, const plat::TRect& rect, const QString& caption,
                                 bool embossed, unsigned format);
    // Paints the item into `clientArea` (the viewer's bounds moved to 0, 0).
    virtual void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem,
                       bool isPushed, bool useDisabledShadow);

    // --- Selection and mouse (points relative to the viewer) ---
    // The item's OnSelect with Selecting true / false. `previous` is the
    // viewer selected before (null when there was none).
    virtual void Entering(TDkItemViewer* previous);
    virtual void Leaving();
    // The caption up to its first Tab.
    virtual QString GetCaptionText() const;
    // The hint to show for the point and the rectangle it holds in (both
    // relative to the viewer): the item's hint over the whole viewer.
    virtual QString GetHint(QPoint point, plat::TRect& rect) const;
    // GetHint, or none while the viewer's pop-up is open: the hint would
    // cover it. Every place that shows a viewer's hint asks this.
    QString HintToShow(QPoint point, plat::TRect& rect) const;
    virtual void GetCursor(QPoint point, Qt::CursorShape& cursor);
    // Whether the point is on the button part rather than a submenu arrow.
    virtual bool IsPtInButtonPart(int x, int y) const;
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void LosingCapture();
    virtual void MouseDown(bool doubleClick, int x, int y, bool& mouseDownOnMenu);
    virtual void MouseMove(int x, int y);
    virtual void MouseUp(int x, int y, bool mouseWasDownOnMenu);
    virtual void MouseWheel(int wheelDelta, int x, int y);

    // --- State ---
    bool IsToolbarStyle() const;
    bool IsToolbarSize() const;
    bool IsRotated() const;
    bool ImageShown() const;
    virtual bool CaptionShown() const;
    // The item's images, else the nearest submenu images up the views.
    plat::ImageList* GetImageList() const;
    int IndexInView() const;

    TDkCustomItem* Item() const { return item_; }
    TDkView* View() const { return view_; }
    int GroupLevel() const { return groupLevel_; }

    // Place and state, set by the view's layout.
    plat::TRect BoundsRect;
    bool Clipped = false; // hidden by pop-up scrolling
    bool OffEdge = false; // hidden by the chevron
    bool Show = false;
    bool NeedsRepaint = false;
    bool LineBreak = false; // a separator that marks a line break

protected:
    // The combo arrow part: 11 pixels on tool bars, the menu check width in menus.
    int ComboArrowWidth() const;
    void PaintToolbarItem(QPainter& canvas, const plat::TRect& rect, bool hot, bool pushed);
    void PaintMenuItem(QPainter& canvas, const plat::TRect& rect, bool hot);
    void DrawImage(QPainter& canvas, int x, int y, bool enabled) const;

private:
    // A button's face (with its split arrow part, when it has one) and its
    // image and caption.
    void PaintButtonFace(QPainter& canvas, const plat::TRect& button, const plat::TRect* arrow,
                         bool hot, bool pushed);
    void PaintButtonContent(QPainter& canvas, const plat::TRect& content);

    TDkView* view_;
    TDkCustomItem* item_;
    int groupLevel_;
};

// Separators: a line across the middle, or a line break's bar.
class TDkSeparatorItemViewer : public TDkItemViewer {
public:
    using TDkItemViewer::TDkItemViewer;
    void CalcSize(QPainter& canvas, int& width, int& height) override;
    void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem, bool isPushed,
               bool useDisabledShadow) override;
};
