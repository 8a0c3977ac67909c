// Sizes, positions and font sizes read back from a store: each rule's rows
// hold what the issue of a damaged or hand-edited file may put there (0, -1,
// the extremes of 32 and 64 bits, sizes beyond any screen, monitors that are
// gone) beside the values a sound store holds.
#include "platform/gui/StoredValues.h"

#include "GoldenRows.h"

#include <QFont>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace {

using plat::ScreenArea;
using plat::TRect;

// "-" for a value not stored, else a number of up to 64 bits.
std::optional<int64_t> Stored(const QByteArray& field) {
    if (field == "-") {
        return std::nullopt;
    }
    bool ok = false;
    const int64_t value = field.toLongLong(&ok);
    EXPECT_TRUE(ok) << field.constData();
    return value;
}

std::string Text(const TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Width()) +
           "," + std::to_string(r.Height());
}

std::vector<ScreenArea> Monitors(const QByteArray& name) {
    const ScreenArea primary{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)};
    const std::map<QByteArray, std::vector<ScreenArea>> sets{
        {"one", {primary}},
        {"two", {primary, {TRect(1920, 0, 3840, 1080), TRect(1920, 0, 3840, 1040)}}},
        {"left", {primary, {TRect(-1920, 0, 0, 1080), TRect(-1920, 0, 0, 1040)}}},
        {"above", {primary, {TRect(0, -600, 800, 0), TRect(30, -600, 800, 0)}}},
        {"none", {}},
        {"blank", {{TRect(0, 0, 1920, 1080), TRect(0, 0, 0, 0)}}}};
    EXPECT_TRUE(sets.count(name)) << name.constData();
    return sets.count(name) ? sets.at(name) : std::vector<ScreenArea>{};
}

TEST(StoredBounds, EveryWindowOpensOnAMonitorAndNoLargerThanItsWorkArea) {
    for (const auto& row : GoldenRows("platform/stored-bounds.tsv", 7)) {
        SCOPED_TRACE(row[0].constData());
        const QList<QByteArray> s = row[1].split(',');
        const QList<QByteArray> o = row[2].split(',');
        const plat::StoredBounds stored{Stored(s[0]), Stored(s[1]), Stored(s[2]), Stored(s[3])};
        const TRect own(o[0].toInt(), o[1].toInt(), o[0].toInt() + o[2].toInt(),
                        o[1].toInt() + o[3].toInt());
        const std::vector<ScreenArea> monitors = Monitors(row[3]);
        const plat::TBoundsFit fit =
            row[4] == "visible" ? plat::TBoundsFit::Visible : plat::TBoundsFit::Inside;
        const QList<QByteArray> least = row[5].split(',');
        const TRect bounds = plat::FitStoredBounds(stored, own, monitors, fit,
                                                   QSize(least[0].toInt(), least[1].toInt()));
        EXPECT_EQ(Text(bounds), row[6].toStdString());
        // Whatever the row: never larger than the work area it ends on, and
        // on it (inside it when fitting inside).
        if (!monitors.empty() && !monitors.front().WorkArea.IsEmpty()) {
            const TRect work = plat::MonitorRectForRect(monitors, bounds, true);
            EXPECT_LE(bounds.Width(), work.Width());
            EXPECT_LE(bounds.Height(), work.Height());
            const TRect common = plat::IntersectRect(bounds, work);
            EXPECT_FALSE(common.IsEmpty());
            if (fit == plat::TBoundsFit::Inside) {
                EXPECT_EQ(Text(common), Text(bounds));
            }
        }
    }
}

TEST(StoredSizes, PanelsTakeWhatTheirRoomAndLimitsAllow) {
    for (const auto& row : GoldenRows("platform/stored-sizes.tsv", 7)) {
        SCOPED_TRACE(row[0].constData());
        EXPECT_EQ(plat::FitStoredSize(Stored(row[1]), row[2].toInt(), row[3].toInt(),
                                      row[4].toInt(), row[5].toInt()),
                  row[6].toInt());
    }
}

TEST(StoredSplitterBars, DistancesNoScreenHoldsGiveTheDefault) {
    for (const auto& row : GoldenRows("platform/splitter-distances.tsv", 5)) {
        SCOPED_TRACE(row[0].constData());
        EXPECT_EQ(plat::BarPositionFromEnd(row[1].toInt(), Stored(row[2]), row[3].toInt()),
                  row[4].toInt());
    }
}

TEST(StoredFontSizes, AbsurdSizesGiveTheDefaultAndNeverOverflow) {
    for (const auto& row : GoldenRows("platform/font-sizes.tsv", 4)) {
        SCOPED_TRACE(row[0].constData());
        const int size = plat::StoredFontSize(Stored(row[1]), 8);
        EXPECT_EQ(size, row[2].toInt());
        QFont font;
        font.setPointSize(8);
        if (const std::optional<int64_t> stored = Stored(row[1])) {
            plat::SetStoredFontSize(font, *stored);
        }
        const std::string shown = font.pointSize() > 0 ? std::to_string(font.pointSize()) + "pt"
                                                       : std::to_string(font.pixelSize()) + "px";
        EXPECT_EQ(shown, row[3].toStdString());
    }
}

} // namespace
