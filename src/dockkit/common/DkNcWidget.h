#pragma once
// A widget with a non-client part of its own: a ring along its edges (frame,
// caption, drag handle, close button) that it paints and hit-tests itself,
// while children and client painting live inside the contents rectangle.
// The ring is the widget's contents margins, so layouts and child geometry
// respect it. Mouse events over the ring go to the Nc handlers, with the hit
// code of the point; everything else reaches the ordinary Qt handlers.

#include <QMargins>
#include <QPoint>
#include <QRegion>
#include <QWidget>

#include <optional>

class QPainter;

namespace dk {

// Hit codes of the non-client part: the classic ones and the kit's own.
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;
constexpr int HTDOCKDRAG = 2000;     // drag handle or frame of a docked window
constexpr int HTCLOSEBUTTON = 2001;  // a close button in the non-client part
constexpr int HTFLOATCAPTION = 2002; // the caption of a floating window

// True for HTLEFT .. HTBOTTOMRIGHT.
constexpr bool IsSizingHit(int hit) {
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
}
// The window edges a sizing code moves.
Qt::Edges EdgesOfSizingHit(int hit);
// The cursor the platform shows over a sizing code.
std::optional<Qt::CursorShape> CursorOfSizingHit(int hit);

class DkNcWidget : public QWidget {
    Q_OBJECT
public:
    explicit DkNcWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // Where the client part starts, in widget coordinates.
    QPoint ClientOrigin() const { return contentsRect().topLeft(); }
    // Widget coordinates of a client point and back.
    QPoint ClientToWidget(QPoint clientPoint) const { return clientPoint + ClientOrigin(); }
    QPoint WidgetToClient(QPoint widgetPoint) const { return widgetPoint - ClientOrigin(); }
    QSize ClientSize() const { return contentsRect().size(); }

    // What the point (widget coordinates) is: HTCLIENT inside the contents
    // rectangle, HTNOWHERE in the ring and outside unless a subclass says more.
    virtual int NcHitTest(QPoint pos) const;

protected:
    // The ring's widths; FrameChanged applies them.
    virtual QMargins CalcNcMargins() const { return {}; }
    // Takes the ring's widths anew and repaints.
    void FrameChanged();

    // Paints the ring; the painter is clipped to it.
    virtual void NcPaint(QPainter& painter);
    // Paints the client part: the painter's origin is the client origin and
    // `region` is in client coordinates.
    virtual void ClientPaint(QPainter& painter, const QRegion& region);

    // Mouse over the ring, with the hit code and the global position.
    virtual void NcLButtonDown(int hit, QPoint globalPos);
    virtual void NcLButtonDblClk(int hit, QPoint globalPos);
    virtual void NcMouseMove(int hit, QPoint globalPos);
    // The mouse left the ring (into the client part or out of the widget).
    virtual void NcMouseLeave() {}
    // The cursor over a hit code at the point (widget coordinates); nothing
    // keeps the widget's own cursor.
    virtual std::optional<Qt::CursorShape> NcCursor(int hit, QPoint pos) const;
    // A right release over the ring asks for the context menu.
    virtual void NcRButtonUp(int hit, QPoint globalPos);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void TrackNcHit(int hit, QPoint pos);

    int lastNcHit_ = HTCLIENT;
    bool ncCursorSet_ = false;
};

} // namespace dk
