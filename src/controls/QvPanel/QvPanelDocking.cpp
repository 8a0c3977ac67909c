// The framed panel as a dock site: the controls docked in it, their caption
// strips, a drag started on a strip, and what a drag asks of the site.
#include "controls/QvPanel/QvPanel.h"

#include "platform/core/Guarded.h"
#include "platform/gui/AlignLayout.h"

#include <QApplication>
#include <QChildEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

using plat::TRect;

namespace {

// The depth of a caption strip, and the font of its text.
constexpr int kDockCaptionSize = 13;

QFont DockCaptionFont() {
    return QFont(QStringLiteral("Verdana"), 8);
}

} // namespace

void TQvCustomPanel::SetDockSite(bool value) {
    if (dockSite_ == value) {
        return;
    }
    dockSite_ = value;
    ctl::RegisterDockSite(this, value);
}

void TQvCustomPanel::SetShowDockClientCaptions(bool value) {
    if (showDockClientCaptions_ == value) {
        return;
    }
    showDockClientCaptions_ = value;
    LayoutDockClients();
    update();
}

std::vector<QWidget*> TQvCustomPanel::DockClients() const {
    std::vector<QWidget*> clients;
    for (const DockClient& client : dockClients_) {
        if (client.control != nullptr) {
            clients.push_back(client.control);
        }
    }
    return clients;
}

TRect TQvCustomPanel::DockCaptionRect(const QWidget* client) const {
    for (const DockClient& docked : dockClients_) {
        if (docked.control == client) {
            return docked.strip;
        }
    }
    return {};
}

bool TQvCustomPanel::DockCaptionsVertical() const {
    const QWidget* parent = parentWidget();
    const auto* layout =
        parent != nullptr ? qobject_cast<const plat::AlignLayout*>(parent->layout()) : nullptr;
    if (layout == nullptr) {
        return false;
    }
    const plat::Align align = layout->AlignOf(this);
    return align == plat::Align::Top || align == plat::Align::Bottom;
}

void TQvCustomPanel::GetSiteInfo(QWidget* client, QRect& influence, QPoint mousePos,
                                 bool& canDock) {
    if (OnGetSiteInfo) {
        OnGetSiteInfo(this, client, influence, mousePos, canDock);
    }
}

bool TQvCustomPanel::DockOver(ctl::TDragDockObject& source, TDragState state) {
    bool accept = true;
    if (OnDockOver) {
        const QPoint at = mapFromGlobal(source.DragPos);
        OnDockOver(this, source, at.x(), at.y(), state, accept);
    }
    return accept;
}

void TQvCustomPanel::DockDrop(ctl::TDragDockObject& source) {
    QWidget* control = source.Control;
    if (control == nullptr) {
        return;
    }
    ForgetDockClient(control);
    if (control->parentWidget() != this) {
        control->setParent(this);
    }
    dockClients_.push_back({control, {}});
    control->installEventFilter(this);
    control->show();
    LayoutDockClients();
    update();
    if (OnDockDrop) {
        const QPoint at = mapFromGlobal(source.DragPos);
        OnDockDrop(this, source, at.x(), at.y());
    }
}

bool TQvCustomPanel::UnDock(QWidget* client, TQvCustomPanel* newTarget) {
    bool allow = true;
    if (OnUnDock) {
        OnUnDock(this, client, newTarget, allow);
    }
    if (!allow) {
        return false;
    }
    client->removeEventFilter(this);
    ForgetDockClient(client);
    LayoutDockClients();
    update();
    return true;
}

void TQvCustomPanel::ForgetDockClient(const QObject* client) {
    std::erase_if(dockClients_, [client](const DockClient& docked) {
        return docked.control.isNull() || static_cast<const QObject*>(docked.control) == client;
    });
}

// The clients share the client area one after the other: stacked, each
// under its strip, or side by side, each right of its strip, in a panel
// aligned to the top or the bottom.
void TQvCustomPanel::LayoutDockClients() {
    ForgetDockClient(nullptr);
    std::vector<DockClient*> shown;
    for (DockClient& docked : dockClients_) {
        docked.strip = {};
        if (!docked.control->isHidden()) {
            shown.push_back(&docked);
        }
    }
    if (shown.empty()) {
        return;
    }
    const TRect area = ClientRect();
    const bool across = DockCaptionsVertical();
    const int strip = showDockClientCaptions_ ? kDockCaptionSize : 0;
    const int count = static_cast<int>(shown.size());
    const int length = across ? area.Width() : area.Height();
    for (int i = 0; i < count; ++i) {
        const int from = length * i / count;
        const int to = length * (i + 1) / count;
        TRect slice = across ? TRect(area.Left + from, area.Top, area.Left + to, area.Bottom)
                             : TRect(area.Left, area.Top + from, area.Right, area.Top + to);
        TRect client = slice;
        if (across) {
            slice.Right = std::min(slice.Right, slice.Left + strip);
            client.Left = slice.Right;
        } else {
            slice.Bottom = std::min(slice.Bottom, slice.Top + strip);
            client.Top = slice.Bottom;
        }
        shown[static_cast<size_t>(i)]->strip = strip > 0 ? slice : TRect();
        shown[static_cast<size_t>(i)]->control->setGeometry(client.ToQRect());
    }
}

void TQvCustomPanel::PaintDockCaptions(QPainter& painter) {
    // Most panels hold no docked control: they need no caption font.
    if (!showDockClientCaptions_ || dockClients_.empty()) {
        return;
    }
    const bool vertical = DockCaptionsVertical();
    const ctl::TRotatedFont font = ctl::CreateRotatedFont(DockCaptionFont(), vertical ? 900 : 0);
    const QFontMetrics metrics(font.Font, painter.device());
    for (const DockClient& docked : dockClients_) {
        if (docked.control == nullptr || docked.strip.IsEmpty()) {
            continue;
        }
        const QRect strip = docked.strip.ToQRect();
        painter.fillRect(strip, plat::ToQColor(plat::clActiveCaption));
        painter.save();
        painter.setClipRect(strip);
        painter.setPen(plat::ToQColor(plat::clCaptionText));
        const QString text = docked.control->windowTitle();
        const int across = (kDockCaptionSize - metrics.height()) / 2;
        const QPoint origin = vertical ? QPoint(strip.left() + across, strip.bottom() - 1)
                                       : QPoint(strip.left() + 2, strip.top() + across);
        ctl::DrawRotatedText(painter, font, origin, text);
        painter.restore();
    }
}

const QWidget* TQvCustomPanel::DockClientAt(QPoint point) const {
    for (const DockClient& docked : dockClients_) {
        if (docked.control != nullptr && docked.strip.Contains(point)) {
            return docked.control;
        }
    }
    return nullptr;
}

void TQvCustomPanel::mousePressEvent(QMouseEvent* event) {
    const QWidget* client =
        event->button() == Qt::LeftButton ? DockClientAt(event->position().toPoint()) : nullptr;
    if (client == nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressedClient_ = const_cast<QWidget*>(client);
    pressPoint_ = event->globalPosition().toPoint();
}

void TQvCustomPanel::mouseMoveEvent(QMouseEvent* event) {
    if (pressedClient_ == nullptr) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if ((global - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
        QWidget* client = pressedClient_;
        pressedClient_ = nullptr;
        plat::Guarded([&] { ctl::TDockDrag::Begin(client, global); });
    }
}

void TQvCustomPanel::mouseReleaseEvent(QMouseEvent* event) {
    pressedClient_ = nullptr;
    QWidget::mouseReleaseEvent(event);
}

bool TQvCustomPanel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowTitleChange:
        update();
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (watched->parent() == this) {
            plat::Guarded([this] { LayoutDockClients(); });
            update();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TQvCustomPanel::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    if (event->removed() && !dockClients_.empty()) {
        // A docked control taken elsewhere or destroyed.
        ForgetDockClient(event->child());
        plat::Guarded([this] { LayoutDockClients(); });
        update();
    }
}
