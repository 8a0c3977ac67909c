#include "dockkit/docking/DkDockablePanel.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkModalLoop.h"
#include "dockkit/docking/DkDragOutline.h"
#include "dockkit/docking/DkThemedFloatingParent.h"
#include "dockkit/themes/DkNexus.h"

#include "platform/gui/Metrics.h"
#include "platform/gui/StoredValues.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

namespace {

const QString kClientWidthValue = QStringLiteral("DPClientWidth");
const QString kClientHeightValue = QStringLiteral("DPClientHeight");
// The least the form's client part (the chat area) keeps beside a docked
// panel.
constexpr int kClientAreaLeast = 32;

bool IsHorizontalDock(const TDkDock* dock) {
    return dock != nullptr && !dock->IsVertical();
}

} // namespace

TDkxDockablePanel::TDkxDockablePanel(QWidget* parent) : TDkCustomDockableWindow(parent) {
    SetFullSize(true);
    SetCloseButtonWhenDocked(true);
    SetDockableTo(tdpLeft | tdpRight);
    resize(120, 120);
    layout_ = new plat::AlignLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    dk::AddThemedWindow(this);
    UpdateEffectiveColor();
}

TDkxDockablePanel::~TDkxDockablePanel() {
    dk::RemoveThemedWindow(this);
}

// --- Properties ---------------------------------------------------------------------

void TDkxDockablePanel::SetBorderSize(int value) {
    if (borderSize_ != value) {
        borderSize_ = value;
        layout_->setContentsMargins(value, value, value, value);
    }
}

int TDkxDockablePanel::ClientAreaWidth() const {
    return parentWidget() != nullptr ? ClientSize().width() : floatingClient_.width();
}

int TDkxDockablePanel::ClientAreaHeight() const {
    return parentWidget() != nullptr ? ClientSize().height() : floatingClient_.height();
}

void TDkxDockablePanel::SetClientAreaWidth(int value) {
    SetFloatingClientSize(QSize(value, floatingClient_.height()));
}

void TDkxDockablePanel::SetClientAreaHeight(int value) {
    SetFloatingClientSize(QSize(floatingClient_.width(), value));
}

void TDkxDockablePanel::SetColor(plat::TColor value) {
    if (color_ != value) {
        color_ = value;
        UpdateEffectiveColor();
    }
}

TDkxDockablePanelPositions TDkxDockablePanel::DockableTo() const {
    const TDkDockPositions positions = TDkCustomDockableWindow::DockableTo();
    return ((positions & DockPositionBit(dpLeft)) != 0 ? tdpLeft : 0u) |
           ((positions & DockPositionBit(dpRight)) != 0 ? tdpRight : 0u);
}

void TDkxDockablePanel::SetDockableTo(TDkxDockablePanelPositions value) {
    TDkCustomDockableWindow::SetDockableTo(
        ((value & tdpLeft) != 0 ? DockPositionBit(dpLeft) : 0u) |
        ((value & tdpRight) != 0 ? DockPositionBit(dpRight) : 0u));
}

void TDkxDockablePanel::SetMinClientHeight(int value) {
    minClientHeight_ = value;
    SetFloatingClientSize(floatingClient_);
}

void TDkxDockablePanel::SetMinClientWidth(int value) {
    minClientWidth_ = value;
    SetFloatingClientSize(floatingClient_);
}

void TDkxDockablePanel::SetShowCaptionWhenDocked(bool value) {
    if (showCaptionWhenDocked_ != value) {
        showCaptionWhenDocked_ = value;
        if (Docked()) {
            FrameChanged();
            ArrangeContent();
        }
    }
}

unsigned TDkxDockablePanel::ViewKind() const {
    unsigned kind = dk::ViewDockPanel;
    if (Floating()) {
        kind |= dk::ViewFloating;
    }
    if (Resizable()) {
        kind |= dk::ViewResizable;
    }
    return kind;
}

// --- Sizes --------------------------------------------------------------------------

int TDkxDockablePanel::CaptionSize() const {
    return showCaptionWhenDocked_ ? plat::GetSystemMetrics(plat::SM_CYSMCAPTION) : 0;
}

QSize TDkxDockablePanel::ClampClientSize(QSize size) const {
    // Never beyond what a screen could show, whatever the limits say.
    const auto clamp = [](int value, int min, int max) {
        value = std::max(value, min);
        value = max > min ? std::min(value, max) : value;
        return std::min(value, plat::kScreenCoordinateLimit);
    };
    return {clamp(size.width(), minClientWidth_, maxClientWidth_),
            clamp(size.height(), minClientHeight_, maxClientHeight_)};
}

void TDkxDockablePanel::SetFloatingClientSize(QSize size) {
    floatingClient_ = ClampClientSize(size);
    ArrangeContent();
}

QSize TDkxDockablePanel::LayoutChildren(bool /*canMoveControls*/, PlacementKind kind,
                                        TDkDock* /*targetDock*/) {
    switch (kind) {
    case pkVerticalDock:
        return {floatingClient_.width(), minClientHeight_};
    case pkHorizontalDock:
        return {minClientWidth_, floatingClient_.height()};
    default:
        return floatingClient_;
    }
}

QSize TDkxDockablePanel::NaturalSize() {
    return LayoutChildren(false, Placement(), CurrentDock());
}

void TDkxDockablePanel::ClientSizeLimits(int& minWidth, int& minHeight, int& maxWidth,
                                         int& maxHeight) const {
    minWidth = minClientWidth_;
    minHeight = minClientHeight_;
    maxWidth = maxClientWidth_ > minClientWidth_ ? maxClientWidth_ : 0;
    maxHeight = maxClientHeight_ > minClientHeight_ ? maxClientHeight_ : 0;
}

void TDkxDockablePanel::ClientSizeChanging(int newWidth, int newHeight) {
    // Along its dock the panel is stretched to the dock's length: only the
    // size across the dock is its own.
    QSize kept = floatingClient_;
    const TDkDock* dock = Docked() ? CurrentDock() : nullptr;
    if (dock == nullptr || dock->IsVertical()) {
        kept.setWidth(newWidth);
    }
    if (dock == nullptr || !dock->IsVertical()) {
        kept.setHeight(newHeight);
    }
    floatingClient_ = ClampClientSize(kept);
}

QSize TDkxDockablePanel::DockedFrameSizeFor(const TDkDock* dock) const {
    if (dock == nullptr) {
        return {0, 0};
    }
    QSize size(4, 4);
    if (dock->IsVertical()) {
        size.rheight() += CaptionSize();
    } else {
        size.rwidth() += CaptionSize();
    }
    return size;
}

QMargins TDkxDockablePanel::CalcNcMargins() const {
    if (!Docked() || CurrentDock() == nullptr) {
        return {};
    }
    if (CurrentDock()->IsVertical()) {
        return {2, 2 + CaptionSize(), 2, 2};
    }
    return {2 + CaptionSize(), 2, 2, 2};
}

plat::TRect TDkxDockablePanel::DockedCloseButtonBounds(bool vertical) const {
    const int size = plat::GetSystemMetrics(plat::SM_CYSMCAPTION) - 1;
    const int left = vertical ? ClientSize().width() + 2 - size : 2;
    return {left, 2, left + size, 2 + size};
}

bool TDkxDockablePanel::CloseButtonShownDocked() const {
    return Docked() && CurrentDock() != nullptr && CurrentDock()->AllowDrag() &&
           CloseButtonWhenDocked();
}

// --- Container and floating form -------------------------------------------------------

TDkFloatingWindowParent* TDkxDockablePanel::CreateFloatingForm(QWidget* parentForm) {
    return new TDkxFloatingWindowParent(parentForm);
}

void TDkxDockablePanel::ValidateContainer(QWidget* container) const {
    const auto* dock = qobject_cast<const TDkDock*>(container);
    if (IsHorizontalDock(dock)) {
        throw EComponentError(dk::SPanelHorizontalDock);
    }
}

// --- The room beside the other docks ----------------------------------------------------

int TDkxDockablePanel::FormClientAcross(bool vertical) const {
    const QWidget* form = ParentForm();
    QSize client = form->contentsRect().size();
    // A form yet to open maximized will have its monitor's work area, less
    // its frame where the window system draws one.
    if (!form->isVisible() &&
        (form->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0) {
        const plat::TRect area = dk::MonitorRectForRect(plat::TRect(form->geometry()), true);
        client = client.expandedTo(
            QSize(area.Width() - 2 * plat::GetSystemMetrics(plat::SM_CXSIZEFRAME),
                  area.Height() - 2 * plat::GetSystemMetrics(plat::SM_CYSIZEFRAME)));
    }
    return vertical ? client.width() : client.height();
}

int TDkxDockablePanel::TakenBeside(const TDkDock& dock) const {
    const bool vertical = dock.IsVertical();
    const auto across = [vertical](const QWidget& w) { return vertical ? w.width() : w.height(); };
    // Its own dock's bound lines and other rows (the panel fills a row of
    // its own).
    int taken = vertical ? dock.BoundLinesWidth() : dock.BoundLinesHeight();
    const int ownRow = dock.HoldsWindow(this) ? EffectiveRow() : -1;
    for (int row = 0; row <= dock.HighestRow(true); ++row) {
        if (row != ownRow) {
            taken = dk::SaturatingAdd(taken, dock.RowThicknessOf(row).Thickness);
        }
    }
    // The docks and bars the form aligns on either side.
    const QWidget* site = dock.parentWidget();
    const auto* layout =
        site != nullptr ? qobject_cast<const plat::AlignLayout*>(site->layout()) : nullptr;
    for (int i = 0; layout != nullptr && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        const QWidget* w = item->widget();
        if (w == nullptr || w == &dock || item->isEmpty()) {
            continue;
        }
        const plat::Align align = layout->AlignOf(w);
        const bool beside = vertical ? align == plat::Align::Left || align == plat::Align::Right
                                     : align == plat::Align::Top || align == plat::Align::Bottom;
        if (beside) {
            taken = dk::SaturatingAdd(taken, across(*w));
        }
    }
    return taken;
}

void TDkxDockablePanel::SettleDockSite(const TDkDock& dock) {
    QWidget* site = dock.parentWidget();
    QLayout* layout = site != nullptr ? site->layout() : nullptr;
    if (layout == nullptr) {
        return;
    }
    layout->invalidate();
    layout->activate();
    // The docks of a hidden form hear of no resize: each arranges its
    // windows for the length it has now.
    if (!site->isVisible()) {
        for (TDkDock* each : site->findChildren<TDkDock*>(Qt::FindDirectChildrenOnly)) {
            each->ArrangeRows();
        }
    }
}

int TDkxDockablePanel::DockedRoom(const TDkDock& dock) const {
    if (ParentForm() == nullptr) {
        return plat::kScreenCoordinateLimit;
    }
    const int64_t room =
        int64_t{FormClientAcross(dock.IsVertical())} - TakenBeside(dock) - kClientAreaLeast;
    return static_cast<int>(std::clamp<int64_t>(room, 0, plat::kScreenCoordinateLimit));
}

// --- Saved positions -----------------------------------------------------------------

void TDkxDockablePanel::ReadExtraPositionValues(const dk::TDkPositionReadData& data) {
    if (!Resizable()) {
        return;
    }
    const QString name = objectName();
    std::optional<int64_t> height =
        data.ReadInt(name, kClientHeightValue, floatingClient_.height());
    std::optional<int64_t> width = data.ReadInt(name, kClientWidthValue, floatingClient_.width());
    const auto fitWidth = [&](int room) {
        return plat::FitStoredSize(width, floatingClient_.width(), minClientWidth_, maxClientWidth_,
                                   room);
    };
    const auto fitHeight = [&](int room) {
        return plat::FitStoredSize(height, floatingClient_.height(), minClientHeight_,
                                   maxClientHeight_, room);
    };
    // Floating, the panel's form stays within the work area of its monitor,
    // and a panel that would cover it opens at its own size.
    QSize room(plat::kScreenCoordinateLimit, plat::kScreenCoordinateLimit);
    const plat::TRect work = dk::MonitorRectForPoint(FloatingPosition(), true);
    if (!work.IsEmpty()) {
        const QSize area(work.Width(), work.Height());
        room = area - FloatingFrameSize();
        const QSize wanted(fitWidth(plat::kScreenCoordinateLimit),
                           fitHeight(plat::kScreenCoordinateLimit));
        if (Floating() && plat::FillsWorkArea(wanted, area)) {
            width.reset();
            height.reset();
        }
    }
    SetFloatingClientSize(QSize(fitWidth(room.width()), fitHeight(room.height())));
}

void TDkxDockablePanel::PositionsLoaded() {
    TDkDock* dock = Docked() ? CurrentDock() : nullptr;
    if (dock == nullptr) {
        return;
    }
    SettleDockSite(*dock);
    const int room = DockedRoom(*dock);
    const QSize frame = DockedFrameSize();
    QSize client = floatingClient_;
    if (dock->IsVertical()) {
        client.setWidth(plat::FitStoredSize(client.width(), client.width(), minClientWidth_,
                                            maxClientWidth_, room - frame.width()));
    } else {
        client.setHeight(plat::FitStoredSize(client.height(), client.height(), minClientHeight_,
                                             maxClientHeight_, room - frame.height()));
    }
    SetFloatingClientSize(client);
}

void TDkxDockablePanel::WriteExtraPositionValues(const dk::TDkPositionWriteData& data) {
    const QString name = objectName();
    data.WriteInt(name, kClientWidthValue, floatingClient_.width());
    data.WriteInt(name, kClientHeightValue, floatingClient_.height());
}

// --- Colour and theme ------------------------------------------------------------------

void TDkxDockablePanel::UpdateEffectiveColor() {
    const plat::TColor color =
        color_ != plat::clNone ? color_ : dk::CurrentTheme().GetViewBackColor(ViewKind());
    if (color == effectiveColor_) {
        return;
    }
    effectiveColor_ = color;
    TDkCustomDockableWindow::SetColor(color);
    dk::PassParentColorToChildren(this, color);
    update();
}

void TDkxDockablePanel::ThemeChanged() {
    UnlockContent();
    UpdateEffectiveColor();
    // The frame is built anew for the theme; the client keeps its size.
    FrameChanged();
    ArrangeContent();
    update();
    if (TDkFloatingWindowParent* form = FloatingParent()) {
        form->update();
    }
}

bool TDkxDockablePanel::event(QEvent* event) {
    if (dk::AnswerThemeMessage(*this, event)) {
        return true;
    }
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
        if (color_ == plat::clNone) {
            dk::PassParentColor(qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()),
                                effectiveColor_);
        }
        break;
    case QEvent::WindowTitleChange:
        update();
        break;
    default:
        break;
    }
    return TDkCustomDockableWindow::event(event);
}

// --- Docked frame ----------------------------------------------------------------------

void TDkxDockablePanel::FillPanelInfo(dk::TDkxDockPanelInfo& info) const {
    info = {};
    const TDkDock* dock = Docked() ? CurrentDock() : nullptr;
    info.Window = const_cast<TDkxDockablePanel*>(this);
    info.ViewKind = ViewKind();
    info.Vertical = dock != nullptr && dock->IsVertical();
    info.AllowDrag = dock != nullptr && dock->AllowDrag();
    info.BorderStyle = BorderStyle() == bsSingle ? dk::BorderSingle : dk::BorderNone;
    info.BorderSize = dk::CurrentTheme().GetViewBorderSize(info.ViewKind);
    info.ClientWidth = ClientSize().width();
    info.ClientHeight = ClientSize().height();
    info.ShowCaption = showCaptionWhenDocked_;
    if (CloseButtonShownDocked()) {
        info.CloseButtonState = dk::CloseButtonShown;
        if (CloseButtonHot()) {
            info.CloseButtonState |= dk::CloseButtonHot;
        }
        if (CloseButtonPressed()) {
            info.CloseButtonState |= dk::CloseButtonPushed;
        }
    }
    info.Caption = Caption();
}

void TDkxDockablePanel::PaintFrameArea(QPainter& painter) {
    if (!Docked()) {
        return;
    }
    dk::TDkxDockPanelInfo info;
    FillPanelInfo(info);
    painter.save();
    painter.setBrush(plat::ToQColor(effectiveColor_));
    dk::CurrentTheme().DrawDockPanelFrame(painter, plat::TRect(rect()), info);
    painter.restore();
}

void TDkxDockablePanel::ClientPaint(QPainter& painter, const QRegion& region) {
    painter.fillRect(region.boundingRect(), plat::ToQColor(effectiveColor_));
}

int TDkxDockablePanel::NcHitTest(QPoint pos) const {
    const TDkDock* dock = Docked() ? CurrentDock() : nullptr;
    if (dock == nullptr || contentsRect().contains(pos) || !rect().contains(pos)) {
        return TDkCustomDockableWindow::NcHitTest(pos);
    }
    // The edge towards the form's inside sizes the panel.
    switch (dock->Position()) {
    case dpLeft:
        if (pos.x() >= width() - 2) {
            return dk::HTRIGHT;
        }
        break;
    case dpRight:
        if (pos.x() < 2) {
            return dk::HTLEFT;
        }
        break;
    case dpTop:
        if (pos.y() >= height() - 2) {
            return dk::HTBOTTOM;
        }
        break;
    case dpBottom:
        if (pos.y() < 2) {
            return dk::HTTOP;
        }
        break;
    }
    const int caption = CaptionSize();
    if (caption > 0) {
        const bool vertical = dock->IsVertical();
        const bool inCaption = vertical ? pos.y() < 2 + caption : pos.x() < 2 + caption;
        if (inCaption) {
            const bool onClose =
                vertical ? pos.x() >= width() - (caption + 4) : pos.y() < caption + 4;
            return CloseButtonShownDocked() && onClose ? dk::HTCLOSEBUTTON : dk::HTDOCKDRAG;
        }
    }
    return TDkCustomDockableWindow::NcHitTest(pos);
}

std::optional<Qt::CursorShape> TDkxDockablePanel::NcCursor(int hit, QPoint pos) const {
    if (dk::IsSizingHit(hit)) {
        return dk::CursorOfSizingHit(hit);
    }
    return TDkCustomDockableWindow::NcCursor(hit, pos);
}

void TDkxDockablePanel::NcLButtonDown(int hit, QPoint globalPos) {
    if (dk::IsSizingHit(hit) && Docked()) {
        RunDockedResizeLoop(globalPos);
        return;
    }
    TDkCustomDockableWindow::NcLButtonDown(hit, globalPos);
}

// --- Docked resizing -----------------------------------------------------------------------

int TDkxDockablePanel::DockedSize(bool vertical) const {
    return vertical ? width() : height();
}

void TDkxDockablePanel::ApplyDockedSize(bool vertical, int size) {
    const QSize frame = DockedFrameSize();
    if (vertical) {
        SetFloatingClientSize(QSize(size - frame.width(), floatingClient_.height()));
    } else {
        SetFloatingClientSize(QSize(floatingClient_.width(), size - frame.height()));
    }
}

bool TDkxDockablePanel::FireResizing(bool vertical, int& size, TDkxResizingStage stage) {
    bool allow = true;
    if (OnDockedResizing) {
        OnDockedResizing(this, vertical, size, stage, allow);
    }
    return allow;
}

bool TDkxDockablePanel::DockedResizeBegin(bool vertical) {
    int size = DockedSize(vertical);
    resizeSize_ = size;
    const bool allow = FireResizing(vertical, size, rsBeginResizing);
    if (allow && size != DockedSize(vertical)) {
        ApplyDockedSize(vertical, size);
        resizeSize_ = DockedSize(vertical);
    }
    return allow;
}

bool TDkxDockablePanel::DockedResizeTrack(bool vertical, int& newSize) {
    if (const TDkDock* dock = Docked() ? CurrentDock() : nullptr) {
        newSize = std::min(newSize, DockedRoom(*dock));
    }
    const QSize frame = DockedFrameSize();
    const int frameSize = vertical ? frame.width() : frame.height();
    const int min = vertical ? minClientWidth_ : minClientHeight_;
    const int max = vertical ? maxClientWidth_ : maxClientHeight_;
    int client = std::max(newSize - frameSize, min);
    if (max > min) {
        client = std::min(client, max);
    }
    newSize = client + frameSize;
    return FireResizing(vertical, newSize, rsResizing);
}

bool TDkxDockablePanel::DockedResizeEnd(bool vertical) {
    int size = resizeSize_;
    const bool allow = FireResizing(vertical, size, rsEndResizing);
    if (allow && size != DockedSize(vertical)) {
        ApplyDockedSize(vertical, size);
    }
    return allow;
}

namespace {

// The docked size after the pointer moved by `delta` from the press: the
// inner edge follows it.
int DockedSizeAfterDrag(TDkDockPosition position, int startSize, QPoint delta) {
    switch (position) {
    case dpLeft:
        return startSize + delta.x();
    case dpRight:
        return startSize - delta.x();
    case dpTop:
        return startSize + delta.y();
    case dpBottom:
        return startSize - delta.y();
    }
    return startSize;
}

// The window's rectangle with the size on its inner edge.
plat::TRect DockedRectWithSize(TDkDockPosition position, plat::TRect rect, int size) {
    switch (position) {
    case dpLeft:
        rect.Right = rect.Left + size;
        break;
    case dpRight:
        rect.Left = rect.Right - size;
        break;
    case dpTop:
        rect.Bottom = rect.Top + size;
        break;
    case dpBottom:
        rect.Top = rect.Bottom - size;
        break;
    }
    return rect;
}

// The docked resizing loop's events: moves track, a left release tracks and
// accepts, any press or Escape cancels; other events go on.
template <typename Track>
bool DockedResizeEvent(dk::ModalMouseLoop& loop, QEvent* event, const Track& track) {
    switch (event->type()) {
    case QEvent::MouseMove:
        track(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            track(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            loop.Accept();
        }
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        loop.Cancel();
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            loop.Cancel();
        }
        return true;
    default:
        return false;
    }
}

} // namespace

void TDkxDockablePanel::RunDockedResizeLoop(QPoint globalPos) {
    TDkDock* dock = Docked() ? CurrentDock() : nullptr;
    if (dock == nullptr || resizing_) {
        return;
    }
    const TDkDockPosition position = dock->Position();
    const bool vertical = dock->IsVertical();
    if (!DockedResizeBegin(vertical)) {
        return;
    }
    resizing_ = true;
    const int startSize = DockedSize(vertical);
    resizeSize_ = startSize;
    const bool smooth = SmoothDrag();
    const plat::TRect startRect(QRect(mapToGlobal(QPoint(0, 0)), size()));
    std::unique_ptr<dk::TDkDragOutline> outline;
    if (!smooth) {
        outline = std::make_unique<dk::TDkDragOutline>();
        outline->Move(startRect, QSize(3, 3));
    }
    const QPointer<TDkxDockablePanel> self(this);
    QPoint last = globalPos;
    const auto track = [&](QPoint pointer) {
        if (pointer == last || self.isNull()) {
            return;
        }
        last = pointer;
        int sizeNow = DockedSizeAfterDrag(position, startSize, pointer - globalPos);
        if (!DockedResizeTrack(vertical, sizeNow)) {
            return;
        }
        resizeSize_ = sizeNow;
        if (smooth) {
            ApplyDockedSize(vertical, sizeNow);
        } else {
            outline->Move(DockedRectWithSize(position, startRect, sizeNow), QSize(3, 3));
        }
    };
    dk::ModalMouseLoop loop(this, vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    const dk::ModalLoopEnd end = loop.Run([&](QObject* /*receiver*/, QEvent* event) {
        return DockedResizeEvent(loop, event, track);
    });
    outline.reset();
    if (!self.isNull()) {
        EndDockedResize(vertical, startSize, smooth, end == dk::ModalLoopEnd::Accepted);
    }
}

void TDkxDockablePanel::EndDockedResize(bool vertical, int startSize, bool smooth, bool accepted) {
    resizing_ = false;
    if (!accepted) {
        resizeSize_ = startSize;
    }
    if (!Docked()) {
        return;
    }
    if (accepted && !smooth) {
        ApplyDockedSize(vertical, resizeSize_);
    } else if (!accepted && smooth) {
        ApplyDockedSize(vertical, startSize);
    }
    DockedResizeEnd(vertical);
}
