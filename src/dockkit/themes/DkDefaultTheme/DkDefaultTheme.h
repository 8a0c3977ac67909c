#pragma once
// The Default theme: the classic look of raised and sunken three-dimensional
// edges, checkered checked buttons, highlight-filled menu rows and window
// captions in the caption colours. It keeps no state: every colour comes
// from the kit values (dk::KitValues) and the system colour table. The
// desk's visual styles are never active here, so every part is drawn the
// classic way.

#include "dockkit/themes/DkTheme.h"

class TDkxDefaultTheme : public TDkxTheme {
public:
    QPoint GetImageShift(QPainter& canvas, const dk::TDkxItemInfo& info,
                         const plat::ImageList* images) override;
    plat::TColor GetItemBackColor(const dk::TDkxItemInfo& info) override;
    plat::TColor GetImageBackColor(const dk::TDkxItemInfo& info) override;
    int GetPopupShadowStyle() override;
    QPoint GetViewBorderSize(unsigned viewKind) override;
    plat::TColor GetViewBackColor(unsigned viewKind) override;
    dk::TDkxMargins GetViewMargins(unsigned viewKind) override;

    void DrawButtonFace(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxItemInfo& info) override;
    void DrawItemCaption(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                         const QString& text, unsigned format, bool rotated) override;
    void DrawCheckGlyph(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxItemInfo& info) override;
    void DrawChevronGlyph(QPainter& canvas, const plat::TRect& rect,
                          const dk::TDkxItemInfo& info) override;
    void DrawEditFrame(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                       const dk::TDkxEditFrameInfo& frame) override;
    void DrawEditButton(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                        const dk::TDkxEditButtonInfo& button) override;

    void DrawDockPanelFrame(QPainter& canvas, const plat::TRect& rect,
                            const dk::TDkxDockPanelInfo& info) override;
    void DrawDropDownGlyph(QPainter& canvas, const plat::TRect& rect,
                           const dk::TDkxItemInfo& info) override;
    void DrawFloatingFrame(QPainter& canvas, const plat::TRect& rect,
                           const dk::TDkxFloatingBorderInfo& info) override;
    void DrawEditBorder(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxItemInfo& info) override;

    void DrawItemImage(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                       const plat::ImageList* images, int index) override;
    void DrawWindowButton(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                          int buttonKind) override;
    void DrawMenuItem(QPainter& canvas, const plat::TRect& rect,
                      const dk::TDkxItemInfo& info) override;
    void DrawMenuItemFrame(QPainter& canvas, const plat::TRect& rect,
                           const dk::TDkxItemInfo& info) override;
    void DrawScrollArrowButton(QPainter& canvas, const plat::TRect& rect, int buttonKind,
                               bool hot) override;
    void DrawPopupFrame(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxPopupInfo& info) override;
    void DrawSeparator(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                       bool horizontal, bool lineOnly) override;
    void DrawToolbarFrame(QPainter& canvas, const plat::TRect& rect,
                          const dk::TDkxToolbarInfo& info) override;
    void DrawCheckRadioFrame(QPainter& canvas, const plat::TRect& rect, int kind,
                             unsigned state) override;
    void DrawStatusBarPart(QPainter& canvas, const plat::TRect& rect, int part) override;

    int GetIntegerValue(int index) override;
    bool GetBooleanValue(int index) override;
};
