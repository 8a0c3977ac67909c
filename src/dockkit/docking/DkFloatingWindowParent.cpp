#include "dockkit/docking/DkFloatingWindowParent.h"

#include "dockkit/common/DkDraw.h"
#include "dockkit/common/DkModalLoop.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"

#include "platform/core/Guarded.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/Edges.h"
#include "platform/gui/Metrics.h"
#include "platform/gui/ShowHint.h"
#include "platform/gui/WindowStack.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace {

// Names that no two floating forms of the process share.
QString NextFloatingName() {
    static quint32 counter = 0;
    ++counter;
    return QStringLiteral("NBFloatingWindowParent_%1").arg(counter, 8, 16, QLatin1Char('0'));
}

bool WindowSystemMovesWindows() {
    // Wayland lets no client place or grab: the compositor moves and sizes.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

int SmallCaption() {
    return plat::GetSystemMetrics(plat::SM_CYSMCAPTION);
}

// The window that had the activation before the one being activated now.
// Qt tells of the new focus window only after the activation events, so
// while they run, the one it told of last is the window being deactivated.
QPointer<QWindow>& LastFocusWindow() {
    static QPointer<QWindow> last;
    return last;
}

void TrackFocusWindow() {
    static bool tracking = false;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (tracking || app == nullptr) {
        return;
    }
    tracking = true;
    LastFocusWindow() = QGuiApplication::focusWindow();
    QObject::connect(app, &QGuiApplication::focusWindowChanged, app,
                     [](QWindow* window) { LastFocusWindow() = window; });
}

} // namespace

TDkFloatingWindowParent::TDkFloatingWindowParent(QWidget* parentForm)
    : DkNcWidget(parentForm, Qt::Tool | Qt::FramelessWindowHint), parentForm_(parentForm) {
    setObjectName(NextFloatingName());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMinimumSize(1, 1);
    setMaximumSize(32767, 32767);
    // A floating bar's hints show whatever its form says.
    plat::SetShowHint(*this, true);
    TrackFocusWindow();
}

TDkFloatingWindowParent::~TDkFloatingWindowParent() {
    if (!hosted_.isNull()) {
        hosted_->FloatingFormDestroyed(this);
    }
}

void TDkFloatingWindowParent::SetShouldBeShown(bool value) {
    shouldBeShown_ = value;
    if (isVisible() == value) {
        return;
    }
    if (!value && isActiveWindow() && !parentForm_.isNull()) {
        parentForm_->activateWindow();
    }
    setVisible(value);
}

void TDkFloatingWindowParent::UpdateWindowFlags() {
    const bool onTop = !hosted_.isNull() && hosted_->FloatingMode() == fmOnTopOfAllForms;
    const bool focus = hosted_.isNull() || hosted_->FloatingFormAcceptsFocus();
    if (onTop == onTopOfAll_ && focus == acceptsFocus_) {
        return;
    }
    onTopOfAll_ = onTop;
    acceptsFocus_ = focus;
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint;
    if (onTop) {
        flags |= Qt::WindowStaysOnTopHint;
    }
    if (!focus) {
        flags |= Qt::WindowDoesNotAcceptFocus;
    }
    // Changing the flags hides the window; it shows again when it should.
    const bool shown = isVisible();
    setWindowFlags(flags);
    if (shown) {
        setVisible(true);
    }
}

void TDkFloatingWindowParent::UpdateFrame() {
    FrameChanged();
    if (!hosted_.isNull()) {
        const QSize client = hosted_->size();
        resize(client + hosted_->FloatingFrameSize());
        hosted_->move(ClientOrigin());
    }
}

// --- Geometry -------------------------------------------------------------------

QSize TDkFloatingWindowParent::BorderSize() const {
    return hosted_.isNull() ? QSize(plat::GetSystemMetrics(plat::SM_CXFIXEDFRAME),
                                    plat::GetSystemMetrics(plat::SM_CYFIXEDFRAME))
                            : hosted_->FloatingBorderSize();
}

bool TDkFloatingWindowParent::CaptionShown() const {
    return !hosted_.isNull() && hosted_->ShowCaption();
}

bool TDkFloatingWindowParent::CloseButtonShown() const {
    return CaptionShown() && hosted_->CloseButton();
}

plat::TRect TDkFloatingWindowParent::CaptionRect() const {
    const QSize border = BorderSize();
    plat::TRect caption(border.width(), border.height(), width() - border.width(),
                        border.height() + SmallCaption() - 1);
    if (CloseButtonShown()) {
        caption.Right -= caption.Height();
    }
    return caption;
}

plat::TRect TDkFloatingWindowParent::CloseButtonRect() const {
    const QSize border = BorderSize();
    const int height = SmallCaption() - 1;
    const int right = width() - border.width();
    plat::TRect button(right - height, border.height(), right, border.height() + height);
    button.Top += 2;
    button.Bottom -= 2;
    button.Right -= 2;
    return button;
}

QMargins TDkFloatingWindowParent::CalcNcMargins() const {
    const QSize border = BorderSize();
    return {border.width(), border.height() + (CaptionShown() ? SmallCaption() : 0), border.width(),
            border.height()};
}

namespace {

// Which edge or corner of a window of the given size a point on its border is
// on; corners reach `corner` pixels along each edge (none when 0).
int BorderHitTest(QPoint pos, QSize size, QSize border, int corner) {
    const bool left = pos.x() < border.width();
    const bool right = pos.x() >= size.width() - border.width();
    const bool top = pos.y() < border.height();
    const bool bottom = pos.y() >= size.height() - border.height();
    if (corner > 0) {
        const bool nearLeft = pos.x() < corner;
        const bool nearRight = pos.x() >= size.width() - corner;
        const bool nearTop = pos.y() < corner;
        const bool nearBottom = pos.y() >= size.height() - corner;
        if ((top && nearLeft) || (left && nearTop)) {
            return dk::HTTOPLEFT;
        }
        if ((top && nearRight) || (right && nearTop)) {
            return dk::HTTOPRIGHT;
        }
        if ((bottom && nearLeft) || (left && nearBottom)) {
            return dk::HTBOTTOMLEFT;
        }
        if ((bottom && nearRight) || (right && nearBottom)) {
            return dk::HTBOTTOMRIGHT;
        }
    }
    if (left || right) {
        return left ? dk::HTLEFT : dk::HTRIGHT;
    }
    if (top || bottom) {
        return top ? dk::HTTOP : dk::HTBOTTOM;
    }
    return dk::HTNOWHERE;
}

} // namespace

int TDkFloatingWindowParent::NcHitTest(QPoint pos) const {
    if (contentsRect().contains(pos)) {
        return dk::HTCLIENT;
    }
    if (!rect().contains(pos)) {
        return dk::HTNOWHERE;
    }
    if (const int caption = CaptionHitTest(pos); caption != dk::HTNOWHERE) {
        return caption;
    }
    if (hosted_.isNull() || !hosted_->Resizable()) {
        return dk::HTNOWHERE;
    }
    const QSize border = BorderSize();
    const int corner = hosted_->CornerSizing() ? border.height() + SmallCaption() - 1 : 0;
    return BorderHitTest(pos, size(), border, corner);
}

int TDkFloatingWindowParent::CaptionHitTest(QPoint pos) const {
    if (!CaptionShown()) {
        return dk::HTNOWHERE;
    }
    if (CloseButtonShown() && CloseButtonRect().Contains(pos)) {
        return dk::HTCLOSEBUTTON;
    }
    const QSize border = BorderSize();
    const plat::TRect band(border.width(), border.height(), width() - border.width(),
                           border.height() + SmallCaption());
    return band.Contains(pos) ? dk::HTFLOATCAPTION : dk::HTNOWHERE;
}

// --- Painting ------------------------------------------------------------------

void TDkFloatingWindowParent::NcPaint(QPainter& painter) {
    PaintFrameArea(painter, fpFrame | fpCaption | fpCloseButton);
}

void TDkFloatingWindowParent::PaintFrameArea(QPainter& painter, unsigned parts) {
    const bool active = hosted_.isNull() || !hosted_->InactiveCaption();
    const QColor captionColor =
        plat::ToQColor(active ? plat::clActiveCaption : plat::clInactiveCaption);
    if ((parts & fpFrame) != 0) {
        painter.fillRect(rect(), plat::ToQColor(plat::clBtnFace));
        plat::TRect edge(rect());
        plat::DrawEdge(painter, edge, plat::EDGE_RAISED, plat::BF_RECT);
    }
    if (!CaptionShown()) {
        return;
    }
    if ((parts & fpCaption) != 0) {
        const plat::TRect caption = CaptionRect();
        painter.fillRect(caption.ToQRect(), captionColor);
        QFont font = painter.font();
        font.setBold(true);
        painter.save();
        painter.setFont(font);
        painter.setPen(plat::ToQColor(active ? plat::clCaptionText : plat::clInactiveCaptionText));
        plat::TRect text = caption;
        text.Left += 2;
        painter.setClipRect(caption.ToQRect());
        plat::DrawText(painter, windowTitle(), text,
                       plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_NOPREFIX |
                           plat::DT_END_ELLIPSIS);
        painter.restore();
        // The row under the caption belongs to the frame.
        painter.fillRect(QRect(caption.Left, caption.Bottom, width() - 2 * caption.Left, 1),
                         plat::ToQColor(plat::clBtnFace));
    }
    if ((parts & fpCloseButton) != 0 && CloseButtonShown()) {
        const plat::TRect button = CloseButtonRect();
        const QSize border = BorderSize();
        const int right = width() - border.width();
        const int height = SmallCaption() - 1;
        // The caption colour behind the button, then the button itself.
        painter.fillRect(QRect(right - height, border.height(), height, height), captionColor);
        plat::TRect face = button;
        plat::DrawEdge(painter, face, closePressed_ ? plat::EDGE_SUNKEN : plat::EDGE_RAISED,
                       plat::BF_RECT | plat::BF_MIDDLE);
        const int shift = closePressed_ ? 1 : 0;
        const QRect glyph = QRect(button.Left + 3 + shift, button.Top + 2 + shift,
                                  button.Width() - 6, button.Height() - 4);
        if (glyph.width() > 1 && glyph.height() > 1) {
            const int side = std::min(glyph.width(), glyph.height());
            const QPoint at = glyph.topLeft() + QPoint((glyph.width() - side) / 2, 0);
            painter.setPen(plat::ToQColor(plat::clBtnText));
            painter.drawLine(at, at + QPoint(side - 1, side - 1));
            painter.drawLine(at + QPoint(side - 1, 0), at + QPoint(0, side - 1));
        }
    }
}

// --- Mouse and keys ----------------------------------------------------------------

void TDkFloatingWindowParent::MouseActivate() {
    plat::RaiseWindow(*this);
    KeepModalInFront();
    if (hosted_.isNull() || parentForm_.isNull()) {
        return;
    }
    if (hosted_->FloatingMode() == fmOnTopOfParentForm && hosted_->ActivateParent() &&
        !parentForm_->isActiveWindow()) {
        parentForm_->activateWindow();
        plat::RaiseWindow(*parentForm_);
        plat::RaiseWindow(*this);
    }
}

bool TDkFloatingWindowParent::KeepsActivation() const {
    // Tool bars never keep it; a panel keeps it when it comes from its form
    // (the user moves into the panel), and hands it to the form when it
    // comes from any other window.
    const QWindow* from = LastFocusWindow();
    return acceptsFocus_ && isVisible() && from != nullptr && from == parentForm_->windowHandle();
}

void TDkFloatingWindowParent::KeepModalInFront() {
    // A modal dialog of the program stands above the floating bars and
    // panels, whichever showed or rose last: after this window's showing
    // or raising has reached the window system, the dialog rises again.
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    if (modal.isNull() || modal == this || modal->isAncestorOf(this)) {
        return;
    }
    QTimer::singleShot(0, this, [modal] {
        if (!modal.isNull() && modal->isVisible() && modal == QApplication::activeModalWidget()) {
            plat::RaiseWindow(*modal);
        }
    });
}

bool TDkFloatingWindowParent::SystemMoveOrResize(int hit) {
    if (!WindowSystemMovesWindows() || windowHandle() == nullptr) {
        return false;
    }
    if (hit == dk::HTFLOATCAPTION) {
        return windowHandle()->startSystemMove();
    }
    return windowHandle()->startSystemResize(dk::EdgesOfSizingHit(hit));
}

void TDkFloatingWindowParent::NcLButtonDown(int hit, QPoint globalPos) {
    MouseActivate();
    if (hosted_.isNull()) {
        return;
    }
    QPointer<TDkCustomDockableWindow> hosted = hosted_;
    if (dk::IsSizingHit(hit) && hosted->Resizable()) {
        if (!SystemMoveOrResize(hit)) {
            hosted->RunSizingLoop(hit - dk::HTLEFT, globalPos);
        }
    } else if (hit == dk::HTFLOATCAPTION) {
        if (!SystemMoveOrResize(hit)) {
            hosted->RunDragLoop(globalPos);
        }
    } else if (hit == dk::HTCLOSEBUTTON) {
        RunCloseButtonLoop(globalPos);
    }
}

void TDkFloatingWindowParent::NcLButtonDblClk(int hit, QPoint /*globalPos*/) {
    if (hit == dk::HTFLOATCAPTION && !hosted_.isNull()) {
        hosted_->ToggleDockedFloating();
    }
}

void TDkFloatingWindowParent::NcRButtonUp(int /*hit*/, QPoint globalPos) {
    if (!hosted_.isNull()) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, hosted_->mapFromGlobal(globalPos),
                               globalPos);
        QCoreApplication::sendEvent(hosted_, &menu);
    }
}

std::optional<Qt::CursorShape> TDkFloatingWindowParent::NcCursor(int hit, QPoint /*pos*/) const {
    return dk::CursorOfSizingHit(hit);
}

void TDkFloatingWindowParent::SetClosePressed(bool value) {
    if (closePressed_ != value) {
        closePressed_ = value;
        update(CloseButtonRect().ToQRect());
    }
}

void TDkFloatingWindowParent::RunCloseButtonLoop(QPoint globalPos) {
    const plat::TRect button = CloseButtonRect();
    dk::ModalMouseLoop loop(this, std::nullopt);
    dk::ModalMouseLoop::Tracking tracking;
    tracking.CancelOnAnyPress = true;
    bool over = true;
    SetClosePressed(true);
    tracking.OnTrack = [&](QPoint global, bool) {
        over = button.Contains(mapFromGlobal(global));
        SetClosePressed(over);
    };
    QPointer<TDkFloatingWindowParent> self(this);
    const dk::ModalLoopEnd end = loop.RunTracking(tracking, globalPos, false);
    if (self.isNull()) {
        return;
    }
    SetClosePressed(false);
    if (end == dk::ModalLoopEnd::Accepted && over && !hosted_.isNull()) {
        hosted_->Close();
    }
}

void TDkFloatingWindowParent::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        !parentForm_.isNull()) {
        parentForm_->activateWindow();
        QWidget* focus = parentForm_->focusWidget();
        (focus != nullptr ? focus : parentForm_.data())->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    DkNcWidget::keyPressEvent(event);
}

void TDkFloatingWindowParent::closeEvent(QCloseEvent* event) {
    // Closing a floating window closes the form it belongs to.
    event->ignore();
    if (!parentForm_.isNull()) {
        parentForm_->close();
    }
}

void TDkFloatingWindowParent::moveEvent(QMoveEvent* event) {
    DkNcWidget::moveEvent(event);
    // Wherever the form goes (moved in code or by the window system), the
    // window's floating position follows: that is what its position saves.
    if (!hosted_.isNull()) {
        hosted_->FloatingFormMoved(this);
    }
    if (!hosted_.isNull() && hosted_->OnMove) {
        plat::Guarded([&] { hosted_->OnMove(hosted_); });
    }
}

void TDkFloatingWindowParent::resizeEvent(QResizeEvent* event) {
    DkNcWidget::resizeEvent(event);
    // Sized from outside (the window system): the window takes the client part.
    if (!hosted_.isNull() && hosted_->parentWidget() == this) {
        const QRect client = contentsRect();
        if (hosted_->geometry() != client) {
            hosted_->setGeometry(client);
        }
    }
}

bool TDkFloatingWindowParent::event(QEvent* event) {
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowBlocked) {
        KeepModalInFront();
    }
    if (event->type() == QEvent::WindowActivate && !parentForm_.isNull() && !KeepsActivation()) {
        parentForm_->activateWindow();
    }
    return DkNcWidget::event(event);
}
