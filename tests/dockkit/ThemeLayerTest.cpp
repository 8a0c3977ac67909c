// The theme registry, the switch and its messages, the kit colours, the
// switcher, and the routines the themes share: colour arithmetic at its
// extremes and with the classic system colours; fills, frames, lines and image
// effects, painted into images and read back as letter pictures.

#include "dockkit/common/DkMessages.h"
#include "dockkit/themes/DkImageEffects.h"
#include "dockkit/themes/DkSwitcher.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "DataRows.h"
#include "GoldenPicture.h"
#include "KitThemeFixtures.h"
#include "PlatformFakes.h"
#include "ThemeFixtures.h"

#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/ImageList.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

using namespace plat;

namespace {

const QStringList kSwitchRound = {"W1:1257", "W2:1257", "L:1259", "W1:1258", "W2:1258"};

class ThemeSwitch : public ::testing::Test {
protected:
    ThemeSwitch() {
        nexus.RegisterTheme(QStringLiteral("Flat"), dk::ThemeClassOf<OtherRecordingTheme>());
        nexus.AddThemedWindow(&w1);
        nexus.AddThemedWindow(&w2);
        nexus.AddThemeListener(&l);
    }

    RecordingTheme& Current() { return static_cast<RecordingTheme&>(nexus.CurrentTheme()); }
    bool FlatSelected() { return dynamic_cast<OtherRecordingTheme*>(&Current()) != nullptr; }

    FakeSystemParameters desk;
    TDkxNexus nexus{dk::ThemeClassOf<RecordingTheme>()};
    QStringList log;
    MessageLogger w1{QStringLiteral("W1"), log};
    MessageLogger w2{QStringLiteral("W2"), log};
    MessageLogger l{QStringLiteral("L"), log};
};

} // namespace

TEST_F(ThemeSwitch, NamesAreFoundWithoutRegardToCaseAndUnknownOnesGiveTheFirst) {
    const std::pair<const char*, const char*> cases[] = {
        {"FLAT", "Flat"},
        {"", "Default"},
        {"flat", "Flat"},
        {"No such theme", "Default"},
    };
    for (const auto& [asked, selected] : cases) {
        nexus.SelectTheme(QString::fromLatin1(asked));
        EXPECT_EQ(nexus.GetCurrentThemeName(), QString::fromLatin1(selected)) << asked;
        EXPECT_EQ(FlatSelected(), QByteArray(selected) == "Flat") << asked;
    }
    // The last record of a name wins; names are cut to 255 characters.
    nexus.RegisterTheme(QStringLiteral("flat"), dk::ThemeClassOf<RecordingTheme>());
    nexus.SelectTheme(QStringLiteral("Flat"));
    EXPECT_EQ(nexus.GetCurrentThemeName(), u"flat"_qs);
    EXPECT_FALSE(FlatSelected());
    nexus.RegisterTheme(QString(300, u'x'), dk::ThemeClassOf<RecordingTheme>());
    EXPECT_EQ(nexus.RegisteredName(nexus.RegisteredCount() - 1), QString(255, u'x'));
}

TEST_F(ThemeSwitch, EverySwitchTellsWindowsAroundListenersInListOrder) {
    nexus.SelectTheme(QStringLiteral("flat"));
    EXPECT_EQ(log, kSwitchRound);
    // The same theme again: a new instance, prepared again, the same round.
    log.clear();
    const int serial = Current().Serial;
    const int prepared = RecordingTheme::Prepared;
    nexus.SelectTheme(QStringLiteral("Flat"));
    EXPECT_EQ(log, kSwitchRound);
    EXPECT_NE(Current().Serial, serial);
    EXPECT_EQ(RecordingTheme::Prepared, prepared + 1);
    EXPECT_EQ(Current().Name(), u"Flat"_qs);
}

TEST_F(ThemeSwitch, AThemeThatFailsToPrepareLeavesTheCurrentOneInPlace) {
    nexus.RegisterTheme(QStringLiteral("Broken"), dk::ThemeClassOf<FailingTheme>());
    nexus.RegisterTheme(QStringLiteral("Empty"), [] { return std::unique_ptr<TDkxTheme>(); });
    const int serial = Current().Serial;
    EXPECT_THROW(nexus.SelectTheme(QStringLiteral("Broken")), std::runtime_error);
    EXPECT_THROW(nexus.SelectTheme(QStringLiteral("Empty")), Exception);
    EXPECT_EQ(Current().Serial, serial);
    EXPECT_EQ(nexus.GetCurrentThemeName(), u"Default"_qs);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(ThemeSwitch, EachObjectHearsOnceAndLeaversAreSkipped) {
    nexus.AddThemeListener(&l);
    nexus.AddThemedWindow(&w1);
    nexus.AddThemedWindow(nullptr);
    {
        MessageLogger gone(QStringLiteral("G"), log);
        nexus.AddThemedWindow(&gone);
    }
    // W1 takes W2 off the list while the round is under way.
    w1.OnMessage = [&](KitMessageEvent& m) {
        if (m.Msg() == dk::kThemeChangingMessage) {
            nexus.RemoveThemedWindow(&w2);
        }
    };
    nexus.SelectTheme(QStringLiteral("Flat"));
    EXPECT_EQ(log, QStringList({"W1:1257", "L:1259", "W1:1258"}));
    log.clear();
    nexus.RemoveThemeListener(&l);
    nexus.RemoveThemeListener(&l);
    nexus.SelectTheme(QStringLiteral("Flat"));
    EXPECT_EQ(log, QStringList({"W1:1257", "W1:1258"}));
}

TEST_F(ThemeSwitch, SettingsRecomputeTheColoursAndReselectTheTheme) {
    nexus.SelectTheme(QStringLiteral("Flat"));
    log.clear();
    // The same menu style still recomputes and reselects.
    nexus.SetFlatMenuStyle(fmsAuto);
    EXPECT_EQ(log, QStringList({"L:1260"}) + kSwitchRound);
    EXPECT_TRUE(FlatSelected());
    // Visual styles: the same value does nothing; without them on the desk
    // another value is only stored.
    log.clear();
    nexus.SetEnableXPStyles(true);
    nexus.SetEnableXPStyles(false);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_FALSE(nexus.EnableXPStyles());
}

TEST_F(ThemeSwitch, KitColoursStartClassicAndFollowTheMenuStyleAndTheDesk) {
    EXPECT_EQ(&dk::KitValues(), &nexus.Values());
    const std::map<QString, TFlatMenuStyle> styles{
        {"auto", fmsAuto}, {"enable", fmsEnable}, {"disable", fmsDisable}};
    const std::map<QString, TColor> colours{{"menu", clMenu},     {"menu-text", clMenuText},
                                            {"window", clWindow}, {"window-text", clWindowText},
                                            {"face", clBtnFace},  {"face-text", clBtnText}};
    for (const QStringList& row : DataRows("kit-colours.txt", 4)) {
        SCOPED_ROW(row);
        desk.Answers.FlatMenus = row[0] == "1";
        nexus.SetFlatMenuStyle(styles.at(row[1]));
        const dk::TDkxKitValues& v = nexus.Values();
        EXPECT_EQ(v.FlatMenus, row[2] == "1");
        EXPECT_EQ(v.MenuColor, colours.at(row[3].section(u' ', 0, 0)));
        EXPECT_EQ(v.MenuTextColor, colours.at(row[3].section(u' ', 1, 1)));
        EXPECT_EQ(v.ToolbarColor, clBtnFace);
        EXPECT_EQ(v.ToolbarTextColor, clBtnText);
    }
}

TEST_F(ThemeSwitch, WindowsSeeTheNewKitColoursWhenTheThemeChanges) {
    // The desk turns flat menus on: windows recomputing their colours on the
    // change message must already read the new menu colours.
    bool flatAtChange = false;
    w1.OnMessage = [&](KitMessageEvent& m) {
        if (m.Msg() == dk::kThemeChangedMessage) {
            flatAtChange = dk::KitValues().FlatMenus;
        }
    };
    nexus.SelectTheme(QStringLiteral("Flat"));
    log.clear();
    desk.Answers.FlatMenus = true;
    nexus.SysColorChanged();
    EXPECT_TRUE(flatAtChange);
    EXPECT_EQ(log, kSwitchRound + QStringList({"L:1260"}));
    EXPECT_TRUE(FlatSelected());
    log.clear();
    nexus.VisualStyleChanged();
    EXPECT_EQ(log, kSwitchRound + QStringList({"L:1260"}));
}

// The desk's changes reach the nexus by themselves: a new application palette
// (the system colours), a screen with a new geometry (the display), and a new
// platform theme (the visual style: once, however many windows hear of it).
TEST_F(ThemeSwitch, TheDesksChangesReachTheNexus) {
    const QPalette original = QGuiApplication::palette();
    QWidget one;
    QWidget two;
    const struct {
        const char* what;
        std::function<void()> change;
    } rows[] = {
        {"palette",
         [] {
             QPalette changed = QGuiApplication::palette();
             changed.setColor(QPalette::Window, Qt::red);
             QApplication::setPalette(changed);
         }},
        {"screen",
         [] {
             QScreen* screen = QGuiApplication::primaryScreen();
             Q_EMIT screen->geometryChanged(screen->geometry());
         }},
        {"theme",
         [&one, &two] {
             QEvent first(QEvent::ThemeChange);
             QCoreApplication::sendEvent(&one, &first);
             QEvent second(QEvent::ThemeChange);
             QCoreApplication::sendEvent(&two, &second);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        log.clear();
        row.change();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(log, kSwitchRound + QStringList({"L:1260"}));
    }
    QApplication::setPalette(original);
}

TEST_F(ThemeSwitch, ASwitchBuildsTheDrawingResourcesBeforeTheNewTheme) {
    int generationAtCreation = -1;
    nexus.RegisterTheme(QStringLiteral("Probe"), [&] {
        generationAtCreation = dk::DrawingResourcesGeneration();
        return std::unique_ptr<TDkxTheme>(std::make_unique<RecordingTheme>());
    });
    const int before = dk::DrawingResourcesGeneration();
    nexus.SelectTheme(QStringLiteral("Probe"));
    EXPECT_EQ(generationAtCreation, before + 1);
    EXPECT_TRUE(dk::SmallCaptionFont().bold());
}

TEST_F(ThemeSwitch, TheSwitcherSelectsByNameAndRelaysTheListenerMessages) {
    TDkxSwitcher switcher;
    std::vector<QObject*> themeChanges;
    std::vector<QObject*> colourChanges;
    switcher.OnThemeChange = [&](QObject* sender) { themeChanges.push_back(sender); };
    switcher.OnSysColorChange = [&](QObject* sender) { colourChanges.push_back(sender); };
    switcher.SetTheme(QStringLiteral("FLAT"));
    EXPECT_EQ(switcher.Theme(), u"Flat"_qs);
    EXPECT_EQ(themeChanges, std::vector<QObject*>{&switcher});
    EXPECT_TRUE(colourChanges.empty());
    switcher.SetFlatMenuStyle(fmsEnable);
    EXPECT_EQ(switcher.FlatMenuStyle(), fmsEnable);
    EXPECT_EQ(colourChanges, std::vector<QObject*>{&switcher});
    EXPECT_EQ(themeChanges.size(), 2u);
    log.clear();
    switcher.SetEnableXPStyles(true);
    EXPECT_TRUE(switcher.EnableXPStyles());
    EXPECT_TRUE(log.isEmpty());
}

TEST(ThemeNexus, WithoutANexusThemesCannotBeAskedButValuesAndRemovalsAreSafe) {
    ASSERT_EQ(TDkxNexus::Instance(), nullptr);
    try {
        dk::CurrentTheme();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "No theme nexus is in force");
    }
    EXPECT_EQ(dk::KitValues().MenuColor, clMenu);
    QObject object;
    dk::RemoveThemedWindow(&object);
    dk::RemoveThemeListener(&object);
    // An inner nexus gives way to the outer one.
    TDkxNexus outer(dk::ThemeClassOf<RecordingTheme>());
    {
        TDkxNexus inner(dk::ThemeClassOf<OtherRecordingTheme>());
        EXPECT_NE(dynamic_cast<OtherRecordingTheme*>(&dk::CurrentTheme()), nullptr);
    }
    EXPECT_EQ(TDkxNexus::Instance(), &outer);
    EXPECT_EQ(dynamic_cast<OtherRecordingTheme*>(&dk::CurrentTheme()), nullptr);
    // A nexus whose default theme fails never comes into force.
    EXPECT_THROW(TDkxNexus(dk::ThemeClassOf<FailingTheme>()), std::runtime_error);
    EXPECT_EQ(TDkxNexus::Instance(), &outer);
}

// --- Shared routines ---------------------------------------------------------------------

TEST(ThemeRoutines, PanelCaptionsAndImagesGoThroughTheCurrentTheme) {
    TDkxNexus nexus(dk::ThemeClassOf<RecordingTheme>());
    auto& theme = static_cast<RecordingTheme&>(nexus.CurrentTheme());
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    dk::DrawPanelCaption(painter, TRect(1, 2, 9, 8), QStringLiteral("Ready"),
                         dk::PanelDisabled | dk::PanelHot, DT_SINGLELINE);
    EXPECT_EQ(theme.Calls.last(), QStringLiteral("caption Ready %1 0").arg(DT_SINGLELINE));
    EXPECT_EQ(theme.LastRect, TRect(1, 2, 9, 8));
    EXPECT_EQ(theme.Last.ItemOptions, dk::ItemToolbarStyle);
    EXPECT_EQ(dk::ItemStateFlags(theme.Last), dk::ItemStateDisabled | dk::ItemStateHot);
    // A disabled or selected caption counts as a panel's.
    const std::pair<unsigned, unsigned> kinds[] = {{dk::PanelDisabled, dk::ViewPanelClass},
                                                   {dk::PanelSelected, dk::ViewPanelClass},
                                                   {dk::PanelPushed, dk::ViewToolbarClass},
                                                   {0, dk::ViewToolbarClass}};
    for (const auto& [flags, kind] : kinds) {
        dk::DrawPanelCaption(painter, TRect(), QString(), flags, 0);
        EXPECT_EQ(theme.Last.ViewKind, kind) << flags;
    }
    dk::DrawPanelImage(painter, TRect(0, 0, 16, 16), nullptr, 3,
                       dk::PanelSelected | dk::PanelDisabled);
    EXPECT_EQ(theme.Calls.last(), u"image 3"_qs);
    // The image keeps the tool bar kind whatever its state.
    EXPECT_EQ(theme.Last.ViewKind, dk::ViewToolbarClass);
    EXPECT_EQ(dk::ItemStateFlags(theme.Last), dk::ItemStateDisabled | dk::ItemStateSelected);
}

// --- Colour arithmetic and drawing routines ----------------------------------------------------

namespace {

// A 4 x 2 image list: white, black, grey, red on the top row, the bottom row
// transparent.
class EffectImages {
public:
    EffectImages() : list_(4, 2) {
        QImage image(4, 2, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const QRgb top[] = {0xFFFFFFFF, 0xFF000000, 0xFF808080, 0xFFFF0000};
        for (int x = 0; x < 4; ++x) {
            image.setPixel(x, 0, top[x]);
        }
        list_.Add(image);
    }
    const ImageList& List() const { return list_; }

private:
    ImageList list_;
};

// A colour of colour-mixing.txt.
TColor ColorOf(const QString& field) {
    const std::map<QString, TColor> system{
        {"face", clBtnFace}, {"window", clWindow}, {"text", clBtnText}, {"highlight", clHighlight}};
    return system.count(field) != 0 ? system.at(field) : Rgb(field.toUInt(nullptr, 16));
}

} // namespace

TEST(ThemeFills, FillsFramesAndLineFramesCoverTheirExactPixels) {
    const QImage image = PaintImage(14, 5, [](QPainter& p) {
        EXPECT_TRUE(dk::FillRectColor(p, TRect(0, 0, 3, 2), clBtnShadow));
        TRect frame(4, 0, 8, 5);
        EXPECT_TRUE(dk::FrameRectColor(p, frame, clHighlight, true));
        EXPECT_EQ(frame, TRect(5, 1, 7, 4));
        TRect lines(9, 0, 14, 5);
        dk::DrawLineFrame(p, lines, clBtnShadow, clBtnHighlight);
        EXPECT_EQ(lines, TRect(10, 1, 13, 4));
        // Degenerate frames: one row, one column.
        TRect row(0, 3, 3, 4);
        dk::FrameRectColor(p, row, clBlack, false);
        TRect column(2, 4, 3, 5);
        dk::FrameRectColor(p, column, cl3DDkShadow, false);
        // No colour draws nothing, and the frame still shrinks; the desk has
        // no brush for system colour 25: nothing drawn, yet "drawn".
        EXPECT_FALSE(dk::FillRectColor(p, TRect(0, 0, 14, 5), clNone));
        TRect none(0, 0, 14, 5);
        EXPECT_FALSE(dk::FrameRectColor(p, none, clNone, true));
        EXPECT_EQ(none, TRect(1, 1, 13, 4));
        EXPECT_TRUE(dk::FillRectColor(p, TRect(0, 0, 14, 5), MakeSysColor(25)));
    });
    EXPECT_EQ(Picture(image),
              "GGG.HHHH.GGGGW/GGG.H..H.G...W/....H..H.G...W/KKK.H..H.G...W/..D.HHHH.WWWWW");
}

TEST(ThemeFills, DitheringFollowsTheBrushOrigin) {
    // A painter moved by one pixel keeps the phase of its own coordinates;
    // setting the brush origin to the window's origin restores the window's.
    for (const bool anchored : {false, true}) {
        const QImage image = PaintImage(4, 2, [&](QPainter& p) {
            p.translate(1, 0);
            if (anchored) {
                p.setBrushOrigin(-1, 0);
            }
            dk::FillDithered(p, TRect(0, 0, 3, 2), clBtnFace, clBtnHighlight);
        });
        EXPECT_EQ(Picture(image), anchored ? ".WFW/.FWF" : ".FWF/.WFW");
    }
}

// --- Image effects ---------------------------------------------------------------------

enum class Effect { Washed, HighContrast, Plain, Shadow, LightShadow, Monochrome };

void DrawEffect(Effect effect, QPainter& p, const TRect& r, const ImageList& l, int index = 0) {
    switch (effect) {
    case Effect::Washed:
        return dk::DrawImageWashed(p, r, l, 178, clWindow, index);
    case Effect::HighContrast:
    case Effect::Plain:
        return dk::DrawImageHighContrast(p, r, l, effect == Effect::HighContrast, index);
    case Effect::Shadow:
    case Effect::LightShadow:
        return dk::DrawImageShadow(p, r, l, effect == Effect::LightShadow, index);
    case Effect::Monochrome:
        return dk::DrawImageMonochrome(p, r, l, clBtnShadow, index);
    }
}

TEST(ThemeDraw, EffectsDrawNothingForAnEmptyAreaOrAMissingImage) {
    const EffectImages images;
    const QImage image = PaintImage(6, 3, [&](QPainter& p) {
        for (const Effect effect :
             {Effect::Washed, Effect::HighContrast, Effect::Shadow, Effect::Monochrome}) {
            for (const TRect& r : {TRect(0, 0, 0, 3), TRect(2, 2, 6, 2), TRect(3, 3, 1, 1)}) {
                DrawEffect(effect, p, r, images.List());
            }
            DrawEffect(effect, p, TRect(0, 0, 6, 3), images.List(), -1);
            DrawEffect(effect, p, TRect(0, 0, 6, 3), images.List(), 1);
        }
    });
    EXPECT_EQ(Picture(image), "....../....../......");
}

TEST(ThemeDraw, AMovedPainterReadsTheBackgroundWhereItDraws) {
    const EffectImages images;
    const auto draw = [&](int dx, int dy) {
        QImage image(8, 4, QImage::Format_RGB32);
        QPainter p(&image);
        dk::FillDithered(p, TRect(0, 0, 8, 4), clBtnFace, clHighlight);
        p.translate(dx, dy);
        dk::DrawImageShadow(p, TRect(3 - dx, 1 - dy, 8, 4), images.List(), false, 0);
        return image;
    };
    const QImage direct = draw(0, 0);
    EXPECT_EQ(Px(direct, 3, 1), 0xD2CEC6u);
    EXPECT_EQ(Px(direct, 4, 1), 0x061746u); // black over the highlight
    EXPECT_EQ(draw(1, 0), direct);
    EXPECT_EQ(draw(2, 1), direct);
}

TEST(ThemeDraw, ShadowOnAnUnreadableDeviceDarkensAlike) {
    // On a picture recorder the background cannot be read: black laid on
    // with the opacity 1 - F / 256 gives the same result within rounding.
    const EffectImages images;
    QImage direct(4, 1, QImage::Format_RGB32);
    direct.fill(0xFFD4D0C8);
    QImage viaScaled(8, 2, QImage::Format_RGB32);
    viaScaled.fill(0xFFD4D0C8);
    {
        QPainter p(&direct);
        dk::DrawImageShadow(p, TRect(0, 0, 4, 1), images.List(), false, 0);
    }
    {
        // A scaled painter cannot map pixels one to one either.
        QPainter p(&viaScaled);
        p.scale(2, 2);
        dk::DrawImageShadow(p, TRect(0, 0, 4, 1), images.List(), false, 0);
    }
    for (int x = 0; x < 4; ++x) {
        const QColor want = direct.pixelColor(x, 0);
        const QColor got = viaScaled.pixelColor(2 * x, 0);
        EXPECT_NEAR(got.red(), want.red(), 2) << x;
        EXPECT_NEAR(got.green(), want.green(), 2) << x;
        EXPECT_NEAR(got.blue(), want.blue(), 2) << x;
    }
}

TEST(ThemeDraw, EffectSheetMatchesItsGoldenPicture) {
    // Every effect over a checker of two backgrounds, on an icon with
    // partly transparent pixels: one picture that any change to the pixel
    // arithmetic shows up in. Each effect is given a rectangle a pixel wider
    // and taller than the icon: only the icon-sized corner may change.
    ImageList list(6, 6);
    QImage icon(6, 6, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int i = 0; i < 6; ++i) {
        icon.setPixel(i, i, 0xFF000080);
        icon.setPixel(5 - i, i, 0xFFC0C0C0);
        icon.setPixel(i, 2, 0xFFFFFF00);
    }
    icon.setPixel(0, 5, 0x80FF0000);
    list.Add(icon);
    const QImage sheet = PaintImage(42, 8, [&](QPainter& p) {
        dk::FillDithered(p, TRect(0, 0, 42, 8), clBtnFace, clHighlight);
        const auto at = [](int n) { return TRect(1 + 7 * n, 1, 8 + 7 * n, 8); };
        dk::DrawImageHighContrast(p, at(0), list, false, 0);
        dk::DrawImageHighContrast(p, at(1), list, true, 0);
        dk::DrawImageWashed(p, at(2), list, 178, clWindow, 0);
        dk::DrawImageShadow(p, at(3), list, false, 0);
        dk::DrawImageShadow(p, at(4), list, true, 0);
        dk::DrawImageMonochrome(p, at(5), list, clHighlight, 0);
    });
    EXPECT_TRUE(MatchesGolden(sheet, QStringLiteral(QV_TEST_DATA_DIR "/dockkit/effect-sheet.txt")));
}

// --- Colour arithmetic -------------------------------------------------------------------

TEST(ThemeColors, MixShiftAndContrastAsTheRowsSay) {
    for (const QStringList& row : DataRows("colour-mixing.txt", 5)) {
        SCOPED_ROW(row);
        const TColor a = ColorOf(row[1]);
        const int n = row[3].toInt();
        const TColor expected = ColorOf(row[4]);
        if (row[0] == "blend") {
            EXPECT_EQ(dk::BlendColors(a, ColorOf(row[2]), n), expected);
            EXPECT_EQ(dk::BlendColorsNearest(a, ColorOf(row[2]), n), expected);
        } else if (row[0] == "scaled") {
            EXPECT_EQ(dk::MixColorsScaled(a, ColorOf(row[2]), n), expected);
        } else if (row[0] == "shift") {
            EXPECT_EQ(dk::ShiftColor(a, n), expected);
        } else {
            TColor color = a;
            dk::EnsureContrast(color, ColorOf(row[2]), n);
            EXPECT_EQ(color, expected);
        }
    }
}

TEST(ThemeColors, AWeightBeyondAByteIsReportedAndTakenAsTheNearestEnd) {
    std::vector<std::string> reports;
    {
        const ScopedExceptionHandler scope(
            [&](const std::exception& e) { reports.emplace_back(e.what()); });
        EXPECT_EQ(dk::BlendColors(clWhite, clBlack, 256), Rgb(0xFEFEFE));
        EXPECT_EQ(dk::BlendColors(clWhite, clBlack, -5), Rgb(0x000000));
    }
    EXPECT_EQ(reports, (std::vector<std::string>{"Assertion failure", "Assertion failure"}));
}

TEST(ThemeColors, LuminanceDarknessAndDistanceWorkOnResolvedChannels) {
    EXPECT_EQ(dk::ColorLuminance(clBtnFace), 208);
    EXPECT_EQ(dk::ColorLuminance(clHighlight), 35);
    EXPECT_FALSE(dk::IsDarkColor(Rgb(0x646464), 100));
    EXPECT_TRUE(dk::IsDarkColor(Rgb(0x636363), 100));
    EXPECT_TRUE(dk::IsDarkColor(clHighlight, 100));
    EXPECT_EQ(dk::SwapRedBlue(0x00112233), 0x00332211);
    EXPECT_NEAR(dk::ColorDistance(clWhite, clBlack), 440.851f, 0.001f);
    EXPECT_NEAR(dk::ColorDistance(Rgb(0xB6BDD2), Rgb(0xDBD8D1)), 50.058f, 0.001f);
    EXPECT_FLOAT_EQ(dk::ColorDistance(clBtnFace, Rgb(0xD4D0C8)), 0.0f);
}

TEST(ThemeColors, TheContrastStepFallsBackToTheNearestPointOfTheLine) {
    using V = std::array<float, 3>;
    const auto expectNear = [](const V& got, const V& want) {
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(got[i]));
            EXPECT_NEAR(got[i], want[i], 0.01f) << i;
        }
    };
    // The point at distance 20 from b, towards the origin.
    expectNear(dk::ContrastPoint({100, 0, 0}, {50, 10, 0}, 20), {50 - std::sqrt(300.0f), 0, 0});
    // The line passes 60 from b, or just out of reach as rounding can leave
    // it: the projection is the nearest point.
    expectNear(dk::ContrastPoint({100, 0, 0}, {50, 60, 0}, 10), {50, 0, 0});
    expectNear(dk::ContrastPoint({100, 0, 0}, {50, 10.0001f, 0}, 10), {50, 0, 0});
    // A colour at the origin has no direction: it stays there.
    expectNear(dk::ContrastPoint({0, 0, 0}, {5, 5, 5}, 100), {0, 0, 0});
}
