#pragma once
// Docking controls into framed panels that are dock sites. A control is
// dragged by its caption strip in the panel that holds it (or moved by
// ManualDock and ManualFloat): while it moves, every dock site is asked for
// its site information, the site under the pointer that takes it is told the
// control enters, moves over and leaves it, and on release the control leaves
// its old site (which may refuse) and is dropped on the new one, or floats in
// a window of its own when no site takes it.

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class TQvCustomPanel;

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

namespace ctl {

// The control being docked and where it is going.
struct TDragDockObject {
    QPointer<QWidget> Control;
    // The pointer, in screen coordinates.
    QPoint DragPos;
    // The site under the pointer that takes the control, or null.
    QPointer<TQvCustomPanel> DragTarget;
    // Where the control would go, in screen coordinates.
    QRect DockRect;
    // Dropped where no site takes it: the control floats.
    bool Floating = false;
};

// (site, client, influence rectangle in screen coordinates, pointer, can dock)
using TGetSiteInfoEvent = std::function<void(TQvCustomPanel* Sender, QWidget* DockClient,
                                             QRect& InfluenceRect, QPoint MousePos, bool& CanDock)>;
// (site, source, x, y in the site, state, accept)
using TDockOverEvent = std::function<void(TQvCustomPanel* Sender, TDragDockObject& Source, int X,
                                          int Y, TDragState State, bool& Accept)>;
// (site, source, x, y in the site)
using TDockDropEvent =
    std::function<void(TQvCustomPanel* Sender, TDragDockObject& Source, int X, int Y)>;
// (site, client, new site or null when it floats, allow)
using TUnDockEvent = std::function<void(TQvCustomPanel* Sender, QWidget* Client,
                                        TQvCustomPanel* NewTarget, bool& Allow)>;

// Lists the panel among the dock sites a drag asks (or takes it off).
void RegisterDockSite(TQvCustomPanel* site, bool listed);

// The dock site that holds the control, or null.
TQvCustomPanel* HostDockSite(const QWidget* control);

// Moves the control into the site as a drop there would (its old site is
// asked first); false when the old site refuses to let it go.
bool ManualDock(QWidget* control, TQvCustomPanel* site);
// Takes the control out of its site into a window of its own at the screen
// rectangle; false when the site refuses to let it go.
bool ManualFloat(QWidget* control, const QRect& screenRect);

// A drag of a control: started by a press on its caption strip, it follows
// the pointer until the left button is released (a drop) or Escape is
// pressed (nothing happens). One at a time.
class TDockDrag final : public QObject {
    Q_OBJECT
public:
    ~TDockDrag() override;
    // Starts a drag of the control with the pointer at `global`.
    static TDockDrag* Begin(QWidget* control, QPoint global);
    // The drag under way, or null.
    static TDockDrag* Current();

    const TDragDockObject& Source() const { return source_; }
    // The pointer moved: finds the site that takes the control and tells it.
    void MoveTo(QPoint global);
    // The control is released there: docked on the site that takes it, or
    // floating. Ends the drag.
    void Drop(QPoint global);
    // Ends the drag without moving the control.
    void Cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TDockDrag(QWidget* control, QPoint global);
    void End();

    TDragDockObject source_;
    QSize size_;
    bool accepted_ = false;
};

} // namespace ctl
