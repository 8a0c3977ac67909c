// What the program sets up around its kits before the main window: the
// effects kit's application object in place before the window exists and
// gone after the kits; the program's version answering the version items;
// the desktop settings of the user's store reaching the toolbar kit; the
// sound stop of wave data reaching the program's sound service; and the
// main window's handlers of the menu hint and the action updates.

#include "MainFormTestSupport.h"
#include "PlatformFakes.h"

#include "app/common/ProgramKits.h"
#include "app/dialogs/AboutForm.h"
#include "dockkit/common/DkCommon.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "effects/core/VfxSysInfo.h"
#include "effects/core/VfxWave.h"
#include "effects/gui/application/VfxApplication.h"
#include "effects/gui/controls/VfxInfoLabel.h"

#include <QAction>
#include <QCoreApplication>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace mainformtest {
namespace {

class ProgramStart : public MainFormTest {
protected:
    // A value in the user's store (where the program finds it at start).
    void Store(const QString& keyPath, const QString& name, const QString& value) {
        plat::Registry store(plat::Registry::DefaultFilePath());
        store.OpenKey(plat::Registry::KeyPath(keyPath), true)->WriteString(name, value);
        ASSERT_TRUE(store.Save());
    }
};

TEST_F(ProgramStart, TheEffectsKitIsInPlaceBeforeTheMainWindowAndGoesWithTheKits) {
    fx::VfxFinalize(); // whatever earlier tests started
    ASSERT_FALSE(fx::VfxInitialized());
    {
        const TProgramKits kits;
        ASSERT_TRUE(fx::VfxInitialized());
        EXPECT_EQ(TMainForm::Instance(), nullptr);
        fx::TVfxApplication* const started = &fx::VfxApplication();
        EXPECT_FALSE(started->PrevInstance());
        EXPECT_EQ(started->TimerPool().MinInterval(), fx::TVfxApplication::kMinInterval);
        EXPECT_FALSE(started->ThemesActive());
        Create();
        const TAboutForm about;
        // The window and its about box found the object the start made.
        EXPECT_EQ(&fx::VfxApplication(), started);
        EXPECT_EQ(started->FreeTimerSlots(), fx::TVfxApplication::kTimerSlots - 2);
        form.reset(); // the program's window goes before its kits
    }
    EXPECT_FALSE(fx::VfxInitialized());
}

TEST_F(ProgramStart, TheVersionItemsAnswerTheProgramsVersion) {
    // The test program is stamped 2.1.0.57 like a program file.
    const struct {
        fx::TVfxInfoType info;
        QString value;
    } rows[] = {
        {fx::itProgVersion, QStringLiteral("2.1.0.57")},
        {fx::itProgName, QCoreApplication::applicationName()},
        {fx::itProgCompany, QStringLiteral("ZELVO")},
        {fx::itProgCopyright, QString()},
        {fx::itProgTrademark, QString()},
        {fx::itProgDescription, QString()},
        {fx::itProgComments, QString()},
    };
    {
        const TProgramKits kits;
        for (const auto& row : rows) {
            EXPECT_EQ(fx::VfxGetInfo(row.info, 0, u""), row.value) << int(row.info);
        }
        fx::TVfxInformationLabel label;
        label.SetInfo(fx::itProgVersion);
        EXPECT_TRUE(label.GetLabelText().endsWith(QStringLiteral("\t2.1.0.57")))
            << label.GetLabelText().toStdString();
    }
    EXPECT_EQ(fx::VfxGetInfo(fx::itProgVersion, 0, u""), QString());

    // A file without a version note has no version; the names stay.
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    plain.write("not a program");
    plain.flush();
    const auto lookup = ProgramVersionLookup(plain.fileName());
    EXPECT_EQ(lookup(u"ProductVersion"), QString());
    EXPECT_EQ(lookup(u"CompanyName"), QStringLiteral("ZELVO"));
}

// The menu show delay and the menu sounds come from the user's store, where
// the desktop keeps them, while the kits are in force.
TEST_F(ProgramStart, TheDesktopSettingsOfTheUsersStoreReachTheToolbarKit) {
    Store(QStringLiteral("Control Panel\\Desktop"), QStringLiteral("MenuShowDelay"),
          QStringLiteral("150"));
    Store(QStringLiteral("AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current"), QString(),
          QStringLiteral("/sounds/popup.wav"));
    {
        const TProgramKits kits;
        EXPECT_EQ(dk::MenuShowDelayMs(), 150);
        EXPECT_TRUE(dk::SoundSchemeEntrySet(QStringLiteral("MenuPopup")));
        EXPECT_FALSE(dk::SoundSchemeEntrySet(QStringLiteral("MenuCommand")));
        FakeSoundService sounds;
        dk::PlaySchemeSound(QStringLiteral("MenuPopup"));
        EXPECT_EQ(sounds.Log, QStringList{QStringLiteral("play-unless-playing /sounds/popup.wav")});
    }
    EXPECT_EQ(dk::MenuShowDelayMs(), 400);
    EXPECT_FALSE(dk::SoundSchemeEntrySet(QStringLiteral("MenuPopup")));
}

TEST_F(ProgramStart, ReplacedWaveDataSilencesTheProgramsSoundService) {
    FakeSoundService sounds;
    fx::TVfxWave wave;
    {
        const TProgramKits kits;
        wave.SetData(QByteArray("first")); // nothing to silence yet
        EXPECT_TRUE(sounds.Log.isEmpty());
        wave.SetData(QByteArray("second"));
        wave.Clear();
        EXPECT_EQ(sounds.Log, (QStringList{QStringLiteral("stop"), QStringLiteral("stop")}));
        wave.SetData(QByteArray("third"));
    }
    sounds.Log.clear();
    wave.Clear(); // the kits are gone: nothing is hooked
    EXPECT_TRUE(sounds.Log.isEmpty());
}

// --- The main window's handlers of the toolbar kit ---------------------------------

TEST_F(MainFormTest, TheMenuHintShowsInTheStatusBarWhileTheMenusAreOpen) {
    Create();
    // The handler the window put in force, as the menu loop calls it.
    dk::MenuHintHandler installed = dk::SetMenuHintHandler({});
    dk::SetMenuHintHandler(installed);
    ASSERT_TRUE(installed);
    installed(QStringLiteral("Connects to the chat server"));
    EXPECT_EQ(form->StatusBar->Panels().Items(2)->Caption(),
              QStringLiteral("Connects to the chat server"));
    EXPECT_EQ(form->StatusBar->Panels().Items(0)->Caption(), QString());
    installed(QString());
    EXPECT_EQ(form->StatusBar->Panels().Items(2)->Caption(), QString());
    form.reset();
    installed = dk::SetMenuHintHandler({});
    EXPECT_FALSE(installed) << "the window took its handler back";
}

TEST_F(MainFormTest, ActionUpdatesRunTheWindowsUpdateHandlers) {
    Create();
    const dk::ActionUpdateHandler update = dk::CurrentActionUpdateHandler();
    ASSERT_NE(update, nullptr);
    // The view toggles' check marks follow their objects.
    form->StatusBar->setVisible(false);
    form->ViewStatusBarAction->setChecked(true);
    update(*form->ViewStatusBarAction);
    EXPECT_FALSE(form->ViewStatusBarAction->isChecked());
    // The away-messages action is on while the away log holds someone.
    form->AwayMessagesAction->setEnabled(true);
    update(*form->AwayMessagesAction);
    EXPECT_FALSE(form->AwayMessagesAction->isEnabled());
    form.reset();
    EXPECT_EQ(dk::CurrentActionUpdateHandler(), nullptr);
}

} // namespace
} // namespace mainformtest
