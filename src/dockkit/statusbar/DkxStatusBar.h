#pragma once
// The themed status bar: a row of panels along the bottom of a form, each
// with a caption, an optional image and an optional control of its own.
// Panels give way by their view priority when the bar is too narrow and take
// the room left over by their stretch priority; a size grip sits in the
// corner when the form can be sized from there. Every pixel of the bar, its
// panels and the grip comes from the current theme.

#include "platform/gui/ImageList.h"
#include "platform/gui/Rect.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class TDkxCustomStatusBar;
class TDkxStatusPanels;

enum TDkxTextTruncation { twNone, twEndEllipsis, twPathEllipsis };

namespace dk {

struct StatusPanelPlace;

// How a panel aligns its caption and image.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Raised when a panel is to hold the bar or one of the bar's parents.
inline const QString SCannotInsertOwnParent = QStringLiteral("Can't insert own parent");

} // namespace dk

class TDkxStatusPanel {
public:
    explicit TDkxStatusPanel(TDkxStatusPanels* collection);
    // Lets go of its control and hides it.
    ~TDkxStatusPanel();
    TDkxStatusPanel(const TDkxStatusPanel&) = delete;
    TDkxStatusPanel& operator=(const TDkxStatusPanel&) = delete;

    TDkxStatusPanels* Collection() const { return collection_; }
    int Index() const;
    // The caption; without one "[ <control's name> ]", else the class name.
    QString DisplayName() const;
    // Copies every property of the other panel; its control is looked up by
    // name among the children of this bar's owner (the form).
    void Assign(const TDkxStatusPanel& source);
    // The two steps of Assign: every property but the control, and the
    // control of that name on the bar's form (none for an empty name).
    void CopyProperties(const TDkxStatusPanel& source);
    void AssignControlNamed(const QString& name);
    // The object name of the control; empty without one.
    QString ControlName() const;

    // --- Properties ---
    dk::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(dk::TAlignment value);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    QWidget* Control() const { return control_; }
    // Raises EInvalidOperation "Can't insert own parent" for the bar or one
    // of its parents. A control held by another panel is taken from it; a
    // control elsewhere moves onto the bar.
    void SetControl(QWidget* value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Framed() const { return framed_; }
    void SetFramed(bool value);
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& value) { hint_ = value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    int MaxSize() const { return maxSize_; }
    void SetMaxSize(int value);
    // 0 to 100; 0 hides the panel, 100 keeps it however narrow the bar.
    int ViewPriority() const { return viewPriority_; }
    void SetViewPriority(int value);
    int Size() const { return size_; }
    void SetSize(int value);
    // 0 to 100; 0 never takes spare room.
    int StretchPriority() const { return stretchPriority_; }
    void SetStretchPriority(int value);
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }
    TDkxTextTruncation TextTruncation() const { return textTruncation_; }
    void SetTextTruncation(TDkxTextTruncation value);

    // --- The last layout ---
    const plat::TRect& Rect() const { return rect_; }
    int Width() const { return width_; }
    bool Visible() const { return visible_; }
    // The panel ends at the right end of the bar.
    bool IsLast() const { return last_; }
    // The bar's layout puts the panel there; a hidden panel gets an empty
    // rectangle.
    void SetPlace(const dk::StatusPanelPlace& place);

    // Lets go of the control without touching it: the control is going, or
    // leaves the bar, or another panel takes it.
    void ForgetControl();

private:
    void Changed(bool layout);
    // Lets go of the control and hides it while it is still on the bar.
    void ReleaseControl();

    TDkxStatusPanels* collection_;
    dk::TAlignment alignment_ = dk::taLeftJustify;
    QString caption_;
    QPointer<QWidget> control_;
    QMetaObject::Connection controlDestroyed_;
    bool enabled_ = true;
    bool framed_ = true;
    QString hint_;
    int imageIndex_ = -1;
    int maxSize_ = 0;
    int viewPriority_ = 100;
    int size_ = 50;
    int stretchPriority_ = 0;
    int tag_ = 0;
    TDkxTextTruncation textTruncation_ = twNone;

    plat::TRect rect_;
    int width_ = 0;
    bool visible_ = false;
    bool last_ = false;
};

// The bar's panels, in the order they show from left to right.
class TDkxStatusPanels {
public:
    explicit TDkxStatusPanels(TDkxCustomStatusBar* bar);
    ~TDkxStatusPanels();
    TDkxStatusPanels(const TDkxStatusPanels&) = delete;
    TDkxStatusPanels& operator=(const TDkxStatusPanels&) = delete;

    TDkxCustomStatusBar* Bar() const { return bar_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside 0..Count-1.
    TDkxStatusPanel* Items(int index) const;
    int IndexOf(const TDkxStatusPanel* panel) const;
    TDkxStatusPanel* Add();
    // Raises EListError for an index outside 0..Count.
    TDkxStatusPanel* Insert(int index);
    void Delete(int index);
    void Clear();
    // Makes the panels copies of the other bar's.
    void Assign(const TDkxStatusPanels& source);
    // The panel holding the control, or null.
    TDkxStatusPanel* FindControl(const QWidget* control) const;

    // Changes between these calls lay the bar out once at the end.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }
    // A panel changed: the bar lays out again (or only repaints) now, or at
    // the end of the update.
    void Changed(bool layout);

private:
    TDkxCustomStatusBar* bar_;
    std::vector<std::unique_ptr<TDkxStatusPanel>> items_;
    int updateCount_ = 0;
    bool pendingLayout_ = false;
    bool pendingPaint_ = false;
};

class TDkxCustomStatusBar : public QWidget {
    Q_OBJECT
public:
    // (bar, panel, content rectangle): may move the content of a panel.
    using TSBAdjustContentRect = std::function<void(TDkxCustomStatusBar* Sender,
                                                    TDkxStatusPanel* Panel, plat::TRect& ARect)>;
    using TSBPanelEvent = std::function<void(TDkxCustomStatusBar* Sender, TDkxStatusPanel* Panel)>;
    using TSBPanelDrawEvent =
        std::function<void(TDkxCustomStatusBar* Sender, TDkxStatusPanel* Panel, QPainter& Canvas)>;

    // 150 x 22, along the bottom of the parent's align layout when it has one.
    // Listens to the theme nexus in force (there must be one).
    explicit TDkxCustomStatusBar(QWidget* parent = nullptr);
    ~TDkxCustomStatusBar() override;
    TDkxCustomStatusBar(const TDkxCustomStatusBar&) = delete;
    TDkxCustomStatusBar& operator=(const TDkxCustomStatusBar&) = delete;

    // --- Properties ---
    TDkxStatusPanels& Panels() { return panels_; }
    const TDkxStatusPanels& Panels() const { return panels_; }
    plat::ImageList* Images() const { return images_; }
    void SetImages(plat::ImageList* value);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value);
    // Paint with the kit's menu font rather than the bar's own font.
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool value);
    // The font the panels are painted with.
    QFont PanelFont() const;

    // While loading, controls put on the bar do not get panels of their own
    // and the layout waits until Loaded.
    void BeginLoading() { loading_ = true; }
    void Loaded();
    bool Loading() const { return loading_; }

    // --- Events ---
    TSBAdjustContentRect OnAdjustContentRect;
    TSBPanelEvent OnPanelClick;
    TSBPanelEvent OnPanelDblClick;
    // Called before each panel's content is drawn.
    TSBPanelDrawEvent OnPanelDraw;

    // --- Layout and painting ---
    // Invalidates, lays the panels out and places their controls (inside the
    // theme's margins for framed panels, empty for hidden panels).
    virtual void RefreshPanels();
    virtual void ComputePanelLayout();
    // The theme's margins when framed, then OnAdjustContentRect.
    virtual void FitContentRect(TDkxStatusPanel* panel, plat::TRect& rect);
    virtual void FirePanelDraw(TDkxStatusPanel* panel, QPainter& canvas);
    virtual void FirePanelClick(TDkxStatusPanel* panel);
    virtual void FirePanelDblClick(TDkxStatusPanel* panel);
    // Image and caption inside the content rectangle.
    virtual void DrawPanelContent(QPainter& canvas, plat::TRect rect, TDkxStatusPanel* panel,
                                  bool isLast);
    // Paints the whole bar (what a paint event does).
    void PaintBar(QPainter& canvas, const QRegion& region);

    // The theme's margins of a status panel (left, right, top, bottom).
    const QMargins& PanelMargins() const { return margins_; }
    // The visible panel at the point (client coordinates), or null.
    TDkxStatusPanel* PanelAt(QPoint point) const;
    // The grip shows: SizeGrip is on, the form is in its normal state and
    // the bar ends at the bottom-right corner of the form's client area.
    bool SizeGripShown() const;
    // The corner the grip takes (client coordinates).
    plat::TRect SizeGripRect() const;
    // dk::HTBOTTOMRIGHT over a shown grip, else dk::HTCLIENT.
    int HitTest(QPoint point) const;

    // --- What the panels tell the bar ---
    // The panels changed: lay out again, or only repaint.
    void PanelsChanged(bool layout);
    // A panel's control moves onto the bar; it gets no panel of its own.
    void AdoptControl(QWidget* control);
    // A panel's control is destroyed: the panel goes with it.
    void PanelControlDestroyed(TDkxStatusPanel* panel);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool CanRefresh() const;

    TDkxStatusPanels panels_;
    QPointer<plat::ImageList> images_;
    QMetaObject::Connection imagesChanged_;
    bool sizeGrip_ = true;
    bool useSystemFont_ = false;
    bool loading_ = false;
    bool destroying_ = false;
    bool adopting_ = false; // a panel is moving its control onto the bar
    QMargins margins_;
    bool pressedInside_ = false; // a left press began on the bar (not on the grip)
};

class TDkxStatusBar : public TDkxCustomStatusBar {
    Q_OBJECT
public:
    using TDkxCustomStatusBar::TDkxCustomStatusBar;
};
