#pragma once
// The colour item: a themed item whose image is a swatch of one colour (the
// "Default" entry above a colour palette, for instance).

#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedViewer.h"

#include "platform/gui/Colors.h"

class TDkxColorItem : public TDkxCustomItem {
    Q_OBJECT
public:
    using TDkxCustomItem::TDkxCustomItem;

    plat::TColor Color() const { return color_; }
    // A different colour repaints the item's viewers (no new layout).
    void SetColor(plat::TColor value);

    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override;

private:
    plat::TColor color_ = plat::clBlack;
};

class TDkxColorItemViewer : public TDkxItemViewer {
public:
    using TDkxItemViewer::TDkxItemViewer;

    // 12 x 12 in tool bar style, else 16 x 16.
    QSize ImageSize() const override;
    // By the display mode alone: the swatch needs no image index.
    bool ThemedImageShown() const override;
    // The swatch: framed in the button shadow colour and filled with the
    // colour (nothing for clNone), 2 pixels smaller in menus; a disabled item
    // shows an empty etched square. In a tool-box pop-up the swatch is
    // centred across the item.
    void DoDrawImage(QPainter& canvas, const plat::TRect& imageRect,
                     const dk::TDkxItemInfo& info) override;

protected:
    int GlyphLeftExtra() const override { return 0; }
};
