#pragma once
// The themed dock: a dock that, under the Default theme with the desk's visual
// styles on, would show the desk's rebar picture behind its bars instead of
// a plain colour. This desk offers no visual styles (the nexus never opens
// one), so it paints exactly as the plain dock does; the test of when the
// picture applies stays in one place for a desk that has them.

#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h" // completes the dock's window pointers

class TDkxDock : public TDkDock {
    Q_OBJECT
public:
    using TDkDock::TDkDock;

    // Visual styles are active and enabled in the nexus, the nexus holds a
    // rebar style, the dock has no Background of its own and the Default
    // theme is current.
    bool UsesVisualStyleBackground() const;

    bool HasDockBackground() const override;
    void PaintDockBackground(QPainter& painter, const QRect& rect) override;

protected:
    // Under the rebar picture the docked bars repaint their part of it too.
    void resizeEvent(QResizeEvent* event) override;
};
