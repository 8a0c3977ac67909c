#include "dockkit/items/DkView/DkView.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkModalLoop.h"
#include "dockkit/items/DkItemViewer.h"

#include <QCoreApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>

using dk::ItemNotification;

namespace {

// How deep embedded groups are followed inline: a group whose subitems lead
// back to itself through LinkSubitems must not expand forever.
constexpr int kMaxGroupDepth = dk::kMaxLinkDepth;

} // namespace

TDkView::TDkView(QObject* owner, TDkView* parentView, TDkCustomItem* parentItem, QWidget* window,
                 bool isToolbar, bool customizing, bool usePriorityList)
    : QObject(owner), parentView_(parentView), parentItem_(parentItem), window_(window),
      isToolbar_(isToolbar), customizing_(customizing), usePriorityList_(usePriorityList),
      openTimer_([this] { TimerFired(TDkViewTimer::Open); }),
      closeTimer_([this] { TimerFired(TDkViewTimer::Close); }),
      scrollUpTimer_([this] { TimerFired(TDkViewTimer::ScrollUp); }),
      scrollDownTimer_([this] { TimerFired(TDkViewTimer::ScrollDown); }) {
    if (parentItem_ != nullptr) {
        parentItem_->RegisterNotification(&TDkView::ItemNotification, this);
        parentDestroyed_ = connect(parentItem_, &QObject::destroyed, this, [this] {
            // The item is going: forget it without calling it again.
            if (currentRoot_ == parentItem_) {
                currentRoot_ = nullptr;
                disconnect(rootDestroyed_);
            }
            parentItem_ = nullptr;
            RecreateAllViewers();
        });
    }
    AttachRoot();
    RecreateAllViewers();
    if (currentRoot_ != nullptr) {
        for (int i = 0; i < currentRoot_->Count(); ++i) {
            currentRoot_->Items(i)->InitiateAction();
        }
    }
}

TDkView::~TDkView() {
    if (parentView_ != nullptr && parentView_->IsToolbar()) {
        parentView_->SetState(vsClosing, true);
        if (parentView_->OpenViewer() != nullptr) {
            parentView_->InvalidateViewer(parentView_->OpenViewer());
        }
    }
    CloseChildPopups();
    DetachItems();
    priority_.clear();
    viewers_.clear();
}

void TDkView::AttachRoot() {
    TDkCustomItem* root = parentItem_ != nullptr ? parentItem_->EffectiveItem() : nullptr;
    if (root == currentRoot_) {
        return;
    }
    if (currentRoot_ != nullptr && currentRoot_ != parentItem_) {
        currentRoot_->UnregisterNotification(&TDkView::ItemNotification, this);
    }
    disconnect(rootDestroyed_);
    currentRoot_ = root;
    if (root != nullptr && root != parentItem_) {
        root->RegisterNotification(&TDkView::ItemNotification, this);
        rootDestroyed_ = connect(root, &QObject::destroyed, this, [this] {
            currentRoot_ = nullptr;
            RecreateAllViewers();
        });
    }
}

void TDkView::DetachItems() {
    disconnect(parentDestroyed_);
    disconnect(rootDestroyed_);
    if (currentRoot_ != nullptr && currentRoot_ != parentItem_) {
        currentRoot_->UnregisterNotification(&TDkView::ItemNotification, this);
    }
    if (parentItem_ != nullptr) {
        parentItem_->UnregisterNotification(&TDkView::ItemNotification, this);
    }
    currentRoot_ = nullptr;
    parentItem_ = nullptr;
}

void TDkView::SetIsToolbar(bool value) {
    if (isToolbar_ != value) {
        isToolbar_ = value;
        InvalidatePositions();
    }
}

void TDkView::SetOrientation(TDkViewOrientation value) {
    if (orientation_ != value) {
        orientation_ = value;
        InvalidatePositions();
    }
}

int TDkView::IndexOf(const TDkItemViewer* viewer) const {
    for (size_t i = 0; i < viewers_.size(); ++i) {
        if (viewers_[i].get() == viewer) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TDkItemViewer* TDkView::Find(const TDkCustomItem* item) const {
    for (const auto& viewer : viewers_) {
        if (viewer->Item() == item) {
            return viewer.get();
        }
    }
    throw EDkItemError(dk::SViewerNotFound);
}

void TDkView::SetChevronOffset(int value) {
    if (chevronOffset_ != value) {
        chevronOffset_ = value;
        InvalidatePositions();
    }
}

void TDkView::SetChevronSize(int value) {
    if (chevronSize_ != value) {
        chevronSize_ = value;
        InvalidatePositions();
    }
}

void TDkView::SetWrapOffset(int value) {
    if (wrapOffset_ != value) {
        wrapOffset_ = value;
        InvalidatePositions();
    }
}

void TDkView::SetMaxHeight(int value) {
    if (maxHeight_ != value) {
        maxHeight_ = value;
        InvalidatePositions();
    }
}

void TDkView::SetScrollOffset(int value) {
    if (scrollOffset_ != value) {
        scrollOffset_ = value;
        InvalidatePositions();
    }
}

void TDkView::SetChevronParentView(TDkView* value) {
    if (chevronParentView_ != value) {
        chevronParentView_ = value;
        InvalidatePositions();
    }
}

void TDkView::SetBackgroundColor(plat::TColor value) {
    if (backgroundColor_ != value) {
        backgroundColor_ = value;
        if (window_ != nullptr) {
            window_->update();
        }
    }
}

// --- Viewers -------------------------------------------------------------------

void TDkView::AddViewers(std::vector<std::unique_ptr<TDkItemViewer>>& into, TDkCustomItem* item,
                         int groupLevel, int depth) {
    into.push_back(item->CreateViewer(this, groupLevel));
    if (item->HasStyle(dk::StyleEmbeddedGroup) && !customizing_ && depth < kMaxGroupDepth) {
        TDkCustomItem* source = item->EffectiveItem();
        for (int i = 0; i < source->Count(); ++i) {
            AddViewers(into, source->Items(i), groupLevel + 1, depth + 1);
        }
    }
}

void TDkView::RecreateAllViewers() {
    CloseChildPopups();
    Select(nullptr);
    InvalidatePositions();
    priority_.clear();
    openViewer_ = nullptr;
    viewers_.clear();
    leadingCount_ = 0;
    trailingCount_ = 0;
    std::vector<std::unique_ptr<TDkItemViewer>> fresh;
    if (TDkCustomItem* leading = GetLeadingExtraItem()) {
        fresh.push_back(leading->CreateViewer(this, 0));
        leadingCount_ = 1;
    }
    if (currentRoot_ != nullptr) {
        for (int i = 0; i < currentRoot_->Count(); ++i) {
            AddViewers(fresh, currentRoot_->Items(i), 0, 0);
        }
    }
    if (TDkCustomItem* trailing = GetTrailingExtraItems()) {
        for (int i = 0; i < trailing->Count(); ++i) {
            fresh.push_back(trailing->Items(i)->CreateViewer(this, 0));
            ++trailingCount_;
        }
    }
    if (TDkCustomItem* chevron = GetChevronItem()) {
        fresh.push_back(chevron->CreateViewer(this, 0));
        ++trailingCount_;
    }
    viewers_ = std::move(fresh);
    if (usePriorityList_) {
        for (const auto& viewer : viewers_) {
            priority_.push_back(viewer.get());
        }
    }
}

void TDkView::InsertItemViewers(TDkCustomItem* item, int index) {
    // After the viewers of the subitem before it (its inline ones included),
    // never after the trailing special viewers.
    size_t at = static_cast<size_t>(leadingCount_);
    if (index > 0 && currentRoot_ != nullptr && index - 1 < currentRoot_->Count()) {
        const TDkCustomItem* before = currentRoot_->Items(index - 1);
        for (size_t i = 0; i < viewers_.size() - static_cast<size_t>(trailingCount_); ++i) {
            if (viewers_[i]->Item() == before && viewers_[i]->GroupLevel() == 0) {
                at = i + 1;
                while (at < viewers_.size() - static_cast<size_t>(trailingCount_) &&
                       viewers_[at]->GroupLevel() > 0) {
                    ++at;
                }
                break;
            }
        }
    }
    std::vector<std::unique_ptr<TDkItemViewer>> added;
    AddViewers(added, item, 0, 0);
    for (auto& viewer : added) {
        if (usePriorityList_) {
            priority_.push_back(viewer.get());
        }
        viewers_.insert(viewers_.begin() + static_cast<std::ptrdiff_t>(at++), std::move(viewer));
    }
}

void TDkView::ForgetViewer(const TDkItemViewer* viewer) {
    if (selected_ == viewer) {
        selected_ = nullptr;
        viewerCapture_ = false;
        mouseOverSelected_ = false;
    }
    if (openViewer_ == viewer) {
        CloseChildPopups();
    }
    priority_.erase(std::remove(priority_.begin(), priority_.end(), viewer), priority_.end());
}

void TDkView::DeleteItemViewers(TDkCustomItem* item) {
    for (size_t i = 0; i < viewers_.size();) {
        if (viewers_[i]->Item() != item) {
            ++i;
            continue;
        }
        // A direct subitem takes the inline viewers of its group along.
        size_t end = i + 1;
        if (viewers_[i]->GroupLevel() == 0) {
            while (end < viewers_.size() - static_cast<size_t>(trailingCount_) &&
                   viewers_[end]->GroupLevel() > 0) {
                ++end;
            }
        }
        for (size_t k = i; k < end; ++k) {
            ForgetViewer(viewers_[k].get());
        }
        viewers_.erase(viewers_.begin() + static_cast<std::ptrdiff_t>(i),
                       viewers_.begin() + static_cast<std::ptrdiff_t>(end));
    }
}

void TDkView::ReplaceItemViewers(TDkCustomItem* item) {
    for (auto& viewer : viewers_) {
        if (viewer->Item() != item) {
            continue;
        }
        std::unique_ptr<TDkItemViewer> fresh = item->CreateViewer(this, viewer->GroupLevel());
        ForgetViewer(viewer.get());
        if (usePriorityList_) {
            priority_.push_back(fresh.get());
        }
        viewer = std::move(fresh);
    }
}

void TDkView::InvalidateItem(TDkCustomItem* item) {
    for (const auto& viewer : viewers_) {
        if (viewer->Item() == item) {
            InvalidateViewer(viewer.get());
        }
    }
}

// --- Notifications ------------------------------------------------------------------

void TDkView::ItemNotification(void* data, TDkCustomItem* sender, bool relayed,
                               dk::ItemNotification kind, TDkCustomItem* item, int index) {
    auto* view = static_cast<TDkView*>(data);
    if (!relayed && sender == view->currentRoot_) {
        view->RootNotification(sender, kind, item, index);
    } else if (relayed && sender != view->currentRoot_ && view->currentRoot_ != nullptr &&
               kind != ItemNotification::SubitemsChanged &&
               kind != ItemNotification::SubMenuImagesChanged) {
        // A change inside an embedded group of the root.
        view->RootNotification(sender, kind, item, index);
    } else if (sender == view->parentItem_ || (relayed && view->parentItem_ != nullptr)) {
        view->ParentItemNotification(kind);
    }
}

bool TDkView::LoadingItems() const {
    return currentRoot_ != nullptr && currentRoot_->Loading();
}

void TDkView::RootNotification(TDkCustomItem* sender, dk::ItemNotification kind,
                               TDkCustomItem* item, int index) {
    const bool direct = sender == currentRoot_;
    switch (kind) {
    case ItemNotification::Inserted:
        InvalidatePositions();
        if (direct) {
            InsertItemViewers(item, index);
        } else {
            RecreateAllViewers();
        }
        break;
    case ItemNotification::Deleting:
        InvalidatePositions();
        DeleteItemViewers(item);
        break;
    case ItemNotification::SubitemsChanged:
        AttachRoot();
        RecreateAllViewers();
        break;
    case ItemNotification::BeginUpdate:
        BeginUpdate();
        return;
    case ItemNotification::EndUpdate:
        EndUpdate();
        return;
    case ItemNotification::Invalidate:
        InvalidateItem(item);
        return;
    case ItemNotification::InvalidateAndResize:
        InvalidatePositions();
        break;
    case ItemNotification::RecreateViewers:
        InvalidatePositions();
        ReplaceItemViewers(item);
        break;
    case ItemNotification::NameChanged:
        return;
    case ItemNotification::SubMenuImagesChanged:
        ImagesChanged();
        return;
    }
    if (updateCount_ == 0 && !LoadingItems()) {
        ValidatePositions();
    }
}

void TDkView::ParentItemNotification(dk::ItemNotification kind) {
    if (kind == ItemNotification::SubitemsChanged) {
        AttachRoot();
        RecreateAllViewers();
        if (updateCount_ == 0 && !LoadingItems()) {
            ValidatePositions();
        }
    } else if (kind == ItemNotification::SubMenuImagesChanged) {
        ImagesChanged();
    }
}

void TDkView::ImagesChanged() {
    InvalidatePositions();
    if (updateCount_ == 0 && !LoadingItems()) {
        ValidatePositions();
    }
    if (openView_ != nullptr) {
        openView_->ImagesChanged();
    }
}

// --- Layout ------------------------------------------------------------------------

void TDkView::BeginUpdate() {
    ++updateCount_;
}

void TDkView::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) {
        ValidatePositions();
    }
}

void TDkView::InvalidatePositions() {
    positionsValid_ = false;
    if (window_ != nullptr) {
        window_->update();
    }
}

void TDkView::ValidatePositions() {
    if (!positionsValid_) {
        UpdatePositions();
    }
}

QMargins TDkView::GetMargins(TDkViewOrientation orientation) const {
    return orientation == dkvoFloating ? QMargins(4, 2, 4, 1) : QMargins();
}

QFont TDkView::GetFont() const {
    return dk::KitMenuFont();
}

void TDkView::PaintBackground(QPainter& /*canvas*/, const QRect& /*area*/) {}

void TDkView::DoUpdatePositions(QSize size) {
    if (window_ == nullptr) {
        return;
    }
    const QMargins frame = window_->contentsMargins();
    window_->resize(size.width() + frame.left() + frame.right(),
                    size.height() + frame.top() + frame.bottom());
}

void TDkView::UpdatePositions() {
    const Layout layout =
        CalculatePositions(true, orientation_, wrapOffset_, chevronOffset_, chevronSize_);
    positionsValid_ = true;
    DoUpdatePositions(layout.Size);
    if (layout.Changed && window_ != nullptr && window_->isVisible() && window_->width() >= 1 &&
        window_->height() >= 1) {
        window_->repaint();
    }
}

// --- Painting ----------------------------------------------------------------------

TDkItemViewer* TDkView::ViewerFromPoint(QPoint point) {
    ValidatePositions();
    for (const auto& viewer : viewers_) {
        if (viewer->Show && viewer->BoundsRect.Contains(point)) {
            return viewer.get();
        }
    }
    return nullptr;
}

void TDkView::InvalidateViewer(TDkItemViewer* viewer) {
    if (!positionsValid_ || window_ == nullptr || viewer == nullptr || !viewer->Show ||
        viewer->BoundsRect.IsEmpty() || qobject_cast<TDkControlItem*>(viewer->Item()) != nullptr) {
        return;
    }
    viewer->NeedsRepaint = true;
    window_->update(viewer->BoundsRect.ToQRect().translated(window_->contentsRect().topLeft()));
}

bool TDkView::AcceleratorsShown() const {
    return HasState(vsAccelsVisible) || (options_ & voAccelHiding) == 0 || dk::KeyboardCuesOn();
}

void TDkView::SetAcceleratorsVisible(bool value) {
    const bool before = AcceleratorsShown();
    SetState(vsAccelsVisible, value);
    if (AcceleratorsShown() == before) {
        return;
    }
    for (const auto& viewer : viewers_) {
        if (!dk::AcceleratorCharOf(viewer->GetCaptionText()).isNull()) {
            InvalidateViewer(viewer.get());
        }
    }
}

void TDkView::DrawViewer(QPainter& canvas, TDkItemViewer* viewer, const QRegion& region,
                         const QFont& font) {
    if (!viewer->Show || qobject_cast<TDkControlItem*>(viewer->Item()) != nullptr) {
        return;
    }
    const QRect bounds = viewer->BoundsRect.ToQRect();
    if (bounds.isEmpty() || !region.intersects(bounds)) {
        return;
    }
    const bool selected = viewer == selected_;
    const bool pushed =
        selected && (openViewer_ == viewer || (mouseOverSelected_ && viewerCapture_));
    const plat::TRect client(0, 0, bounds.width(), bounds.height());
    canvas.save();
    canvas.setFont(font);
    canvas.setClipRect(bounds);
    canvas.translate(bounds.topLeft());
    // Patterns keep the window's phase whichever piece of it is painted.
    canvas.setBrushOrigin(-bounds.topLeft());
    viewer->NeedsRepaint = false;
    viewer->Paint(canvas, client, selected, pushed, true);
    canvas.restore();
}

void TDkView::DrawSubitems(QPainter& canvas, const QRegion& region) {
    ValidatePositions();
    const QFont font = GetFont();
    for (const auto& viewer : viewers_) {
        if (viewer.get() != selected_) {
            DrawViewer(canvas, viewer.get(), region, font);
        }
    }
    if (selected_ != nullptr) {
        DrawViewer(canvas, selected_, region, font);
    }
}

void TDkView::PaintWindow(QPainter& target, const QRegion& region) {
    ValidatePositions();
    const QPaintDevice* device = target.device();
    const qreal ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
    const QRect area = region.boundingRect();
    if (area.isEmpty()) {
        return;
    }
    // One off-screen image for the area, at the target's pixel density, so
    // that nothing is scaled on the way to the screen; kept for the next paint.
    const QSize pixels = area.size() * ratio;
    if (buffer_.size() != pixels || buffer_.devicePixelRatio() != ratio) {
        buffer_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        buffer_.setDevicePixelRatio(ratio);
    }
    QImage& buffer = buffer_;
    const plat::TColor background =
        backgroundColor_ == plat::clDefault ? plat::clBtnFace : backgroundColor_;
    buffer.fill(background == plat::clNone ? QColor(Qt::transparent) : plat::ToQColor(background));
    {
        QPainter canvas(&buffer);
        canvas.translate(-area.topLeft());
        PaintBackground(canvas, area);
        DrawSubitems(canvas, region);
    }
    target.save();
    target.setClipRegion(region);
    target.drawImage(area.topLeft(), buffer);
    target.restore();
}

// --- Selection and the loop's state ---------------------------------------------------

void TDkView::SetState(TDkViewState flag, bool on) {
    state_ = on ? (state_ | flag) : (state_ & ~static_cast<unsigned>(flag));
}

void TDkView::Select(TDkItemViewer* viewer) {
    TDkItemViewer* old = selected_;
    const bool changed = viewer != old;
    if (changed) {
        if (viewerCapture_) {
            viewerCapture_ = false;
            if (old != nullptr) {
                old->LosingCapture();
            }
        }
        if (old != nullptr) {
            old->Leaving();
        }
    }
    // Whether the pointer rests on the new selection (on its button part
    // while a viewer holds the mouse).
    bool over = false;
    if (viewer != nullptr && PointInWindow(dk::CursorPos())) {
        const QPoint client = ClientFromScreen(dk::CursorPos());
        if (ViewerFromPoint(client) == viewer) {
            over = !viewerCapture_ || viewer->IsPtInButtonPart(client.x() - viewer->BoundsRect.Left,
                                                               client.y() - viewer->BoundsRect.Top);
        }
    }
    if (!changed) {
        SetMouseOverSelected(over);
        return;
    }
    selected_ = viewer;
    mouseOverSelected_ = over;
    if (old != nullptr && old->Item()->HasStyle(dk::StyleRedrawOnSelChange)) {
        InvalidateViewer(old);
    }
    if (viewer != nullptr) {
        if (viewer->Item()->HasStyle(dk::StyleRedrawOnSelChange)) {
            InvalidateViewer(viewer);
        }
        viewer->Entering(old);
    }
}

void TDkView::SetMouseOverSelected(bool value) {
    if (mouseOverSelected_ == value) {
        return;
    }
    mouseOverSelected_ = value;
    if (viewerCapture_ && selected_ != nullptr &&
        selected_->Item()->HasStyle(dk::StyleRedrawOnHotChange)) {
        InvalidateViewer(selected_);
    }
}

void TDkView::SetViewerCapture(bool value) {
    if (viewerCapture_ == value) {
        return;
    }
    viewerCapture_ = value;
    if (!value && selected_ != nullptr) {
        selected_->LosingCapture();
    }
}

void TDkView::SetOpenPopup(TDkItemViewer* viewer, TDkView* view, QWidget* window) {
    openViewer_ = viewer;
    openView_ = view;
    openWindow_ = window;
}

void TDkView::CloseChildPopups() {
    if (openView_ != nullptr) {
        openView_->CloseChildPopups();
    }
    TDkItemViewer* wasOpen = openViewer_;
    openViewer_ = nullptr;
    openView_ = nullptr;
    if (openWindow_ != nullptr) {
        delete openWindow_.data();
    }
    openWindow_ = nullptr;
    if (wasOpen != nullptr) {
        InvalidateViewer(wasOpen);
    }
}

TDkView* TDkView::NearestToolbarView() {
    for (TDkView* v = this; v != nullptr; v = v->parentView_) {
        if (v->IsToolbar()) {
            return v;
        }
    }
    return nullptr;
}

TDkView* TDkView::LoopView() {
    for (TDkView* v = this; v != nullptr; v = v->parentView_) {
        if (v->HasState(vsModal)) {
            return v;
        }
    }
    return nullptr;
}

void TDkView::EndModal() {
    EndModalWithAction(TDkDoneAction());
}

void TDkView::EndModalWithItem(TDkCustomItem* item, bool playSound) {
    TDkDoneAction action;
    action.Kind = TDkDoneAction::ClickItem;
    action.Item = item;
    action.PlaySound = playSound;
    EndModalWithAction(action);
}

void TDkView::EndModalWithAction(const TDkDoneAction& action) {
    TDkView* loop = LoopView();
    if (loop == nullptr) {
        return;
    }
    loop->modalEnded_ = true;
    loop->doneAction_ = action;
    // The loop looks after each event it handles; one ended from elsewhere
    // would otherwise wait for the next input.
    if (!loop->modalWakePosted_) {
        loop->modalWakePosted_ = true;
        QCoreApplication::postEvent(loop, new QEvent(ModalWakeEvent()));
    }
}

QEvent::Type TDkView::ModalWakeEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void TDkView::ResetModal() {
    modalEnded_ = false;
    modalWakePosted_ = false;
    doneAction_ = TDkDoneAction();
}

void TDkView::NotifyViewerUsed(TDkItemViewer* viewer) {
    if (chevronParentView_ != nullptr) {
        // A chevron pop-up stands for the tool bar's hidden viewers.
        const int index = IndexOf(viewer) + chevronParentView_->LeadingSpecialCount();
        if (index >= 0 && index < chevronParentView_->ViewerCount()) {
            chevronParentView_->NotifyViewerUsed(chevronParentView_->Viewers(index));
        }
    }
    if (parentView_ != nullptr && parentView_->OpenViewer() != nullptr) {
        parentView_->NotifyViewerUsed(parentView_->OpenViewer());
    }
    if (!usePriorityList_) {
        return;
    }
    const auto it = std::find(priority_.begin(), priority_.end(), viewer);
    if (it == priority_.end() || it == priority_.begin()) {
        return;
    }
    priority_.erase(it);
    priority_.insert(priority_.begin(), viewer);
    // What the chevron hides depends on the order.
    bool hiding = false;
    for (const auto& v : viewers_) {
        hiding = hiding || v->OffEdge;
    }
    if (hiding) {
        InvalidatePositions();
        ValidatePositions();
    }
}
