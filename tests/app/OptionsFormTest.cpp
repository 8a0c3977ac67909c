// The options dialog: one instance opened from the main window, pages shown
// lazily, each page loaded from the window and written back by OK, nothing
// changed by Cancel.
#include "MainFormTestSupport.h"

#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "console/QvConsole.h"
#include "platform/core/Clock.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
    template <typename Page>
    Page& Show(TOptionsForm& options, const char* caption) {
        options.OptionsTreeView->setCurrentItem(options.FindNode(QString::fromLatin1(caption)));
        auto* page = options.FindFrame<Page>();
        EXPECT_NE(page, nullptr);
        return *page;
    }
    // Closing frees the dialog once the deferred deletes run.
    static void Press(QPushButton* button) {
        button->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(OptionsFormTest, OneDialogShowsEachPageOnceWhenItsNodeIsSelected) {
    Create();
    TOptionsForm& options = Open();
    EXPECT_EQ(&Open(), &options);
    EXPECT_EQ(options.windowTitle(), QStringLiteral("ZELVO Options"));
    EXPECT_EQ(options.CaptionLabel->text(), QStringLiteral("Connection..."));
    ASSERT_NE(options.Frame(0), nullptr);
    for (int row = 1; row < TOptionsForm::kPageCount; ++row) {
        EXPECT_EQ(options.Frame(row), nullptr) << row;
    }

    // Captions match ignoring ASCII case; top nodes have no page.
    QTreeWidgetItem top(QStringList{QStringLiteral("gENERAL sETTINGS")});
    auto* child = new QTreeWidgetItem(&top, QStringList{QStringLiteral("AUDIO options")});
    EXPECT_EQ(options.FindPage(child), 3);
    EXPECT_EQ(options.FindPage(&top), -1);
    child->setText(0, QStringLiteral("Chat Window")); // under the wrong top node
    EXPECT_EQ(options.FindPage(child), -1);

    // A top node leaves the page shown.
    options.OptionsTreeView->setCurrentItem(options.FindNode(QStringLiteral("Visual Settings")));
    EXPECT_EQ(options.CaptionLabel->text(), QStringLiteral("Connection..."));
    EXPECT_TRUE(options.Frame(0)->isVisibleTo(&options));

    auto& chat = Show<TChatWindowFrame>(options, "Chat Window");
    EXPECT_EQ(options.CaptionLabel->text(), QStringLiteral("Chat Window..."));
    EXPECT_FALSE(options.Frame(0)->isVisibleTo(&options));
    EXPECT_TRUE(chat.isVisibleTo(&options));

    // Showing a page again neither recreates nor reloads it.
    chat.TimestampEdit->setText(QStringLiteral("edited"));
    Show<TAutoConnectFrame>(options, "Connection");
    EXPECT_EQ(&Show<TChatWindowFrame>(options, "Chat Window"), &chat);
    EXPECT_EQ(chat.TimestampEdit->text(), QStringLiteral("edited"));

    QPointer<TOptionsForm> alive(&options);
    Press(options.CancelButton);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(OptionsFormTest, CancelChangesNothing) {
    Create();
    const TMainSettings before = form->Settings;
    const plat::ColoredFont chatFont = form->OutputMemo->Font();
    options::Choosers().Font = [](QWidget*, const QFont&) {
        return QFont(QStringLiteral("Serif"));
    };
    options::Choosers().Color = [](QWidget*, const QColor&) { return QColor(10, 20, 30); };

    TOptionsForm& options = Open();
    auto& connection = Show<TAutoConnectFrame>(options, "Connection");
    connection.NothingRadioButton->setChecked(true);
    Show<TLoggingFrame>(options, "Logging").LoggingCheckbox->setChecked(true);
    Show<TAwayOptionsFrame>(options, "Away Options").AutoAwayCheckbox->setChecked(true);
    Show<TSoundsFrame>(options, "Audio Options").SoundsCheckbox->setChecked(false);
    auto& fonts = Show<TFontsFrame>(options, "Fonts & Colors");
    fonts.FontButtonClick(TFontsFrame::frChat);
    fonts.ColorButtonClick(TFontsFrame::frChat);
    Show<TChatWindowFrame>(options, "Chat Window").SpacingEdit->setValue(40);
    Press(options.CancelButton);

    EXPECT_EQ(form->Settings, before);
    EXPECT_EQ(form->OutputMemo->Font().font, chatFont.font);
    EXPECT_EQ(form->OutputMemo->LineSpacing(), 0);
    EXPECT_FALSE(form->AwayTimer->isActive());
}

TEST_F(OptionsFormTest, ConnectionPageLoadsAndSavesTheStartupChoice) {
    StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 2);
    StoredRoot().WriteString(QStringLiteral("AutoLoginDimension"), QStringLiteral("vassa"));
    StoredRoot().WriteString(QStringLiteral("AutoLoginUser"), QStringLiteral("Auto"));
    StoredRoot().WriteString(QStringLiteral("LastUser"), QStringLiteral("bob"));
    Create();
    form->Logins.SetLoginPassword(QStringLiteral("Bob"), QStringLiteral("secret"));
    form->Logins.SetLoginPassword(QStringLiteral("Carol"), QStringLiteral("x"));

    TOptionsForm& options = Open();
    auto& page = Show<TAutoConnectFrame>(options, "Connection");
    EXPECT_TRUE(page.LoginRadioButton->isChecked());
    EXPECT_EQ(page.UserCombobox->count(), 2);
    EXPECT_EQ(page.UserCombobox->currentText(), QStringLiteral("Auto"));
    // No stored automatic password: the last user's password stays.
    EXPECT_EQ(page.PasswordEdit->text(), QStringLiteral("secret"));
    EXPECT_EQ(page.DimensionCombobox->currentText(), QStringLiteral("Vassa"));
    EXPECT_TRUE(page.DimensionCombobox->isEnabled());
    EXPECT_FALSE(page.TimesEdit->isEnabled());

    // Login chosen: the account is stored with the other values.
    page.PasswordEdit->setText(QStringLiteral("pw"));
    page.ReconnectCheckBox->setChecked(true);
    EXPECT_TRUE(page.TimesEdit->isEnabled());
    page.TimesEdit->setValue(5); // below the range
    page.DelayEdit->setValue(500);
    page.SaveSettings();
    const TMainSettings& s = form->Settings;
    EXPECT_EQ(s.OnStartup, 2);
    EXPECT_EQ(s.AutoLoginDimension, QStringLiteral("Vassa"));
    EXPECT_EQ(s.AutoLoginUser, QStringLiteral("Auto"));
    EXPECT_EQ(s.AutoLoginPassword, QStringLiteral("pw"));
    EXPECT_TRUE(s.AutoReconnect);
    EXPECT_EQ(s.ReconnectTimes, 10);
    EXPECT_EQ(s.ReconnectDelay, 120);

    // The login dialog chosen: the account keeps its stored values.
    page.DialogRadioButton->setChecked(true);
    EXPECT_FALSE(page.UserCombobox->isEnabled());
    page.UserCombobox->setEditText(QStringLiteral("Other"));
    page.SaveSettings();
    EXPECT_EQ(s.OnStartup, 1);
    EXPECT_EQ(s.AutoLoginUser, QStringLiteral("Auto"));
    page.NothingRadioButton->setChecked(true);
    page.SaveSettings();
    EXPECT_EQ(s.OnStartup, 0);
    EXPECT_EQ(s.AutoLoginPassword, QStringLiteral("pw"));

    // No dimension to choose stores none.
    form->VLChat->DimensionList().Clear();
    page.LoadSettings();
    page.LoginRadioButton->setChecked(true);
    page.SaveSettings();
    EXPECT_EQ(s.OnStartup, 2);
    EXPECT_EQ(s.AutoLoginDimension, QString());
}

TEST_F(OptionsFormTest, OkAfterOnlyTheConnectionPageChangesOnlyItsSettings) {
    Create();
    TMainSettings expected = form->Settings;
    expected.OnStartup = 0;
    TOptionsForm& options = Open();
    options.FindFrame<TAutoConnectFrame>()->NothingRadioButton->setChecked(true);
    Press(options.OkButton);
    EXPECT_EQ(form->Settings, expected);

    // A page opened afresh shows what was saved.
    EXPECT_TRUE(Open().FindFrame<TAutoConnectFrame>()->NothingRadioButton->isChecked());
}

TEST_F(OptionsFormTest, LoggingPageWritesTheHeadersWhereTheFilesAreLogged) {
    QTemporaryDir logs;
    const QString oldFolder = logs.filePath(QStringLiteral("old/"));
    const QString newFolder = logs.filePath(QStringLiteral("new"));
    StoredRoot().WriteString(QStringLiteral("LoggingFolder"), oldFolder);
    Create();
    const auto read = [](const QString& folder, const char* name) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray started("Logging started 2024-05-06 15:07:00\r\n");
    const QByteArray stopped("Logging stopped 2024-05-06 15:07:00\r\n");

    auto& on = Show<TLoggingFrame>(Open(), "Logging");
    EXPECT_FALSE(on.LoggingCheckbox->isChecked());
    EXPECT_FALSE(on.FolderEdit->isEnabled());
    on.LoggingCheckbox->setChecked(true);
    EXPECT_TRUE(on.FolderEdit->isEnabled());
    on.FolderEdit->setText(newFolder);
    on.LogListBox->item(1)->setCheckState(Qt::Unchecked); // private messages
    Press(qobject_cast<TOptionsForm*>(on.window())->OkButton);

    EXPECT_TRUE(form->Settings.Logging);
    EXPECT_FALSE(form->Settings.LogPrivate);
    EXPECT_EQ(read(newFolder, "groups.log"), started);
    EXPECT_EQ(read(newFolder, "errors.log"), started);
    EXPECT_TRUE(read(newFolder, "private.log").isEmpty());
    EXPECT_FALSE(QDir(oldFolder).exists());

    // OK again with nothing changed writes nothing.
    Show<TLoggingFrame>(Open(), "Logging");
    Press(Open().OkButton);
    EXPECT_EQ(read(newFolder, "groups.log"), started);

    // Moving the logs stops them in the old folder and starts them in the new.
    const QString third = logs.filePath(QStringLiteral("third"));
    Show<TLoggingFrame>(Open(), "Logging").FolderEdit->setText(third);
    Press(Open().OkButton);
    EXPECT_EQ(read(newFolder, "groups.log"), started + stopped);
    EXPECT_EQ(read(third, "groups.log"), started);

    Show<TLoggingFrame>(Open(), "Logging").LoggingCheckbox->setChecked(false);
    Press(Open().OkButton);
    EXPECT_FALSE(form->Settings.Logging);
    EXPECT_EQ(read(third, "groups.log"), started + stopped);
    EXPECT_TRUE(read(third, "private.log").isEmpty());
}

TEST_F(OptionsFormTest, AwayPageRestartsTheAutomaticAway) {
    plat::ManualClock clock(1000);
    Create();
    clock.Advance(5000);
    // OK without the away page leaves the idle time alone.
    Press(Open().OkButton);
    EXPECT_EQ(form->Away.LastActivity(), 1000);
    auto& page = Show<TAwayOptionsFrame>(Open(), "Away Options");
    EXPECT_FALSE(page.IdleEdit->isEnabled());
    page.AutoAwayCheckbox->setChecked(true);
    page.IdleEdit->setValue(0); // below the range
    page.MessageEdit->setText(QStringLiteral("gone"));
    Press(qobject_cast<TOptionsForm*>(page.window())->OkButton);
    EXPECT_TRUE(form->Settings.AutoAway);
    EXPECT_EQ(form->Settings.AutoAwayIdle, 1);
    EXPECT_EQ(form->Settings.AutoAwayMessage, QStringLiteral("gone"));
    EXPECT_EQ(form->Away.LastActivity(), 6000);
    EXPECT_TRUE(form->AwayTimer->isActive());

    Show<TAwayOptionsFrame>(Open(), "Away Options").AutoAwayCheckbox->setChecked(false);
    Press(Open().OkButton);
    EXPECT_FALSE(form->AwayTimer->isActive());
}

TEST_F(OptionsFormTest, BrowsingStartsInAnExistingFolderAndEndsTheChoiceWithASlash) {
    Create();
    QTemporaryDir folder;
    QStringList asked;
    std::optional<QString> answer = QStringLiteral("/chosen/dir");
    options::Choosers().Folder = [&](QWidget*, const QString& title, const QString& start) {
        asked << title << start;
        return answer;
    };
    auto& page = Show<TSoundsFrame>(Open(), "Audio Options");
    page.FolderEdit->setText(folder.path());
    page.BrowseButtonClick();
    EXPECT_EQ(asked, QStringList(
                         {QStringLiteral("Select your Vellinor directory below:"), folder.path()}));
    EXPECT_EQ(page.FolderEdit->text(), QStringLiteral("/chosen/dir/"));

    // A folder that does not exist is not a start; Cancel keeps the text.
    asked.clear();
    answer.reset();
    auto& logging = Show<TLoggingFrame>(*qobject_cast<TOptionsForm*>(page.window()), "Logging");
    logging.FolderEdit->setText(QStringLiteral("/no/such/folder/"));
    logging.BrowseButtonClick();
    EXPECT_EQ(asked, QStringList({QStringLiteral("Select your ZELVO logging directory below:"),
                                  QString()}));
    EXPECT_EQ(logging.FolderEdit->text(), QStringLiteral("/no/such/folder/"));

    page.SoundsCheckbox->setChecked(false);
    EXPECT_FALSE(page.BrowseButton->isEnabled());
    page.SaveSettings();
    EXPECT_FALSE(form->Settings.PlaySounds);
    EXPECT_EQ(form->Settings.VLDirectory, QStringLiteral("/chosen/dir/"));
}

TEST_F(OptionsFormTest, FontsAndColoursReachTheWindowsControls) {
    Create();
    QFont chosen(QStringLiteral("Serif"));
    chosen.setPointSize(13);
    options::Choosers().Font = [&](QWidget*, const QFont&) { return chosen; };
    options::Choosers().Color = [](QWidget*, const QColor&) { return QColor(0x11, 0x22, 0x33); };
    form->Settings.InputEdit.Font.Color = 0x0000FF;

    auto& page = Show<TFontsFrame>(Open(), "Fonts & Colors");
    EXPECT_EQ(page.SampleFont(TFontsFrame::frInput).color, 0x0000FF);
    page.FontButtonClick(TFontsFrame::frChat);
    EXPECT_EQ(page.SampleEdits[TFontsFrame::frChat]->text(),
              QStringLiteral("13 pt. ") + chosen.family());
    page.ColorButtonClick(TFontsFrame::frInput);
    chosen.setUnderline(true);
    page.FontButtonClick(TFontsFrame::frGroups);
    Press(qobject_cast<TOptionsForm*>(page.window())->OkButton);

    const plat::TColor picked = 0x332211; // $00BBGGRR
    EXPECT_EQ(form->OutputMemo->Font().font.family(), QFont(QStringLiteral("Serif")).family());
    EXPECT_EQ(form->OutputMemo->Links().Font().color, plat::clBlue);
    EXPECT_TRUE(form->OutputMemo->Links().HoverFont().font.underline());
    EXPECT_TRUE(form->GroupsTreeView->Font().font.underline());
    EXPECT_EQ(form->InputEdit->Color(), picked);
    EXPECT_EQ(form->InputEdit->Font().color, 0x0000FF);
    EXPECT_EQ(form->TargetPanel->palette().color(QPalette::Window), plat::ToQColor(picked));
    EXPECT_EQ(form->InputPanel->palette().color(QPalette::Window), plat::ToQColor(picked));
    EXPECT_EQ(form->ClrDefault->Color(), 0x0000FF);

    // Stored when the window closes.
    const std::unique_ptr<plat::Registry> stored = DestroyAndReload();
    const TMainSettings settings = ::LoadSettings(*stored);
    EXPECT_EQ(settings.InputEdit.Color, picked);
    EXPECT_EQ(settings.OutputMemo.Font.Size, 13);
}

TEST_F(OptionsFormTest, ChatWindowPageSavesTimestampColourAndBoundedLineSpacing) {
    Create();
    QColor initial(1, 2, 3);
    options::Choosers().Color = [&](QWidget*, const QColor& start) {
        initial = start;
        return QColor(0xAA, 0xBB, 0xCC);
    };
    auto& page = Show<TChatWindowFrame>(Open(), "Chat Window");
    EXPECT_EQ(page.TimestampColor(), 0x808080);
    page.ColorButtonClick();
    EXPECT_FALSE(initial.isValid()); // the dialog does not start from the colour
    page.TimestampCheckbox->setChecked(false);
    EXPECT_FALSE(page.ColorButton->isEnabled());
    page.SmoothScrollCheckbox->setChecked(true);
    page.URLsCheckbox->setChecked(false);
    page.SpacingEdit->setValue(5000);
    Press(qobject_cast<TOptionsForm*>(page.window())->OkButton);

    const TMainSettings& s = form->Settings;
    EXPECT_EQ(s.TimestampColor, 0xCCBBAA);
    EXPECT_FALSE(s.TimestampChat);
    EXPECT_FALSE(s.ParseUrls);
    EXPECT_TRUE(form->OutputMemo->Scrolling().SmoothScrolling());
    EXPECT_EQ(form->OutputMemo->LineSpacing(), 100);
    auto& again = Show<TChatWindowFrame>(Open(), "Chat Window");
    again.SpacingEdit->setValue(-3);
    Press(Open().OkButton);
    EXPECT_EQ(form->OutputMemo->LineSpacing(), 0);
}

} // namespace
} // namespace mainformtest
