// Resizing a floating tool bar in steps: the steps its layouts give (and
// that working them out ends), how a drag picks one, a drag on the floating
// frame, and the chosen width kept in the saved positions.

#include "ToolbarFixtures.h"

#include "dockkit/docking/DkPositions.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

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
    // The frames of the four-item bar: 1, 2 and 4 rows.
    const std::vector<QSize> bar{{136, 47}, {76, 67}, {46, 107}};
    const std::vector<QSize> close{{100, 20}, {95, 40}, {60, 60}};
    const struct {
        const char* name;
        const std::vector<QSize>& steps;
        bool horizontal;
        QSize start;
        std::vector<int> requests;
        std::vector<int> chosen; // along the dragged axis
    } cases[] = {
        // Within 12 pixels of the size at the press nothing moves.
        {"NarrowerWithinTheSnap", bar, true, QSize(136, 47), {130, 125}, {136, 136}},
        {"NarrowerPastTheSnap", bar, true, QSize(136, 47), {106}, {76}},
        {"NarrowerThanEveryStep", bar, true, QSize(136, 47), {10}, {46}},
        {"WiderThanEveryStep", bar, true, QSize(76, 67), {300}, {136}},
        // Once moved, only crossing back over the press size snaps again.
        {"BackTowardsThePressSize", bar, true, QSize(136, 47), {100, 130}, {76, 76}},
        {"CrossingThePressSize", bar, true, QSize(76, 67), {50, 80, 90}, {46, 76, 136}},
        // Growing takes the next step as soon as the snap is passed.
        {"WiderPastTheSnap", bar, true, QSize(76, 67), {89}, {136}},
        {"TallerByTheBottomEdge", bar, false, QSize(136, 47), {58, 60, 100}, {47, 67, 107}},
        // A neighbouring step 5 pixels away makes the snap 4.
        {"ACloseNeighbourNarrowsTheSnap", close, true, QSize(100, 20), {97, 95}, {100, 95}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<dk::ResizeStep> steps;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            steps.push_back({c.steps[i], static_cast<int>(i) + 1});
        }
        dk::ResizeStepTracker tracker(steps, c.horizontal, c.start);
        std::vector<int> chosen;
        for (int request : c.requests) {
            const QSize size = tracker.Track(request).Size;
            chosen.push_back(c.horizontal ? size.width() : size.height());
        }
        EXPECT_EQ(chosen, c.chosen);
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
    const char* byWidth = "136x47/1 76x67/2 46x107/4";
    const struct {
        const char* name;
        QPoint press; // on the 136 x 47 form at (300, 200)
        QPoint delta;
        const char* steps; // largest first along the dragged axis
        int floatingWidth;
        QRect form;
        QRect third; // the third button in the bar
    } cases[] = {
        {"RightEdgeWithinTheSnap", QPoint(134, 23), QPoint(-10, 0), byWidth, 0,
         QRect(300, 200, 136, 47), QRect(64, 2, 30, 20)},
        {"RightEdgeToTwoRows", QPoint(134, 23), QPoint(-30, 0), byWidth, 68,
         QRect(300, 200, 76, 67), QRect(4, 22, 30, 20)},
        {"RightEdgeAsFarAsItGoes", QPoint(134, 23), QPoint(-100, 0), byWidth, 38,
         QRect(300, 200, 46, 107), QRect(4, 42, 30, 20)},
        // The left edge moves; the right one stays where it was.
        {"LeftEdgeToTwoRows", QPoint(1, 23), QPoint(30, 0), byWidth, 68, QRect(360, 200, 76, 67),
         QRect(4, 22, 30, 20)},
        {"BottomEdgeToFourRows", QPoint(60, 45), QPoint(0, 50), "46x107/4 76x67/2 136x47/1", 38,
         QRect(300, 200, 46, 107), QRect(4, 42, 30, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bar_->SetFloatingWidth(0);
        f_.Settle();
        ASSERT_EQ(Form()->geometry(), QRect(300, 200, 136, 47));
        std::string midway;
        Drag(c.press, c.delta, [&] {
            ASSERT_NE(bar_->ResizeSteps(), nullptr);
            midway = Describe(*bar_->ResizeSteps());
        });
        EXPECT_EQ(midway, c.steps);
        EXPECT_EQ(bar_->ResizeSteps(), nullptr);
        EXPECT_EQ(bar_->FloatingWidth(), c.floatingWidth);
        EXPECT_EQ(Form()->geometry(), c.form);
        EXPECT_EQ(bar_->size(), c.form.size() - QSize(8, 24));
        EXPECT_EQ(bar_->View()->Find(bar_->Items()->Items(2))->BoundsRect.ToQRect(), c.third);
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
