// Resizing a floating tool bar in steps: the steps its layouts give (and
// that working them out ends), how a drag picks one, a drag on the floating
// frame, and the chosen width kept in the saved positions.

#include "DataRows.h"
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
