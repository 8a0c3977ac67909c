// The arithmetic of a view's layout, row by row from
// tests/data/dockkit/view-arrangement.txt, and which viewers show before the
// chevron has its say.

#include "dockkit/items/DkViewArrange.h"

#include "DataRows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using dk::ViewerEntry;
using dk::ViewLayoutInput;

QList<int> Ints(const QString& text) {
    QList<int> numbers;
    for (const QString& n : text.split(u',', Qt::SkipEmptyParts)) {
        numbers << n.toInt();
    }
    return numbers;
}

// The view's parameters and its viewers as the rows write them.
ViewLayoutInput Input(const QString& view, const QString& viewers) {
    ViewLayoutInput in;
    for (const QString& word : view.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = word.section(u'=', 0, 0);
        const QString value = word.section(u'=', 1);
        in.Toolbar = in.Toolbar || word == "bar";
        in.Vertical = in.Vertical || word == "vertical";
        in.ChevronPopup = in.ChevronPopup || word == "popup";
        if (key == "wrap") {
            in.WrapOffset = value.toInt();
        } else if (key == "chevron") {
            in.HasChevron = true;
            in.ChevronOffset = value.section(u'/', 0, 0).toInt();
            in.ChevronSize = value.section(u'/', 1).toInt();
        } else if (key == "margins") {
            const QList<int> m = Ints(value);
            in.Margins = QMargins(m.value(0), m.value(1), m.value(2), m.value(3));
        } else if (key == "line") {
            in.LastLineThickness = value.toInt();
        } else if (key == "max") {
            in.MaxHeight = value.toInt();
        } else if (key == "scroll") {
            in.ScrollOffset = value.toInt();
        } else if (key == "hide") {
            const QList<int> order = Ints(value);
            in.HidingOrder.assign(order.begin(), order.end());
        }
    }
    for (const QString& word : viewers.split(u' ', Qt::SkipEmptyParts)) {
        if (word == "none") {
            continue;
        }
        ViewerEntry e;
        const QString size = word.section(u'x', 0, 0);
        QString rest = word.section(u'x', 1);
        qsizetype digits = 0;
        while (digits < rest.size() && rest[digits].isDigit()) {
            ++digits;
        }
        e.Width = size.toInt();
        e.Height = rest.left(digits).toInt();
        const QString flags = rest.mid(digits);
        e.Visible = !flags.contains(u'h');
        e.Separator = flags.contains(u's');
        e.Control = flags.contains(u'c');
        e.ToolbarSize = in.Toolbar || flags.contains(u't');
        e.Stretch = flags.contains(u'S');
        e.RightAlign = flags.contains(u'R');
        e.NoForcedBreak = flags.contains(u'N');
        in.Viewers.push_back(e);
    }
    return in;
}

std::string Describe(const dk::ViewLayoutResult& r) {
    std::string text;
    for (const dk::ViewerPlacement& v : r.Viewers) {
        if (v.Show || v.Clipped) {
            text += std::to_string(v.Bounds.Left) + "," + std::to_string(v.Bounds.Top) + "," +
                    std::to_string(v.Bounds.Right) + "," + std::to_string(v.Bounds.Bottom);
        } else {
            text += "-";
        }
        text += std::string(v.OffEdge ? "o" : "") + (v.Clipped ? "k" : "") +
                (v.LineBreak ? "b" : "") + " ";
    }
    text += "= " + std::to_string(r.Width) + "x" + std::to_string(r.Height) + " lines " +
            std::to_string(r.Lines) + " base " + std::to_string(r.BaseSize);
    if (r.ScrollOffset != 0) {
        text += " scroll " + std::to_string(r.ScrollOffset);
    }
    text += std::string(r.UpArrow ? " up" : "") + (r.DownArrow ? " down" : "") +
            (r.ChevronEnabled ? " chevron" : "");
    return text;
}

TEST(ViewArrangement, PlacesEachViewer) {
    const std::vector<QStringList> rows = DataRows("view-arrangement.txt", 4);
    ASSERT_FALSE(rows.empty());
    for (const QStringList& row : rows) {
        SCOPED_ROW(row);
        const ViewLayoutInput input = Input(row[1], row[2]);
        EXPECT_EQ(Describe(dk::ArrangeViewers(input)), row[3].toStdString());
    }
}

// Which viewers show is the first step of the arrangement: what it answers
// is what the arrangement shows when nothing wraps, scrolls or hides.
TEST(ViewArrangement, ShownViewersAreThoseTheArrangementShowsWhenNothingElseHides) {
    const std::vector<std::pair<const char*, std::vector<bool>>> cases{
        {"6x20s 30x20 6x20s 6x20s 30x20 6x20s", {false, true, true, false, true, false}},
        {"30x20h 6x20s 30x20", {false, false, true}},
        {"30x20 6x20s 30x20h 6x20s 30x20h", {true, false, false, false, false}},
        {"6x20s 6x20s", {false, false}},
    };
    for (const auto& [viewers, expected] : cases) {
        SCOPED_TRACE(viewers);
        const ViewLayoutInput input = Input("bar", viewers);
        EXPECT_EQ(dk::ShownViewers(input.Viewers, false), expected);
        const dk::ViewLayoutResult result = dk::ArrangeViewers(input);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(result.Viewers[i].Show, expected[i]) << "viewer " << i;
        }
    }
    // The chevron never shows by itself, visible or not.
    const ViewLayoutInput chevron = Input("bar chevron=100/12", "30x20 12x20");
    EXPECT_EQ(dk::ShownViewers(chevron.Viewers, true), (std::vector<bool>{true, false}));
}

} // namespace
