#include "controls/QvSplitter/QvSplitter.h"

#include "GoldenRows.h"
#include "PixelPicture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace plat;

namespace {

// A splitter on a shown window, so that every resize reaches it at once;
// no frame.
struct Rig {
    Rig(TOrientation orientation, int width, int height) : splitter(&host) {
        host.resize(1300, 700);
        splitter.SetOrientation(orientation);
        splitter.resize(width, height);
        host.show();
    }
    // The size of each pane along the split.
    int Upper() const { return Along(splitter.UpperLeft()->geometry()); }
    int Lower() const { return Along(splitter.LowerRight()->geometry()); }
    int Along(const QRect& r) const {
        return splitter.Orientation() == orVertical ? r.height() : r.width();
    }
    // A point on the bar away from its middle (where a hot spot would be).
    QPoint OnBar() const {
        const QRect bar = splitter.BarRect().ToQRect();
        return splitter.Orientation() == orVertical ? QPoint(bar.left() + 2, bar.top() + 1)
                                                    : QPoint(bar.left() + 1, bar.top() + 2);
    }
    QPoint Shift(QPoint p, int by) const {
        return splitter.Orientation() == orVertical ? p + QPoint(0, by) : p + QPoint(by, 0);
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, splitter.mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&splitter, &event);
    }
    void Drag(QPoint from, int by) {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        Mouse(QEvent::MouseMove, Shift(from, by), Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, Shift(from, by), Qt::NoButton);
    }
    void Click(QPoint at) {
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }

    QWidget host;
    TQvSplitter splitter;
};

void margins18(TQvSplitter& s) {
    s.SetSplitterWidth(3);
    s.SetMarginMin(18);
    s.SetMarginMax(18);
}

TEST(SplitterLimits, KeepTheBarBetweenTheMargins) {
    const std::map<QString, std::function<void(TQvSplitter&)>> setUps = {
        {"-", [](TQvSplitter&) {}},
        {"m18", margins18},
        {"near",
         [](TQvSplitter& s) {
             s.SetBorderOuter(fsStatus);
             s.SetBorderInner(fsRaised);
         }},
        {"far",
         [](TQvSplitter& s) {
             s.SetBorderOuter(fsRaised);
             s.SetBorderSides(sdBottom);
         }},
        {"min400", [](TQvSplitter& s) {
             s.SetMarginMin(400);
             EXPECT_EQ(s.MarginMin(), 300 - 18);
         }}};
    for (const QStringList& row : GoldenTextRows("controls/splitter-limits.tsv", 5)) {
        const bool vertical = row[1] == u"vertical";
        Rig rig(vertical ? orVertical : orHorizontal, vertical ? 100 : 300, vertical ? 300 : 100);
        for (const QString& setUp : row[2].split(u' ')) {
            setUps.at(setUp)(rig.splitter);
        }
        rig.splitter.SetPosition(row[3].toInt());
        EXPECT_EQ(rig.splitter.Position(), row[4].toInt()) << row[0].toStdString();
        EXPECT_EQ(rig.Upper(), row[4].toInt()) << row[0].toStdString();
    }
}

// Height 9 with a bar of 3: the size less half the bar is 8.
TEST(SplitterPercent, RoundsHalvesToEven) {
    Rig rig(orVertical, 50, 9);
    rig.splitter.SetSplitterWidth(3);
    const int percents[] = {0, 12, 25, 38, 50, 62, 75};
    for (int position = 0; position <= 6; ++position) {
        rig.splitter.SetPosition(position);
        EXPECT_EQ(rig.splitter.Percent(), percents[position]) << position;
    }
}

TEST(SplitterPercent, ASplitterTooSmallForItsBarNeverGoesNegative) {
    Rig rig(orHorizontal, 0, 50);
    rig.splitter.SetPosition(0);
    EXPECT_EQ(rig.splitter.Position(), 0);
    rig.splitter.resize(10, 50);
    rig.splitter.SetMarginMin(4);
    rig.splitter.SetMarginMax(5);
    rig.splitter.resize(6, 50); // smaller than its margins and bar
    EXPECT_EQ(rig.splitter.Position(), 0);
    EXPECT_GE(rig.Upper(), 0);
    EXPECT_GE(rig.Lower(), 0);
}

TEST(SplitterFixedPane, KeepsItsSizeAcrossResizesAndReturnsToIt) {
    Rig rig(orVertical, 100, 300);
    margins18(rig.splitter);
    rig.splitter.SetFixedPane(fpLowerRight);
    rig.splitter.SetPosition(200);
    ASSERT_EQ(rig.Lower(), 97);
    for (const int height : {400, 250, 600}) {
        rig.splitter.resize(100, height);
        EXPECT_EQ(rig.splitter.Position(), height - 100) << height;
        EXPECT_EQ(rig.Lower(), 97) << height;
    }

    Rig upper(orHorizontal, 300, 50);
    upper.splitter.SetPosition(200);
    upper.splitter.resize(150, 50);
    EXPECT_EQ(upper.splitter.Position(), 146);
    upper.splitter.resize(400, 50);
    EXPECT_EQ(upper.splitter.Position(), 200);
}

// A position set from code is the size asked for the fixed pane: squeezed
// and given room again, the pane gets that size back.
TEST(SplitterAskedSize, ComesBackWhenThereIsRoom) {
    for (const QStringList& row : GoldenTextRows("controls/splitter-asked-sizes.tsv", 5)) {
        Rig rig(orVertical, 100, row[2].toInt());
        margins18(rig.splitter);
        rig.splitter.SetFixedPane(row[1] == u"lower" ? fpLowerRight : fpUpperLeft);
        rig.splitter.SetPosition(row[3].toInt());
        for (const int height : {60, 400}) {
            rig.splitter.resize(100, height);
        }
        EXPECT_EQ(rig.splitter.Position(), row[4].toInt()) << row[0].toStdString();
    }
}

TEST(SplitterPercentMode, FollowsThePercentageAndItsMargins) {
    Rig rig(orHorizontal, 604, 50); // 602 less half the bar
    rig.splitter.SetFixedPane(fpLowerRight);
    rig.splitter.SetPercent(25);
    EXPECT_TRUE(rig.splitter.UsePercent());
    EXPECT_EQ(rig.splitter.FixedPane(), fpUpperLeft);
    EXPECT_EQ(rig.splitter.Position(), 150);
    rig.splitter.resize(1204, 50);
    EXPECT_EQ(rig.splitter.Position(), 300);
    // Through a size where the position rounds badly, and one with no room.
    for (const int width : {9, 0, 1204}) {
        rig.splitter.resize(width, 50);
    }
    EXPECT_EQ(rig.splitter.Percent(), 25);
    EXPECT_EQ(rig.splitter.Position(), 300);
    rig.splitter.resize(404, 50);
    rig.splitter.SetPercentMin(10);
    rig.splitter.SetPosition(5);
    EXPECT_EQ(rig.splitter.Position(), 40);
    rig.splitter.SetFixedPane(fpLowerRight);
    EXPECT_FALSE(rig.splitter.UsePercent());
}

TEST(SplitterPanes, OneVisiblePaneFillsTheClientAreaAndControlsFillTheirPane) {
    Rig rig(orVertical, 120, 200);
    rig.splitter.SetBorderOuter(fsFlat);
    rig.splitter.SetPosition(80);
    rig.splitter.UpperLeft()->hide();
    EXPECT_EQ(rig.splitter.LowerRight()->geometry(), QRect(1, 1, 118, 198));
    EXPECT_TRUE(rig.splitter.BarRect().IsEmpty());
    rig.splitter.UpperLeft()->show();
    EXPECT_EQ(rig.splitter.UpperLeft()->geometry(), QRect(1, 1, 118, 80));
    EXPECT_EQ(rig.splitter.BarRect(), TRect(1, 81, 119, 85));
    EXPECT_EQ(rig.splitter.LowerRight()->geometry(), QRect(1, 85, 118, 114));
    // Controls put into a pane fill it.
    QWidget content;
    rig.splitter.LowerRight()->InsertControl(&content);
    QApplication::processEvents();
    EXPECT_EQ(content.geometry(), QRect(0, 0, 118, 114));
}

// A widget of a preferred size.
class Hinted : public QWidget {
public:
    explicit Hinted(QSize hint) : hint_(hint) {}
    QSize sizeHint() const override { return hint_; }

private:
    QSize hint_;
};

// What a layout or a dock holding the splitter gives it: the panes'
// preferred sizes one after the other with the bar between them, inside the
// frames. A hidden pane and the bar then count for nothing.
TEST(SplitterPanes, PreferredSizeHoldsBothPanesAndTheBar) {
    QStringList hints;
    for (const auto& [orientation, frame, lowerHidden] :
         {std::tuple{orVertical, fsNone, false}, std::tuple{orHorizontal, fsNone, false},
          std::tuple{orVertical, fsFlat, false}, std::tuple{orVertical, fsNone, true}}) {
        TQvSplitter splitter;
        splitter.SetOrientation(orientation);
        splitter.SetSplitterWidth(3);
        splitter.SetBorderOuter(frame);
        splitter.UpperLeft()->InsertControl(new Hinted(QSize(100, 40)));
        splitter.LowerRight()->InsertControl(new Hinted(QSize(120, 60)));
        splitter.LowerRight()->setHidden(lowerHidden);
        hints << QStringLiteral("%1x%2")
                     .arg(splitter.sizeHint().width())
                     .arg(splitter.sizeHint().height());
    }
    // 120 x (40 + 3 + 60); (100 + 3 + 120) x 60; a flat frame adds 2 each way
    EXPECT_EQ(hints.join(u' '), "120x103 223x60 122x105 100x40");
}

class SplitterDrag : public ::testing::Test {
protected:
    SplitterDrag() : rig_(orVertical, 100, 300) {
        margins18(rig_.splitter);
        rig_.splitter.SetRealTimeDrag(true);
        rig_.splitter.SetPosition(150);
        rig_.splitter.OnChange = [this](TQvSplitter*) { ++changes_; };
    }
    Rig rig_;
    int changes_ = 0;
};

TEST_F(SplitterDrag, RealTimeMovesThePanesWithThePointer) {
    const QPoint start = rig_.OnBar();
    rig_.Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
    EXPECT_TRUE(rig_.splitter.Dragging());
    rig_.Mouse(QEvent::MouseMove, rig_.Shift(start, 30), Qt::LeftButton);
    EXPECT_EQ(rig_.splitter.Position(), 180);
    EXPECT_EQ(rig_.Upper(), 180);
    rig_.Mouse(QEvent::MouseMove, rig_.Shift(start, 500), Qt::LeftButton);
    EXPECT_EQ(rig_.splitter.Position(), 279);
    rig_.Mouse(QEvent::MouseButtonRelease, rig_.Shift(start, 500), Qt::NoButton);
    EXPECT_FALSE(rig_.splitter.Dragging());
    EXPECT_EQ(changes_, 2);
}

TEST_F(SplitterDrag, RefusedLockedOrMissedDragsLeaveThePosition) {
    rig_.Drag(QPoint(50, 20), 40); // not on the bar
    EXPECT_EQ(rig_.splitter.Position(), 150);
    rig_.splitter.SetLockBar(true);
    rig_.Drag(rig_.OnBar(), 40);
    EXPECT_EQ(rig_.splitter.Position(), 150);
    EXPECT_EQ(changes_, 0);
    rig_.splitter.SetLockBar(false);
    rig_.splitter.OnChanging = [](TQvSplitter*, int position, bool& allow) {
        allow = position < 170;
    };
    rig_.Drag(rig_.OnBar(), 40);
    EXPECT_EQ(rig_.splitter.Position(), 150);
    rig_.Drag(rig_.OnBar(), 10);
    EXPECT_EQ(rig_.splitter.Position(), 160);
}

TEST_F(SplitterDrag, WithoutRealTimeOnlyTheInvertedBarMovesUntilRelease) {
    rig_.splitter.SetRealTimeDrag(false);
    const QPoint start = rig_.OnBar();
    rig_.Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
    rig_.Mouse(QEvent::MouseMove, rig_.Shift(start, -60), Qt::LeftButton);
    EXPECT_EQ(rig_.splitter.Position(), 150);
    EXPECT_EQ(rig_.splitter.DragPosition(), 90);
    const auto overlays = rig_.splitter.findChildren<QWidget*>();
    const bool barShown = std::any_of(overlays.begin(), overlays.end(), [](QWidget* w) {
        return w->isVisible() && w->geometry() == QRect(0, 90, 100, 3);
    });
    EXPECT_TRUE(barShown);
    rig_.Mouse(QEvent::MouseButtonRelease, rig_.Shift(start, -60), Qt::NoButton);
    EXPECT_EQ(rig_.splitter.Position(), 90);
    EXPECT_EQ(changes_, 1);
    // The dragged size is the one the pane returns to.
    rig_.splitter.resize(100, 60);
    rig_.splitter.resize(100, 300);
    EXPECT_EQ(rig_.splitter.Position(), 90);
}

// The bar of such a drag inverts what lies under it through the halftone
// pattern: a pixel flips where x + y is even in the splitter, the others stay.
TEST_F(SplitterDrag, TheDraggedBarInvertsWhatLiesUnderItThroughTheHalftone) {
    rig_.splitter.SetRealTimeDrag(false);
    rig_.splitter.UpperLeft()->SetColor(clNavy);
    const QImage before = rig_.splitter.grab().toImage();
    const QPoint start = rig_.OnBar();
    rig_.Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
    rig_.Mouse(QEvent::MouseMove, rig_.Shift(start, -61), Qt::LeftButton);
    ASSERT_EQ(rig_.splitter.DragPosition(), 89);
    const QImage during = rig_.splitter.grab().toImage();
    int flipped = 0;
    for (int y = 80; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool onBar = y >= 89 && y < 92;
            const QRgb under = before.pixel(x, y) & 0xFFFFFF;
            const QRgb expected = onBar && (x + y) % 2 == 0 ? under ^ 0xFFFFFF : under;
            ASSERT_EQ(during.pixel(x, y) & 0xFFFFFF, expected) << x << "," << y;
            flipped += expected != under ? 1 : 0;
        }
    }
    EXPECT_EQ(flipped, 150);
    rig_.Mouse(QEvent::MouseButtonRelease, rig_.Shift(start, -61), Qt::NoButton);
    const QImage after = rig_.splitter.grab().toImage();
    EXPECT_EQ(after.pixel(0, 89) & 0xFFFFFF, ToQColor(clBtnFace).rgb() & 0xFFFFFF); // the bar now
}

// --- Docking into the panes ----------------------------------------------------------

// A splitter whose panes are dock sites, each of the eight events logged as
// "UL GetSiteInfo", "LR DockOver enter", "UL UnDock to LR" and so on, with a
// control docked in the upper pane.
class SplitterDocking : public ::testing::Test {
public:
    ~SplitterDocking() override {
        if (ctl::TDockDrag* drag = ctl::TDockDrag::Current()) {
            drag->Cancel();
        }
    }

protected:
    SplitterDocking() : rig_(orVertical, 100, 300) {
        TQvSplitter& s = rig_.splitter;
        s.SetPosition(150);
        s.UpperLeft()->SetDockSite(true);
        s.LowerRight()->SetDockSite(true);
        const auto name = [&s](TQvCustomPanel* pane) {
            return pane == s.UpperLeft() ? QStringLiteral("UL") : QStringLiteral("LR");
        };
        const auto state = [](TDragState st) {
            return st == dsDragEnter ? "enter" : st == dsDragMove ? "move" : "leave";
        };
        // Each event names the splitter's event it came through; the pane
        // must be its Sender.
        for (const bool upper : {true, false}) {
            const QString side = upper ? QStringLiteral("UL") : QStringLiteral("LR");
            auto& getSiteInfo = upper ? s.OnULGetSiteInfo : s.OnLRGetSiteInfo;
            auto& dockOver = upper ? s.OnULDockOver : s.OnLRDockOver;
            auto& dockDrop = upper ? s.OnULDockDrop : s.OnLRDockDrop;
            auto& unDock = upper ? s.OnULUnDock : s.OnLRUnDock;
            getSiteInfo = [=, this](TQvCustomPanel* sender, QWidget*, QRect&, QPoint, bool& can) {
                EXPECT_EQ(name(sender), side);
                log_ << side + QStringLiteral(" GetSiteInfo");
                can = can && canDock_[side];
            };
            dockOver = [=, this](TQvCustomPanel* sender, ctl::TDragDockObject& source, int, int,
                                 TDragState st, bool& accept) {
                EXPECT_EQ(name(sender), side);
                EXPECT_EQ(source.Control, &client_);
                log_ << side + QStringLiteral(" DockOver ") + state(st);
                accept = accept && accepts_[side];
            };
            dockDrop = [=, this](TQvCustomPanel* sender, ctl::TDragDockObject&, int, int) {
                EXPECT_EQ(name(sender), side);
                log_ << side + QStringLiteral(" DockDrop");
            };
            unDock = [=, this](TQvCustomPanel* sender, QWidget* client, TQvCustomPanel* target,
                               bool& allow) {
                EXPECT_EQ(name(sender), side);
                EXPECT_EQ(client, &client_);
                log_ << side + QStringLiteral(" UnDock to ") +
                            (target != nullptr ? name(target) : QStringLiteral("nowhere"));
                allow = allow && letsGo_[side];
            };
        }
        client_.setWindowTitle(QStringLiteral("Tools"));
        ctl::ManualDock(&client_, s.UpperLeft());
    }

    // Presses on the client's caption strip in the upper pane, drags over
    // the splitter points and releases at the last (or presses Escape first).
    void DragTo(QPoint to, bool escape = false) { DragOver({to}, escape); }
    void DragOver(const std::vector<QPoint>& points, bool escape = false) {
        TQvSplitterPane* pane = rig_.splitter.UpperLeft();
        const QPoint from(5, 5);
        const auto send = [pane](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
            QMouseEvent event(type, pane->mapFromGlobal(global), global,
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                              Qt::NoModifier);
            QApplication::sendEvent(pane, &event);
        };
        send(QEvent::MouseButtonPress, pane->mapToGlobal(from), Qt::LeftButton);
        QPoint global;
        for (const QPoint to : points) {
            global = rig_.splitter.mapToGlobal(to);
            send(QEvent::MouseMove, global, Qt::LeftButton);
        }
        if (escape) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(pane, &key);
        }
        send(QEvent::MouseButtonRelease, global, Qt::NoButton);
    }

    Rig rig_;
    QWidget client_;
    QStringList log_;
    std::map<QString, bool> canDock_{{"UL", true}, {"LR", true}};
    std::map<QString, bool> accepts_{{"UL", true}, {"LR", true}};
    std::map<QString, bool> letsGo_{{"UL", true}, {"LR", true}};
};

TEST_F(SplitterDocking, ADragFromPaneToPaneTellsBothPanesInOrder) {
    EXPECT_EQ(log_, QStringList{"UL DockDrop"});
    ASSERT_EQ(ctl::HostDockSite(&client_), rig_.splitter.UpperLeft());
    log_.clear();
    DragTo(QPoint(50, 220));
    EXPECT_EQ(log_, (QStringList{"UL GetSiteInfo", "LR GetSiteInfo", "LR DockOver enter",
                                 "LR DockOver move", "UL UnDock to LR", "LR DockDrop"}));
    EXPECT_EQ(ctl::HostDockSite(&client_), rig_.splitter.LowerRight());
    EXPECT_EQ(client_.parentWidget(), rig_.splitter.LowerRight());
    EXPECT_EQ(client_.geometry(), QRect(0, 13, 100, rig_.splitter.LowerRight()->height() - 13));
    EXPECT_TRUE(rig_.splitter.UpperLeft()->DockClients().empty());

    // Back, and dragged over the lower pane and back again: the lower pane
    // hears the control leave, the upper one that it enters; dropped where it
    // is, it does not leave its pane.
    ctl::ManualDock(&client_, rig_.splitter.UpperLeft());
    EXPECT_EQ(log_.mid(6), (QStringList{"LR UnDock to UL", "UL DockDrop"}));
    log_.clear();
    DragOver({QPoint(50, 230), QPoint(50, 40)});
    EXPECT_EQ(log_, (QStringList{"UL GetSiteInfo", "LR GetSiteInfo", "LR DockOver enter",
                                 "LR DockOver move", "UL GetSiteInfo", "LR GetSiteInfo",
                                 "LR DockOver leave", "UL DockOver enter", "UL DockOver move",
                                 "UL DockDrop"}));
    EXPECT_EQ(ctl::HostDockSite(&client_), rig_.splitter.UpperLeft());
}

// What the panes answer decides where the control goes: a refusal to let it
// go keeps it; a pane that does not take it leaves the control floating in a
// window of its own; Escape ends the drag with nothing moved.
TEST_F(SplitterDocking, ThePanesAnswersDecideWhereTheControlGoes) {
    const struct {
        const char* what;
        const char* refusal; // "UL lets go", "LR can dock", "LR accepts", "" or "escape"
        QStringList events;
        const char* host; // "UL", "LR" or "floating"
    } rows[] = {
        {"refused to go",
         "UL lets go",
         {"UL GetSiteInfo", "LR GetSiteInfo", "LR DockOver enter", "LR DockOver move",
          "UL UnDock to LR", "LR DockOver leave"},
         "UL"},
        {"no site",
         "LR can dock",
         {"UL GetSiteInfo", "LR GetSiteInfo", "UL UnDock to nowhere"},
         "floating"},
        {"not accepted",
         "LR accepts",
         {"UL GetSiteInfo", "LR GetSiteInfo", "LR DockOver enter", "LR DockOver move",
          "LR DockOver leave", "UL UnDock to nowhere"},
         "floating"},
        {"escape",
         "escape",
         {"UL GetSiteInfo", "LR GetSiteInfo", "LR DockOver enter", "LR DockOver move",
          "LR DockOver leave"},
         "UL"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ctl::ManualDock(&client_, rig_.splitter.UpperLeft());
        canDock_["LR"] = QByteArray(row.refusal) != "LR can dock";
        accepts_["LR"] = QByteArray(row.refusal) != "LR accepts";
        letsGo_["UL"] = QByteArray(row.refusal) != "UL lets go";
        log_.clear();
        DragTo(QPoint(50, 220), QByteArray(row.refusal) == "escape");
        EXPECT_EQ(log_, row.events);
        const QByteArray host(row.host);
        if (host == "floating") {
            EXPECT_EQ(ctl::HostDockSite(&client_), nullptr);
            EXPECT_TRUE(client_.isWindow());
            EXPECT_TRUE(client_.isVisible());
        } else {
            EXPECT_EQ(ctl::HostDockSite(&client_), rig_.splitter.UpperLeft());
        }
        canDock_["LR"] = accepts_["LR"] = letsGo_["UL"] = true;
    }
}

TEST(SplitterHotSpot, CollapsesPastTheMarginsAndReopens) {
    for (const THotSpotDirection direction : {hsdMin, hsdMax}) {
        Rig rig(orVertical, 100, 300);
        margins18(rig.splitter);
        rig.splitter.SetHotSpotVisible(true);
        EXPECT_EQ(rig.splitter.SplitterWidth(), 7);
        rig.splitter.SetHotSpotDirection(direction);
        rig.splitter.SetPosition(150);
        int clicks = 0;
        rig.splitter.OnHotSpotClick = [&](TQvSplitter*) { ++clicks; };

        rig.Click(rig.splitter.HotSpotRect().ToQRect().center());
        EXPECT_TRUE(rig.splitter.HotSpotClosed());
        EXPECT_EQ(rig.splitter.Position(), direction == hsdMin ? 0 : 300 - 7);
        rig.Click(rig.splitter.HotSpotRect().ToQRect().center());
        EXPECT_FALSE(rig.splitter.HotSpotClosed());
        EXPECT_EQ(rig.splitter.Position(), 150);
        EXPECT_EQ(clicks, 2);
    }
}

// The bar's pixels as rows joined by '/'.
QString barPicture(TQvSplitter& splitter, QRect region = QRect()) {
    QImage image = BlankImage(splitter.width(), splitter.height());
    splitter.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return PixelPicture(image, ClassicLegend(),
                        region.isNull() ? splitter.BarRect().ToQRect() : region)
        .join(u'/');
}

TEST(SplitterBar, GrooveAndBumpDrawTwoFramedStripsAtLeastSixWide) {
    Rig rig(orHorizontal, 30, 6);
    TQvSplitter& splitter = rig.splitter;
    splitter.SetSplitterStyle(ssGroove);
    splitter.SetSplitterWidth(3);
    EXPECT_EQ(splitter.SplitterWidth(), 6);
    splitter.SetPosition(5);
    EXPECT_EQ(barPicture(splitter), QStringLiteral("GGWGGW/GFWGFW/GFWGFW/GFWGFW/GFWGFW/WWWWWW"));
    splitter.SetSplitterStyle(ssBump);
    EXPECT_EQ(barPicture(splitter), QStringLiteral("WWGWWG/WFGWFG/WFGWFG/WFGWFG/WFGWFG/GGGGGG"));
    splitter.SetOrientation(orVertical);
    splitter.resize(4, 30);
    splitter.SetPosition(5);
    EXPECT_EQ(barPicture(splitter), QStringLiteral("WWWG/WFFG/GGGG/WWWG/WFFG/GGGG"));
}

TEST(SplitterBar, HotSpotShowsItsFrameArrowsAndGrip) {
    Rig rig(orHorizontal, 40, 85);
    TQvSplitter& splitter = rig.splitter;
    splitter.SetSplitterStyle(ssGroove);
    splitter.SetHotSpotVisible(true);
    EXPECT_EQ(splitter.SplitterWidth(), 7);
    splitter.SetSplitterStyle(ssStandard);
    splitter.SetPosition(10);
    const QRect hotSpot = splitter.HotSpotRect().ToQRect();
    ASSERT_EQ(hotSpot, QRect(10, 42 - 17, 7, 34));
    const QString frame = QStringLiteral("GWFFFFG/");
    const QString arrow = QStringLiteral("GWFFHFG/GWFHHFG/GWHHHFG/GWFHHFG/GWFFHFG/");
    EXPECT_EQ(barPicture(splitter, hotSpot) + u'/',
              QStringLiteral("GGGGGGG/GWWWWWG/") + frame.repeated(4) + arrow + frame.repeated(4) +
                  QStringLiteral("GWFWFFG/GWFFHFG/") + frame.repeated(6) + arrow +
                  frame.repeated(5) + QStringLiteral("GGGGGGG/"));
}

} // namespace
