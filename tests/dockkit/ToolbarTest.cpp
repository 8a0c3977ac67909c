// Tool bars on docks, floating and on the form: the view laid out for where
// the bar is, the chevron and its pop-up, the menu-bar switch, child
// controls as items, and the press that starts the bar's menu loop. Resizing
// a floating tool bar in steps: the steps its layouts give (and that working
// them out ends), how a drag picks one, a drag on the floating frame, and the
// chosen width kept in the saved positions.

#include "dockkit/bars/DkToolbarActions.h"
#include "dockkit/docking/DkPositions.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/menus/DkMenuLoop.h"

#include "DataRows.h"
#include "PixelPicture.h"
#include "ToolbarFixtures.h"

#include <QAction>
#include <QEventLoop>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// --- Where the bar is ---------------------------------------------------------------

TEST_F(ToolbarTest, TheViewIsLaidOutForThePlace) {
    const std::map<QString, PlacementKind> placements{{"horizontal dock", pkHorizontalDock},
                                                      {"vertical dock", pkVerticalDock},
                                                      {"floating", pkFloating},
                                                      {"not docked", pkNotDocked}};
    const std::map<QString, TDkViewOrientation> orientations{
        {"horizontal", dkvoHorizontal}, {"vertical", dkvoVertical}, {"floating", dkvoFloating}};
    for (const QStringList& row : DataRows("toolbar-places.txt", 5)) {
        SCOPED_ROW(row);
        TDkToolbar* bar = AddBar("Bar", f_.top, 4);
        if (row[0] == "left dock") {
            bar->SetCurrentDock(f_.left);
        } else if (row[0] == "floating") {
            bar->ToggleDockedFloating();
        } else if (row[0] == "on the form") {
            bar->SetCurrentDock(nullptr);
        }
        f_.Settle();
        const QList<int> size = Numbers(row[3]), second = Numbers(row[4]);
        EXPECT_EQ(bar->Placement(), placements.at(row[1]));
        EXPECT_EQ(bar->View()->Orientation(), orientations.at(row[2]));
        EXPECT_EQ(bar->size(), QSize(size[0], size[1]));
        EXPECT_EQ(bar->View()->Find(bar->Items()->Items(1))->BoundsRect.ToQRect(),
                  QRect(second[0], second[1], second[2], second[3]));
        if (row[0] == "floating") {
            EXPECT_EQ(bar->FloatingParent()->size(), QSize(136, 47));
        }
        delete bar;
    }
}

TEST_F(ToolbarTest, ItemsCentreInARowMadeThickerByTheirNeighbour) {
    TDkToolbar* thin = AddBar("Thin", f_.top, 2);
    TDkToolbar* thick = AddBar("Thick", nullptr, 0);
    AddButton(thick, "Tall", 30, 40);
    thick->SetDockPos(200);
    thick->SetCurrentDock(f_.top);
    f_.Settle();
    EXPECT_EQ(thin->height(), 44);
    EXPECT_EQ(thin->View()->Find(thin->Items()->Items(0))->BoundsRect.ToQRect(),
              QRect(0, 10, 30, 20));
    // Alone in its row again, it is as thin as its buttons.
    thick->setVisible(false);
    f_.Settle();
    EXPECT_EQ(thin->height(), 24);
    EXPECT_EQ(thin->View()->Find(thin->Items()->Items(0))->BoundsRect.ToQRect(),
              QRect(0, 0, 30, 20));
}

// --- The chevron -------------------------------------------------------------------------

TEST_F(ToolbarTest, TheChevronsPopupShowsExactlyTheHiddenItems) {
    // 12 buttons of 30: 370 pixels with the frame. Narrower, the chevron
    // takes 12 of the room; the bar keeps its first button and the chevron
    // (52 pixels) however narrow its dock.
    const std::tuple<int, const char*, int> cases[] = {
        {600, "", 370},
        {300, "B9 B10 B11", 300},
        {100, "B2 B3 B4 B5 B6 B7 B8 B9 B10 B11", 100},
        {60, "B1 B2 B3 B4 B5 B6 B7 B8 B9 B10 B11", 60},
        {40, "B1 B2 B3 B4 B5 B6 B7 B8 B9 B10 B11", 52}};
    TDkToolbar* bar = AddBar("Bar", f_.top, 12);
    for (const auto& [formWidth, hidden, barWidth] : cases) {
        SCOPED_TRACE(formWidth);
        f_.form.resize(formWidth, 400);
        f_.Settle();
        EXPECT_EQ(Hidden(bar), hidden);
        EXPECT_EQ(bar->width(), barWidth);
        const TDkItemViewer* chevron = bar->View()->Find(bar->ChevronItem());
        ASSERT_EQ(chevron->Show, *hidden != '\0');
        if (!chevron->Show || barWidth > formWidth) {
            continue; // no chevron, or none in sight to press
        }
        std::string shown;
        script_.Then([] { SendMouse(QEvent::MouseButtonRelease, QCursor::pos()); })
            .Then([&] {
                const std::vector<TDkView*> views = OpenMenuViews();
                ASSERT_EQ(views.size(), 2u);
                TDkView* popup = views[1];
                popup->ValidatePositions();
                for (int i = 0; i < popup->ViewerCount(); ++i) {
                    if (popup->Viewers(i)->Show) {
                        shown += (shown.empty() ? "" : " ") +
                                 popup->Viewers(i)->Item()->Caption().toStdString();
                    }
                }
            })
            .Keys("e"); // closes the pop-up and the bar's loop
        script_.Start();
        PressAt(CenterOf(bar, bar->ChevronItem()));
        EXPECT_TRUE(script_.AllRun());
        EXPECT_EQ(shown, hidden);
        EXPECT_EQ(OpenPopupCount(), 0);
    }
}

TEST_F(ToolbarTest, TheChevronIsADoubleArrowPointingAlongTheBar) {
    // The chevron of a 100-pixel bar (12 x 20 at the end of its client
    // part), or of a bar on the left dock 100 pixels high (30 x 12): the
    // rows of its glyph, from its 4th or 2nd row, and across from the 12th
    // column of the vertical one.
    const struct {
        bool vertical;
        QString glyph; // rows joined by '/'
    } cases[] = {
        {false, "FFKKFFKKFFFF/FFFKKFFKKFFF/FFFFKKFFKKFF/FFFKKFFKKFFF/FFKKFFKKFFFF"},
        {true, "KFFFKF/KKFKKF/FKKKFF/FFKFFF/KFFFKF/KKFKKF/FKKKFF/FFKFFF"},
    };
    for (const auto& c : cases) {
        TDkToolbar* bar = AddBar("Bar", c.vertical ? f_.left : f_.top, 12);
        f_.form.resize(c.vertical ? 600 : 100, c.vertical ? 100 : 400);
        f_.Settle();
        TDkItemViewer* chevron = bar->View()->Find(bar->ChevronItem());
        ASSERT_TRUE(chevron->Show);
        const QSize client = bar->ClientSize();
        QImage image = BlankImage(client.width(), client.height());
        {
            QPainter painter(&image);
            bar->View()->PaintWindow(painter, QRegion(QRect(QPoint(), client)));
        }
        const QPoint glyph =
            chevron->BoundsRect.ToQRect().topLeft() + (c.vertical ? QPoint(12, 2) : QPoint(0, 4));
        const QSize size(c.glyph.indexOf(u'/'), c.glyph.count(u'/') + 1);
        EXPECT_EQ(PixelPicture(image, ClassicLegend(), QRect(glyph, size)).join(u'/'), c.glyph)
            << (c.vertical ? "vertical" : "horizontal");
        delete bar;
    }
}

TEST_F(ToolbarTest, AnItemChosenFromTheChevronComesBackIntoTheBar) {
    TDkToolbar* bar = AddBar("Bar", f_.top, 12);
    f_.form.resize(300, 400);
    f_.Settle();
    TDkCustomItem* last = bar->Items()->Items(11);
    script_.Then([] { SendMouse(QEvent::MouseButtonRelease, QCursor::pos()); }).Then([&] {
        ClickMouse(PopupCenterOf(last));
    });
    script_.Start();
    PressAt(CenterOf(bar, bar->ChevronItem()));
    EXPECT_EQ(TakeClicks(), "B11");
    // Now the most recently used, it shows; the least used goes instead.
    EXPECT_EQ(Hidden(bar), "B8 B9 B10");
}

TEST_F(ToolbarTest, APressOnAButtonClicksItAndOneBesideTheButtonsDrags) {
    TDkToolbar* bar = AddBar("Bar", f_.top, 2);
    bar->SetFullSize(true);
    f_.Settle();
    TDkCustomItem* second = bar->Items()->Items(1);
    script_.Then([&] { SendMouse(QEvent::MouseButtonRelease, CenterOf(bar, second)); });
    script_.Start();
    PressAt(CenterOf(bar, second));
    EXPECT_EQ(TakeClicks(), "B1");
    EXPECT_EQ(bar->CurrentDock(), f_.top);
    // Beside the buttons the bar is a handle.
    const QPoint beside = bar->mapToGlobal(QPoint(300, 10));
    PostMoves(&f_.form, {{300, 250}, {102, 250}});
    PostRelease(&f_.form, {102, 250});
    PressAt(beside);
    EXPECT_EQ(bar->CurrentDock(), f_.left);
    EXPECT_EQ(TakeClicks(), "");
}

TEST_F(ToolbarTest, ARightClickOnTheHandleOpensTheBarsContextMenu) {
    TDkToolbar* bar = AddBar("Bar", f_.top, 2);
    f_.Settle();
    TDkPopupMenu menu(&f_.form);
    auto* customize = new TDkCustomItem(&menu);
    customize->SetCaption(QStringLiteral("Customize"));
    Count(customize);
    menu.Items()->Add(customize);
    menu.AttachTo(bar);
    script_.Then([&] {
        EXPECT_EQ(menu.PopupComponent(), bar);
        ClickMouse(PopupCenterOf(customize));
    });
    script_.Start();
    SendMouse(bar, QEvent::MouseButtonPress, {3, 10}, Qt::RightButton);
    SendMouse(bar, QEvent::MouseButtonRelease, {3, 10}, Qt::RightButton);
    EXPECT_TRUE(script_.AllRun());
    EXPECT_EQ(TakeClicks(), "Customize");
    EXPECT_EQ(bar->CurrentDock(), f_.top);
}

// --- The menu-bar switch --------------------------------------------------------------------

TEST_F(ToolbarTest, TheMenuBarSwitchSetsTheMenuBarDefaultsUnlessLoading) {
    for (const bool loading : {false, true}) {
        SCOPED_TRACE(loading ? "loading" : "built");
        TDkToolbar* bar = AddBar("Bar", f_.top, 2);
        if (loading) {
            bar->BeginLoading();
        }
        bar->SetMenuBar(true);
        EXPECT_TRUE(bar->MenuBar());
        EXPECT_TRUE(bar->TakesMenuEvents());
        EXPECT_EQ(bar->FullSize(), !loading);
        EXPECT_EQ(bar->ShrinkMode(), loading ? dksmChevron : dksmWrap);
        EXPECT_EQ(bar->CloseButton(), loading);
        EXPECT_EQ(bar->ProcessShortCuts(), !loading);
        // A menu bar takes shortcuts either way.
        EXPECT_EQ(dk::ShortCutToolbars(), std::vector<TDkCustomToolbar*>{bar});
        EXPECT_NE(bar->View()->Options() & voAccelHiding, 0u);
        bar->SetMenuBar(false);
        EXPECT_EQ(bar->View()->Options() & voAccelHiding, 0u);
        EXPECT_EQ(dk::ShortCutToolbars().size(), 0u);
        delete bar;
    }
}

TEST_F(ToolbarTest, AMenuBarWrapsAtItsDockAndTakesTheFullRow) {
    TDkToolbar* bar = AddBar("Menu", f_.top, 0);
    bar->SetMenuBar(true);
    for (int i = 0; i < 5; ++i) {
        AddMenu(bar, ("Menu" + std::to_string(i)).c_str(), {"x"}, 50);
    }
    f_.form.resize(160, 400);
    f_.Settle();
    // 160 less 10 of frame: three 50-pixel headers to a row.
    EXPECT_EQ(bar->View()->WrapOffset(), 150);
    EXPECT_EQ(bar->View()->LineCount(), 2);
    EXPECT_EQ(bar->size(), QSize(160, 44));
    EXPECT_EQ(Hidden(bar), "");
    f_.form.resize(600, 400);
    f_.Settle();
    EXPECT_EQ(bar->View()->LineCount(), 1);
    EXPECT_EQ(bar->size(), QSize(600, 24));
}

// --- Child controls -----------------------------------------------------------------------------

TEST_F(ToolbarTest, AChildControlBecomesAnItemAndGoesWithIt) {
    TDkToolbar* bar = AddBar("Bar", f_.top, 2);
    f_.Settle();
    auto* edit = new QLineEdit(bar);
    edit->resize(80, 20);
    edit->show();
    QCoreApplication::sendPostedEvents();
    f_.Settle();
    ASSERT_EQ(bar->Items()->Count(), 3);
    auto* item = qobject_cast<TDkControlItem*>(bar->Items()->Items(2));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Control(), edit);
    EXPECT_EQ(edit->geometry(), QRect(bar->ClientOrigin() + QPoint(60, 0), QSize(80, 20)));
    EXPECT_EQ(bar->size(), QSize(150, 24));
    // Resized by the program, the bar makes room.
    edit->resize(100, 20);
    QCoreApplication::sendPostedEvents();
    f_.Settle();
    EXPECT_EQ(bar->size(), QSize(170, 24));
    delete edit;
    f_.Settle();
    EXPECT_EQ(bar->Items()->Count(), 2);
    EXPECT_EQ(bar->size(), QSize(70, 24));
}

// --- The action update step -------------------------------------------------------------------

std::vector<QAction*> idleUpdates;
void RecordIdleUpdate(QAction& action) {
    idleUpdates.push_back(&action);
}

// Lets the event loop run until it has waited for something once.
void GoIdle() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

// Each time the event loop has nothing left to do, the bars that show on a
// shown, enabled form bring their items' actions up to date; a hidden bar, a
// bar that does not update its actions and a disabled form do not.
TEST_F(ToolbarTest, GoingIdleUpdatesTheActionsOfTheBarsThatShow) {
    TDkToolbar* bar = AddBar("Bar", f_.top, 0);
    QAction action;
    AddButton(bar, "A")->SetAction(&action);
    QAction other;
    AddButton(bar, "B")->SetAction(&other);
    const dk::ActionUpdateHandler previous = dk::SetActionUpdateHandler(&RecordIdleUpdate);
    EXPECT_TRUE(dk::ActionUpdatesHooked());
    const struct {
        const char* what;
        std::function<void()> set, reset;
        bool updates;
    } rows[] = {
        {"shown", [] {}, [] {}, true},
        {"bar hidden", [bar] { bar->hide(); }, [bar] { bar->show(); }, false},
        {"updates off", [bar] { bar->SetUpdateActions(false); },
         [bar] { bar->SetUpdateActions(true); }, false},
        {"form disabled", [this] { f_.form.setEnabled(false); },
         [this] { f_.form.setEnabled(true); }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.set();
        idleUpdates.clear();
        GoIdle();
        if (row.updates) {
            ASSERT_GE(idleUpdates.size(), 2u);
            EXPECT_EQ(idleUpdates[0], &action);
            EXPECT_EQ(idleUpdates[1], &other);
        } else {
            EXPECT_TRUE(idleUpdates.empty());
        }
        row.reset();
    }
    dk::SetActionUpdateHandler(previous);
}

// --- Resizing a floating tool bar in steps -----------------------------------------------------

// --- The steps -------------------------------------------------------------------------

std::string Describe(const std::vector<dk::ResizeStep>& steps) {
    std::string text;
    for (const dk::ResizeStep& step : steps) {
        text += (text.empty() ? "" : " ") + std::to_string(step.Size.width()) + "x" +
                std::to_string(step.Size.height()) + "/" + std::to_string(step.Rows);
    }
    return text;
}

TEST(ResizeSteps, KeepTheNarrowestLayoutOfEachRowCountAndEnd) {
    // Some wrap width just below the natural one still gives the natural
    // layout, one pixel wider than asked for: the walk must go on below it.
    // An item wider than any candidate makes every layout too wide.
    const auto oneAbove = [](int w) {
        return w == 0 || w >= 100 ? dk::ResizeStep{{101, 23}, 1} : dk::ResizeStep{{w, 43}, 2};
    };
    const auto neverFits = [](int) { return dk::ResizeStep{{200, 23}, 1}; };
    const struct {
        std::function<dk::ResizeStep(int width)> layout; // at a wrap width (0: none)
        const char* steps;
        int maxLayouts; // the walk ends within this many layouts
    } cases[] = {{oneAbove, "101x23/1 8x43/2", 101}, {neverFits, "200x23/1", 200}};
    for (const auto& c : cases) {
        int layouts = 0;
        const std::vector<dk::ResizeStep> steps = dk::BuildResizeSteps(
            [&](int width) {
                if (++layouts > c.maxLayouts) {
                    throw std::runtime_error("the walk does not end");
                }
                return c.layout(width);
            },
            8);
        EXPECT_EQ(Describe(steps), c.steps);
    }
}

TEST(ResizeStepTracking, PicksTheStepTheRequestReaches) {
    const std::map<QString, std::vector<QSize>> stepSets{
        {"bar", {{136, 47}, {76, 67}, {46, 107}}}, {"close", {{100, 20}, {95, 40}, {60, 60}}}};
    for (const QStringList& row : DataRows("resize-tracking.txt", 6)) {
        SCOPED_ROW(row);
        std::vector<dk::ResizeStep> steps;
        for (const QSize& size : stepSets.at(row[1])) {
            steps.push_back({size, static_cast<int>(steps.size()) + 1});
        }
        const bool horizontal = row[2] == "width";
        const QList<int> start = Numbers(row[3]);
        dk::ResizeStepTracker tracker(steps, horizontal, QSize(start[0], start[1]));
        QStringList chosen;
        for (int request : Numbers(row[4])) {
            const QSize size = tracker.Track(request).Size;
            chosen << QString::number(horizontal ? size.width() : size.height());
        }
        EXPECT_EQ(chosen.join(u','), row[5]);
    }
}

// --- A floating bar resized by its frame ---------------------------------------------------

class FloatingToolbar : public ToolbarTest {
protected:
    FloatingToolbar() {
        bar_ = AddBar("Bar", f_.top, 4);
        bar_->SetFloatingPosition({300, 200});
        bar_->ToggleDockedFloating();
        f_.Settle();
    }
    TDkFloatingWindowParent* Form() const { return bar_->FloatingParent(); }
    // Presses the form at `press` and drags by `delta`; a script step may run
    // in the middle.
    void Drag(QPoint press, QPoint delta, std::function<void()> midway = {}) {
        const QPoint start = Form()->mapToGlobal(press);
        PostMoves(&f_.form, {start + delta / 2});
        if (midway) {
            PostCall(&f_.form, std::move(midway));
        }
        PostMoves(&f_.form, {start + delta});
        PostRelease(&f_.form, start + delta);
        Press(Form(), press);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TDkToolbar* bar_ = nullptr;
};

TEST_F(FloatingToolbar, AFrameDragJumpsBetweenItsLayouts) {
    const auto rect = [](const QString& field) {
        const QList<int> n = Numbers(field);
        return QRect(n[0], n[1], n[2], n[3]);
    };
    for (const QStringList& row : DataRows("toolbar-frame-drag.txt", 7)) {
        SCOPED_ROW(row);
        const QList<int> press = Numbers(row[1]), delta = Numbers(row[2]);
        bar_->SetFloatingWidth(0);
        f_.Settle();
        ASSERT_EQ(Form()->geometry(), QRect(300, 200, 136, 47));
        std::string midway;
        Drag({press[0], press[1]}, {delta[0], delta[1]}, [&] {
            ASSERT_NE(bar_->ResizeSteps(), nullptr);
            midway = Describe(*bar_->ResizeSteps());
        });
        EXPECT_EQ(midway, row[3].toStdString());
        EXPECT_EQ(bar_->ResizeSteps(), nullptr);
        EXPECT_EQ(bar_->FloatingWidth(), row[4].toInt());
        EXPECT_EQ(Form()->geometry(), rect(row[5]));
        EXPECT_EQ(bar_->size(), rect(row[5]).size() - QSize(8, 24));
        EXPECT_EQ(bar_->View()->Find(bar_->Items()->Items(2))->BoundsRect.ToQRect(), rect(row[6]));
        Form()->move(300, 200);
    }
}

TEST_F(FloatingToolbar, ACancelledResizeKeepsTheWidth) {
    std::optional<QRect> midway;
    const QPoint start = Form()->mapToGlobal(QPoint(134, 23));
    PostMoves(&f_.form, {start + QPoint(-30, 0)});
    PostCall(&f_.form, [&] { midway = Form()->geometry(); });
    PostKey(&f_.form, Qt::Key_Escape);
    Press(Form(), QPoint(134, 23));
    EXPECT_EQ(midway, std::optional<QRect>(QRect(300, 200, 76, 67)));
    EXPECT_EQ(bar_->FloatingWidth(), 0);
    EXPECT_EQ(Form()->geometry(), QRect(300, 200, 136, 47));
    EXPECT_EQ(bar_->View()->LineCount(), 1);
}

TEST_F(FloatingToolbar, TheWidthIsSavedAndReadBack) {
    bar_->SetFloatingWidth(68);
    f_.Settle();
    EXPECT_EQ(Form()->size(), QSize(76, 67));
    std::map<std::string, int> saved;
    std::map<std::string, QString> texts;
    dk::SavePositions(
        &f_.form,
        [&](const QString& section, const QString& name, int value, void*) {
            saved[(section + "." + name).toStdString()] = value;
        },
        [&](const QString& section, const QString& name, const QString& value, void*) {
            texts[(section + "." + name).toStdString()] = value;
        });
    EXPECT_EQ(saved["Bar.FloatRightX"], 68);
    for (const int stored : {0, -5}) {
        bar_->SetFloatingWidth(120);
        saved["Bar.FloatRightX"] = stored;
        dk::LoadPositions(
            &f_.form,
            [&](const QString& section, const QString& name, int def, void*) {
                const auto it = saved.find((section + "." + name).toStdString());
                return it != saved.end() ? it->second : def;
            },
            [&](const QString& section, const QString& name, const QString& def, void*) {
                const auto it = texts.find((section + "." + name).toStdString());
                return it != texts.end() ? it->second : def;
            });
        EXPECT_EQ(bar_->FloatingWidth(), 0) << "stored " << stored;
        EXPECT_EQ(Form()->size(), QSize(136, 47)) << "stored " << stored;
    }
}

} // namespace
