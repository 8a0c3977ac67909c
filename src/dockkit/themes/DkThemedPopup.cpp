#include "dockkit/themes/DkThemedPopup.h"

#include "dockkit/common/DkMessages.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemedItem.h"

#include "platform/gui/KitMessage.h"

#include <QHideEvent>
#include <QPainter>

TDkxPopupWindow::TDkxPopupWindow(TDkView* parentView, TDkCustomItem* item, bool customizing)
    : TDkPopupWindow(parentView, item, customizing), openingItem_(item) {
    dk::AddThemedWindow(this);
    ApplyTheme();
}

TDkxPopupWindow::~TDkxPopupWindow() {
    shadows_.reset();
    dk::RemoveThemedWindow(this);
}

unsigned TDkxPopupWindow::ViewKind() const {
    if (View() != nullptr && View()->ChevronParentView() != nullptr) {
        return dk::ViewChevronPopup;
    }
    const auto* themed = qobject_cast<const TDkxCustomItem*>(openingItem_);
    if (themed != nullptr && themed->ToolBoxPopup()) {
        return dk::ViewToolBoxPopup;
    }
    return dk::ViewPopupMenu;
}

void TDkxPopupWindow::ApplyTheme() {
    TDkxTheme& theme = dk::CurrentTheme();
    const unsigned kind = ViewKind();
    const QPoint border = theme.GetViewBorderSize(kind);
    setContentsMargins(border.x(), border.y(), border.x(), border.y());
    SetColor(theme.GetViewBackColor(kind));
}

plat::TRect TDkxPopupWindow::OpeningItemRect() const {
    const TDkView* parent = ParentView();
    if (parent == nullptr || parent->OpenWindow() != this || parent->OpenViewer() == nullptr ||
        parent->Window() == nullptr) {
        return {};
    }
    const TDkItemViewer* viewer = parent->OpenViewer();
    if (!viewer->IsToolbarStyle() && ViewKind() != dk::ViewChevronPopup) {
        return {};
    }
    const QWidget* window = parent->Window();
    const QPoint origin = window->mapToGlobal(window->contentsRect().topLeft());
    plat::TRect r = viewer->BoundsRect;
    r.Offset(origin.x(), origin.y());
    return r;
}

dk::TDkxPopupInfo TDkxPopupWindow::PopupInfo() const {
    dk::TDkxPopupInfo info;
    info.Window = const_cast<TDkxPopupWindow*>(this);
    info.ViewKind = ViewKind();
    plat::TRect item = OpeningItemRect();
    if (!item.IsEmpty()) {
        const QPoint origin = mapToGlobal(QPoint(0, 0));
        item.Offset(-origin.x(), -origin.y());
        info.ParentItemRect = item;
    }
    const QMargins frame = contentsMargins();
    info.BorderSize = QPoint(frame.left(), frame.top());
    return info;
}

void TDkxPopupWindow::PaintFrame(QPainter& painter) {
    dk::CurrentTheme().DrawPopupFrame(painter, plat::TRect(rect()), PopupInfo());
}

void TDkxPopupWindow::PaintViewBackground(QPainter& canvas, const QRect& area) {
    dk::CurrentTheme().DrawViewBackground(canvas, plat::TRect(area), plat::TRect(area), Color(),
                                          false, ViewKind());
}

void TDkxPopupWindow::PaintScrollArrows(QPainter& painter) {
    const int width = contentsRect().width();
    const int height = contentsRect().height();
    TDkxTheme& theme = dk::CurrentTheme();
    if (View()->ShowUpArrow()) {
        theme.DrawScrollArrowButton(painter, plat::TRect(0, 0, width, dk::kScrollArrowBand),
                                    dk::ScrollArrowUp,
                                    View()->TimerRunning(TDkViewTimer::ScrollUp));
    }
    if (View()->ShowDownArrow()) {
        theme.DrawScrollArrowButton(
            painter, plat::TRect(0, height - dk::kScrollArrowBand, width, height),
            dk::ScrollArrowDown, View()->TimerRunning(TDkViewTimer::ScrollDown));
    }
}

void TDkxPopupWindow::CreateShadows() {
    shadows_.reset();
    const unsigned kind = ViewKind();
    const int style = dk::CurrentTheme().GetPopupShadowStyle();
    if (!isVisible() || dk::IsViewKind(kind, dk::ViewEditPopup) ||
        (style != dk::PopupShadowOwnFramingItem && style != dk::PopupShadowOwn)) {
        return;
    }
    const plat::TRect item =
        style == dk::PopupShadowOwnFramingItem ? OpeningItemRect() : plat::TRect();
    shadows_ = std::make_unique<dk::TShadows>(plat::TRect(geometry()), item, 4, 64,
                                              dk::KitValues().LoColor, this);
    shadows_->BringBehind(this);
}

void TDkxPopupWindow::ThemeChanging() {
    if (!themeLocked_) {
        themeLocked_ = true;
        View()->BeginUpdate();
    }
}

void TDkxPopupWindow::ThemeChanged() {
    ApplyTheme();
    if (themeLocked_) {
        themeLocked_ = false;
        View()->EndUpdate();
    }
    // Laid out and sized anew, then painted once with the rest of the
    // windows the switch changed.
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    View()->InvalidatePositions();
    View()->UpdatePositions();
    setUpdatesEnabled(updates);
    if (shadows_ != nullptr || isVisible()) {
        CreateShadows();
    }
    update();
}

bool TDkxPopupWindow::event(QEvent* event) {
    if (dk::AnswerThemeMessage(*this, event)) {
        return true;
    }
    if (auto* message = plat::KitMessageEvent::From(event);
        message != nullptr && message->Msg() == dk::kPopupNotifyMessage) {
        // Shown: at once, or when the animation has ended.
        if (message->WParam == 2 || message->WParam == 3) {
            CreateShadows();
        }
        return true;
    }
    return TDkPopupWindow::event(event);
}

void TDkxPopupWindow::moveEvent(QMoveEvent* event) {
    TDkPopupWindow::moveEvent(event);
    if (shadows_ != nullptr) {
        CreateShadows();
    }
}

void TDkxPopupWindow::resizeEvent(QResizeEvent* event) {
    TDkPopupWindow::resizeEvent(event);
    if (shadows_ != nullptr) {
        CreateShadows();
    }
}

void TDkxPopupWindow::hideEvent(QHideEvent* event) {
    shadows_.reset();
    TDkPopupWindow::hideEvent(event);
}

// --- TDkxPopupMenu ---------------------------------------------------------------------------

TDkxPopupMenu::TDkxPopupMenu(QObject* owner) : TDkPopupMenu(owner, new TDkxRootItem) {}

bool TDkxPopupMenu::event(QEvent* event) {
    if (auto* message = plat::KitMessageEvent::From(event)) {
        if (message->Msg() == dk::kViewKindMessage) {
            message->Result = dk::ViewPopupMenu;
            return true;
        }
    }
    return TDkPopupMenu::event(event);
}
