#include "controls/QvPanel/DockDrag.h"

#include "controls/QvPanel/QvPanel.h"

#include "platform/core/Guarded.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <utility>
#include <vector>

namespace ctl {

namespace {

TDockDrag*& Running() {
    static TDockDrag* drag = nullptr;
    return drag;
}

// The dock sites there are, in the order they became sites.
std::vector<QPointer<TQvCustomPanel>>& Sites() {
    static std::vector<QPointer<TQvCustomPanel>> sites;
    return sites;
}

// The site under the point that takes the control: every site showing is
// asked, in the order they became sites; of the sites that take it, the
// innermost.
TQvCustomPanel* SiteAt(QWidget* control, QPoint global) {
    TQvCustomPanel* found = nullptr;
    const std::vector<QPointer<TQvCustomPanel>> sites = Sites();
    for (const QPointer<TQvCustomPanel>& site : sites) {
        if (site == nullptr || !site->DockSite() || !site->isVisible() || site == control ||
            control->isAncestorOf(site)) {
            continue;
        }
        QRect influence(site->mapToGlobal(QPoint(0, 0)), site->size());
        bool canDock = true;
        site->GetSiteInfo(control, influence, global, canDock);
        if (canDock && influence.contains(global) &&
            (found == nullptr || found->isAncestorOf(site))) {
            found = site;
        }
    }
    return found;
}

// A window of its own for a control that floats.
void Float(QWidget* control, const QRect& screenRect) {
    control->setParent(nullptr, Qt::Tool);
    control->setGeometry(screenRect);
    control->show();
}

} // namespace

void RegisterDockSite(TQvCustomPanel* site, bool listed) {
    auto& sites = Sites();
    std::erase_if(sites,
                  [site](const QPointer<TQvCustomPanel>& s) { return s.isNull() || s == site; });
    if (listed) {
        sites.emplace_back(site);
    }
}

TQvCustomPanel* HostDockSite(const QWidget* control) {
    auto* host =
        control != nullptr ? qobject_cast<TQvCustomPanel*>(control->parentWidget()) : nullptr;
    if (host == nullptr) {
        return nullptr;
    }
    const std::vector<QWidget*> clients = host->DockClients();
    return std::find(clients.begin(), clients.end(), control) != clients.end() ? host : nullptr;
}

bool ManualDock(QWidget* control, TQvCustomPanel* site) {
    if (control == nullptr || site == nullptr) {
        return false;
    }
    TQvCustomPanel* host = HostDockSite(control);
    if (host != nullptr && host != site && !host->UnDock(control, site)) {
        return false;
    }
    TDragDockObject source;
    source.Control = control;
    source.DragTarget = site;
    source.DragPos = site->mapToGlobal(QPoint(0, 0));
    source.DockRect = QRect(source.DragPos, site->size());
    site->DockDrop(source);
    return true;
}

bool ManualFloat(QWidget* control, const QRect& screenRect) {
    if (control == nullptr) {
        return false;
    }
    if (TQvCustomPanel* host = HostDockSite(control);
        host != nullptr && !host->UnDock(control, nullptr)) {
        return false;
    }
    Float(control, screenRect);
    return true;
}

TDockDrag::TDockDrag(QWidget* control, QPoint global) : size_(control->size()) {
    source_.Control = control;
    source_.DragPos = global;
    QCoreApplication::instance()->installEventFilter(this);
}

TDockDrag::~TDockDrag() {
    QCoreApplication::instance()->removeEventFilter(this);
    if (Running() == this) {
        Running() = nullptr;
    }
}

TDockDrag* TDockDrag::Begin(QWidget* control, QPoint global) {
    if (control == nullptr || Running() != nullptr) {
        return nullptr;
    }
    Running() = new TDockDrag(control, global);
    Running()->MoveTo(global);
    return Running();
}

TDockDrag* TDockDrag::Current() {
    return Running();
}

void TDockDrag::MoveTo(QPoint global) {
    if (source_.Control == nullptr) {
        Cancel();
        return;
    }
    source_.DragPos = global;
    TQvCustomPanel* target = SiteAt(source_.Control, global);
    if (target != source_.DragTarget) {
        if (TQvCustomPanel* old = source_.DragTarget) {
            old->DockOver(source_, dsDragLeave);
        }
        source_.DragTarget = target;
        if (target != nullptr) {
            target->DockOver(source_, dsDragEnter);
        }
    }
    source_.DockRect = target != nullptr ? QRect(target->mapToGlobal(QPoint(0, 0)), target->size())
                                         : QRect(global, size_);
    accepted_ = target != nullptr && target->DockOver(source_, dsDragMove);
}

void TDockDrag::Drop(QPoint global) {
    if (global != source_.DragPos) {
        MoveTo(global);
    }
    QWidget* control = source_.Control;
    TQvCustomPanel* target = accepted_ ? source_.DragTarget.data() : nullptr;
    if (control == nullptr) {
        End();
        return;
    }
    if (target == nullptr) {
        if (TQvCustomPanel* old = source_.DragTarget) {
            old->DockOver(source_, dsDragLeave);
        }
        source_.Floating = true;
        ManualFloat(control, source_.DockRect);
    } else {
        TQvCustomPanel* host = HostDockSite(control);
        if (host == nullptr || host == target || host->UnDock(control, target)) {
            target->DockDrop(source_);
        } else {
            target->DockOver(source_, dsDragLeave);
        }
    }
    End();
}

void TDockDrag::Cancel() {
    if (TQvCustomPanel* target = source_.DragTarget) {
        target->DockOver(source_, dsDragLeave);
    }
    End();
}

void TDockDrag::End() {
    deleteLater();
    if (Running() == this) {
        Running() = nullptr;
    }
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TDockDrag::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (Running() != this) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseMove:
        plat::Guarded(
            [&] { MoveTo(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()); });
        return true;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            plat::Guarded(
                [&] { Drop(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()); });
            return true;
        }
        return false;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            plat::Guarded([&] { Cancel(); });
        }
        return true;
    default:
        return false;
    }
}

} // namespace ctl
