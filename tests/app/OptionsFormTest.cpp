// The options dialog: pages shown lazily, each loaded from the settings and
// written back by OK, which has the main window apply them; nothing changed
// by Cancel.
#include "MainFormTestSupport.h"
#include "PlatformFakes.h"

#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "engine/DimensionList.h"
#include "platform/core/Clock.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
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

// Runs `act` on the folder dialog once it is open and placed.
void OnFolderDialog(const std::function<void(QDialog&)>& act) {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->objectName() == u"BrowseFolderDialog" &&
            dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        }
    });
    timer->start();
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

// A folder that does not exist is not a start; Cancel keeps the text.
TEST_F(OptionsPagesTest, BrowsingFromAMissingFolderStartsNowhere) {
    QStringList asked;
    options::Choosers().Folder = [&](QWidget*, const QString&, const QString& start) {
        asked << start;
        return std::optional<QString>();
    };
    auto& logging = Show<TLoggingFrame>(Open(), "Logging");
    logging.FolderEdit->setText(QStringLiteral("/no/such/folder/"));
    logging.BrowseButtonClick();
    EXPECT_EQ(logging.FolderEdit->text(), QStringLiteral("/no/such/folder/"));
    EXPECT_EQ(asked, QStringList{QString()});
}

// A value the spin does not take never reaches the settings; line spacing
// stays within what the console's sums of line heights can hold.
TEST_F(OptionsPagesTest, SpinsKeepTheirRanges) {
    settings.LineSpacing = 250;
    TOptionsForm& options = OpenAll();
    auto* chat = options.FindFrame<TChatWindowFrame>();
    EXPECT_EQ(chat->SpacingEdit->value(), 100);
    struct Range {
        QSpinBox* spin;
        int minimum;
        int maximum;
    };
    const Range ranges[] = {
        {options.FindFrame<TAutoConnectFrame>()->TimesEdit, 10, 999},
        {options.FindFrame<TAutoConnectFrame>()->DelayEdit, 1, 120},
        {options.FindFrame<TAwayOptionsFrame>()->IdleEdit, 1, 999},
        {chat->SpacingEdit, 0, 100},
    };
    for (const Range& r : ranges) {
        r.spin->setValue(r.minimum - 1);
        EXPECT_EQ(r.spin->value(), r.minimum) << r.spin->objectName().toStdString();
        r.spin->setValue(r.maximum + 100000);
        EXPECT_EQ(r.spin->value(), r.maximum) << r.spin->objectName().toStdString();
    }
    Press(options.OkButton);
    EXPECT_EQ(settings.LineSpacing, 100);
}

// Any way of moving the selection with the keyboard shows the page of the
// node it reaches; a top node leaves the page shown.
TEST_F(OptionsPagesTest, PagesFollowTheKeyboard) {
    TOptionsForm& options = Open();
    QTreeWidget* tree = options.OptionsTreeView;
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[&] { QTest::keyClick(tree, Qt::Key_End); }, "Chat Window..."},
        {[&] { QTest::keyClick(tree, Qt::Key_Home); }, "Chat Window..."},
        {[&] { QTest::keyClick(tree, Qt::Key_Down); }, "Connection..."},
        {[&] { QTest::keyClicks(tree, QStringLiteral("Aud")); }, "Audio Options..."},
        {[&] { QTest::keyClick(tree, Qt::Key_Up); }, "Away Options..."},
    };
    for (const auto& [keys, caption] : steps) {
        keys();
        EXPECT_EQ(options.CaptionLabel->text(), QLatin1String(caption))
            << tree->currentItem()->text(0).toStdString();
    }
    // Pages reached so far, and no other.
    EXPECT_EQ(options.FindFrame<TFontsFrame>(), nullptr);
    EXPECT_NE(options.FindFrame<TSoundsFrame>(), nullptr);
}

// The folder dialog of the logging and audio pages: the page's title above
// the folders, the chosen path below them, an edit box, centred on the work
// area; it opens on the page's folder and its choice ends with a "/".
TEST_F(OptionsPagesTest, FolderDialogOfEachPage) {
    FakeScreens screens; // a work area of 800 x 570
    QTemporaryDir folders;
    ASSERT_TRUE(QDir(folders.path()).mkpath(QStringLiteral("a")) &&
                QDir(folders.path()).mkpath(QStringLiteral("b")));
    const QString a = QDir::cleanPath(folders.filePath(QStringLiteral("a")));
    const QString b = QDir::cleanPath(folders.filePath(QStringLiteral("b")));
    TOptionsForm& options = OpenAll();
    struct Page {
        QLineEdit* folder;
        std::function<void()> browse;
        const char* title;
    };
    auto* logging = options.FindFrame<TLoggingFrame>();
    auto* sounds = options.FindFrame<TSoundsFrame>();
    const Page pages[] = {
        {logging->FolderEdit, [&] { logging->BrowseButtonClick(); },
         "Select your ZELVO logging directory below:"},
        {sounds->FolderEdit, [&] { sounds->BrowseButtonClick(); },
         "Select your Vellinor directory below:"},
    };
    for (const Page& page : pages) {
        page.folder->setText(a);
        int opened = 0;
        OnFolderDialog([&](QDialog& dialog) {
            ++opened;
            const auto shown = [&](const char* name) {
                const auto* child = dialog.findChild<QWidget*>(QLatin1String(name));
                return child != nullptr && child->isVisibleTo(&dialog);
            };
            EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("TitleLabel"))->text(),
                      QLatin1String(page.title));
            EXPECT_TRUE(shown("TitleLabel") && shown("StatusLabel") && shown("fileNameEdit") &&
                        shown("newFolderButton"));
            EXPECT_EQ(dialog.pos(),
                      QPoint((800 - dialog.width()) / 2, (570 - dialog.height()) / 2));
            auto* files = dialog.findChild<QFileDialog*>();
            EXPECT_EQ(QDir::cleanPath(files->directory().absolutePath()), a);
            files->setDirectory(b);
            auto* box = files->findChild<QDialogButtonBox*>();
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) {
                    button->click();
                }
            }
        });
        page.browse();
        EXPECT_EQ(opened, 1) << page.title;
        EXPECT_EQ(page.folder->text(), b + u'/') << page.title;
        // Cancel keeps the folder.
        OnFolderDialog([](QDialog& dialog) { dialog.reject(); });
        page.browse();
        EXPECT_EQ(page.folder->text(), b + u'/') << page.title;
    }
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
