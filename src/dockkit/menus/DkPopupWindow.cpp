#include "dockkit/menus/DkPopupWindow.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkMessages.h"
#include "dockkit/common/DkPopupAnimation.h"
#include "dockkit/items/DkItemViewer.h"

#include "platform/gui/Edges.h"
#include "platform/gui/KitMessage.h"
#include "platform/gui/SystemParams.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kInitialWidth = 320;
constexpr int kInitialHeight = 240;
constexpr int kArrowWidth = 7;
constexpr int kArrowHeight = 4;

} // namespace

QFont TDkPopupView::GetFont() const {
    return Window() != nullptr ? Window()->font() : TDkView::GetFont();
}

void TDkPopupView::PaintBackground(QPainter& canvas, const QRect& area) {
    if (auto* window = qobject_cast<TDkPopupWindow*>(Window())) {
        window->PaintViewBackground(canvas, area);
    }
}

TDkPopupWindow::TDkPopupWindow(TDkView* parentView, TDkCustomItem* item, bool customizing)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), parentView_(parentView) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setContentsMargins(kFrameSize, kFrameSize, kFrameSize, kFrameSize);
    TakeFont();
    resize(kInitialWidth, kInitialHeight);
    view_ = new TDkPopupView(this, parentView, item, this, false, customizing, false);
    view_->SetBackgroundColor(color_);
    if (parentView != nullptr) {
        view_->SetOptions((view_->Options() & ~voAccelHiding) |
                          (parentView->Options() & voAccelHiding));
        view_->SetAcceleratorsVisible(parentView->HasState(vsAccelsVisible));
    }
}

TDkPopupWindow::~TDkPopupWindow() {
    view_->CloseChildPopups();
    dk::FinishPopupAnimation(this);
    delete view_;
    view_ = nullptr;
}

void TDkPopupWindow::SetColor(plat::TColor value) {
    color_ = value;
    view_->SetBackgroundColor(value);
    update();
}

void TDkPopupWindow::TakeFont() {
    const TDkView* parent = parentView_;
    setFont(parent != nullptr ? parent->GetFont() : dk::KitMenuFont());
}

void TDkPopupWindow::setVisible(bool visible) {
    const bool wasVisible = isVisible();
    if (visible && !wasVisible) {
        const plat::SystemParameters& params = plat::CurrentSystemParameters();
        const TDkView* parent = parentView_;
        const bool parentClosing = parent != nullptr && parent->HasState(vsClosing);
        if (!parentClosing && view_->Selected() == nullptr && params.MenuAnimation()) {
            const bool fade = params.MenuFade();
            if ((fade || animationDirection_ != 0) &&
                plat::SendMessage(this, dk::kPopupNotifyMessage, 1) == 0) {
                dk::BeginPopupAnimation(this, dk::kPopupAnimationMs, fade, animationDirection_);
                return;
            }
        }
    }
    if (!visible) {
        dk::FinishPopupAnimation(this);
    }
    QWidget::setVisible(visible);
    if (visible && !wasVisible) {
        plat::SendNotifyMessage(this, dk::kPopupNotifyMessage, 3);
    }
}

bool TDkPopupWindow::event(QEvent* event) {
    if (const plat::KitMessageEvent* message = plat::KitMessageEvent::From(event)) {
        if (message->Msg() == dk::kAnimationStepMessage) {
            dk::PopupAnimationStep(this, message->LParam);
            return true;
        }
        if (message->Msg() == dk::kAnimationEndedMessage) {
            plat::SendNotifyMessage(this, dk::kPopupNotifyMessage, 2);
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const TDkItemViewer* viewer = view_->Selected();
        const QPoint origin =
            viewer != nullptr
                ? contentsRect().topLeft() + QPoint(viewer->BoundsRect.Left, viewer->BoundsRect.Top)
                : QPoint();
        plat::TRect area;
        const QString hint =
            viewer != nullptr ? viewer->HintToShow(help->pos() - origin, area) : QString();
        if (hint.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), hint, this, area.ToQRect().translated(origin));
        }
        return true;
    }
    return QWidget::event(event);
}

void TDkPopupWindow::PaintFrame(QPainter& painter) {
    plat::TRect r(rect());
    if (dk::FlatMenusOn()) {
        plat::FrameRect(painter, r, plat::clBtnShadow);
        for (int i = 1; i < kFrameSize; ++i) {
            r.Inflate(-1, -1);
            plat::FrameRect(painter, r, color_);
        }
    } else {
        plat::DrawEdge(painter, r, plat::EDGE_RAISED, plat::BF_RECT | plat::BF_ADJUST);
        plat::FrameRect(painter, r, plat::clBtnFace);
    }
}

void TDkPopupWindow::PaintViewBackground(QPainter& /*canvas*/, const QRect& /*area*/) {}

void TDkPopupWindow::PaintScrollArrows(QPainter& painter) {
    const int width = contentsRect().width();
    const int height = contentsRect().height();
    const QColor color = plat::ToQColor(plat::clMenuText);
    const int left = (width - kArrowWidth) / 2;
    const int inBand = (dk::kScrollArrowBand - kArrowHeight) / 2;
    // Rows of 1, 3, 5 and 7 pixels: the tip towards the hidden items.
    for (int row = 0; row < kArrowHeight; ++row) {
        const int span = 2 * row + 1;
        const int x = left + kArrowWidth / 2 - row;
        if (view_->ShowUpArrow()) {
            painter.fillRect(x, inBand + row, span, 1, color);
        }
        if (view_->ShowDownArrow()) {
            painter.fillRect(x, height - dk::kScrollArrowBand + inBand + kArrowHeight - 1 - row,
                             span, 1, color);
        }
    }
}

void TDkPopupWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (dk::PaintPopupAnimation(this, painter)) {
        return;
    }
    dk::FinishPopupAnimation(this);
    PaintFrame(painter);
    const QRect client = contentsRect();
    const QRegion region = event->region().intersected(client).translated(-client.topLeft());
    painter.translate(client.topLeft());
    if (!region.isEmpty()) {
        view_->PaintWindow(painter, region);
    }
    PaintScrollArrows(painter);
}

void TDkPopupWindow::closeEvent(QCloseEvent* event) {
    // The window system never closes a pop-up on its own; the one close
    // request is the application quitting, which closes every window and
    // gives up when one refuses. The pop-up hides, and the menu loop that
    // holds the mouse for it ends.
    event->accept();
}
