// The theme registry, the switch and its messages, the kit colours, the
// switcher, and the routines the themes share.
#include "DataRows.h"
#include "ThemeFixtures.h"

#include "dockkit/themes/DkSwitcher.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "PlatformFakes.h"

#include "platform/core/Exception.h"
#include "platform/gui/AccelText.h"

#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

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
