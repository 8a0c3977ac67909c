// The options dialog: pages shown lazily, each loaded from the settings and
// written back by OK, which has the main window apply them; nothing changed
// by Cancel.
#include "MainFormTestSupport.h"

#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "console/QvConsole.h"
#include "engine/DimensionList.h"
#include "platform/core/Clock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

namespace mainformtest {
namespace {

const char* const kPages[] = {"Connection",    "Logging",        "Away Options",
                              "Audio Options", "Fonts & Colors", "Chat Window"};

// Closing frees the dialog once the deferred deletes run.
void Press(QPushButton* button) {
    button->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <typename Page>
Page& Show(TOptionsForm& options, const char* caption) {
    options.OptionsTreeView->setCurrentItem(options.FindNode(QString::fromLatin1(caption)));
    auto* page = options.FindFrame<Page>();
    EXPECT_NE(page, nullptr);
    return *page;
}

// The dialog on settings of its own; what OK applies is recorded.
class OptionsPagesTest : public ::testing::Test {
protected:
    void TearDown() override {
        delete dialog.data();
        options::ResetChoosers();
    }
    TOptionsForm& Open() {
        delete dialog.data();
        dialog = new TOptionsForm(
            TOptionsContext{settings, logins, dimensions,
                            [this](const TSettingsChange& c) { applied.push_back(c); }},
            nullptr);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        return *dialog;
    }
    TOptionsForm& OpenAll() {
        TOptionsForm& options = Open();
        for (const char* page : kPages) {
            Show<TOptionBaseFrame>(options, page);
        }
        return options;
    }

    TMainSettings settings;
    TLogins logins;
    TDimensionList dimensions{nullptr};
    std::vector<TSettingsChange> applied;
    QPointer<TOptionsForm> dialog;
};

TEST_F(OptionsPagesTest, EachPageIsCreatedOnceWhenItsNodeIsSelected) {
    TOptionsForm& options = Open();
    EXPECT_EQ(options.windowTitle(), QStringLiteral("ZELVO Options"));
    EXPECT_EQ(options.CaptionLabel->text(), QStringLiteral("Connection..."));
    for (int row = 0; row < TOptionsForm::kPageCount; ++row) {
        EXPECT_EQ(options.Frame(row) != nullptr, row == 0) << row;
    }
    // Captions match ignoring ASCII case; top nodes have no page.
    QTreeWidgetItem top(QStringList{QStringLiteral("gENERAL sETTINGS")});
    auto* child = new QTreeWidgetItem(&top, QStringList{QStringLiteral("AUDIO options")});
    EXPECT_EQ(options.FindPage(child), 3);
    EXPECT_EQ(options.FindPage(&top), -1);
    child->setText(0, QStringLiteral("Chat Window")); // under the wrong top node
    EXPECT_EQ(options.FindPage(child), -1);
    options.OptionsTreeView->setCurrentItem(options.FindNode(QStringLiteral("Visual Settings")));
    EXPECT_TRUE(options.Frame(0)->isVisibleTo(&options));

    auto& chat = Show<TChatWindowFrame>(options, "Chat Window");
    EXPECT_EQ(options.CaptionLabel->text(), QStringLiteral("Chat Window..."));
    EXPECT_FALSE(options.Frame(0)->isVisibleTo(&options));
    // Showing a page again neither recreates nor reloads it.
    chat.TimestampEdit->setText(QStringLiteral("edited"));
    Show<TAutoConnectFrame>(options, "Connection");
    EXPECT_EQ(&Show<TChatWindowFrame>(options, "Chat Window"), &chat);
    EXPECT_EQ(chat.TimestampEdit->text(), QStringLiteral("edited"));
}

TEST_F(OptionsPagesTest, EveryPageSavesWhatItLoaded) {
    settings = ChangedSettings();
    const TMainSettings loaded = settings;
    Press(OpenAll().OkButton);
    EXPECT_EQ(settings, loaded);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].Previous, loaded);
    EXPECT_TRUE(applied[0].RestartAutoAway); // the away page was saved
    // Back to the defaults, as the pages show them.
    settings = TMainSettings();
    Press(OpenAll().OkButton);
    EXPECT_EQ(settings, TMainSettings());
}

TEST_F(OptionsPagesTest, CancelChangesNothingAndOkOnlyWhatWasShown) {
    options::Choosers().Font = [](QWidget*, const QFont&) { return QFont("Serif"); };
    options::Choosers().Color = [](QWidget*, const QColor&) { return QColor(10, 20, 30); };
    TOptionsForm& options = OpenAll();
    options.FindFrame<TAutoConnectFrame>()->NothingRadioButton->setChecked(true);
    options.FindFrame<TLoggingFrame>()->LoggingCheckbox->setChecked(true);
    options.FindFrame<TFontsFrame>()->FontButtonClick(TFontsFrame::frChat);
    options.FindFrame<TFontsFrame>()->ColorButtonClick(TFontsFrame::frChat);
    options.FindFrame<TChatWindowFrame>()->SpacingEdit->setValue(40);
    Press(options.CancelButton);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(settings, TMainSettings());
    EXPECT_TRUE(applied.empty());

    Show<TAutoConnectFrame>(Open(), "Connection").NothingRadioButton->setChecked(true);
    Press(dialog->OkButton);
    TMainSettings expected;
    expected.OnStartup = 0;
    EXPECT_EQ(settings, expected);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_FALSE(applied[0].RestartAutoAway); // the away page was never shown
}

TEST_F(OptionsPagesTest, ConnectionPageLoadsAndSavesTheStartupChoice) {
    settings.OnStartup = 2;
    settings.AutoLoginDimension = QStringLiteral("vassa");
    settings.LastUser = QStringLiteral("bob");
    logins.SetLoginPassword(QStringLiteral("Bob"), QStringLiteral("secret"));
    logins.SetLoginPassword(QStringLiteral("Carol"), QStringLiteral("x"));
    auto& page = Show<TAutoConnectFrame>(Open(), "Connection");
    EXPECT_EQ(page.UserCombobox->count(), 2);
    // No stored automatic login: the last user with that user's password.
    EXPECT_EQ(page.UserCombobox->currentText() + u'|' + page.PasswordEdit->text(), "bob|secret");
    EXPECT_EQ(page.DimensionCombobox->currentText(), QStringLiteral("Vassa"));
    EXPECT_TRUE(page.DimensionCombobox->isEnabled());
    EXPECT_FALSE(page.TimesEdit->isEnabled());
    page.ReconnectCheckBox->setChecked(true);
    EXPECT_TRUE(page.TimesEdit->isEnabled());
    page.TimesEdit->setValue(5); // within the spins' ranges
    page.DelayEdit->setValue(500);
    page.SaveSettings();
    EXPECT_EQ(settings.AutoLoginDimension + u'|' + settings.AutoLoginUser, "Vassa|bob");
    EXPECT_EQ(settings.ReconnectTimes, 10);
    EXPECT_EQ(settings.ReconnectDelay, 120);

    // The dialog or nothing chosen: the account keeps its stored values.
    page.DialogRadioButton->setChecked(true);
    EXPECT_FALSE(page.UserCombobox->isEnabled());
    page.UserCombobox->setEditText(QStringLiteral("Other"));
    page.SaveSettings();
    EXPECT_EQ(settings.OnStartup, 1);
    EXPECT_EQ(settings.AutoLoginUser, QStringLiteral("bob"));
    // No dimension to choose stores none.
    dimensions.Clear();
    page.LoadSettings();
    page.LoginRadioButton->setChecked(true);
    page.SaveSettings();
    EXPECT_EQ(settings.OnStartup, 2);
    EXPECT_EQ(settings.AutoLoginDimension, QString());
}

TEST_F(OptionsPagesTest, SwitchesEnableTheirControlsAndColoursComeFromTheDialog) {
    QColor initial(1, 2, 3);
    options::Choosers().Color = [&](QWidget*, const QColor& start) {
        initial = start;
        return QColor(0xAA, 0xBB, 0xCC);
    };
    TOptionsForm& options = OpenAll();
    const auto follows = [](QAbstractButton* button, QWidget* control) {
        button->setChecked(false);
        const bool off = control->isEnabled();
        button->setChecked(true);
        return !off && control->isEnabled();
    };
    auto* logging = options.FindFrame<TLoggingFrame>();
    EXPECT_TRUE(follows(logging->LoggingCheckbox, logging->LogListBox));
    auto* away = options.FindFrame<TAwayOptionsFrame>();
    EXPECT_TRUE(follows(away->AutoAwayCheckbox, away->MessageEdit));
    auto* sounds = options.FindFrame<TSoundsFrame>();
    EXPECT_TRUE(follows(sounds->SoundsCheckbox, sounds->BrowseButton));
    auto* chat = options.FindFrame<TChatWindowFrame>();
    EXPECT_TRUE(follows(chat->TimestampCheckbox, chat->ColorButton));
    EXPECT_EQ(chat->TimestampColor(), 0x808080);
    chat->ColorButtonClick();
    EXPECT_FALSE(initial.isValid()); // the dialog does not start from the colour
    auto* fonts = options.FindFrame<TFontsFrame>();
    fonts->ColorButtonClick(TFontsFrame::frInput);
    EXPECT_EQ(initial, plat::ToQColor(plat::clWindow)); // this one does
    Press(options.OkButton);
    EXPECT_EQ(settings.TimestampColor, 0xCCBBAA);
    EXPECT_EQ(settings.InputEdit.Color, 0xCCBBAA);
}

TEST_F(OptionsPagesTest, BrowsingStartsInAnExistingFolderAndEndsTheChoiceWithASlash) {
    QTemporaryDir folder;
    QStringList asked;
    std::optional<QString> answer = QStringLiteral("/chosen/dir");
    options::Choosers().Folder = [&](QWidget*, const QString& title, const QString& start) {
        asked << title << start;
        return answer;
    };
    TOptionsForm& options = OpenAll();
    auto* sounds = options.FindFrame<TSoundsFrame>();
    sounds->FolderEdit->setText(folder.path());
    sounds->BrowseButtonClick();
    EXPECT_EQ(sounds->FolderEdit->text(), QStringLiteral("/chosen/dir/"));
    // A folder that does not exist is not a start; Cancel keeps the text.
    answer.reset();
    auto* logging = options.FindFrame<TLoggingFrame>();
    logging->FolderEdit->setText(QStringLiteral("/no/such/folder/"));
    logging->BrowseButtonClick();
    EXPECT_EQ(logging->FolderEdit->text(), QStringLiteral("/no/such/folder/"));
    EXPECT_EQ(asked, QStringList({"Select your Vellinor directory below:", folder.path(),
                                  "Select your ZELVO logging directory below:", QString()}));
}

class OptionsFormTest : public MainFormTest {
protected:
    void TearDown() override {
        options::ResetChoosers();
        MainFormTest::TearDown();
    }
    TOptionsForm& Open() {
        form->OptionsAction->trigger();
        auto* options = form->findChild<TOptionsForm*>(QStringLiteral("OptionsForm"));
        EXPECT_NE(options, nullptr);
        return *options;
    }
};

TEST_F(OptionsFormTest, TheWindowAppliesWhatOkSaves) {
    plat::ManualClock clock(1000);
    Create();
    TOptionsForm& options = Open();
    EXPECT_EQ(&Open(), &options); // one dialog
    QFont chosen(QStringLiteral("Serif"));
    chosen.setPointSize(13);
    options::Choosers().Font = [&](QWidget*, const QFont&) { return chosen; };
    options::Choosers().Color = [](QWidget*, const QColor&) { return QColor(0x11, 0x22, 0x33); };
    form->Settings.InputEdit.Font.Color = 0x0000FF;
    clock.Advance(5000);

    auto& page = Show<TFontsFrame>(options, "Fonts & Colors");
    EXPECT_EQ(page.SampleFont(TFontsFrame::frInput).color, 0x0000FF);
    page.FontButtonClick(TFontsFrame::frChat);
    EXPECT_EQ(page.SampleEdits[TFontsFrame::frChat]->text(), "13 pt. " + chosen.family());
    page.ColorButtonClick(TFontsFrame::frInput);
    chosen.setUnderline(true);
    page.FontButtonClick(TFontsFrame::frGroups);
    auto& chat = Show<TChatWindowFrame>(options, "Chat Window");
    chat.SmoothScrollCheckbox->setChecked(true);
    chat.SpacingEdit->setValue(7);
    Show<TAwayOptionsFrame>(options, "Away Options").AutoAwayCheckbox->setChecked(true);
    Press(options.OkButton);

    const plat::TColor picked = 0x332211; // $00BBGGRR
    EXPECT_EQ(form->OutputMemo->Font().font.family(), QFont(QStringLiteral("Serif")).family());
    EXPECT_EQ(form->OutputMemo->Links().Font().color, plat::clBlue);
    EXPECT_TRUE(form->OutputMemo->Links().HoverFont().font.underline());
    EXPECT_TRUE(form->OutputMemo->Scrolling().SmoothScrolling());
    EXPECT_EQ(form->OutputMemo->LineSpacing(), 7);
    EXPECT_TRUE(form->GroupsTreeView->Font().font.underline());
    EXPECT_EQ(form->InputEdit->Color(), picked);
    EXPECT_EQ(form->InputEdit->Font().color, 0x0000FF);
    EXPECT_EQ(form->TargetPanel->palette().color(QPalette::Window), plat::ToQColor(picked));
    EXPECT_EQ(form->InputPanel->palette().color(QPalette::Window), plat::ToQColor(picked));
    EXPECT_EQ(form->ClrDefault->Color(), 0x0000FF);
    // The away page was saved: idle time counts from now.
    EXPECT_EQ(form->Away.LastActivity(), 6000);
    EXPECT_TRUE(form->AwayTimer->isActive());
    Show<TAwayOptionsFrame>(Open(), "Away Options").AutoAwayCheckbox->setChecked(false);
    Press(form->findChild<TOptionsForm*>(QStringLiteral("OptionsForm"))->OkButton);
    EXPECT_FALSE(form->AwayTimer->isActive());

    // Stored when the window closes.
    const TMainSettings settings = ::LoadSettings(*DestroyAndReload());
    EXPECT_EQ(settings.InputEdit.Color, picked);
    EXPECT_EQ(settings.OutputMemo.Font.Size, 13);
    EXPECT_EQ(settings.LineSpacing, 7);
}

} // namespace
} // namespace mainformtest
