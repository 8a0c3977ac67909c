#pragma once
// The viewers of themed items: every size that depends on looks comes from
// the current theme's values, and every pixel from its painters. An item is
// measured and painted in the style of its view (a tool bar button, or a
// row of a menu) with its image laid beside or above its caption.

#include "dockkit/items/DkItemViewer.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemedItem.h"

#include <QFont>
#include <QSize>
#include <QString>

class QFontMetrics;

class TDkxItemViewer : public TDkItemViewer {
public:
    using TDkItemViewer::TDkItemViewer;

    // May move the caption's rectangle or cancel the caption (paint starts
    // true); nothing here.
    virtual void AdjustCaptionRect(QPainter& canvas, const plat::TRect& bounds,
                                   plat::TRect& captionRect, bool rotated, bool& paint);
    // 1 in tool bar style, 2 in menus.
    virtual int CaptionOrientation() const;
    // The theme's image, then the item's OnDrawImage.
    virtual void DoDrawImage(QPainter& canvas, const plat::TRect& imageRect,
                             const dk::TDkxItemInfo& info);
    // Bold for a default item, the item's font size, then its OnAdjustFont.
    virtual void DoAdjustFont(QFont& font, unsigned stateFlags);
    // Never for an item without an image index; otherwise by its display mode.
    virtual bool ThemedImageShown() const;
    // By the item's display mode alone: always, never, or on tool bars only.
    bool ImageShownByDisplayMode() const;

    void CalcSize(QPainter& canvas, int& width, int& height) override;
    void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem, bool isPushed,
               bool useDisabledShadow) override;
    // The button half of a split item ends the theme's arrow width (the menu
    // check width in menus) before the right edge.
    bool IsPtInButtonPart(int x, int y) const override;

    // The image size the item shows (0 x 0 without a list or with a size
    // below 1).
    virtual QSize ImageSize() const;
    // The item's Layout with dkxlAuto resolved.
    TDkxItemLayout ResolvedLayout() const;
    // Whether the caption runs downwards (tool bar style in a vertical view,
    // unless the item sets its layout or wants its image above).
    bool CaptionRotated() const;
    // The caption's DrawText flags before alignment.
    unsigned CaptionFormat() const;
    // The record the theme is told about the item.
    dk::TDkxItemInfo ItemInfo(bool hot, bool pushed) const;

    // The width of a menu's image column, shared by every row of the view.
    static int MenuImageColumnWidth(const TDkView* view, const QFontMetrics& metrics);

protected:
    // What an image beside the caption adds to the width besides the image:
    // a pixel for ordinary items.
    virtual int GlyphLeftExtra() const { return 1; }
    // The text's size with the format; turned for a rotated caption.
    QSize MeasureCaption(QPainter& canvas, const QString& text, unsigned format,
                         bool rotated) const;
    TDkxCustomItem* ThemedItem() const;

private:
    void PaintToolbarStyle(QPainter& canvas, plat::TRect r, dk::TDkxItemInfo& info,
                           bool arrowPushed, const QString& caption, unsigned format, bool rotated,
                           QSize text);
    void PaintMenuStyle(QPainter& canvas, plat::TRect r, dk::TDkxItemInfo& info,
                        const QString& caption, unsigned format, QSize text);
    // The sizes CalcSize answers for a button and for a menu row.
    QSize ToolbarStyleSize(QSize text, QSize image, bool imageShown, TDkxItemLayout layout,
                           bool rotated) const;
    QSize MenuStyleSize(QPainter& canvas, QSize text, QSize image) const;
    // Where a button's drop-down arrow goes (empty without one).
    plat::TRect ArrowRect(const plat::TRect& r, bool split, bool glyphTopArrow, bool arrow,
                          QSize image, QSize text) const;
    void PaintToolbarCaption(QPainter& canvas, const plat::TRect& r, const plat::TRect& bounds,
                             const dk::TDkxItemInfo& info, const QString& caption, unsigned format,
                             bool rotated, QSize text);
    void DrawImageArea(QPainter& canvas, const plat::TRect& area, const dk::TDkxItemInfo& info,
                       bool imageShown);

    // The last caption measured: layout and painting measure the same text.
    struct Measured {
        QString Text;
        QFont Font;
        int Dpi = 0;
        unsigned Format = 0;
        bool Rotated = false;
        QSize Size;
    };
    mutable Measured measured_;
};

class TDkxSeparatorItemViewer : public TDkSeparatorItemViewer {
public:
    using TDkSeparatorItemViewer::TDkSeparatorItemViewer;

    void CalcSize(QPainter& canvas, int& width, int& height) override;
    void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem, bool isPushed,
               bool useDisabledShadow) override;
};
