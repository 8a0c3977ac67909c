// The dockable panel: where it may dock, its docked frame and hit codes, the
// docked resizing by its inner edge, floating and back, the client sizes it
// keeps and saves within its limits, and its colour through theme changes.
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkPositions.h"
#include "dockkit/docking/DkThemedFloatingParent.h"

#include "DataRows.h"
#include "DockFixtures.h"
#include "KitThemeFixtures.h"

#include "platform/gui/KitMessage.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace plat;

namespace {

class PanelTest : public ::testing::Test {
protected:
    PanelTest() {
        panel = new TDkxDockablePanel(&f.form);
        panel->setObjectName(QStringLiteral("Groups"));
        panel->SetCaption(QStringLiteral("Groups"));
        panel->SetCurrentDock(f.left);
        f.Settle();
    }
    // Docks a bar 23 wide across a side dock at each "dock/row" of the
    // comma-separated list ("-" for none).
    void AddBars(const QString& bars) {
        if (bars == QLatin1String("-")) {
            return;
        }
        int number = 0;
        for (const QString& bar : bars.split(u',')) {
            auto* dock = f.form.findChild<TDkDock*>(bar.section(u'/', 0, 0));
            ASSERT_NE(dock, nullptr) << bar.toStdString();
            const std::string name = "Bar" + std::to_string(++number);
            f.Add(name.c_str(), QSize(60, 23), dock, bar.section(u'/', 1).toInt());
        }
        f.Settle();
    }
    static void DropFreedForms() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    KitThemes themes;
    DockForm f;
    TDkxDockablePanel* panel = nullptr;
};

} // namespace

TEST_F(PanelTest, DocksOnTheSidesWithItsCaptionFrameAndFillsTheColumn) {
    // Two pixels round, the small caption on top; the kept client width
    // across the dock, the dock's length along it.
    EXPECT_EQ(Placed(panel), "LeftDock 0/-1 0,0 124x400");
    EXPECT_EQ(panel->contentsMargins(), QMargins(2, 18, 2, 2));
    EXPECT_EQ(panel->ViewKind(), dk::ViewDockPanel | dk::ViewResizable);
    panel->SetCurrentDock(f.right);
    f.Settle();
    EXPECT_EQ(Placed(panel), "RightDock 0/-1 0,0 124x400");
    panel->SetShowCaptionWhenDocked(false);
    EXPECT_EQ(panel->contentsMargins(), QMargins(2, 2, 2, 2));
    EXPECT_EQ(panel->DockedFrameSizeFor(f.right), QSize(4, 4));
}

TEST_F(PanelTest, HorizontalDocksRefuseItWithTheirOwnMessage) {
    for (TDkDock* dock : {f.top, f.bottom}) {
        try {
            panel->SetCurrentDock(dock);
            ADD_FAILURE() << "docked on " << dock->objectName().toStdString();
        } catch (const EComponentError& error) {
            EXPECT_STREQ(error.what(), "Dockable panels cannot be docked into horizontal docks");
        }
        EXPECT_EQ(panel->CurrentDock(), f.left) << "stays where it was";
        EXPECT_FALSE(panel->AcceptsDock(dock));
    }
    EXPECT_TRUE(panel->AcceptsDock(f.right));
    panel->SetDockableTo(tdpLeft); // one side only
    EXPECT_FALSE(panel->AcceptsDock(f.right));
}

TEST_F(PanelTest, FloatsInAThemedFormAtItsKeptSizeAndDocksBack) {
    panel->SetFloatingPosition(QPoint(300, 200));
    panel->ToggleDockedFloating();
    ASSERT_TRUE(panel->Floating());
    auto* form = qobject_cast<TDkxFloatingWindowParent*>(panel->FloatingParent());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(panel->size(), QSize(120, 120));
    EXPECT_EQ(panel->contentsMargins(), QMargins());
    EXPECT_EQ(dk::GetViewKind(panel), dk::ViewDockPanel | dk::ViewFloating | dk::ViewResizable);
    const dk::TDkxFloatingBorderInfo info = form->BorderInfo(dk::FloatingRedrawFrame);
    EXPECT_EQ(info.ViewKind, panel->ViewKind());
    EXPECT_EQ(info.BorderSize, QPoint(4, 4));
    EXPECT_EQ(info.CloseButtonState, dk::CloseButtonShown);

    // Sized while floating: the new client size is kept, within the limits.
    panel->resize(200, 10);
    EXPECT_EQ(panel->FloatingClientSize(), QSize(200, 32));

    panel->ToggleDockedFloating();
    DropFreedForms();
    f.Settle();
    EXPECT_EQ(Placed(panel), "LeftDock 0/-1 0,0 204x400");
}

// A panel that its form makes tall as it floats (as the main window gives its
// friends panel five sixths of the dock), dragged off its dock and dropped
// near the screen's bottom edge, floats whole within the work area.
TEST_F(PanelTest, DraggedOffItsDockATallPanelFloatsInsideTheWorkArea) {
    const QRect work = plat::CurrentScreens().RectForPoint({0, 0}, true).ToQRect();
    panel->OnDockChanging = [this, &work](TDkCustomDockableWindow*, bool floating, TDkDock*) {
        if (floating) {
            panel->SetClientAreaHeight(work.height() * 5 / 6);
        }
    };
    const QPoint caption(20, 8);
    const QPoint drop(work.center().x(), work.bottom() - 20);
    PostMoves(&f.form, {panel->mapToGlobal(caption) + QPoint(200, 0), drop});
    PostRelease(&f.form, drop);
    Press(panel, caption);
    DropFreedForms();
    f.Settle();
    ASSERT_TRUE(panel->Floating());
    const QRect frame = panel->FloatingParent()->geometry();
    EXPECT_GT(frame.height(), work.height() * 5 / 6);
    EXPECT_TRUE(work.contains(frame)) << frame.y() << " + " << frame.height();
}

TEST_F(PanelTest, HitCodesSizeFromTheInnerEdgeAndCloseFromTheCaptionsEnd) {
    const int w = panel->width();
    struct HitCase {
        QPoint at;
        int hit;
    };
    const HitCase left[] = {
        {{w - 1, 60}, dk::HTRIGHT},       {{w - 2, 60}, dk::HTRIGHT},
        {{w - 3, 60}, dk::HTCLIENT},      {{0, 60}, dk::HTDOCKDRAG},
        {{10, 8}, dk::HTDOCKDRAG},        {{w - 10, 8}, dk::HTCLOSEBUTTON},
        {{w - 20, 8}, dk::HTCLOSEBUTTON}, {{w - 21, 8}, dk::HTDOCKDRAG},
        {{20, 60}, dk::HTCLIENT},
    };
    for (const HitCase& c : left) {
        EXPECT_EQ(panel->NcHitTest(c.at), c.hit) << c.at.x() << "," << c.at.y();
    }
    SendMouse(panel, QEvent::MouseMove, QPoint(w - 14, 5), Qt::NoButton);
    EXPECT_TRUE(panel->CloseButtonHot());
    panel->SetCurrentDock(f.right);
    f.Settle();
    EXPECT_EQ(panel->NcHitTest(QPoint(0, 60)), dk::HTLEFT);
    EXPECT_EQ(panel->NcHitTest(QPoint(panel->width() - 1, 60)), dk::HTDOCKDRAG);
    // No close button when docks may not be left or the panel shows none.
    f.right->SetAllowDrag(false);
    EXPECT_EQ(panel->NcHitTest(QPoint(panel->width() - 10, 8)), dk::HTDOCKDRAG);
    f.right->SetAllowDrag(true);
    panel->SetCloseButtonWhenDocked(false);
    EXPECT_EQ(panel->NcHitTest(QPoint(panel->width() - 10, 8)), dk::HTDOCKDRAG);
}

// A row of panel-resize.txt.
class PanelResize : public PanelTest, public ::testing::WithParamInterface<QStringList> {};

TEST_P(PanelResize, FollowsTheInnerEdgeWithinItsLimits) {
    const QStringList& row = GetParam();
    const bool rightDock = row[2] == "right";
    const int moveBy = row[4].toInt();
    const int expectedWidth = row[6].toInt();
    if (rightDock) {
        panel->SetCurrentDock(f.right);
        f.Settle();
    }
    AddBars(row[1]);
    panel->SetSmoothDrag(row[3] == "smooth");
    std::vector<std::string> stages;
    panel->OnDockedResizing = [&](QObject* sender, bool vertical, int& size,
                                  TDkxResizingStage stage, bool&) {
        EXPECT_EQ(sender, panel);
        EXPECT_TRUE(vertical);
        stages.push_back(std::to_string(stage) + ":" + std::to_string(size));
    };
    const QPoint edge = rightDock ? QPoint(0, 60) : QPoint(panel->width() - 1, 60);
    const QPoint start = panel->mapToGlobal(edge);
    const QPoint to = start + QPoint(moveBy, 3);
    PostMoves(panel, {start + QPoint(moveBy / 2, 0), to});
    if (row[5] == "escape") {
        PostKey(panel, Qt::Key_Escape);
    } else {
        PostRelease(panel, to);
    }
    Press(panel, edge);
    f.Settle();
    EXPECT_FALSE(panel->DockedResizing());
    EXPECT_EQ(panel->width(), expectedWidth);
    EXPECT_EQ(panel->FloatingClientSize().width(), expectedWidth - 4);
    ASSERT_GE(stages.size(), 2u);
    EXPECT_EQ(stages.front(), "0:124");
    EXPECT_EQ(stages.back(), "2:" + std::to_string(expectedWidth));
    f.Settle();
    EXPECT_GE(f.client->width(), 32) << "the form's client part keeps its room";
}

INSTANTIATE_TEST_SUITE_P(Rows, PanelResize, ::testing::ValuesIn(DataRows("panel-resize.txt", 7)),
                         [](const auto& info) { return info.param[0].toStdString(); });

TEST_F(PanelTest, TheResizingEventChangesOrRefusesSizes) {
    panel->SetMaxClientWidth(200);
    panel->OnDockedResizing = [](QObject*, bool, int& size, TDkxResizingStage stage, bool& allow) {
        if (stage == rsResizing) {
            // Steps of ten, and nothing between 150 and 160.
            size = size / 10 * 10;
            allow = size < 150 || size > 160;
        }
    };
    EXPECT_TRUE(panel->DockedResizeBegin(true));
    int size = 147;
    EXPECT_TRUE(panel->DockedResizeTrack(true, size));
    EXPECT_EQ(size, 140);
    size = 155;
    EXPECT_FALSE(panel->DockedResizeTrack(true, size));
    // The maximum client (plus the frame) bounds it before the event.
    size = 400;
    EXPECT_TRUE(panel->DockedResizeTrack(true, size));
    EXPECT_EQ(size, 200);
    EXPECT_TRUE(panel->DockedResizeEnd(true));
}

// A row of panel-stored-size.txt.
class PanelStoredSize : public PanelTest, public ::testing::WithParamInterface<QStringList> {};

TEST_P(PanelStoredSize, IsReadHeightFirstAndKeptWithinTheLimits) {
    const QStringList& row = GetParam();
    const FakeScreens screens({{TRect(0, 0, 1024, 768), TRect(0, 0, 1024, 740)}});
    panel->SetResizable(row[1] == "1");
    panel->SetMaxClientWidth(row[2].toInt());
    const std::map<QString, QString> stored{{"DPClientWidth", row[3]}, {"DPClientHeight", row[4]}};
    QStringList reads;
    const dk::TDkPositionReadData data{
        [&](const QString& section, const QString& name, int def, void*) {
            EXPECT_EQ(section, QStringLiteral("Groups"));
            reads << name;
            return stored.at(name) == "-" ? def : stored.at(name).toInt();
        },
        [](const QString&, const QString&, const QString& def, void*) { return def; }};
    panel->ReadExtraPositionValues(data);
    const QList<int> expected = Numbers(row[5]);
    EXPECT_EQ(reads.join(u' '), row[6]);
    EXPECT_EQ(panel->FloatingClientSize(), QSize(expected[0], expected[1]));
    f.Settle();
    EXPECT_EQ(panel->width(), expected[0] + 4);
}

INSTANTIATE_TEST_SUITE_P(Rows, PanelStoredSize,
                         ::testing::ValuesIn(DataRows("panel-stored-size.txt", 7)),
                         [](const auto& info) { return info.param[0].toStdString(); });

// A row of panel-stored-room.txt.
class PanelStoredRoom : public PanelTest, public ::testing::WithParamInterface<QStringList> {
protected:
    // Loads the form's positions from "Name=value" pairs stored for the panel
    // (section "Groups"); a value that is no 32-bit integer reads as none, as
    // in the registry.
    void LoadStored(const QString& values) {
        std::map<QString, QString> stored{{"Rev", "2000"}, {"Visible", "1"}};
        for (const QString& value : values.split(u' ')) {
            stored[value.section(u'=', 0, 0)] = value.section(u'=', 1);
        }
        const auto find = [&](const QString& section, const QString& name) {
            const auto it = stored.find(name);
            return section == QLatin1String("Groups") && it != stored.end() ? &it->second : nullptr;
        };
        dk::LoadPositions(
            &f.form,
            [&](const QString& section, const QString& name, int def, void*) {
                const QString* text = find(section, name);
                bool ok = false;
                const int value = text != nullptr ? text->toInt(&ok) : def;
                return ok ? value : def;
            },
            [&](const QString& section, const QString& name, const QString& def, void*) {
                const QString* text = find(section, name);
                return text != nullptr ? *text : def;
            });
    }
};

TEST_P(PanelStoredRoom, LeavesTheFormItsRoomAndStaysOnTheMonitor) {
    const QStringList& row = GetParam();
    const FakeScreens screens({{TRect(0, 0, 1024, 768), TRect(0, 0, 1024, 740)}});
    AddBars(row[1]);
    LoadStored(row[2]);
    f.Settle();
    const QList<int> expected = Numbers(row[3]);
    EXPECT_EQ(panel->FloatingClientSize(), QSize(expected[0], expected[1]));
    if (panel->Docked()) {
        if (panel->FloatingClientSize().width() > panel->MinClientWidth()) {
            EXPECT_GE(f.client->width(), 32) << "a panel above its least leaves the form 32";
        }
        EXPECT_EQ(panel->width(), expected[0] + 4);
    } else {
        ASSERT_TRUE(panel->Floating());
        const QRect frame = panel->FloatingParent()->geometry();
        EXPECT_TRUE(QRect(0, 0, 1024, 740).contains(frame)) << frame.x() << "," << frame.y();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, PanelStoredRoom,
                         ::testing::ValuesIn(DataRows("panel-stored-room.txt", 4)),
                         [](const auto& info) { return info.param[0].toStdString(); });

// What the form does as the panel docks or floats (its height taken from the
// dock it leaves) comes before the stored size, which wins when there is one.
TEST_F(PanelStoredRoom, TheStoredSizeWinsOverWhatTheFormDoesAsThePanelFloats) {
    const FakeScreens screens({{TRect(0, 0, 1024, 768), TRect(0, 0, 1024, 740)}});
    panel->OnDockChanging = [](TDkCustomDockableWindow* sender, bool floating, TDkDock*) {
        if (floating) {
            static_cast<TDkxDockablePanel*>(sender)->SetClientAreaHeight(40);
        }
    };
    LoadStored(QStringLiteral("DockedTo=+ FloatLeft=100 FloatTop=100 DPClientWidth=300 "
                              "DPClientHeight=200"));
    f.Settle();
    ASSERT_TRUE(panel->Floating());
    EXPECT_EQ(panel->FloatingClientSize(), QSize(300, 200));

    panel->SetCurrentDock(f.right);
    LoadStored(QStringLiteral("DockedTo=+ FloatLeft=100 FloatTop=100 DPClientWidth=300"));
    f.Settle();
    EXPECT_EQ(panel->FloatingClientSize(), QSize(300, 40)) << "no height stored: the form's";
}

TEST_F(PanelTest, SavesItsFloatingClientSizeWidthFirst) {
    panel->SetClientAreaWidth(180);
    std::vector<std::string> lines;
    dk::SavePositions(
        &f.form,
        [&](const QString& s, const QString& n, int v, void*) {
            if (s == QLatin1String("Groups") && n.startsWith(QLatin1String("DP"))) {
                lines.push_back((n + "=" + QString::number(v)).toStdString());
            }
        },
        [](const QString&, const QString&, const QString&, void*) {});
    EXPECT_EQ(lines, (std::vector<std::string>{"DPClientWidth=180", "DPClientHeight=120"}));
    EXPECT_EQ(panel->ClientAreaWidth(), 180);
    EXPECT_EQ(panel->width(), 184);
}

TEST_F(PanelTest, TakesTheThemesColourAndPassesItToChildrenThatFollowTheirParent) {
    auto* follower = new QLabel;
    follower->setProperty("ParentColor", true);
    follower->setParent(panel);
    panel->Layout()->AddWidget(follower, plat::Align::Client);
    auto* own = new QLabel(panel);
    const QColor ownColor = own->palette().color(QPalette::Window);

    const auto expectColor = [&](uint32_t rgb, uint32_t frame) {
        EXPECT_EQ(panel->EffectiveColor(), Rgb(rgb));
        EXPECT_EQ(dk::GetEffectiveColor(panel), Rgb(rgb));
        EXPECT_EQ(follower->palette().color(QPalette::Window).rgb() & 0xFFFFFFu, rgb);
        EXPECT_EQ(follower->palette().color(QPalette::Base).rgb() & 0xFFFFFFu, rgb);
        EXPECT_EQ(own->palette().color(QPalette::Window), ownColor);
        QImage image(panel->size(), QImage::Format_RGB32);
        panel->render(&image);
        EXPECT_EQ(Px(image, 1, 40), frame) << "frame";
        EXPECT_EQ(Px(image, 3, panel->height() - 3), rgb) << "client";
    };
    expectColor(0xF3F2F0, 0xFFFFFF);
    themes.Select("Flat");
    expectColor(0xF9F8F7, 0x808080);
    // A colour of its own stays through theme changes.
    panel->SetColor(clSkyBlue);
    themes.Select("Default");
    EXPECT_EQ(panel->EffectiveColor(), clSkyBlue);
    panel->SetColor(clNone);
    expectColor(0xF3F2F0, 0xFFFFFF);
}

TEST_F(PanelTest, AStoredHorizontalDockLeavesItInPlaceAndTheLoadGoesOn) {
    TestDockable* bar = f.Add("Bar", QSize(60, 22), f.top);
    const std::map<std::string, QString> strings = {{"Groups.DockedTo", "TopDock"},
                                                    {"Bar.DockedTo", "LeftDock"}};
    dk::LoadPositions(
        &f.form,
        [](const QString&, const QString& name, int def, void*) {
            return name == QLatin1String("Rev") ? 2000 : def;
        },
        [&](const QString& section, const QString& name, const QString& def, void*) {
            const auto it = strings.find((section + "." + name).toStdString());
            return it != strings.end() ? it->second : def;
        });
    EXPECT_EQ(panel->CurrentDock(), f.left);
    EXPECT_EQ(bar->CurrentDock(), f.left) << "the windows after it still load";
}
