// The dockable window's sizes, its docked non-client part (drag handle,
// border, close button) with its mouse handling, and its painting.
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"

#include "dockkit/common/DkDraw.h"
#include "dockkit/common/DkModalLoop.h"

#include "platform/core/Guarded.h"
#include "platform/gui/Edges.h"
#include "platform/gui/Metrics.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The cross of the docked close button, one byte per row.
constexpr unsigned char kCloseGlyph[8] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};

} // namespace

// --- Sizes -------------------------------------------------------------------------------

int TDkCustomDockableWindow::DragHandleSize() const {
    if (closeButtonWhenDocked_) {
        return 14;
    }
    switch (dragHandleStyle_) {
    case dhDouble:
        return 9;
    case dhNone:
        return 0;
    case dhSingle:
        return 6;
    }
    return 0;
}

QSize TDkCustomDockableWindow::FloatingBorderSize() const {
    return resizable_ ? QSize(plat::GetSystemMetrics(plat::SM_CXSIZEFRAME),
                              plat::GetSystemMetrics(plat::SM_CYSIZEFRAME))
                      : QSize(plat::GetSystemMetrics(plat::SM_CXFIXEDFRAME),
                              plat::GetSystemMetrics(plat::SM_CYFIXEDFRAME));
}

QSize TDkCustomDockableWindow::DockedFrameSizeFor(const TDkDock* dock) const {
    if (dock == nullptr) {
        return {0, 0};
    }
    QSize size(4, 4);
    if (dock->AllowDrag()) {
        if (dock->IsVertical()) {
            size.rheight() += DragHandleSize();
        } else {
            size.rwidth() += DragHandleSize();
        }
    }
    return size;
}

QSize TDkCustomDockableWindow::FloatingFrameSize() const {
    const QSize border = FloatingBorderSize();
    return {2 * border.width(),
            2 * border.height() +
                (showCaption_ ? plat::GetSystemMetrics(plat::SM_CYSMCAPTION) : 0)};
}

// --- Default answers -------------------------------------------------------------------

bool TDkCustomDockableWindow::PointOnChildControl(QPoint clientPoint) const {
    const QPoint point = ClientToWidget(clientPoint);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->isVisible() && child->geometry().contains(point) &&
            !ChildLetsDragThrough(child)) {
            return true;
        }
    }
    return false;
}

bool TDkCustomDockableWindow::ChildLetsDragThrough(QWidget* /*child*/) const {
    return false;
}

plat::TRect TDkCustomDockableWindow::DockedCloseButtonBounds(bool vertical) const {
    constexpr int kSize = 12;
    if (vertical) {
        return {width() - 2 - kSize, 2, width() - 2, 2 + kSize};
    }
    return {2, 2, 2 + kSize, 2 + kSize};
}

void TDkCustomDockableWindow::MinShrinkLength(int& /*size*/) const {}

void TDkCustomDockableWindow::ClientSizeLimits(int& /*minWidth*/, int& /*minHeight*/,
                                               int& /*maxWidth*/, int& /*maxHeight*/) const {}

void TDkCustomDockableWindow::ClientSizeChanging(int /*newWidth*/, int /*newHeight*/) {}

void TDkCustomDockableWindow::FireDockChangingHidden(bool floating, TDkDock* dockingTo) {
    if (OnDockChangingHidden) {
        OnDockChangingHidden(this, floating, dockingTo);
    }
}

TDkFloatingWindowParent* TDkCustomDockableWindow::CreateFloatingForm(QWidget* parentForm) {
    return new TDkFloatingWindowParent(parentForm);
}

void TDkCustomDockableWindow::ValidateContainer(QWidget* /*container*/) const {}

void TDkCustomDockableWindow::SizingBegin(int /*edge*/) {}

void TDkCustomDockableWindow::SizingTrack(plat::TRect& /*rect*/, const plat::TRect& /*startRect*/) {
}

void TDkCustomDockableWindow::SizingApply() {}

void TDkCustomDockableWindow::SizingEnd() {}

bool TDkCustomDockableWindow::DialogKey(int /*key*/, Qt::KeyboardModifiers /*shift*/) {
    return false;
}

bool TDkCustomDockableWindow::DialogChar(QChar /*ch*/) {
    return false;
}

bool TDkCustomDockableWindow::SysKeyMenu(int /*key*/) {
    return false;
}

void TDkCustomDockableWindow::ReadExtraPositionValues(const dk::TDkPositionReadData& /*data*/) {}

void TDkCustomDockableWindow::ExtraPositionValuesRead() {}

void TDkCustomDockableWindow::PositionsLoaded() {}

void TDkCustomDockableWindow::WriteExtraPositionValues(const dk::TDkPositionWriteData& /*data*/) {}

// --- The docked non-client part ------------------------------------------------------------

QMargins TDkCustomDockableWindow::CalcNcMargins() const {
    if (!docked_ || currentDock_.isNull()) {
        return {};
    }
    QMargins margins(2, 2, 2, 2);
    if (currentDock_->AllowDrag()) {
        if (currentDock_->IsVertical()) {
            margins.setTop(2 + DragHandleSize());
        } else {
            margins.setLeft(2 + DragHandleSize());
        }
    }
    return margins;
}

int TDkCustomDockableWindow::NcHitTest(QPoint pos) const {
    if (contentsRect().contains(pos)) {
        return dk::HTCLIENT;
    }
    if (!rect().contains(pos) || !docked_ || currentDock_.isNull()) {
        return dk::HTNOWHERE;
    }
    if (closeButtonWhenDocked_ && currentDock_->AllowDrag() &&
        DockedCloseButtonBounds(currentDock_->IsVertical()).Contains(pos)) {
        return dk::HTCLOSEBUTTON;
    }
    return dk::HTDOCKDRAG;
}

std::optional<Qt::CursorShape> TDkCustomDockableWindow::NcCursor(int hit, QPoint pos) const {
    if (hit != dk::HTDOCKDRAG || currentDock_.isNull() || !currentDock_->AllowDrag() ||
        dragHandleStyle_ == dhNone) {
        return std::nullopt;
    }
    const int reach = DragHandleSize() + 2;
    const bool onHandle = currentDock_->IsVertical() ? pos.y() < reach : pos.x() < reach;
    return onHandle ? std::optional<Qt::CursorShape>(Qt::SizeAllCursor) : std::nullopt;
}

bool TDkCustomDockableWindow::CanDrag() const {
    return floating_ || (docked_ && !currentDock_.isNull() && currentDock_->AllowDrag());
}

void TDkCustomDockableWindow::NcLButtonDown(int hit, QPoint globalPos) {
    if (hit == dk::HTCLOSEBUTTON) {
        RunCloseButtonLoop();
    } else if (hit == dk::HTDOCKDRAG && CanDrag()) {
        RunDragLoop(globalPos);
    }
}

void TDkCustomDockableWindow::NcLButtonDblClk(int hit, QPoint /*globalPos*/) {
    if (hit == dk::HTDOCKDRAG && CanDrag()) {
        ToggleDockedFloating();
    }
}

void TDkCustomDockableWindow::NcMouseMove(int hit, QPoint /*globalPos*/) {
    SetCloseButtonState(hit == dk::HTCLOSEBUTTON, closePressed_);
}

void TDkCustomDockableWindow::NcMouseLeave() {
    SetCloseButtonState(false, closePressed_);
}

void TDkCustomDockableWindow::SetCloseButtonState(bool hot, bool pressed) {
    if (closeHot_ != hot || closePressed_ != pressed) {
        closeHot_ = hot;
        closePressed_ = pressed;
        update();
    }
}

void TDkCustomDockableWindow::RunCloseButtonLoop() {
    if (currentDock_.isNull()) {
        return;
    }
    const plat::TRect bounds = DockedCloseButtonBounds(currentDock_->IsVertical());
    dk::ModalMouseLoop loop(this, std::nullopt);
    dk::ModalMouseLoop::Tracking tracking;
    tracking.CancelOnAnyPress = true;
    bool over = true;
    SetCloseButtonState(closeHot_, true);
    tracking.OnTrack = [&](QPoint global, bool) {
        over = bounds.Contains(mapFromGlobal(global));
        SetCloseButtonState(closeHot_, over);
    };
    const dk::ModalLoopEnd end = loop.RunTracking(tracking, QCursor::pos(), false);
    SetCloseButtonState(false, false);
    if (end == dk::ModalLoopEnd::Accepted && over) {
        Close();
    }
}

void TDkCustomDockableWindow::mousePressEvent(QMouseEvent* event) {
    if (floating_ && !floatingForm_.isNull()) {
        floatingForm_->MouseActivate();
    }
    if (event->button() == Qt::LeftButton && CanDrag() &&
        !PointOnChildControl(WidgetToClient(event->position().toPoint()))) {
        const QPoint global = event->globalPosition().toPoint();
        plat::Guarded([&] { RunDragLoop(global); });
        return;
    }
    DkNcWidget::mousePressEvent(event);
}

void TDkCustomDockableWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && CanDrag() &&
        !PointOnChildControl(WidgetToClient(event->position().toPoint()))) {
        plat::Guarded([&] { ToggleDockedFloating(); });
        return;
    }
    DkNcWidget::mouseDoubleClickEvent(event);
}

void TDkCustomDockableWindow::resizeEvent(QResizeEvent* event) {
    DkNcWidget::resizeEvent(event);
    const bool own = sizingLock_ > 0 || event->size() == lockedSize_;
    lockedSize_ = QSize();
    if (!own && !destroying_) {
        const QSize client = ClientSize();
        plat::Guarded([&] { ClientSizeChanging(client.width(), client.height()); });
    }
    SyncFloatingForm();
    if (OnResize) {
        plat::Guarded([&] { OnResize(this); });
    }
}

// --- Painting ----------------------------------------------------------------------------

void TDkCustomDockableWindow::NcPaint(QPainter& painter) {
    PaintFrameArea(painter);
}

void TDkCustomDockableWindow::ClientPaint(QPainter& painter, const QRegion& region) {
    const QRect area = region.boundingRect();
    if (docked_ && !currentDock_.isNull() && currentDock_->BackgroundOnToolbars() &&
        currentDock_->HasDockBackground()) {
        const QPoint offset = mapTo(window(), ClientOrigin());
        painter.save();
        painter.translate(-offset);
        currentDock_->PaintDockBackground(painter, area.translated(offset));
        painter.restore();
        return;
    }
    painter.fillRect(area, plat::ToQColor(color_));
}

void TDkCustomDockableWindow::PaintFrameArea(QPainter& painter) {
    if (!docked_ || currentDock_.isNull()) {
        return;
    }
    TDkDock* dock = currentDock_;
    PaintDockedBackground(painter, *dock);
    if (!dock->AllowDrag() || dragHandleStyle_ == dhNone) {
        return;
    }
    const bool vertical = dock->IsVertical();
    PaintDragHandle(painter, vertical);
    if (closeButtonWhenDocked_) {
        PaintDockedCloseButton(painter, vertical);
    }
}

void TDkCustomDockableWindow::PaintDockedBackground(QPainter& painter, TDkDock& dock) {
    if (dock.BackgroundOnToolbars() && dock.HasDockBackground()) {
        const QPoint offset = mapTo(window(), QPoint());
        painter.save();
        painter.translate(-offset);
        dock.PaintDockBackground(painter, rect().translated(offset));
        painter.restore();
        return;
    }
    painter.fillRect(rect(), plat::ToQColor(color_));
    if (borderStyle_ == bsSingle) {
        plat::TRect edge(rect());
        plat::DrawEdge(painter, edge, plat::BDR_RAISEDINNER, plat::BF_RECT);
    }
}

void TDkCustomDockableWindow::PaintDragHandle(QPainter& painter, bool vertical) {
    const plat::TRect r(rect());
    const int handle = DragHandleSize();
    const bool closeShown = closeButtonWhenDocked_;
    const int lines = dragHandleStyle_ == dhDouble ? 2 : 1;
    int across = 2 + (dragHandleStyle_ == dhSingle ? (closeShown ? 5 : 1) : (closeShown ? 3 : 2));
    const int inset = dragHandleStyle_ == dhSingle ? 1 : 0;
    int from = 2 + inset;
    int to = (vertical ? r.Width() : r.Height()) - 2 - inset;
    if (closeShown) {
        if (vertical) {
            to -= handle - 2;
        } else {
            from += handle - 2;
        }
    }
    const QColor highlight = plat::ToQColor(plat::clBtnHighlight);
    for (int line = 0; line < lines && to > from; ++line, across += 3) {
        plat::TRect grip = vertical ? plat::TRect(from, across, to, across + 3)
                                    : plat::TRect(across, from, across + 3, to);
        plat::DrawEdge(painter, grip, plat::BDR_RAISEDINNER, plat::BF_RECT);
        const QPoint end = vertical ? QPoint(to - 1, across + 2) : QPoint(across + 2, to - 1);
        painter.fillRect(QRect(end, QSize(1, 1)), highlight);
    }
}

void TDkCustomDockableWindow::PaintDockedCloseButton(QPainter& painter, bool vertical) {
    plat::TRect button = DockedCloseButtonBounds(vertical);
    if (closePressed_) {
        plat::TRect edge = button;
        plat::DrawEdge(painter, edge, plat::BDR_SUNKENOUTER, plat::BF_RECT);
    } else if (closeHot_) {
        plat::TRect edge = button;
        plat::DrawEdge(painter, edge, plat::BDR_RAISEDINNER, plat::BF_RECT);
    }
    const int shift = closePressed_ ? 1 : 0;
    dk::DrawGlyph(painter, kCloseGlyph, 8, QPoint(button.Left + 2 + shift, button.Top + 2 + shift),
                  plat::clBtnText);
}
