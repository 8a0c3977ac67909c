#pragma once
// The small tool window that hosts one floating dockable window. It belongs
// to the form of the window (it stays above that form), draws its own frame,
// small caption and close button, and answers the hit tests that move, size
// and close the floating window. Closing it closes its form; Escape hands the
// focus back to the form.

#include "dockkit/common/DkNcWidget.h"

#include "platform/gui/Rect.h"

#include <QPointer>

class TDkCustomDockableWindow;

class TDkFloatingWindowParent : public dk::DkNcWidget {
    Q_OBJECT
public:
    // The parts of the frame.
    enum FramePart : unsigned { fpFrame = 0x1, fpCaption = 0x2, fpCloseButton = 0x4 };

    explicit TDkFloatingWindowParent(QWidget* parentForm);
    ~TDkFloatingWindowParent() override;
    TDkFloatingWindowParent(const TDkFloatingWindowParent&) = delete;
    TDkFloatingWindowParent& operator=(const TDkFloatingWindowParent&) = delete;

    TDkCustomDockableWindow* DockableWindow() const { return hosted_; }
    // The window floating here, set as it comes and cleared as it leaves;
    // a form without one is on its way out.
    void SetDockableWindow(TDkCustomDockableWindow* window) { hosted_ = window; }
    QWidget* ParentForm() const { return parentForm_; }
    bool ShouldBeShown() const { return shouldBeShown_; }
    // Shows or hides the form without activating it.
    void SetShouldBeShown(bool value);
    bool CloseButtonPressed() const { return closePressed_; }

    // Geometry in window coordinates.
    QSize BorderSize() const;
    bool CaptionShown() const;
    bool CloseButtonShown() const;
    plat::TRect CaptionRect() const;
    plat::TRect CloseButtonRect() const;

    int NcHitTest(QPoint pos) const override;
    // The close button or the caption band under a point, else HTNOWHERE.
    int CaptionHitTest(QPoint pos) const;

    // Paints the parts of the frame.
    virtual void PaintFrameArea(QPainter& painter, unsigned parts);

    // A press on the form or its window: the form comes to the top and,
    // when the window asks for it, its form is activated.
    void MouseActivate();
    // The frame changed (sizing frame, caption): margins and size anew.
    void UpdateFrame();
    // The window flags follow the floating mode and the focus rule.
    void UpdateWindowFlags();

protected:
    QMargins CalcNcMargins() const override;
    void NcPaint(QPainter& painter) override;
    void NcLButtonDown(int hit, QPoint globalPos) override;
    void NcLButtonDblClk(int hit, QPoint globalPos) override;
    void NcRButtonUp(int hit, QPoint globalPos) override;
    std::optional<Qt::CursorShape> NcCursor(int hit, QPoint pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void RunCloseButtonLoop(QPoint globalPos);
    void SetClosePressed(bool value);
    bool SystemMoveOrResize(int hit);
    // On activation: whether the form keeps it, or hands it to its form.
    bool KeepsActivation() const;
    // Raises the program's open modal dialog again once this window shows or
    // rises, so that the dialog stays in front.
    void KeepModalInFront();

    QPointer<TDkCustomDockableWindow> hosted_;
    QPointer<QWidget> parentForm_;
    bool shouldBeShown_ = false;
    bool closePressed_ = false;
    bool onTopOfAll_ = false;
    bool acceptsFocus_ = true;
};
