#include "dockkit/docking/DkDock.h"

#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"

#include <QEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

QWidget* CheckedParent(QWidget* parent) {
    if (qobject_cast<TDkCustomDockableWindow*>(parent) != nullptr ||
        qobject_cast<TDkDock*>(parent) != nullptr) {
        throw EInvalidOperation(dk::SDockInToolWindow);
    }
    return parent;
}

plat::AlignLayout* AlignLayoutOf(QWidget* widget) {
    return widget != nullptr ? qobject_cast<plat::AlignLayout*>(widget->layout()) : nullptr;
}

template <typename List, typename T>
bool Contains(const List& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

TDkDock::TDkDock(QWidget* parent, TDkDockPosition position)
    : DkNcWidget(CheckedParent(parent)), position_(position) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (plat::AlignLayout* layout = AlignLayoutOf(parent)) {
        layout->AddWidget(this, AlignOf(position_));
    }
    // Nothing docked yet: no extent across.
    if (IsVertical()) {
        resize(0, height());
    } else {
        resize(width(), 0);
    }
}

TDkDock::~TDkDock() {
    destroying_ = true;
    SetBackground(nullptr);
    // The windows outlive this part of the dock by a little (the widget base
    // deletes its children later): they must forget it now.
    const auto windows = dockList_;
    dockList_.clear();
    visibleList_.clear();
    for (const auto& window : windows) {
        if (!window.isNull()) {
            window->DockDestroyed(this);
        }
    }
    for (QObject* child : children()) {
        if (auto* window = qobject_cast<TDkCustomDockableWindow*>(child)) {
            window->DockDestroyed(this);
        }
    }
}

plat::Align TDkDock::AlignOf(TDkDockPosition position) {
    switch (position) {
    case dpTop:
        return plat::Align::Top;
    case dpBottom:
        return plat::Align::Bottom;
    case dpLeft:
        return plat::Align::Left;
    case dpRight:
        return plat::Align::Right;
    }
    return plat::Align::Top;
}

void TDkDock::CheckParent(QWidget* parent) {
    CheckedParent(parent);
}

void TDkDock::SetParentControl(QWidget* parent) {
    CheckParent(parent);
    if (parent == parentWidget()) {
        return;
    }
    if (plat::AlignLayout* old = AlignLayoutOf(parentWidget())) {
        old->removeWidget(this);
    }
    setParent(parent);
    if (plat::AlignLayout* layout = AlignLayoutOf(parent)) {
        layout->AddWidget(this, AlignOf(position_));
    }
    show();
}

// --- Properties ---------------------------------------------------------------

void TDkDock::SetAllowDrag(bool value) {
    if (allowDrag_ == value) {
        return;
    }
    allowDrag_ = value;
    for (const auto& window : dockList_) {
        if (!window.isNull() && window->CurrentDock() == this) {
            window->DockFrameChanged();
        }
    }
    ArrangeRows();
}

void TDkDock::SetBackground(TDkBasicBackground* value) {
    if (background_ == value) {
        return;
    }
    if (!background_.isNull()) {
        background_->RemoveChangeListener(this);
    }
    background_ = value;
    if (value != nullptr) {
        value->AddChangeListener(this, [this] { BackgroundChanged(); });
    }
    if (!destroying_) {
        BackgroundChanged();
    }
}

void TDkDock::SetBackgroundOnToolbars(bool value) {
    if (backgroundOnToolbars_ != value) {
        backgroundOnToolbars_ = value;
        RepaintWithWindows();
    }
}

void TDkDock::SetBoundLines(TDkDockBoundLines value) {
    value &= blTop | blBottom | blLeft | blRight;
    if (boundLines_ == value) {
        return;
    }
    boundLines_ = value;
    FrameChanged();
    ArrangeRows();
}

void TDkDock::SetColor(plat::TColor value) {
    if (color_ != value) {
        color_ = value;
        RepaintWithWindows();
    }
}

void TDkDock::SetFixAlign(bool value) {
    if (fixAlign_ != value) {
        fixAlign_ = value;
        ArrangeRows();
    }
}

void TDkDock::SetLimitToOneRow(bool value) {
    if (limitToOneRow_ != value) {
        limitToOneRow_ = value;
        ArrangeRows();
    }
}

void TDkDock::SetPosition(TDkDockPosition value) {
    if (position_ == value) {
        return;
    }
    if (!findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).isEmpty()) {
        throw EInvalidOperation(dk::SDockPositionChange);
    }
    position_ = value;
    if (plat::AlignLayout* layout = AlignLayoutOf(parentWidget())) {
        layout->SetAlign(this, AlignOf(position_));
    }
    arrangedLength_ = -1;
    FrameChanged();
    ArrangeRows();
}

// --- Background -----------------------------------------------------------------

void TDkDock::PaintDockBackground(QPainter& painter, const QRect& rect) {
    if (!background_.isNull()) {
        background_->PaintBackground(painter, rect);
    }
}

bool TDkDock::HasDockBackground() const {
    return !background_.isNull() && background_->HasBackground();
}

void TDkDock::BackgroundChanged() {
    RepaintWithWindows();
}

void TDkDock::RepaintWithWindows() {
    update();
    for (const auto& window : visibleList_) {
        if (!window.isNull()) {
            window->update();
        }
    }
}

// --- Loading and arrangement ----------------------------------------------------

void TDkDock::Loaded() {
    loading_ = false;
    ArrangeRows();
}

void TDkDock::LockArrangement() {
    ++lockCount_;
}

void TDkDock::UnlockArrangement() {
    if (lockCount_ > 0) {
        --lockCount_;
    }
    if (lockCount_ == 0 && arrangePending_) {
        ArrangeRows();
    }
}

int TDkDock::BoundLinesWidth() const {
    return ((boundLines_ & blLeft) != 0 ? 1 : 0) + ((boundLines_ & blRight) != 0 ? 1 : 0);
}

int TDkDock::BoundLinesHeight() const {
    return ((boundLines_ & blTop) != 0 ? 1 : 0) + ((boundLines_ & blBottom) != 0 ? 1 : 0);
}

int TDkDock::Length() const {
    return IsVertical() ? height() : width();
}

void TDkDock::RemoveDestroyed() {
    const auto gone = [](const QPointer<TDkCustomDockableWindow>& w) {
        return w.isNull() || w->Destroying();
    };
    dockList_.erase(std::remove_if(dockList_.begin(), dockList_.end(), gone), dockList_.end());
    visibleList_.erase(std::remove_if(visibleList_.begin(), visibleList_.end(), gone),
                       visibleList_.end());
}

void TDkDock::ArrangeRows() {
    if (lockCount_ > 0 || loading_ || destroying_) {
        arrangePending_ = true;
        return;
    }
    ++lockCount_;
    struct Unlock {
        TDkDock* dock;
        ~Unlock() {
            --dock->lockCount_;
            dock->arrangePending_ = false;
        }
    } unlock{this};

    const bool vertical = IsVertical();
    RemoveDestroyed();
    arrangedLength_ = Length();
    if (visibleList_.empty()) {
        SetThickness(fixAlign_ ? 1 : 0);
        return;
    }
    const int boundAlong = vertical ? BoundLinesHeight() : BoundLinesWidth();
    const int rowLength = std::max(0, Length() - boundAlong);
    if (limitToOneRow_) {
        for (const auto& window : dockList_) {
            window->SetDockPlace(0, window->DockPos());
        }
    }
    const std::vector<TDkCustomDockableWindow*> sorted = WindowsInDockOrder();
    std::vector<TDkCustomDockableWindow*> shown;
    for (TDkCustomDockableWindow* window : sorted) {
        if (Contains(visibleList_, window)) {
            shown.push_back(window);
        }
    }
    visibleList_.assign(shown.begin(), shown.end());

    const std::vector<dk::DockRowWindow> input = RowWindows(shown);
    const dk::DockRowResult result = dk::ArrangeDockRows(input, rowLength, limitToOneRow_);
    if (result.DraggedSqueezed) {
        squeezed_ = true;
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        shown[i]->SetEffectivePlace(result.Places[i].Row, result.Places[i].Pos);
        if (commit_) {
            shown[i]->SetDockPlace(result.Places[i].Row, result.Places[i].Pos);
        }
    }
    if (commit_) {
        dockList_.assign(sorted.begin(), sorted.end());
    }

    int offset = 0;
    for (int row = 0; row < result.RowCount; ++row) {
        offset = dk::SaturatingAdd(offset, PlaceRow(row, offset, shown, input, result));
    }
    SetThickness(dk::SaturatingAdd(vertical ? BoundLinesWidth() : BoundLinesHeight(), offset));
}

void TDkDock::SetThickness(int across) {
    if (IsVertical()) {
        if (width() != across) {
            const int right = x() + width();
            setGeometry(position_ == dpRight ? right - across : x(), y(), across, height());
        }
    } else if (height() != across) {
        const int bottom = y() + height();
        setGeometry(x(), position_ == dpBottom ? bottom - across : y(), width(), across);
    }
}

std::vector<TDkCustomDockableWindow*> TDkDock::WindowsInDockOrder() const {
    // By row, then position; a window pushing its row keeps its place in
    // the order.
    std::vector<TDkCustomDockableWindow*> sorted;
    sorted.reserve(dockList_.size());
    for (const auto& window : dockList_) {
        sorted.push_back(window.data());
    }
    TDkCustomDockableWindow* const dragged = draggedWindow_.data();
    const auto draggedAt = std::find(sorted.begin(), sorted.end(), dragged);
    const bool draggedListed = dragged != nullptr && draggedAt != sorted.end();
    const auto draggedIndex = draggedAt - sorted.begin();
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TDkCustomDockableWindow* a, const TDkCustomDockableWindow* b) {
                         return a->DockRow() != b->DockRow() ? a->DockRow() < b->DockRow()
                                                             : a->DockPos() < b->DockPos();
                     });
    if (rowPush_ && draggedListed) {
        sorted.erase(std::find(sorted.begin(), sorted.end(), dragged));
        sorted.insert(sorted.begin() + draggedIndex, dragged);
    }
    return sorted;
}

std::vector<dk::DockRowWindow>
TDkDock::RowWindows(const std::vector<TDkCustomDockableWindow*>& shown) const {
    const bool vertical = IsVertical();
    const auto along = [vertical](QSize s) { return vertical ? s.height() : s.width(); };
    std::vector<dk::DockRowWindow> input;
    input.reserve(shown.size());
    for (TDkCustomDockableWindow* window : shown) {
        dk::DockRowWindow rec;
        rec.Row = window->DockRow();
        rec.Pos = window->DockPos();
        rec.FullLength = dk::SaturatingAdd(along(window->NaturalSize()),
                                           along(window->DockedFrameSizeFor(this)));
        int minLength = rec.FullLength;
        window->MinShrinkLength(minLength);
        rec.MinLength = std::min(minLength, rec.FullLength);
        rec.FullSize = window->FullSize();
        rec.Stretch = window->Stretch();
        rec.NewRowBefore = window->NewRowBefore();
        rec.Dragged = window == draggedWindow_.data();
        rec.Shrink = window->ShrinkBehaviour();
        input.push_back(rec);
    }
    return input;
}

int TDkDock::PlaceRow(int row, int offset, const std::vector<TDkCustomDockableWindow*>& shown,
                      const std::vector<dk::DockRowWindow>& input,
                      const dk::DockRowResult& result) {
    const bool vertical = IsVertical();
    std::vector<size_t> inRow;
    std::vector<size_t> changed;
    int thickness = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (result.Places[i].Row != row) {
            continue;
        }
        inRow.push_back(i);
        const int length = result.Places[i].Length;
        const int shrunk = length == input[i].FullLength ? 0 : length;
        bool laidOut = false;
        const int cross = shown[i]->TakeShrunkLength(shrunk, this, laidOut);
        if (laidOut) {
            changed.push_back(i);
        }
        thickness = std::max(thickness, cross);
    }
    if (thickness != 0) {
        thickness = dk::SaturatingAdd(thickness, 4);
    }
    const QPoint origin = ClientOrigin();
    for (size_t i : inRow) {
        const dk::DockRowPlace& place = result.Places[i];
        const QRect bounds =
            vertical ? QRect(origin.x() + offset, origin.y() + place.Pos, thickness, place.Length)
                     : QRect(origin.x() + place.Pos, origin.y() + offset, place.Length, thickness);
        shown[i]->SetBoundsLocked(bounds);
    }
    for (size_t i : changed) {
        shown[i]->ArrangeContent();
    }
    return thickness;
}

// --- Membership -------------------------------------------------------------------

void TDkDock::UpdateDockMembership(bool insert, TDkCustomDockableWindow* window) {
    if (window == nullptr) {
        return;
    }
    const auto it = std::find(dockList_.begin(), dockList_.end(), window);
    if (insert && it == dockList_.end()) {
        dockList_.emplace_back(window);
    } else if (!insert && it != dockList_.end()) {
        dockList_.erase(it);
    }
    UpdateVisibleMembership(window, !insert);
}

void TDkDock::UpdateVisibleMembership(TDkCustomDockableWindow* window, bool forceRemove) {
    if (window == nullptr) {
        return;
    }
    const bool visible = !forceRemove && !window->Destroying() && window->parentWidget() == this &&
                         window->Visible() && HoldsWindow(window);
    const auto it = std::find(visibleList_.begin(), visibleList_.end(), window);
    const bool listed = it != visibleList_.end();
    if (visible == listed) {
        return;
    }
    if (visible) {
        visibleList_.emplace_back(window);
    } else {
        visibleList_.erase(it);
    }
    ArrangeRows();
    if (OnInsertRemoveBar) {
        OnInsertRemoveBar(this, visible, window);
    }
}

TDkCustomDockableWindow* TDkDock::DockWindows(int index) const {
    return dockList_.at(static_cast<size_t>(index));
}

TDkCustomDockableWindow* TDkDock::VisibleWindows(int index) const {
    return visibleList_.at(static_cast<size_t>(index));
}

bool TDkDock::HoldsWindow(const TDkCustomDockableWindow* window) const {
    return Contains(dockList_, window);
}

// --- Rows ---------------------------------------------------------------------------

void TDkDock::StoreEffectivePositions() {
    for (const auto& window : visibleList_) {
        if (!window.isNull() && window->EffectiveRow() >= 0) {
            window->SetDockPlace(window->EffectiveRow(), window->EffectivePos());
        }
    }
}

int TDkDock::HighestRow(bool effective) const {
    int highest = -1;
    for (const auto& window : dockList_) {
        if (!window.isNull()) {
            highest = std::max(highest, effective ? window->EffectiveRow() : window->DockRow());
        }
    }
    return highest;
}

TDkDock::RowThickness TDkDock::RowThicknessOf(int row) const {
    RowThickness result;
    for (const auto& window : visibleList_) {
        if (!window.isNull() && window->EffectiveRow() == row) {
            result.Thickness =
                std::max(result.Thickness, IsVertical() ? window->width() : window->height());
            result.HasFullSize = result.HasFullSize || window->FullSize();
        }
    }
    return result;
}

int TDkDock::RowAtOffset(int offset) const {
    const int highest = HighestRow(true);
    int sum = 0;
    for (int row = 0; row <= highest; ++row) {
        sum += RowThicknessOf(row).Thickness;
        if (sum > offset) {
            return row;
        }
    }
    return highest + 1;
}

// --- Painting and events -----------------------------------------------------------

QMargins TDkDock::CalcNcMargins() const {
    return {(boundLines_ & blLeft) != 0 ? 1 : 0, (boundLines_ & blTop) != 0 ? 1 : 0,
            (boundLines_ & blRight) != 0 ? 1 : 0, (boundLines_ & blBottom) != 0 ? 1 : 0};
}

void TDkDock::NcPaint(QPainter& painter) {
    QRect r = rect();
    painter.fillRect(r, plat::ToQColor(color_));
    if (boundLines_ == 0 || visibleList_.empty()) {
        return;
    }
    const QColor shadow = plat::ToQColor(plat::clBtnShadow);
    const QColor highlight = plat::ToQColor(plat::clBtnHighlight);
    plat::TRect t(r);
    if ((boundLines_ & blTop) != 0) {
        painter.fillRect(QRect(t.Left, t.Top, t.Width(), 1), shadow);
        ++t.Top;
    }
    if ((boundLines_ & blLeft) != 0) {
        painter.fillRect(QRect(t.Left, t.Top, 1, t.Height()), shadow);
        ++t.Left;
    }
    if ((boundLines_ & blBottom) != 0) {
        painter.fillRect(QRect(t.Left, t.Bottom - 1, t.Width(), 1), highlight);
        --t.Bottom;
    }
    if ((boundLines_ & blRight) != 0) {
        painter.fillRect(QRect(t.Right - 1, t.Top, 1, t.Height()), highlight);
        --t.Right;
    }
}

void TDkDock::ClientPaint(QPainter& painter, const QRegion& region) {
    const QRect area = region.boundingRect();
    if (HasDockBackground()) {
        // The picture lines up across docks and windows: its origin is the
        // form's client origin.
        const QPoint offset = window() != nullptr ? mapTo(window(), ClientOrigin()) : QPoint();
        painter.save();
        painter.translate(-offset);
        PaintDockBackground(painter, area.translated(offset));
        painter.restore();
        return;
    }
    painter.fillRect(area, plat::ToQColor(color_));
}

void TDkDock::resizeEvent(QResizeEvent* event) {
    DkNcWidget::resizeEvent(event);
    if (Length() != arrangedLength_) {
        ArrangeRows();
    }
}

void TDkDock::moveEvent(QMoveEvent* event) {
    DkNcWidget::moveEvent(event);
    if (HasDockBackground()) {
        RepaintWithWindows();
    }
}

void TDkDock::changeEvent(QEvent* event) {
    DkNcWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !background_.isNull()) {
        background_->SystemColorsChanged();
    }
}

// --- Keys the form passes on ----------------------------------------------------------

std::vector<QPointer<TDkCustomDockableWindow>> TDkDock::FloatingMenuWindows() const {
    std::vector<QPointer<TDkCustomDockableWindow>> windows;
    for (const auto& window : dockList_) {
        if (!window.isNull() && !window->Destroying() && window->Floating() &&
            window->TakesMenuEvents() && window->isVisible() && window->isEnabled()) {
            windows.push_back(window);
        }
    }
    return windows;
}

bool TDkDock::DialogKey(int key, Qt::KeyboardModifiers shift) {
    for (const auto& window : FloatingMenuWindows()) {
        if (!window.isNull() && window->DialogKey(key, shift)) {
            return true;
        }
    }
    return false;
}

bool TDkDock::DialogChar(QChar ch) {
    for (const auto& window : FloatingMenuWindows()) {
        if (!window.isNull() && window->DialogChar(ch)) {
            return true;
        }
    }
    return false;
}

bool TDkDock::SysKeyMenu(int key) {
    for (const auto& window : FloatingMenuWindows()) {
        if (!window.isNull() && window->SysKeyMenu(key)) {
            return true;
        }
    }
    return false;
}
