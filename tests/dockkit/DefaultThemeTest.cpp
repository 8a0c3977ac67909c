// The Default theme: classic edges, checkered checked buttons, menu rows,
// glyphs placed from the item's own top, frames, and its values.
#include "DataRows.h"
#include "KitThemeFixtures.h"

#include "GoldenPicture.h"

#include "dockkit/themes/DkDefaultTheme.h"
#include "dockkit/themes/DkTheme.h"

#include "platform/gui/Metrics.h"

#include <gtest/gtest.h>

using namespace plat;
using dk::TDkxItemInfo;

namespace {

class DefaultTheme : public ::testing::Test {
protected:
    TDkxTheme& Theme() { return themes.Theme(); }

    KitThemes themes;
};

} // namespace

TEST_F(DefaultTheme, ButtonFacesHaveTheClassicEdgesOfTheirState) {
    for (const QStringList& row : DataRows("default-faces.txt", 3)) {
        SCOPED_ROW(row);
        const unsigned kind = dk::ViewToolbar | (row[0] == "opaque" ? dk::ViewOpaque : 0);
        const TDkxItemInfo info = InState(ItemInfo(kind), StateNamed(row[1]));
        const QImage image = PaintImage(
            6, 5, [&](QPainter& p) { Theme().DrawButtonFace(p, TRect(0, 0, 6, 5), info); });
        EXPECT_EQ(Picture(image), row[2]);
    }
}

TEST_F(DefaultTheme, FlatMenusFillHotMenuBarItemsAndLightTheFaceOfOthers) {
    themes.nexus->SetFlatMenuStyle(fmsEnable);
    const QImage image = PaintImage(13, 5, [&](QPainter& p) {
        Theme().DrawButtonFace(p, TRect(0, 0, 6, 5),
                               InState(ItemInfo(dk::ViewMenuBar), ItemState::Hot));
        Theme().DrawButtonFace(p, TRect(7, 0, 13, 5),
                               InState(ItemInfo(dk::ViewToolbar), ItemState::Pushed));
    });
    EXPECT_EQ(Picture(image),
              "HHHHHH.GGGGGW/HHHHHH.GFFFFW/HHHHHH.GFFFFW/HHHHHH.GFFFFW/HHHHHH.WWWWWW");
}

TEST_F(DefaultTheme, TheArrowHalfOfASplitButtonEndsWithTheDropDownGlyph) {
    TDkxItemInfo info = InState(ItemInfo(dk::ViewToolbar), ItemState::Hot);
    info.ComboPart = dk::ComboArrow;
    TDkxItemInfo disabled = ItemInfo(dk::ViewToolbar);
    disabled.Enabled = false;
    disabled.ComboPart = dk::ComboArrow;
    const QImage image = PaintImage(19, 7, [&](QPainter& p) {
        Theme().DrawButtonFace(p, TRect(0, 0, 9, 7), info);
        Theme().DrawButtonFace(p, TRect(10, 0, 19, 7), disabled);
    });
    EXPECT_EQ(Picture(image), "WWWWWWWWG........../W.......G........../W.KKKKK.G...GGGGG../"
                              "W..KKK..G....GGGWW./W...K...G.....GWW../W.......G......W.../"
                              "GGGGGGGGG..........");
}

TEST_F(DefaultTheme, MenuRowsHighlightAfterTheImageColumnWithTheArrowAtTheItemsOwnMiddle) {
    // A submenu item in the third row of a menu: the arrow sits in its own
    // row, not at half the row's bottom edge.
    TDkxItemInfo info = InState(ItemInfo(dk::ViewPopupMenu, dk::ItemSubmenu), ItemState::Hot);
    const QImage plain = PaintImage(
        150, 70, [&](QPainter& p) { Theme().DrawMenuItem(p, TRect(0, 44, 150, 66), info); });
    // The arrow's white column at x 140 spans y 52..58, its tip at (143, 55).
    const std::tuple<int, int, uint32_t> pixels[] = {
        {140, 52, 0xFFFFFF}, {140, 58, 0xFFFFFF}, {141, 52, 0x0A246A},   {143, 55, 0xFFFFFF},
        {144, 55, 0x0A246A}, {0, 44, 0x0A246A},   {140, 33, kBlankPixel}};
    for (const auto& [x, y, rgb] : pixels) {
        EXPECT_EQ(Px(plain, x, y), rgb) << x << "," << y;
    }

    // With an image column the highlight starts after it and the column
    // gets a raised face.
    info.ImageShown = true;
    info.ImageWidth = 16;
    info.ImageHeight = 16;
    info.MenuImageColumn = 20;
    const QImage withImage = PaintImage(
        150, 70, [&](QPainter& p) { Theme().DrawMenuItem(p, TRect(0, 44, 150, 66), info); });
    EXPECT_EQ(Px(withImage, 21, 50), 0x0A246Au);
    EXPECT_EQ(Px(withImage, 20, 50), kBlankPixel);
    EXPECT_EQ(Px(withImage, 0, 44), 0xFFFFFFu);
    EXPECT_EQ(Px(withImage, 19, 44), 0x808080u);

    // Disabled and hot by the keyboard: highlighted, the arrow grey without
    // its embossed copy.
    info = InState(ItemInfo(dk::ViewPopupMenu, dk::ItemSubmenu), ItemState::DisabledKeyHot);
    const QImage keyHot = PaintImage(
        150, 70, [&](QPainter& p) { Theme().DrawMenuItem(p, TRect(0, 44, 150, 66), info); });
    EXPECT_EQ(Px(keyHot, 140, 55), 0x808080u);
    EXPECT_EQ(Px(keyHot, 144, 56), 0x0A246Au);
    EXPECT_EQ(Px(keyHot, 5, 50), 0x0A246Au);
}

TEST_F(DefaultTheme, ChevronGlyphsArePlacedFromTheButtonsOwnTop) {
    TDkxItemInfo right = ItemInfo(dk::ViewToolbar);
    TDkxItemInfo down = right;
    down.Vertical = true;
    const QImage image = PaintImage(40, 60, [&](QPainter& p) {
        Theme().DrawChevronGlyph(p, TRect(0, 30, 12, 52), right);
        Theme().DrawChevronGlyph(p, TRect(18, 30, 40, 42), down);
    });
    EXPECT_EQ(Picture(image, QRect(0, 34, 10, 5)),
              "..KK..KK../...KK..KK./....KK..KK/...KK..KK./..KK..KK..");
    EXPECT_EQ(Picture(image, QRect(31, 32, 5, 8)),
              "K...K/KK.KK/.KKK./..K../K...K/KK.KK/.KKK./..K..");
    // Nothing where a glyph placed from the window's top would go.
    EXPECT_EQ(Picture(image, QRect(0, 0, 40, 10)).remove(u'.'), QString(9, u'/'));
}

TEST_F(DefaultTheme, PopupFramesAreRaisedOrFlatWithTheMenuColourInside) {
    const auto corner = [&](unsigned kind) {
        const QImage image = PaintImage(10, 8, [&](QPainter& p) {
            dk::TDkxPopupInfo info;
            info.ViewKind = kind;
            Theme().DrawPopupFrame(p, TRect(0, 0, 10, 8), info);
        });
        return Picture(image, QRect(0, 0, 4, 4)) + " " + Picture(image, QRect(8, 6, 2, 2));
    };
    // Raised outside, the menu colour inside; the edit pop-up's own frames.
    EXPECT_EQ(corner(dk::ViewPopupMenu), "FFFF/FWWW/FWFF/FWF. GD/DD");
    EXPECT_EQ(corner(dk::ViewEditPopup), "KKKK/KWWW/KWWW/KWW. WK/KK");
    themes.nexus->SetFlatMenuStyle(fmsEnable);
    EXPECT_EQ(corner(dk::ViewPopupMenu), "GGGG/GWWW/GWWW/GWW. WG/GG");
    // Tool box pop-ups keep the raised frame and take the tool bar colour.
    EXPECT_EQ(corner(dk::ViewToolBoxPopup), "FFFF/FWWW/FWFF/FWF. GD/DD");
}

TEST_F(DefaultTheme, TheStatusGripFollowsItsLinePattern) {
    // A 16 x 19 grip: twelve diagonals (face, shadow, shadow, highlight three
    // times) and the face along the bottom and right edges.
    const QImage grip = PaintImage(16, 19, [&](QPainter& p) {
        Theme().DrawStatusBarPart(p, TRect(0, 0, 16, 19), dk::StatusBarGrip);
    });
    EXPECT_EQ(Picture(grip, QRect(0, 5, 16, 14)),
              "................/..............WF/.............WGF/............WGGF/"
              "...........WGGFF/..........WGGFWF/.........WGGFWGF/........WGGFWGGF/"
              ".......WGGFWGGFF/......WGGFWGGFWF/.....WGGFWGGFWGF/"
              "....WGGFWGGFWGGF/...WGGFWGGFWGGFF/...FFFFFFFFFFFFF");
}

TEST_F(DefaultTheme, DockedPanelFrameGoldenPicture) {
    // The frame sheet, a pop-up and a status panel.
    const QImage image = PaintImage(148, 32, [&](QPainter& p) {
        PaintFrameSheet(Theme(), p, dk::CloseButtonPushed);
        dk::TDkxPopupInfo popup;
        popup.ViewKind = dk::ViewPopupMenu;
        Theme().DrawPopupFrame(p, TRect(114, 0, 128, 12), popup);
        Theme().DrawStatusBarPart(p, TRect(130, 0, 148, 12), dk::StatusBarPanel);
    });
    EXPECT_TRUE(
        MatchesGolden(image, QStringLiteral(QV_TEST_DATA_DIR "/dockkit/default-frames.txt")));
}

TEST_F(DefaultTheme, AnswersItsValuesAndMetrics) {
    EXPECT_FALSE(Theme().GetBooleanValue(dk::ValueJoinPopups));
    // Borders and margins show in the bars' and frames' pictures.
    EXPECT_EQ(Theme().GetViewBorderSize(dk::ViewEditPopup), QPoint(1, 1));
    EXPECT_EQ(Theme().GetPartMargins(dk::MarginStatusPanel), (dk::TDkxMargins{1, 3, 1, 1}));
    // The hot row of a menu is highlighted; a hot menu bar item under flat
    // menus shows its image on the highlight.
    EXPECT_EQ(Theme().GetItemBackColor(InState(ItemInfo(dk::ViewPopupMenu, 0), ItemState::Hot)),
              clHighlight);
    const dk::TDkxItemInfo hotBarItem = InState(ItemInfo(dk::ViewMenuBar), ItemState::Hot);
    EXPECT_EQ(Theme().GetImageBackColor(hotBarItem), clBtnFace);
    themes.nexus->SetFlatMenuStyle(fmsEnable);
    EXPECT_EQ(Theme().GetImageBackColor(hotBarItem), clHighlight);
}
