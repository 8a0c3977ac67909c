#include "platform/gui/Edges.h"

#include "GoldenRows.h"
#include "PixelPicture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <map>

using namespace plat;

namespace {

// One drawing into the rectangle inside a blank one-pixel margin of the
// picture, so that a pixel drawn outside shows.
TEST(EdgeDrawing, PaintsThePlatformPixels) {
    const std::map<QString, unsigned> edges{{"RAISED", EDGE_RAISED},
                                            {"SUNKEN", EDGE_SUNKEN},
                                            {"BUMP", EDGE_BUMP},
                                            {"ETCHED", EDGE_ETCHED},
                                            {"SUNKENOUTER", BDR_SUNKENOUTER},
                                            {"RAISEDINNER", BDR_RAISEDINNER}};
    const std::map<QString, unsigned> flagNames{{"RECT", BF_RECT},
                                                {"TOP", BF_TOP},
                                                {"LEFT", BF_LEFT},
                                                {"BOTTOMRIGHT", BF_BOTTOMRIGHT},
                                                {"DIAGONAL_ENDTOPRIGHT", BF_DIAGONAL_ENDTOPRIGHT},
                                                {"MIDDLE", BF_MIDDLE},
                                                {"ADJUST", BF_ADJUST},
                                                {"SOFT", BF_SOFT},
                                                {"FLAT", BF_FLAT},
                                                {"MONO", BF_MONO}};
    for (const QStringList& row : GoldenTextRows("platform/edges.tsv", 5)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const QStringList picture = row[3].split(u' ');
        QImage image = BlankImage(picture[0].size(), picture.size());
        const TRect given(1, 1, picture[0].size() - 1, picture.size() - 1);
        TRect rect = given;
        {
            QPainter p(&image);
            if (row[1] == u"FrameRect") {
                FrameRect(p, rect, clBtnShadow);
            } else if (row[1].startsWith(u"Frame3D")) {
                const TColor topLeft = row[1] == u"Frame3D" ? clBtnHighlight : clNone;
                Frame3D(p, rect, topLeft, clBtnShadow, row[2].toInt());
            } else {
                unsigned flags = 0;
                for (const QString& name : row[2].split(u'|')) {
                    flags |= flagNames.at(name);
                }
                DrawEdge(p, rect, edges.at(row[1]), flags);
            }
        }
        EXPECT_EQ(PixelPicture(image), picture);
        const QStringList after = row[4].split(u' ');
        EXPECT_EQ(rect, row[4] == u"-" ? given
                                       : TRect(after[0].toInt(), after[1].toInt(), after[2].toInt(),
                                               after[3].toInt()));
    }
}

TEST(Rect, ConvertsAndCombinesWithExclusiveEdges) {
    const QRect q(2, 3, 4, 5);
    EXPECT_EQ(TRect(q), TRect(2, 3, 6, 8));
    EXPECT_FALSE(TRect(2, 3, 6, 8).Contains(QPoint(6, 3)));

    // Rectangles that only touch share nothing.
    EXPECT_EQ(IntersectRect(TRect(0, 0, 4, 4), TRect(4, 0, 8, 4)), TRect());
    EXPECT_EQ(IntersectRect(TRect(0, 0, 4, 4), TRect(2, 1, 8, 3)), TRect(2, 1, 4, 3));
    EXPECT_EQ(UnionRect(TRect(3, 3, 3, 9), TRect(5, 6, 7, 8)), TRect(5, 6, 7, 8));
}

} // namespace
