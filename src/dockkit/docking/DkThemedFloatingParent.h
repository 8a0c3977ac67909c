#pragma once
// The floating form of themed dockable windows: its frame, caption and close
// button are painted by the current theme, with the hosted window's colour,
// and the close button lights up under the pointer.

#include "dockkit/docking/DkFloatingWindowParent.h"
#include "dockkit/themes/DkThemeTypes.h"

class TDkxFloatingWindowParent : public TDkFloatingWindowParent {
    Q_OBJECT
public:
    using TDkFloatingWindowParent::TDkFloatingWindowParent;

    // What the theme is told about the frame, for the parts to paint.
    dk::TDkxFloatingBorderInfo BorderInfo(unsigned parts) const;
    bool CloseButtonHot() const { return closeHot_; }

    void PaintFrameArea(QPainter& painter, unsigned parts) override;

protected:
    void NcMouseMove(int hit, QPoint globalPos) override;
    void NcMouseLeave() override;

private:
    void SetCloseHot(bool value);

    bool closeHot_ = false;
};
