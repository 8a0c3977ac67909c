#include "dockkit/items/DkItemViewer.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkDraw.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkView/DkView.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/Edges.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Metrics.h"
#include "platform/gui/MulDiv.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr int kComboArrowWidth = 11;
constexpr int kDropdownArrowRoom = 8;

} // namespace

TDkItemViewer::TDkItemViewer(TDkView* view, TDkCustomItem* item, int groupLevel)
    : view_(view), item_(item), groupLevel_(groupLevel) {}

TDkItemViewer::~TDkItemViewer() = default;

bool TDkItemViewer::IsToolbarStyle() const {
    return view_->IsToolbar() || (item_->EffectiveOptions() & dkoToolbarStyle) != 0;
}

bool TDkItemViewer::IsToolbarSize() const {
    return view_->IsToolbar() || (item_->EffectiveOptions() & dkoToolbarSize) != 0;
}

bool TDkItemViewer::IsRotated() const {
    return view_->IsVertical() &&
           (item_->EffectiveOptions() & (dkoNoRotation | dkoImageAboveCaption)) == 0;
}

bool TDkItemViewer::ImageShown() const {
    if (item_->ImageIndex() < 0) {
        return false;
    }
    const TDkItemDisplayMode mode = item_->DisplayMode();
    return mode == nbdmDefault || mode == nbdmImageAndText ||
           (mode == nbdmTextOnlyInMenus && IsToolbarStyle());
}

bool TDkItemViewer::CaptionShown() const {
    if (GetCaptionText().isEmpty()) {
        return false;
    }
    const TDkItemDisplayMode mode = item_->DisplayMode();
    if (!IsToolbarSize() || item_->ImageIndex() < 0 || mode == nbdmTextOnly ||
        mode == nbdmImageAndText) {
        return true;
    }
    return (item_->EffectiveOptions() & dkoImageAboveCaption) != 0;
}

plat::ImageList* TDkItemViewer::GetImageList() const {
    if (plat::ImageList* own = item_->Images()) {
        return own;
    }
    for (const TDkView* v = view_; v != nullptr; v = v->ParentView()) {
        if (v->CurrentRoot() != nullptr && v->CurrentRoot()->SubMenuImages() != nullptr) {
            return v->CurrentRoot()->SubMenuImages();
        }
        if (v->ParentItem() != nullptr && v->ParentItem()->SubMenuImages() != nullptr) {
            return v->ParentItem()->SubMenuImages();
        }
    }
    return nullptr;
}

int TDkItemViewer::IndexInView() const {
    return view_->IndexOf(this);
}

QString TDkItemViewer::GetCaptionText() const {
    const QString& caption = item_->Caption();
    const qsizetype tab = caption.indexOf(u'\t');
    return tab >= 0 ? caption.left(tab) : caption;
}

void TDkItemViewer::Entering(TDkItemViewer* /*previous*/) {
    if (item_->OnSelect) {
        item_->OnSelect(item_, this, true);
    }
}

QString TDkItemViewer::GetHint(QPoint /*point*/, plat::TRect& rect) const {
    rect = plat::TRect(0, 0, BoundsRect.Width(), BoundsRect.Height());
    return item_->GetHintText();
}

QString TDkItemViewer::HintToShow(QPoint point, plat::TRect& rect) const {
    if (view_->PopupOpenFor(this)) {
        return {};
    }
    return GetHint(point, rect);
}

void TDkItemViewer::Leaving() {
    if (item_->OnSelect) {
        item_->OnSelect(item_, this, false);
    }
}

void TDkItemViewer::GetCursor(QPoint /*point*/, Qt::CursorShape& /*cursor*/) {}

void TDkItemViewer::KeyDown(int& /*key*/, Qt::KeyboardModifiers /*shift*/) {}

void TDkItemViewer::MouseMove(int /*x*/, int /*y*/) {}

void TDkItemViewer::MouseWheel(int /*wheelDelta*/, int /*x*/, int /*y*/) {}

void TDkItemViewer::LosingCapture() {
    view_->InvalidateViewer(this);
}

int TDkItemViewer::ComboArrowWidth() const {
    return IsToolbarStyle() ? kComboArrowWidth : plat::GetSystemMetrics(plat::SM_CXMENUCHECK);
}

bool TDkItemViewer::IsPtInButtonPart(int x, int /*y*/) const {
    if (!item_->HasStyle(dk::StyleSubmenu)) {
        return true;
    }
    if (!item_->HasStyle(dk::StyleCombo)) {
        return false;
    }
    return x < BoundsRect.Width() - ComboArrowWidth();
}

void TDkItemViewer::CalcSize(QPainter& canvas, int& width, int& height) {
    const bool toolbar = IsToolbarStyle();
    const QFontMetrics metrics = canvas.fontMetrics();
    width = toolbar ? 6 : 0;
    height = toolbar ? 6 : 0;
    if (!toolbar || CaptionShown()) {
        const int textWidth = dk::MeasureTextWidth(metrics, GetCaptionText(), true);
        const int extra = toolbar ? 6 : 0;
        if (IsRotated()) {
            width += metrics.height();
            height += textWidth + extra;
        } else {
            height += metrics.height();
            width += textWidth + extra;
        }
    }
    const plat::ImageList* images = GetImageList();
    if (toolbar) {
        if (ImageShown() && images != nullptr) {
            if (!IsRotated() && (item_->EffectiveOptions() & dkoImageAboveCaption) == 0) {
                width += images->Width() + 1;
                height = std::max(height, images->Height() + 6);
            } else {
                height += images->Height();
                width = std::max(width, images->Width() + 7);
            }
        }
        if (item_->HasStyle(dk::StyleSubmenu)) {
            if (item_->HasStyle(dk::StyleCombo)) {
                width += kComboArrowWidth;
            } else if ((item_->EffectiveOptions() & dkoDropdownArrow) != 0) {
                (view_->IsVertical() ? height : width) += kDropdownArrowRoom;
            }
        }
        return;
    }
    height += metrics.leading() + 4;
    int imageColumn = height;
    if (images != nullptr) {
        height = std::max(height, images->Height() + 3);
        imageColumn = plat::MulDiv(images->Width() + 3, height, images->Height() + 3);
    }
    width += imageColumn + 6;
    const QString shortCutText = item_->GetShortCutText();
    if (!shortCutText.isEmpty()) {
        width += dk::MeasureTextWidth(metrics, shortCutText, false) + height - 6;
    }
    width += height; // the submenu arrow
}

void TDkItemViewer::DrawItemCaption(QPainter& canvas, const plat::TRect& rect,
                                    const QString& caption, bool embossed, unsigned format) {
    const auto draw = [&](const plat::TRect& r) {
        if (IsRotated()) {
            dk::DrawVerticalText(canvas, caption, r, format);
        } else {
            dk::DrawCaption(canvas, caption, r, format);
        }
    };
    if (!embossed) {
        draw(rect);
        return;
    }
    const QPen pen = canvas.pen();
    plat::TRect shifted = rect;
    shifted.Offset(1, 1);
    canvas.setPen(plat::ToQColor(plat::clBtnHighlight));
    draw(shifted);
    canvas.setPen(plat::ToQColor(plat::clBtnShadow));
    draw(rect);
    canvas.setPen(pen);
}

void TDkItemViewer::DrawImage(QPainter& canvas, int x, int y, bool enabled) const {
    const plat::ImageList* images = GetImageList();
    if (images == nullptr) {
        return;
    }
    if (enabled) {
        images->Draw(canvas, x, y, item_->ImageIndex(), plat::clNone);
    } else {
        dk::DrawDisabledImage(canvas, *images, item_->ImageIndex(), x, y);
    }
}

void TDkItemViewer::Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem,
                          bool isPushed, bool /*useDisabledShadow*/) {
    if ((item_->EffectiveOptions() & dkoDefault) != 0) {
        QFont font = canvas.font();
        font.setBold(true);
        canvas.setFont(font);
    }
    if (IsToolbarStyle()) {
        PaintToolbarItem(canvas, clientArea, isHoverItem, isPushed);
    } else {
        PaintMenuItem(canvas, clientArea, isHoverItem);
    }
}

void TDkItemViewer::PaintToolbarItem(QPainter& canvas, const plat::TRect& rect, bool hot,
                                     bool pushed) {
    const bool enabled = item_->Enabled();
    const bool checked = item_->Checked();
    const bool combo = item_->HasStyle(dk::StyleSubmenu) && item_->HasStyle(dk::StyleCombo);
    plat::TRect button = rect;
    plat::TRect arrow;
    if (combo) {
        arrow = plat::TRect(rect.Right - kComboArrowWidth, rect.Top, rect.Right, rect.Bottom);
        button.Right = arrow.Left;
    }
    PaintButtonFace(canvas, button, combo ? &arrow : nullptr, hot, pushed);
    plat::TRect content = button;
    if (pushed || checked) {
        content.Offset(1, 1);
    }
    const bool dropArrow = item_->HasStyle(dk::StyleSubmenu) && !combo &&
                           (item_->EffectiveOptions() & dkoDropdownArrow) != 0;
    const plat::TColor textColor = enabled ? plat::clBtnText : plat::clBtnShadow;
    if (dropArrow) {
        const int left = content.Right - kDropdownArrowRoom;
        const QPoint at(left + 1, content.Top + (content.Height() - 3) / 2);
        if (!enabled) {
            dk::DrawDownTriangle(canvas, at + QPoint(1, 1), 5, plat::clBtnHighlight);
        }
        dk::DrawDownTriangle(canvas, at, 5, textColor);
        content.Right = left;
    }
    if (combo) {
        const QPoint at(arrow.Left + (kComboArrowWidth - 5) / 2 + (pushed ? 1 : 0),
                        arrow.Top + (arrow.Height() - 3) / 2 + (pushed ? 1 : 0));
        if (!enabled) {
            dk::DrawDownTriangle(canvas, at + QPoint(1, 1), 5, plat::clBtnHighlight);
        }
        dk::DrawDownTriangle(canvas, at, 5, textColor);
    }
    PaintButtonContent(canvas, content);
}

void TDkItemViewer::PaintButtonFace(QPainter& canvas, const plat::TRect& button,
                                    const plat::TRect* arrow, bool hot, bool pushed) {
    const bool checked = item_->Checked();
    if (checked && !hot) {
        plat::TRect inside = button;
        inside.Inflate(-1, -1);
        canvas.fillRect(inside.ToQRect(), dk::DitherBrush());
    }
    if (hot || pushed || checked) {
        const unsigned edge = pushed || checked ? plat::BDR_SUNKENOUTER : plat::BDR_RAISEDINNER;
        plat::DrawEdge(canvas, button.ToQRect(), edge, plat::BF_RECT);
        if (arrow != nullptr) {
            plat::DrawEdge(canvas, arrow->ToQRect(), pushed ? plat::BDR_SUNKENOUTER : edge,
                           plat::BF_RECT);
        }
    } else if (arrow != nullptr && item_->Enabled()) {
        plat::TRect line = *arrow;
        line.Inflate(0, -2);
        plat::DrawEdge(canvas, line.ToQRect(), plat::EDGE_ETCHED, plat::BF_LEFT);
    }
}

void TDkItemViewer::PaintButtonContent(QPainter& canvas, const plat::TRect& content) {
    const bool enabled = item_->Enabled();
    const plat::ImageList* images = GetImageList();
    const bool image = ImageShown() && images != nullptr;
    const bool caption = CaptionShown();
    const bool above = IsRotated() || (item_->EffectiveOptions() & dkoImageAboveCaption) != 0;
    plat::TRect textRect = content;
    if (image) {
        int x = content.Left + (content.Width() - images->Width()) / 2;
        int y = content.Top + (content.Height() - images->Height()) / 2;
        if (caption && !above) {
            x = content.Left + 3;
            textRect.Left = x + images->Width() + 1;
        } else if (caption) {
            y = content.Top + 3;
            textRect.Top = y + images->Height();
        }
        DrawImage(canvas, x, y, enabled);
    }
    if (caption) {
        canvas.setPen(plat::ToQColor(plat::clBtnText));
        unsigned format = plat::DT_CENTER | plat::DT_SINGLELINE | plat::DT_VCENTER;
        if (!view_->AcceleratorsShown()) {
            format |= plat::DT_HIDEPREFIX;
        }
        DrawItemCaption(canvas, textRect, GetCaptionText(), !enabled, format);
    }
}

void TDkItemViewer::PaintMenuItem(QPainter& canvas, const plat::TRect& rect, bool hot) {
    const bool enabled = item_->Enabled();
    const plat::ImageList* images = GetImageList();
    const int height = rect.Height();
    const int column = images != nullptr
                           ? plat::MulDiv(images->Width() + 3, height, images->Height() + 3)
                           : height;
    if (hot) {
        canvas.fillRect(rect.ToQRect(), plat::ToQColor(plat::clHighlight));
    }
    const plat::TColor textColor =
        hot ? (enabled ? plat::clHighlightText : plat::clGrayText) : plat::clMenuText;
    const plat::TRect imageRect(rect.Left, rect.Top, rect.Left + column, rect.Bottom);
    const bool image = ImageShown() && images != nullptr;
    if (image) {
        if (item_->Checked() || (hot && enabled)) {
            plat::DrawEdge(canvas, imageRect.ToQRect(),
                           item_->Checked() ? plat::BDR_SUNKENOUTER : plat::BDR_RAISEDINNER,
                           plat::BF_RECT | plat::BF_MIDDLE);
        }
        DrawImage(canvas, imageRect.Left + (column - images->Width()) / 2,
                  imageRect.Top + (height - images->Height()) / 2, enabled);
    } else if (item_->Checked()) {
        // A check mark: a thick tick 7 wide and 7 high in the text colour.
        const int x = imageRect.Left + (column - 7) / 2;
        const int y = imageRect.Top + (height - 7) / 2;
        const QPolygon tick({QPoint(x, y + 2), QPoint(x + 2, y + 4), QPoint(x + 6, y),
                             QPoint(x + 6, y + 2), QPoint(x + 2, y + 6), QPoint(x, y + 4)});
        canvas.save();
        canvas.setPen(Qt::NoPen);
        canvas.setBrush(plat::ToQColor(enabled || hot ? textColor : plat::clBtnShadow));
        canvas.drawPolygon(tick);
        canvas.restore();
    }
    const bool embossed = !enabled && !hot;
    canvas.setPen(plat::ToQColor(textColor));
    const plat::TRect textRect(rect.Left + column + 3, rect.Top, rect.Right - height, rect.Bottom);
    unsigned format = plat::DT_SINGLELINE | plat::DT_VCENTER;
    if (!view_->AcceleratorsShown()) {
        format |= plat::DT_HIDEPREFIX;
    }
    DrawItemCaption(canvas, textRect, GetCaptionText(), embossed, format);
    const QString shortCutText = item_->GetShortCutText();
    if (!shortCutText.isEmpty()) {
        DrawItemCaption(canvas, textRect, shortCutText, embossed,
                        plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_RIGHT |
                            plat::DT_NOPREFIX);
    }
    if (item_->HasStyle(dk::StyleSubmenu)) {
        const QPoint at(rect.Right - height / 2 - 2, rect.Top + (height - 7) / 2);
        if (embossed) {
            dk::DrawRightTriangle(canvas, at + QPoint(1, 1), 7, plat::clBtnHighlight);
            dk::DrawRightTriangle(canvas, at, 7, plat::clBtnShadow);
        } else {
            dk::DrawRightTriangle(canvas, at, 7, textColor);
        }
    }
}

void TDkItemViewer::MouseDown(bool doubleClick, int x, int y, bool& mouseDownOnMenu) {
    TDkView* toolbarView = view_->NearestToolbarView();
    if (!item_->Enabled()) {
        if (view_ == view_->LoopView() && IsToolbarStyle()) {
            view_->EndModal();
        }
        return;
    }
    if (IsPtInButtonPart(x, y)) {
        if (IsToolbarStyle()) {
            if (toolbarView == view_) {
                view_->SetState(vsDropDownMode, false);
            }
            view_->CloseChildPopups();
            view_->SetViewerCapture(true);
            view_->InvalidateViewer(this);
        }
        return;
    }
    const bool wasDropDown = toolbarView == view_ && view_->HasState(vsDropDownMode);
    if (!view_->OpenChildPopup(false)) {
        return;
    }
    if (wasDropDown) {
        mouseDownOnMenu = true;
    }
    if (toolbarView != nullptr) {
        toolbarView->SetState(vsDropDownMode, true);
    }
    TDkView* opened = view_->OpenView();
    if (!doubleClick || item_->HasStyle(dk::StyleCombo) || opened == nullptr) {
        return;
    }
    opened->ValidatePositions();
    for (int i = 0; i < opened->ViewerCount(); ++i) {
        TDkItemViewer* v = opened->Viewers(i);
        const TDkCustomItem* it = v->Item();
        if (v->Show && it->Enabled() && it->Visible() && it->HasStyle(dk::StyleSelectable) &&
            (it->EffectiveOptions() & dkoDefault) != 0) {
            opened->Select(v);
            view_->EndModalWithItem(v->Item(), true);
            return;
        }
    }
}

void TDkItemViewer::MouseUp(int x, int y, bool mouseWasDownOnMenu) {
    const bool heldCapture = view_->ViewerCapture() && view_->Selected() == this;
    view_->SetViewerCapture(false);
    const bool over = view_->Selected() == this && x >= 0 && y >= 0 && x < BoundsRect.Width() &&
                      y < BoundsRect.Height();
    TDkView* loopView = view_->LoopView();
    if (over && item_->Enabled() && !item_->HasStyle(dk::StyleClicksTransparent)) {
        if (item_->HasStyle(dk::StyleSubmenu) && !IsPtInButtonPart(x, y)) {
            if (view_ == loopView && view_->IsToolbar() && mouseWasDownOnMenu) {
                view_->EndModal();
            }
            return;
        }
        if (IsToolbarStyle() && !heldCapture) {
            return;
        }
        view_->NotifyViewerUsed(this);
        view_->EndModalWithItem(item_, !(view_ == loopView && view_->IsToolbar()));
        return;
    }
    if (view_ == loopView && view_->IsToolbar()) {
        view_->EndModal();
    }
}

void TDkSeparatorItemViewer::CalcSize(QPainter& canvas, int& width, int& height) {
    if (IsToolbarStyle()) {
        width = 6;
        height = 6;
        return;
    }
    width = 0;
    height = dk::DivideAwayFromZero(canvas.fontMetrics().height() * 2, 3);
}

void TDkSeparatorItemViewer::Paint(QPainter& canvas, const plat::TRect& clientArea,
                                   bool /*isHoverItem*/, bool /*isPushed*/,
                                   bool /*useDisabledShadow*/) {
    const auto* separator = qobject_cast<const TDkSeparatorItem*>(Item());
    if (separator != nullptr && separator->Blank()) {
        return;
    }
    bool horizontal = !IsToolbarStyle() || View()->IsVertical();
    if (LineBreak) {
        horizontal = !horizontal;
    }
    plat::TRect r = clientArea;
    if (horizontal) {
        int inset = 0;
        if (!IsToolbarStyle()) {
            inset = 12;
        } else if (LineBreak) {
            inset = View()->Orientation() == dkvoFloating ? 1 : 4;
        }
        r.Left += inset;
        r.Right -= inset;
        r.Top += r.Height() / 2 - 1;
        plat::DrawEdge(canvas, r.ToQRect(), plat::EDGE_ETCHED, plat::BF_TOP);
    } else {
        if (LineBreak) {
            r.Top += 4;
            r.Bottom -= 4;
        }
        r.Left += r.Width() / 2 - 1;
        plat::DrawEdge(canvas, r.ToQRect(), plat::EDGE_ETCHED, plat::BF_LEFT);
    }
}
