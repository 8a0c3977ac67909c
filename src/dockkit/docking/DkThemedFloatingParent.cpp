#include "dockkit/docking/DkThemedFloatingParent.h"

#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/themes/DkNexus.h"

#include <QPainter>

dk::TDkxFloatingBorderInfo TDkxFloatingWindowParent::BorderInfo(unsigned parts) const {
    dk::TDkxFloatingBorderInfo info;
    TDkCustomDockableWindow* hosted = DockableWindow();
    info.FloatingForm = const_cast<TDkxFloatingWindowParent*>(this);
    info.Window = hosted;
    info.ViewKind = dk::GetViewKind(hosted);
    info.ClientWidth = ClientSize().width();
    info.ClientHeight = ClientSize().height();
    info.ShowCaption = CaptionShown();
    const QSize border = BorderSize();
    info.BorderSize = QPoint(border.width(), border.height());
    if (CloseButtonShown()) {
        info.CloseButtonState = dk::CloseButtonShown;
        if (CloseButtonPressed()) {
            info.CloseButtonState |= dk::CloseButtonPushed;
        } else if (closeHot_) {
            info.CloseButtonState |= dk::CloseButtonHot;
        }
    }
    info.RedrawWhat = parts;
    info.Caption = windowTitle();
    info.Active = hosted == nullptr || !hosted->InactiveCaption();
    return info;
}

void TDkxFloatingWindowParent::PaintFrameArea(QPainter& painter, unsigned parts) {
    painter.save();
    painter.setBrush(plat::ToQColor(dk::GetEffectiveColor(DockableWindow())));
    dk::CurrentTheme().DrawFloatingFrame(painter, plat::TRect(rect()), BorderInfo(parts));
    painter.restore();
}

void TDkxFloatingWindowParent::SetCloseHot(bool value) {
    if (closeHot_ != value) {
        closeHot_ = value;
        update(CloseButtonRect().ToQRect().adjusted(-2, -2, 2, 2));
    }
}

void TDkxFloatingWindowParent::NcMouseMove(int hit, QPoint globalPos) {
    TDkFloatingWindowParent::NcMouseMove(hit, globalPos);
    SetCloseHot(hit == dk::HTCLOSEBUTTON);
}

void TDkxFloatingWindowParent::NcMouseLeave() {
    TDkFloatingWindowParent::NcMouseLeave();
    SetCloseHot(false);
}
