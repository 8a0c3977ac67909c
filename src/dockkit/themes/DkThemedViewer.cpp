#include "dockkit/themes/DkThemedViewer.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkTheme.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Metrics.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <utility>

using plat::TRect;

namespace {

int Value(int index) {
    return dk::CurrentTheme().GetIntegerValue(index);
}

// The images a view's rows share: the submenu images nearest up the views.
const plat::ImageList* ViewImages(const TDkView* view) {
    for (const TDkView* v = view; v != nullptr; v = v->ParentView()) {
        if (v->CurrentRoot() != nullptr && v->CurrentRoot()->SubMenuImages() != nullptr) {
            return v->CurrentRoot()->SubMenuImages();
        }
        if (v->ParentItem() != nullptr && v->ParentItem()->SubMenuImages() != nullptr) {
            return v->ParentItem()->SubMenuImages();
        }
    }
    return nullptr;
}

// Captions measured by any viewer, by what their size depends on: a menu
// makes new viewers each time it opens and measures the same captions again.
struct CaptionKey {
    QString Text;
    QFont Font;
    int Dpi = 0;
    unsigned Format = 0;
    bool Rotated = false;
    bool operator==(const CaptionKey&) const = default;
};

size_t qHash(const CaptionKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.Text, key.Font, key.Dpi, key.Format, key.Rotated);
}

// Emptied when full: the captions of the open menus soon come back.
constexpr qsizetype kCaptionCacheLimit = 2048;

QHash<CaptionKey, QSize>& MeasuredCaptions() {
    thread_local QHash<CaptionKey, QSize> measured;
    return measured;
}

// A box of the size centred in the rectangle.
TRect CenteredBox(const TRect& in, QSize box) {
    const int left = in.Left + (in.Width() - box.width()) / 2;
    const int top = in.Top + (in.Height() - box.height()) / 2;
    return {left, top, left + box.width(), top + box.height()};
}

} // namespace

// --- The five operations ---------------------------------------------------------------

void TDkxItemViewer::AdjustCaptionRect(QPainter& /*canvas*/, const TRect& /*bounds*/,
                                       TRect& /*captionRect*/, bool /*rotated*/, bool& /*paint*/) {}

int TDkxItemViewer::CaptionOrientation() const {
    return IsToolbarStyle() ? 1 : 2;
}

void TDkxItemViewer::DoDrawImage(QPainter& canvas, const TRect& imageRect,
                                 const dk::TDkxItemInfo& info) {
    TDkxTheme& theme = dk::CurrentTheme();
    theme.DrawItemImage(canvas, imageRect, info, GetImageList(), Item()->ImageIndex());
    TDkxCustomItem* item = ThemedItem();
    if (item != nullptr && item->OnDrawImage) {
        // The offset the theme draws the image at (pushed images move).
        const QPoint offset = theme.GetImageShift(canvas, info, GetImageList());
        item->OnDrawImage(item, this, canvas, imageRect, offset, dk::ItemStateFlags(info));
    }
}

void TDkxItemViewer::DoAdjustFont(QFont& font, unsigned stateFlags) {
    TDkxCustomItem* item = ThemedItem();
    if (item != nullptr) {
        dk::ScaleItemFont(font, item->FontSize());
    }
    if ((Item()->EffectiveOptions() & dkoDefault) != 0) {
        font.setBold(true);
    }
    if (item != nullptr && item->OnAdjustFont) {
        item->OnAdjustFont(item, this, font, stateFlags);
    }
}

bool TDkxItemViewer::ThemedImageShown() const {
    return Item()->ImageIndex() >= 0 && ImageShownByDisplayMode();
}

bool TDkxItemViewer::ImageShownByDisplayMode() const {
    switch (Item()->DisplayMode()) {
    case nbdmDefault:
    case nbdmImageAndText:
        return true;
    case nbdmTextOnlyInMenus:
        return IsToolbarStyle();
    case nbdmTextOnly:
        return false;
    }
    return false;
}

// --- Measures ----------------------------------------------------------------------------

TDkxCustomItem* TDkxItemViewer::ThemedItem() const {
    return qobject_cast<TDkxCustomItem*>(Item());
}

QSize TDkxItemViewer::ImageSize() const {
    const plat::ImageList* images = GetImageList();
    if (images == nullptr || images->Width() < 1 || images->Height() < 1) {
        return {0, 0};
    }
    return {images->Width(), images->Height()};
}

TDkxItemLayout TDkxItemViewer::ResolvedLayout() const {
    const TDkxCustomItem* item = ThemedItem();
    const TDkxItemLayout layout = item != nullptr ? item->Layout() : dkxlAuto;
    if (layout != dkxlAuto) {
        return layout;
    }
    return (Item()->EffectiveOptions() & dkoImageAboveCaption) != 0 || View()->IsVertical()
               ? dkxlGlyphTop
               : dkxlGlyphLeft;
}

bool TDkxItemViewer::CaptionRotated() const {
    const TDkxCustomItem* item = ThemedItem();
    return View()->IsVertical() && IsToolbarStyle() &&
           (item == nullptr || item->Layout() == dkxlAuto) &&
           (Item()->EffectiveOptions() & dkoImageAboveCaption) == 0;
}

unsigned TDkxItemViewer::CaptionFormat() const {
    unsigned format = 0;
    if (!View()->AcceleratorsShown()) {
        format |= plat::DT_HIDEPREFIX;
    }
    if (CaptionRotated() || !IsToolbarStyle()) {
        format |= plat::DT_SINGLELINE;
    }
    return format;
}

QSize TDkxItemViewer::MeasureCaption(QPainter& canvas, const QString& text, unsigned format,
                                     bool rotated) const {
    if (text.isEmpty()) {
        return {0, 0};
    }
    const QFont& font = canvas.font();
    const int dpi = canvas.device() != nullptr ? canvas.device()->logicalDpiY() : 0;
    if (measured_.Text == text && measured_.Format == format && measured_.Rotated == rotated &&
        measured_.Dpi == dpi && measured_.Font == font) {
        return measured_.Size;
    }
    CaptionKey key{text, font, dpi, format, rotated};
    QHash<CaptionKey, QSize>& known = MeasuredCaptions();
    QSize size;
    if (const auto found = known.constFind(key); found != known.cend()) {
        size = *found;
    } else {
        if (rotated) {
            const QFontMetrics metrics(font, canvas.device());
            size = QSize(metrics.height(),
                         dk::MeasureTextWidth(metrics, text, (format & plat::DT_NOPREFIX) == 0));
        } else {
            const TRect r = plat::CalcTextRect(font, text, TRect(0, 0, 1, 0),
                                               format | plat::DT_CALCRECT, canvas.device());
            size = QSize(r.Width(), r.Height());
        }
        if (known.size() >= kCaptionCacheLimit) {
            known.clear();
        }
        known.insert(key, size);
    }
    measured_ = {text, font, dpi, format, rotated, size};
    return size;
}

int TDkxItemViewer::MenuImageColumnWidth(const TDkView* view, const QFontMetrics& metrics) {
    const plat::ImageList* images = ViewImages(view);
    const int width = images != nullptr ? images->Width() : 16;
    const int height = images != nullptr ? images->Height() : 16;
    const int margin = Value(dk::ValueMenuItemVertMargin) * 2;
    const int line = metrics.height() + metrics.leading() + margin;
    const int divisor = height + margin;
    if (divisor <= 0) {
        return width + margin;
    }
    return (width + margin) * std::max(line, height + margin) / divisor;
}

bool TDkxItemViewer::IsPtInButtonPart(int x, int /*y*/) const {
    if (!Item()->HasStyle(dk::StyleSubmenu)) {
        return true;
    }
    if (!Item()->HasStyle(dk::StyleCombo)) {
        return false;
    }
    const int arrow = IsToolbarStyle() ? Value(dk::ValueSplitArrowWidth)
                                       : plat::GetSystemMetrics(plat::SM_CXMENUCHECK);
    return x < BoundsRect.Width() - arrow;
}

void TDkxItemViewer::CalcSize(QPainter& canvas, int& width, int& height) {
    const bool toolbar = IsToolbarStyle();
    canvas.save();
    QFont font = canvas.font();
    DoAdjustFont(font, Item()->Enabled() ? 0u : dk::ItemStateDisabled);
    canvas.setFont(font);

    const QSize image = ImageSize();
    const bool imageShown = ThemedImageShown() && !image.isEmpty();
    const TDkxItemLayout layout = ResolvedLayout();
    const bool rotated = CaptionRotated();
    QSize text(0, 0);
    if (CaptionShown()) {
        text = MeasureCaption(canvas, GetCaptionText(), CaptionFormat(), rotated);
    }
    const QSize size = toolbar ? ToolbarStyleSize(text, image, imageShown, layout, rotated)
                               : MenuStyleSize(canvas, text, image);
    width = size.width();
    height = size.height();
    if (const TDkxCustomItem* item = ThemedItem()) {
        width = std::max(width, item->MinWidth());
        height = std::max(height, item->MinHeight());
    }
    canvas.restore();
}

QSize TDkxItemViewer::ToolbarStyleSize(QSize text, QSize image, bool imageShown,
                                       TDkxItemLayout layout, bool rotated) const {
    const bool submenu = Item()->HasStyle(dk::StyleSubmenu);
    const bool split = submenu && Item()->HasStyle(dk::StyleCombo);
    const bool dropArrow = submenu && (Item()->EffectiveOptions() & dkoDropdownArrow) != 0;
    int width = 6;
    int height = 6;
    if (!text.isEmpty()) {
        width += text.width();
        height += text.height();
        (rotated ? height : width) += 6;
    }
    if (imageShown) {
        if (layout == dkxlGlyphTop) {
            height += image.height();
            width = std::max(width, image.width() + 7);
        } else {
            width += image.width() + GlyphLeftExtra();
            height = std::max(height, image.height() + 6);
        }
    }
    if (split) {
        width += Value(dk::ValueSplitArrowWidth);
    } else if (dropArrow) {
        const int arrow = Value(dk::ValueDropDownArrowWidth);
        if (layout == dkxlGlyphTop && imageShown && !rotated) {
            if (View()->IsVertical()) {
                height = std::max(height, arrow + image.height() + 2 + 7);
            } else {
                width = std::max(width, arrow + image.width() + 2 + 7);
            }
        } else {
            (View()->IsVertical() ? height : width) += arrow;
        }
    }
    return {width, height};
}

QSize TDkxItemViewer::MenuStyleSize(QPainter& canvas, QSize text, QSize image) const {
    const QFontMetrics metrics(canvas.font(), canvas.device());
    const int vertMargin = Value(dk::ValueMenuItemVertMargin);
    int width = 2 * Value(dk::ValueMenuItemHorzMargin) + text.width();
    int height = 2 * vertMargin + text.height() + metrics.leading();
    if (image.isEmpty()) {
        image = QSize(16, 16);
    }
    height = std::max(height, 2 * vertMargin + image.height());
    width += Value(dk::ValueMenuImageGapBefore) + MenuImageColumnWidth(View(), metrics) +
             Value(dk::ValueMenuImageGapAfter) + Value(dk::ValueMenuItemExtraWidth);
    const QString shortCut = Item()->GetShortCutText();
    if (!shortCut.isEmpty()) {
        width += dk::MeasureTextWidth(metrics, shortCut, true) + (height - 6);
    }
    width += height;
    return {width, height};
}

// --- Painting ----------------------------------------------------------------------------

dk::TDkxItemInfo TDkxItemViewer::ItemInfo(bool hot, bool pushed) const {
    const TDkView* view = View();
    const TDkCustomItem* item = Item();
    const bool toolbar = IsToolbarStyle();
    const bool submenu = item->HasStyle(dk::StyleSubmenu);
    const bool split = submenu && item->HasStyle(dk::StyleCombo);
    const bool buttonPushed = pushed && (!split || view->ViewerCapture());
    const bool arrowPushed = split && pushed && !view->ViewerCapture();
    dk::TDkxItemInfo info;
    info.ViewKind = dk::GetViewKind(view->Window());
    info.ItemOptions = (toolbar ? dk::ItemToolbarStyle : 0u) | (submenu ? dk::ItemSubmenu : 0u) |
                       (split ? dk::ItemCombo : 0u);
    info.Enabled = item->Enabled() || view->Customizing();
    info.Pushed = buttonPushed;
    if (hot) {
        info.HoverKind = item->Enabled()             ? dk::HoverMouse
                         : view->MouseOverSelected() ? dk::HoverNone
                                                     : dk::HoverKeyboard;
    }
    info.Selected = item->Checked();
    const QSize image = ImageSize();
    info.ImageShown = ThemedImageShown() && !image.isEmpty();
    if (info.ImageShown) {
        info.ImageWidth = image.width();
        info.ImageHeight = image.height();
    }
    info.Vertical = view->IsVertical() && !split;
    info.ComboPart = split ? dk::ComboButton : dk::ComboWhole;
    info.DropDownOpen = toolbar && (split ? arrowPushed : buttonPushed) &&
                        (submenu || (view->HasState(vsModal) && view->OpenWindow() != nullptr));
    return info;
}

void TDkxItemViewer::Paint(QPainter& canvas, const TRect& clientArea, bool isHoverItem,
                           bool isPushed, bool /*useDisabledShadow*/) {
    const bool toolbar = IsToolbarStyle();
    dk::TDkxItemInfo info = ItemInfo(isHoverItem, isPushed);
    const bool split = info.Has(dk::ItemCombo);
    const bool arrowPushed = split && isPushed && !View()->ViewerCapture();

    canvas.save();
    QFont font = canvas.font();
    DoAdjustFont(font, dk::ItemStateFlags(info));
    canvas.setFont(font);
    if (!toolbar) {
        info.MenuImageColumn =
            MenuImageColumnWidth(View(), QFontMetrics(canvas.font(), canvas.device()));
    }
    const bool rotated = CaptionRotated();
    unsigned format = CaptionFormat();
    QString caption;
    QSize text(0, 0);
    if (CaptionShown()) {
        caption = GetCaptionText();
        text = MeasureCaption(canvas, caption, format, rotated);
    }
    if (toolbar) {
        PaintToolbarStyle(canvas, clientArea, info, arrowPushed, caption, format, rotated, text);
    } else {
        PaintMenuStyle(canvas, clientArea, info, caption, format, text);
    }
    canvas.restore();
}

void TDkxItemViewer::PaintToolbarStyle(QPainter& canvas, TRect r, dk::TDkxItemInfo& info,
                                       bool arrowPushed, const QString& caption, unsigned format,
                                       bool rotated, QSize text) {
    TDkxTheme& theme = dk::CurrentTheme();
    const TRect bounds = r;
    const TDkxCustomItem* item = ThemedItem();
    const bool split = info.Has(dk::ItemCombo);
    const bool arrow = info.Has(dk::ItemSubmenu) &&
                       (split || (Item()->EffectiveOptions() & dkoDropdownArrow) != 0);
    const QSize image(info.ImageWidth, info.ImageHeight);
    const TDkxItemLayout layout = ResolvedLayout();
    const bool glyphTopArrow = arrow && !split && item != nullptr &&
                               item->Layout() == dkxlGlyphTop && image.width() > 0 &&
                               text.width() > 0 && !rotated;
    const int arrowWidth = Value(dk::ValueDropDownArrowWidth);
    const bool verticalView = View()->IsVertical();

    // a. The arrow's rectangle.
    const TRect a = ArrowRect(r, split, glyphTopArrow, arrow, image, text);
    if (split) {
        r.Right -= Value(dk::ValueSplitArrowWidth);
    }
    // b. The face, and the arrow.
    if (!split) {
        info.ComboPart = dk::ComboWhole;
        theme.DrawButtonFace(canvas, r, info);
        if (arrow) {
            theme.DrawDropDownGlyph(canvas, a, info);
            if (!glyphTopArrow) {
                (verticalView ? r.Bottom : r.Right) -= arrowWidth;
            }
        }
    } else {
        theme.DrawButtonFace(canvas, r, info);
        dk::TDkxItemInfo arrowInfo = info;
        arrowInfo.ComboPart = dk::ComboArrow;
        arrowInfo.Pushed = arrowPushed;
        arrowInfo.Selected = false;
        theme.DrawButtonFace(canvas, a, arrowInfo);
    }
    // c. The content inside the face.
    r.Inflate(-2, -2);

    if (!caption.isEmpty()) {
        PaintToolbarCaption(canvas, r, bounds, info, caption, format, rotated, text);
    }
    // The image area.
    if (info.ImageShown) {
        TRect area = r;
        if (glyphTopArrow) {
            area.Offset((1 - arrowWidth) / 2, 0);
        }
        if (layout == dkxlGlyphLeft) {
            area.Right = area.Left + image.width() + 2;
        } else {
            area.Bottom = area.Top + image.height() + 2;
        }
        DrawImageArea(canvas, area, info, true);
    }
}

TRect TDkxItemViewer::ArrowRect(const TRect& r, bool split, bool glyphTopArrow, bool arrow,
                                QSize image, QSize text) const {
    const int arrowWidth = Value(dk::ValueDropDownArrowWidth);
    const int arrowSpace = Value(dk::ValueDropDownArrowSpace);
    if (split) {
        return TRect(r.Right - Value(dk::ValueSplitArrowWidth), r.Top, r.Right, r.Bottom);
    }
    if (glyphTopArrow) {
        TRect a;
        a.Right = (r.Left + r.Right + image.width() + 4 + arrowWidth) / 2;
        a.Left = a.Right - arrowWidth;
        a.Top = r.Top + (r.Height() - image.height() - text.height()) / 2;
        a.Bottom = r.Top + image.height();
        return a;
    }
    if (arrow) {
        return View()->IsVertical()
                   ? TRect(0, r.Bottom - arrowWidth - arrowSpace, r.Right, r.Bottom - arrowSpace)
                   : TRect(r.Right - arrowWidth - arrowSpace, 0, r.Right - arrowSpace, r.Bottom);
    }
    return {};
}

void TDkxItemViewer::PaintToolbarCaption(QPainter& canvas, const TRect& r, const TRect& bounds,
                                         const dk::TDkxItemInfo& info, const QString& caption,
                                         unsigned format, bool rotated, QSize text) {
    const QSize image(info.ImageWidth, info.ImageHeight);
    format |= plat::DT_CENTER | plat::DT_VCENTER;
    TRect t = r;
    if (info.ImageShown && ResolvedLayout() == dkxlGlyphLeft) {
        t.Left += image.width() + 5;
        t = CenteredBox(t, text);
        format &= ~plat::DT_CENTER;
    } else if (info.ImageShown) {
        t.Top += image.height() + 1 + (rotated ? 4 : 0);
        t = CenteredBox(t, text);
        format &= ~plat::DT_VCENTER;
    } else {
        t = CenteredBox(r, text);
    }
    bool paint = true;
    AdjustCaptionRect(canvas, bounds, t, rotated, paint);
    if (paint) {
        dk::CurrentTheme().DrawItemCaption(canvas, t, info, caption, format, rotated);
    }
}

void TDkxItemViewer::PaintMenuStyle(QPainter& canvas, TRect r, dk::TDkxItemInfo& info,
                                    const QString& caption, unsigned format, QSize text) {
    TDkxTheme& theme = dk::CurrentTheme();
    const TRect bounds = r;
    theme.DrawMenuItem(canvas, r, info);
    const int margin = Value(dk::ValueMenuItemHorzMargin);
    const int vertMargin = Value(dk::ValueMenuItemVertMargin);
    TRect t = r;
    t.Left += info.MenuImageColumn + margin;
    t.Right -= margin;
    r.Left += margin;
    r.Right -= margin;

    const QFontMetrics metrics(canvas.font(), canvas.device());
    const int leading = metrics.leading();
    // A row exactly one line high keeps its text off the bottom edge.
    const auto settle = [&](TRect& box) {
        if (vertMargin == box.Height() - (metrics.height() + leading)) {
            --box.Bottom;
        }
        box.Top += leading;
    };
    format |= plat::DT_VCENTER;
    if (!caption.isEmpty()) {
        t.Left += Value(dk::ValueMenuImageGapBefore) + Value(dk::ValueMenuImageGapAfter);
        settle(t);
        t.Right = t.Left + text.width();
        bool paint = true;
        AdjustCaptionRect(canvas, bounds, t, false, paint);
        if (paint) {
            theme.DrawItemCaption(canvas, t, info, caption, format, false);
        }
    }
    const QString shortCut = Item()->GetShortCutText();
    if (!shortCut.isEmpty()) {
        TRect s = r;
        s.Left = s.Right - s.Height() - dk::MeasureTextWidth(metrics, shortCut, true);
        settle(s);
        theme.DrawItemCaption(canvas, s, info, shortCut, format, false);
    }
    if (info.ImageShown || Item()->Checked()) {
        TRect area = r;
        area.Right = area.Left + bounds.Height();
        DrawImageArea(canvas, area, info, info.ImageShown);
    }
}

void TDkxItemViewer::DrawImageArea(QPainter& canvas, const TRect& area,
                                   const dk::TDkxItemInfo& info, bool imageShown) {
    if (imageShown) {
        DoDrawImage(canvas, CenteredBox(area, QSize(info.ImageWidth, info.ImageHeight)), info);
    } else {
        dk::CurrentTheme().DrawCheckGlyph(canvas, area, info);
    }
}

// --- Separators ----------------------------------------------------------------------------

void TDkxSeparatorItemViewer::CalcSize(QPainter& canvas, int& width, int& height) {
    const auto* separator = qobject_cast<const TDkxSeparatorItem*>(Item());
    const bool toolbar = IsToolbarStyle();
    int size = separator != nullptr ? separator->Size() : -1;
    if (size == -1) {
        size = dk::CurrentTheme().GetIntegerValue(toolbar ? dk::ValueToolbarSeparatorSize
                                                          : dk::ValueMenuSeparatorSize);
        if (size < 0) {
            TDkSeparatorItemViewer::CalcSize(canvas, width, height);
            return;
        }
    }
    width = toolbar ? size : 0;
    height = size;
}

void TDkxSeparatorItemViewer::Paint(QPainter& canvas, const TRect& clientArea, bool isHoverItem,
                                    bool /*isPushed*/, bool /*useDisabledShadow*/) {
    const auto* separator = qobject_cast<const TDkSeparatorItem*>(Item());
    const auto* themed = qobject_cast<const TDkxSeparatorItem*>(Item());
    if ((separator != nullptr && separator->Blank()) ||
        (themed != nullptr && themed->Size() == 0)) {
        return;
    }
    const bool toolbar = IsToolbarStyle();
    const TDkView* view = View();
    dk::TDkxItemInfo info;
    info.ViewKind = dk::GetViewKind(view->Window());
    info.ItemOptions = toolbar ? dk::ItemToolbarStyle : 0u;
    info.Enabled = Item()->Enabled() || view->Customizing();
    info.HoverKind = isHoverItem ? dk::HoverMouse : dk::HoverNone;
    info.Vertical = view->IsVertical();
    if (!toolbar) {
        const QFontMetrics metrics(canvas.font(), canvas.device());
        info.MenuImageColumn = TDkxItemViewer::MenuImageColumnWidth(view, metrics);
    }
    bool horizontal = !toolbar || view->IsVertical();
    if (LineBreak) {
        horizontal = !horizontal;
    }
    const bool inset = LineBreak || (view->IsPopup() && view->ChevronParentView() == nullptr);
    dk::CurrentTheme().DrawSeparator(canvas, clientArea, info, horizontal, inset);
}
