// The Flat theme: its colour cache on the classic desk and on a low-colour
// display, the state tables, its button faces and check mark, its images per
// state, the shared glyph strip, and its frames as a golden picture.
#include "DataRows.h"
#include "KitThemeFixtures.h"

#include "GoldenPicture.h"

#include "dockkit/themes/DkDefaultTheme.h"
#include "dockkit/themes/DkFlatTheme.h"
#include "dockkit/themes/DkImageEffects.h"

#include "platform/gui/ImageList.h"

#include <gtest/gtest.h>

using namespace plat;
using dk::TDkxItemInfo;

namespace {

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

TEST_F(FlatTheme, MixesItsColourCacheFromTheClassicDesk) {
    const std::pair<int, uint32_t> entries[] = {
        {1, 0xDBD8D1},  {2, 0xF9F8F7},  {4, 0x666666},  {5, 0x6D6D6D},  {10, 0x8B8B8B},
        {53, 0xA0A0A0}, {54, 0xA6A6A6}, {56, 0x898E9E}, {57, 0xE4E2DD},
    };
    for (const auto& [index, rgb] : entries) {
        EXPECT_EQ(Entry(index), Rgb(rgb)) << index;
    }
    const TColor none = clNone;
    const dk::FlatStateColors toolbar[] = {
        {none, Rgb(0x000000), none},
        {none, Rgb(0x8D8D8D), none},
        {Rgb(0xD4D4D8), Rgb(0x000000), Rgb(0x0A246A)},
        {Rgb(0x8592B5), Rgb(0xFFFFFF), Rgb(0x0A246A)},
        {Rgb(0xB6BDD2), Rgb(0x000000), Rgb(0x0A246A)},
        {Rgb(0xB6BDD2), Rgb(0x8D8D8D), Rgb(0x0A246A)},
        {Rgb(0x8592B5), Rgb(0xFFFFFF), Rgb(0x0A246A)},
        // The drop-down-open state fills with the tool bar's colour and frames
        // in the pop-up frame's.
        {Rgb(0xDBD8D1), Rgb(0x000000), Rgb(0x666666)},
    };
    for (int state = 0; state < 8; ++state) {
        EXPECT_EQ(ToolbarState(state), toolbar[state]) << "tool bar state " << state;
    }
    const dk::FlatStateColors menu[] = {
        {none, Rgb(0x000000), none},
        {none, Rgb(0xA6A6A6), none},
        toolbar[dk::ftsHot],
        {Rgb(0xF9F8F7), Rgb(0xA6A6A6), Rgb(0x0A246A)},
    };
    for (int state = 0; state < 4; ++state) {
        EXPECT_EQ(MenuState(state), menu[state]) << "menu state " << state;
    }

    const std::pair<unsigned, TColor> backs[] = {
        {dk::ViewToolbar, Rgb(0xDBD8D1)},
        {dk::ViewMenuBar, Rgb(0xD4D0C8)},
        {dk::ViewPopupMenu, Rgb(0xF9F8F7)},
        {dk::ViewEditPopup, clWindow},
        {dk::ViewChevronPopup, Rgb(0xF9F8F7)},
        {dk::ViewDockPanel, Rgb(0xF9F8F7)},
        {0, clBtnFace},
    };
    for (const auto& [kind, color] : backs) {
        EXPECT_EQ(Theme().GetViewBackColor(kind), color) << std::hex << kind;
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
