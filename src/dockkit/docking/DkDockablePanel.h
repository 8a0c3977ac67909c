#pragma once
// The dockable panel: a resizable window of ordinary controls that docks on
// the left or right side of its form or floats. Docked it fills its column,
// shows a small caption with a close button and is widened or narrowed by
// dragging its inner edge; floating it keeps a client size of its own, which
// the saved positions keep too. Its frame and colour come from the current
// theme, and it follows the theme when that changes.
//
// Children are placed by the panel's align layout (Layout()), BorderSize
// pixels inside the client part.

#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemedWindow.h"

#include "platform/core/Exception.h"
#include "platform/gui/AlignLayout.h"
#include "platform/gui/Colors.h"

#include <QString>

#include <functional>

PLAT_DECLARE_EXCEPTION(EComponentError, TDkException);

namespace dk {
inline const QString SPanelHorizontalDock =
    QStringLiteral("Dockable panels cannot be docked into horizontal docks");
} // namespace dk

// The sides a panel may dock on.
using TDkxDockablePanelPositions = unsigned;
constexpr TDkxDockablePanelPositions tdpLeft = 0x1;
constexpr TDkxDockablePanelPositions tdpRight = 0x2;

enum TDkxResizingStage { rsBeginResizing, rsResizing, rsEndResizing };
// (panel, vertical dock, the new size, stage, whether to allow it)
using TDkxDockedResizing = std::function<void(QObject* Sender, bool Vertical, int& NewSize,
                                              TDkxResizingStage Stage, bool& AllowResize)>;

class TDkxDockablePanel : public TDkCustomDockableWindow, public dk::ThemedWindow {
    Q_OBJECT
public:
    // Sized 120 x 120, filling its dock row, registered as a themed window of
    // the nexus in force.
    explicit TDkxDockablePanel(QWidget* parent = nullptr);
    ~TDkxDockablePanel() override;

    // --- Properties ---
    int BorderSize() const { return borderSize_; }
    void SetBorderSize(int value);
    // The client size: the current one, or the kept floating size while the
    // panel is on no form. Writing keeps it within the limits below and sizes
    // the window to it.
    int ClientAreaWidth() const;
    int ClientAreaHeight() const;
    void SetClientAreaWidth(int value);
    void SetClientAreaHeight(int value);
    // clNone: the theme's colour for panels.
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    TDkxDockablePanelPositions DockableTo() const;
    void SetDockableTo(TDkxDockablePanelPositions value);
    // 0, or not above the minimum: no maximum.
    int MaxClientHeight() const { return maxClientHeight_; }
    void SetMaxClientHeight(int value) { maxClientHeight_ = value; }
    int MaxClientWidth() const { return maxClientWidth_; }
    void SetMaxClientWidth(int value) { maxClientWidth_ = value; }
    int MinClientHeight() const { return minClientHeight_; }
    void SetMinClientHeight(int value);
    int MinClientWidth() const { return minClientWidth_; }
    void SetMinClientWidth(int value);
    bool ShowCaptionWhenDocked() const { return showCaptionWhenDocked_; }
    void SetShowCaptionWhenDocked(bool value);

    TDkxDockedResizing OnDockedResizing;

    // --- State ---
    // The colour the panel and its children show.
    plat::TColor EffectiveColor() const { return effectiveColor_; }
    // dk::ViewDockPanel, with dk::ViewFloating and dk::ViewResizable as they apply.
    unsigned ViewKind() const override;
    // The floating client size the panel keeps (what the positions save).
    QSize FloatingClientSize() const { return floatingClient_; }
    plat::AlignLayout* Layout() const { return layout_; }
    // Whether a docked resizing runs.
    bool DockedResizing() const { return resizing_; }

    // --- Docked resizing, in its three stages; each answers whether the
    // size is allowed. The size is the window's width on a left or right
    // dock (its height on others). ---
    virtual bool DockedResizeBegin(bool vertical);
    // Keeps the size within the room the form leaves it (DockedRoom) and
    // the client limits, then asks OnDockedResizing.
    virtual bool DockedResizeTrack(bool vertical, int& newSize);
    virtual bool DockedResizeEnd(bool vertical);
    // The record the theme paints the docked frame from.
    virtual void FillPanelInfo(dk::TDkxDockPanelInfo& info) const;
    // The resizing loop of a press on the docked sizing edge at `globalPos`.
    void RunDockedResizeLoop(QPoint globalPos);

    // --- The dockable window's answers ---
    QSize LayoutChildren(bool canMoveControls, PlacementKind kind, TDkDock* targetDock) override;
    QSize NaturalSize() override;
    void ClientSizeLimits(int& minWidth, int& minHeight, int& maxWidth,
                          int& maxHeight) const override;
    void ClientSizeChanging(int newWidth, int newHeight) override;
    QSize DockedFrameSizeFor(const TDkDock* dock) const override;
    plat::TRect DockedCloseButtonBounds(bool vertical) const override;
    TDkFloatingWindowParent* CreateFloatingForm(QWidget* parentForm) override;
    void ValidateContainer(QWidget* container) const override;
    // Reads the kept client size (only when Resizable), fitted to the work
    // area of the monitor it floats on; a value no screen could show counts
    // as not stored, and so does a floating size that would fill the work
    // area both ways.
    void ReadExtraPositionValues(const dk::TDkPositionReadData& data) override;
    // Docked, the kept size is cut to the room the form leaves the panel.
    void PositionsLoaded() override;
    void WriteExtraPositionValues(const dk::TDkPositionWriteData& data) override;
    void PaintFrameArea(QPainter& painter) override;
    int NcHitTest(QPoint pos) const override;

protected:
    QMargins CalcNcMargins() const override;
    void NcLButtonDown(int hit, QPoint globalPos) override;
    std::optional<Qt::CursorShape> NcCursor(int hit, QPoint pos) const override;
    void ClientPaint(QPainter& painter, const QRegion& region) override;
    bool event(QEvent* event) override;

private:
    int CaptionSize() const;
    // The most the panel may take across its dock: what is left of the
    // form's client area after the other docks and bars beside it (the
    // other rows of its own dock among them), less the chat area's least.
    int DockedRoom(const TDkDock& dock) const;
    // The form's client size across the dock (its monitor's work area when
    // it will open maximized).
    int FormClientAcross(bool vertical) const;
    // What the docks and bars beside the panel take across its dock.
    int TakenBeside(const TDkDock& dock) const;
    // Has the form lay out its docks (it may not have yet while hidden), so
    // that the windows on them take what they take at the docks' lengths.
    static void SettleDockSite(const TDkDock& dock);
    bool CloseButtonShownDocked() const;
    // Sets the kept floating client size within the limits and lays out.
    void SetFloatingClientSize(QSize size);
    QSize ClampClientSize(QSize size) const;
    int DockedSize(bool vertical) const;
    void ApplyDockedSize(bool vertical, int size);
    // After the docked resizing loop: the size it ended with, or back to
    // the start when it was cancelled.
    void EndDockedResize(bool vertical, int startSize, bool smooth, bool accepted);
    bool FireResizing(bool vertical, int& size, TDkxResizingStage stage);
    void UpdateEffectiveColor();
    void ThemeChanging() override { LockContent(); }
    void ThemeChanged() override;
    plat::TColor ThemedBackColor() const override { return effectiveColor_; }

    int borderSize_ = 0;
    plat::TColor color_ = plat::clNone;
    plat::TColor effectiveColor_ = plat::clBtnFace;
    int maxClientHeight_ = 0;
    int maxClientWidth_ = 0;
    int minClientHeight_ = 32;
    int minClientWidth_ = 32;
    bool showCaptionWhenDocked_ = true;
    QSize floatingClient_{120, 120};
    plat::AlignLayout* layout_ = nullptr;
    bool resizing_ = false;
    int resizeSize_ = 0;
};
