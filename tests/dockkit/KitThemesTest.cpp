// The kit's two themes. Default: classic edges, checkered checked buttons,
// menu rows, glyphs placed from the item's own top, frames, and its values.
// Flat: its colour cache on the classic desk and on a low-colour display, the
// state tables, its button faces and check mark, its images per state, the
// shared glyph strip, and its frames as a golden picture.
#include "DataRows.h"
#include "KitThemeFixtures.h"

#include "GoldenPicture.h"

#include "dockkit/themes/DkDefaultTheme/DkDefaultTheme.h"
#include "dockkit/themes/DkFlatTheme/DkFlatTheme.h"
#include "dockkit/themes/DkImageEffects.h"
#include "dockkit/themes/DkTheme.h"

#include "platform/gui/ImageList.h"
#include "platform/gui/Metrics.h"

#include <gtest/gtest.h>

#include <map>

using namespace plat;
using dk::TDkxItemInfo;

namespace {

class DefaultTheme : public ::testing::Test {
protected:
    TDkxTheme& Theme() { return themes.Theme(); }

    KitThemes themes;
};

class FlatTheme : public ::testing::Test {
protected:
    FlatTheme() { themes.Select("Flat"); }
    TDkxFlatTheme& Theme() { return dynamic_cast<TDkxFlatTheme&>(themes.Theme()); }
    TColor Entry(int index) { return Theme().CachedColor(index); }
    dk::FlatStateColors ToolbarState(int state) {
        const int at = dk::fcToolbarStates + 3 * state;
        return {Entry(at), Entry(at + 1), Entry(at + 2)};
    }
    dk::FlatStateColors MenuState(int state) {
        const int at = dk::fcMenuStates + 3 * state;
        return {Entry(at), Entry(at + 1), Entry(at + 2)};
    }

    KitThemes themes;
};

} // namespace

namespace dk {
void PrintTo(const FlatStateColors& c, std::ostream* os) {
    *os << std::hex << "{fill " << c.Fill << ", text " << c.Text << ", frame " << c.Frame << "}";
}
} // namespace dk

// --- The Default theme -----------------------------------------------------------------

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

// --- Both themes -----------------------------------------------------------------------

TEST(ThemeValues, EachThemeAnswersItsIntegerValuesAndMinusOneForAnyOtherIndex) {
    std::map<int, std::pair<int, int>> expected;
    for (const QStringList& row : DataRows("theme-integer-values.txt", 3)) {
        expected[row[0].toInt()] = {row[1].toInt(), row[2].toInt()};
    }
    TDkxDefaultTheme defaultTheme;
    TDkxFlatTheme flatTheme;
    for (int index = -1; index <= 100; ++index) {
        const auto it = expected.find(index);
        const std::pair<int, int> want = it != expected.end() ? it->second : std::pair(-1, -1);
        EXPECT_EQ(defaultTheme.GetIntegerValue(index), want.first) << "Default, index " << index;
        EXPECT_EQ(flatTheme.GetIntegerValue(index), want.second) << "Flat, index " << index;
    }
    EXPECT_EQ(expected.size(), 18U) << "rows of the data file";
    EXPECT_TRUE(flatTheme.GetBooleanValue(dk::ValueOption3));
    EXPECT_FALSE(defaultTheme.GetBooleanValue(dk::ValueOption3));
}

// --- The Flat theme ---------------------------------------------------------------------

TEST_F(FlatTheme, MixesItsColourCacheFromTheClassicDesk) {
    const std::map<QString, unsigned> kinds{{"toolbar", dk::ViewToolbar},
                                            {"menu bar", dk::ViewMenuBar},
                                            {"popup menu", dk::ViewPopupMenu},
                                            {"edit popup", dk::ViewEditPopup},
                                            {"chevron popup", dk::ViewChevronPopup},
                                            {"dock panel", dk::ViewDockPanel},
                                            {"none", 0}};
    const auto colors = [](const QString& field) {
        QString text;
        for (const QString& name : field.split(u' ')) {
            const TColor c = name == "none"     ? clNone
                             : name == "face"   ? clBtnFace
                             : name == "window" ? clWindow
                                                : Rgb(name.toUInt(nullptr, 16));
            text += QString::number(c, 16) + " ";
        }
        return text;
    };
    for (const QStringList& row : DataRows("flat-colours.txt", 3)) {
        SCOPED_ROW(row);
        const auto text = [](std::initializer_list<TColor> list) {
            QString t;
            for (const TColor c : list) {
                t += QString::number(c, 16) + " ";
            }
            return t;
        };
        const dk::FlatStateColors state = row[0] == "toolbar" ? ToolbarState(row[1].toInt())
                                          : row[0] == "menu"  ? MenuState(row[1].toInt())
                                                              : dk::FlatStateColors{};
        if (row[0] == "entry") {
            EXPECT_EQ(text({Entry(row[1].toInt())}), colors(row[2]));
        } else if (row[0] == "view") {
            EXPECT_EQ(text({Theme().GetViewBackColor(kinds.at(row[1]))}), colors(row[2]));
        } else {
            EXPECT_EQ(text({state.Fill, state.Text, state.Frame}), colors(row[2]));
        }
    }
}

TEST_F(FlatTheme, OnALowColourDisplayUsesOnlySystemColours) {
    themes.nexus->DisplayChanged(8);
    ASSERT_EQ(themes.nexus->GetCurrentThemeName(), QStringLiteral("Flat"));
    for (int index = 0; index < dk::kFlatColorCount; ++index) {
        const TColor entry = Entry(index);
        EXPECT_TRUE(entry == clNone || entry < 0) << index << " " << std::hex << entry;
    }
    EXPECT_EQ(Entry(dk::fcToolbarBack), clBtnFace);
    EXPECT_EQ(ToolbarState(dk::ftsDropDownOpen),
              (dk::FlatStateColors{clBtnFace, clBtnText, clBtnText}));
    EXPECT_EQ(MenuState(dk::fmsDisabledHot),
              (dk::FlatStateColors{clWindow, clGrayText, clHighlight}));

    themes.nexus->DisplayChanged(32);
    EXPECT_EQ(Entry(dk::fcToolbarBack), Rgb(0xDBD8D1));
}

TEST_F(FlatTheme, AHotButtonKeepsItsFrameApartFromABackgroundNearTheHighlight) {
    // A desk whose button face and window are all but the highlight colour.
    SysColorTable desk = ClassicSysColors();
    desk[15] = Rgb(0x0C2870);
    desk[5] = Rgb(0x10286A);
    const ScopedSysColors scheme(&desk);
    themes.nexus->SysColorChanged();
    const TColor background = Theme().GetViewBackColor(dk::ViewToolbar);
    const TColor frame = ToolbarState(dk::ftsHot).Frame;
    EXPECT_LT(dk::ColorDistance(clHighlight, background), 20.0f);
    EXPECT_GE(dk::ColorDistance(frame, background), 99.0f);
}

TEST_F(FlatTheme, ButtonFacesFrameAndFillInTheStatesColours) {
    const auto rgb = [](const QString& field) {
        return field == "-" ? kBlankPixel : field.toUInt(nullptr, 16);
    };
    for (const QStringList& row : DataRows("flat-faces.txt", 4)) {
        SCOPED_ROW(row);
        const unsigned kind = dk::ViewToolbar | (row[0] == "opaque" ? dk::ViewOpaque : 0);
        const TDkxItemInfo info = InState(ItemInfo(kind), StateNamed(row[1]));
        const QImage image = PaintImage(
            23, 22, [&](QPainter& p) { Theme().DrawButtonFace(p, TRect(0, 0, 23, 22), info); });
        EXPECT_EQ(Px(image, 0, 0), rgb(row[2]));
        EXPECT_EQ(Px(image, 22, 21), rgb(row[2]));
        EXPECT_EQ(Px(image, 1, 1), rgb(row[3]));
        EXPECT_EQ(Px(image, 21, 20), rgb(row[3]));
    }
}

TEST_F(FlatTheme, TheCheckMarkIsASevenPointOutline) {
    const QImage image = PaintImage(16, 16, [&](QPainter& p) {
        Theme().DrawCheckGlyph(p, TRect(0, 0, 16, 16), ItemInfo(dk::ViewToolbar));
    });
    EXPECT_EQ(Picture(image, QRect(0, 4, 16, 8)),
              "................/..........K...../.........KK...../....K...KK....../"
              "....KK.KK......./.....KKK......../......K........./................");
    EXPECT_EQ(Picture(image).count(u'K'), 14) << "nothing elsewhere";
}

TEST(ItemImages, FollowTheThemesLookForTheState) {
    for (const QStringList& row : DataRows("item-images.txt", 5)) {
        SCOPED_ROW(row);
        KitThemes themes;
        themes.Select(row[0].toLatin1().constData());
        ImageList list(1, 1);
        QImage pixel(1, 1, QImage::Format_ARGB32);
        pixel.fill(Qt::black);
        list.Add(pixel);
        const TDkxItemInfo info = InState(ItemInfo(dk::ViewToolbar), StateNamed(row[1]));
        const QImage picture = PaintImage(10, 10, [&](QPainter& p) {
            p.fillRect(0, 0, 10, 10, ToQColor(clBtnFace));
            themes.Theme().DrawItemImage(p, TRect(4, 4, 8, 8), info, &list, 0);
        });
        for (int i = 0; i < 3; ++i) {
            const QString want = row[2 + i] == "F" ? QStringLiteral("D4D0C8") : row[2 + i];
            EXPECT_EQ(Px(picture, 3 + i, 3 + i), want.toUInt(nullptr, 16)) << 3 + i;
        }
    }
}

TEST_F(FlatTheme, AnswersItsValues) {
    EXPECT_TRUE(Theme().GetBooleanValue(dk::ValueJoinPopups));
    EXPECT_FALSE(Theme().GetBooleanValue(dk::ValueVisualStyleColors));
    EXPECT_EQ(Theme().GetPopupShadowStyle(), dk::PopupShadowOwnFramingItem);
    // A pop-up's hot row takes the hot fill; an idle one shows the view.
    EXPECT_EQ(Theme().GetItemBackColor(InState(ItemInfo(dk::ViewPopupMenu, 0), ItemState::Hot)),
              Rgb(0xB6BDD2));
    EXPECT_EQ(Theme().GetItemBackColor(ItemInfo(dk::ViewPopupMenu, 0)), Rgb(0xF9F8F7));
}

TEST_F(FlatTheme, FramesGoldenPicture) {
    const QImage image = PaintImage(148, 32, [&](QPainter& p) {
        PaintFrameSheet(Theme(), p, dk::CloseButtonHot);
        // A pop-up opened from the item above it, joined to it.
        dk::TDkxPopupInfo popup;
        popup.ViewKind = dk::ViewPopupMenu;
        popup.BorderSize = QPoint(2, 2);
        popup.ParentItemRect = TRect(114, 0, 122, 9);
        Theme().DrawPopupFrame(p, TRect(114, 8, 128, 22), popup);
        Theme().DrawStatusBarPart(p, TRect(130, 0, 148, 12), dk::StatusBarLastPanel);
        Theme().DrawStatusBarPart(p, TRect(130, 13, 148, 32), dk::StatusBarGrip);
    });
    EXPECT_TRUE(MatchesGolden(image, QStringLiteral(QV_TEST_DATA_DIR "/dockkit/flat-frames.txt")));
}

TEST(ImageEffectsAgain, FollowTheColourTableAndTheImageWhenDrawnOnceMore) {
    ImageList list(1, 1);
    QImage black(1, 1, QImage::Format_ARGB32);
    black.fill(Qt::black);
    list.Add(black);
    const auto washed = [&] {
        return Px(PaintImage(1, 1,
                             [&](QPainter& p) {
                                 dk::DrawImageWashed(p, TRect(0, 0, 1, 1), list, 178, clWindow, 0);
                             }),
                  0, 0);
    };
    EXPECT_EQ(washed(), 0x4C4C4Cu);
    EXPECT_EQ(washed(), 0x4C4C4Cu);
    SysColorTable desk = ClassicSysColors();
    desk[5] = Rgb(0x0000FF);
    {
        const ScopedSysColors scheme(&desk);
        EXPECT_EQ(washed(), 0x00004Cu) << "the window colour of the table in force";
    }
    QImage white(1, 1, QImage::Format_ARGB32);
    white.fill(Qt::white);
    list.Clear();
    list.Add(white);
    EXPECT_EQ(washed(), 0xFEFEFEu) << "the image now in the list";
}
