#include "dockkit/docking/DkxDock.h"

#include "dockkit/themes/DkDefaultTheme/DkDefaultTheme.h"
#include "dockkit/themes/DkNexus.h"

#include <QPainter>

namespace {

constexpr int kRebarStyle = 2; // "REBAR" among the nexus's visual-style classes

} // namespace

bool TDkxDock::UsesVisualStyleBackground() const {
    const TDkxNexus* nexus = TDkxNexus::Instance();
    return nexus != nullptr && nexus->Values().XPStylesActive && nexus->EnableXPStyles() &&
           nexus->VisualStyleHandle(kRebarStyle) != 0 && Background() == nullptr &&
           dynamic_cast<const TDkxDefaultTheme*>(&nexus->CurrentTheme()) != nullptr;
}

bool TDkxDock::HasDockBackground() const {
    return TDkDock::HasDockBackground() || UsesVisualStyleBackground();
}

void TDkxDock::PaintDockBackground(QPainter& painter, const QRect& rect) {
    if (!UsesVisualStyleBackground()) {
        TDkDock::PaintDockBackground(painter, rect);
        return;
    }
    // The desk's style would draw its rebar picture here; without a style
    // library the dock's own colour stands in for it.
    painter.fillRect(rect, plat::ToQColor(Color()));
}

void TDkxDock::resizeEvent(QResizeEvent* event) {
    TDkDock::resizeEvent(event);
    if (!UsesVisualStyleBackground()) {
        return;
    }
    update();
    for (QObject* child : children()) {
        if (child->isWidgetType()) {
            static_cast<QWidget*>(child)->update();
        }
    }
}
