// The options dialog: pages shown lazily, each loaded from the settings and
// written back by OK, which has the main window apply them; nothing changed
// by Cancel.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"
#include "PlatformFakes.h"

#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "engine/DimensionList.h"
#include "platform/core/Clock.h"
#include "platform/gui/ImageList.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <map>
#include <optional>
#include <set>

// A stored font as a failure shows it.
void PrintTo(const TFontSettings& f, std::ostream* os) {
    *os << f.Name.toStdString() << ' ' << f.Size << (f.Bold ? " bold" : "")
        << (f.Italic ? " italic" : "") << (f.Underline ? " underline" : "")
        << (f.StrikeOut ? " strikeout" : "") << " charset " << f.CharSet << " colour " << f.Color;
}

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

// Every row of the settings table that a page shows is bound once, in the
// page's order, to the control that shows it ("shows": loaded, never saved).
TEST_F(OptionsPagesTest, EachShownSettingIsBoundOnceToItsControl) {
    TOptionsForm& options = OpenAll();
    QStringList bound;
    std::set<QString> names;
    for (int row = 0; row < TOptionsForm::kPageCount; ++row) {
        for (const TOptionBinding& binding : options.Frame(row)->Bindings()) {
            bound << QStringList{QLatin1String(kPages[row]), binding.Setting, binding.Caption,
                                 QLatin1String(binding.Save ? "edits" : "shows")}
                         .join(u'\t');
            EXPECT_TRUE(names.insert(binding.Setting).second)
                << "bound twice: " << binding.Setting.toStdString();
        }
    }
    QStringList expected;
    for (const QStringList& row : GoldenTextRows("settings/option-bindings.txt", 4)) {
        expected << row.join(u'\t');
    }
    ASSERT_EQ(bound.size(), expected.size());
    for (qsizetype i = 0; i < bound.size(); ++i) {
        EXPECT_EQ(bound[i], expected[i]);
    }
}

// Every stored value by the name of its row in the settings table (a
// control's eight font values under "{control}_Font").
std::map<QString, QString> StoredByRow(const TMainSettings& settings) {
    QTemporaryDir dir;
    plat::Registry registry(dir.filePath(QStringLiteral("values.ini")));
    SaveSettings(registry, settings);
    const std::optional<plat::Registry::Key> root = registry.OpenKey({}, false);
    std::map<QString, QString> values;
    if (!root) {
        ADD_FAILURE() << "no values saved";
        return values;
    }
    for (const QString& name : root->ValueNames()) {
        const qsizetype font = name.indexOf(QLatin1String("_Font"));
        const QString row = font > 0 ? name.left(font + 5) : name;
        const QString value = root->ReadString(name).value_or(
            QString::fromLatin1(root->ReadBinary(name).value_or(QByteArray()).toHex()));
        values[row] += name + u'=' + value + u';';
    }
    return values;
}

// A page loaded from one set of values and saved into another writes the
// values it edits, each as loaded, and no other.
TEST_F(OptionsPagesTest, EachEditedValueRoundTripsAndNoOtherIsWritten) {
    const std::map<QString, QString> changed = StoredByRow(ChangedSettings());
    const std::map<QString, QString> defaults = StoredByRow(TMainSettings());
    for (int row = 0; row < TOptionsForm::kPageCount; ++row) {
        settings = ChangedSettings();
        TOptionsForm& options = Open();
        options.OptionsTreeView->setCurrentItem(options.FindNode(QLatin1String(kPages[row])));
        TOptionBaseFrame& page = *options.Frame(row);
        settings = TMainSettings();
        page.SaveSettings();
        std::set<QString> edited;
        for (const TOptionBinding& binding : page.Bindings()) {
            EXPECT_EQ(changed.count(binding.Setting), 1u) << binding.Setting.toStdString();
            if (binding.Save) {
                edited.insert(binding.Setting);
            }
        }
        for (const auto& [name, value] : StoredByRow(settings)) {
            EXPECT_EQ(value, edited.count(name) != 0 ? changed.at(name) : defaults.at(name))
                << kPages[row] << ": " << name.toStdString();
        }
    }
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

// The font dialog opens on the stored font where its family is installed,
// in its own style; OK stores only what was changed in the dialog, so a
// family that is not installed ("Tahoma" here) keeps its name and size.
TEST_F(OptionsPagesTest, TheFontDialogStoresOnlyWhatWasChangedInIt) {
    ASSERT_FALSE(QFontDatabase::hasFamily(QStringLiteral("Tahoma")));
    struct Row {
        TFontSettings stored;
        std::function<void(QFont&)> change; // in the dialog; none: OK as it opened
        TFontSettings expected;
    };
    const auto font = [](const char* name, int size, bool bold = false, bool italic = false) {
        TFontSettings f;
        f.Name = QLatin1String(name), f.Size = size, f.Bold = bold, f.Italic = italic;
        f.CharSet = 0, f.Color = 0x123456, f.Underline = true;
        return f;
    };
    const Row rows[] = {
        {font("Tahoma", 8), nullptr, font("Tahoma", 8)},
        {font("Tahoma", -13, true), nullptr, font("Tahoma", -13, true)},
        {font("DejaVu Sans", 8), nullptr, font("DejaVu Sans", 8)},
        {font("DejaVu Serif", 11, true, true), nullptr, font("DejaVu Serif", 11, true, true)},
        {font("DejaVu Sans", -13), nullptr, font("DejaVu Sans", -13)},
        {font("Tahoma", 8), [](QFont& f) { f.setPointSize(14); }, font("Tahoma", 14)},
        {font("DejaVu Sans", 8), [](QFont& f) { f.setStyleName(QStringLiteral("Bold")); },
         font("DejaVu Sans", 8, true)},
        {font("Tahoma", 9),
         [](QFont& f) {
             f.setFamily(QStringLiteral("DejaVu Serif"));
             f.setStyleName(QStringLiteral("Book"));
         },
         font("DejaVu Serif", 9)},
        {font("DejaVu Sans", 8), [](QFont& f) { f.setUnderline(false); },
         [&] {
             TFontSettings f = font("DejaVu Sans", 8);
             f.Underline = false;
             return f;
         }()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored.Name.toStdString() + " " + std::to_string(row.stored.Size));
        settings.OutputMemo.Font = row.stored;
        auto& page = Show<TFontsFrame>(Open(), "Fonts & Colors");
        QFont opened;
        {
            ModalScript script;
            script.Then<QFontDialog>([&](QFontDialog& dialog) {
                opened = dialog.currentFont();
                if (row.change) {
                    QFont changed = opened;
                    row.change(changed);
                    dialog.setCurrentFont(changed);
                }
                dialog.accept();
            });
            page.FontButtonClick(TFontsFrame::frChat);
        }
        if (QFontDatabase::hasFamily(row.stored.Name)) {
            EXPECT_EQ(opened.family(), row.stored.Name);
            EXPECT_EQ(opened.bold(), row.stored.Bold);
            EXPECT_EQ(opened.italic(), row.stored.Italic);
            if (row.stored.Size > 0) {
                EXPECT_EQ(opened.pointSize(), row.stored.Size);
            }
        } else {
            EXPECT_NE(opened.family(), row.stored.Name);
        }
        EXPECT_TRUE(opened.underline());
        Press(dialog->OkButton);
        EXPECT_EQ(settings.OutputMemo.Font, row.expected);
    }
    // The sample shows the stored font's name.
    settings = TMainSettings();
    EXPECT_EQ(Show<TFontsFrame>(Open(), "Fonts & Colors").SampleEdits[TFontsFrame::frChat]->text(),
              QStringLiteral("8 pt. Tahoma"));
}

// The colour dialog runs through the modal runner, as the font dialog does
// (so it hands the keyboard focus back): OK takes its colour, Cancel keeps
// the stored one.
TEST_F(OptionsPagesTest, TheColourDialogRunsLikeTheOtherDialogs) {
    settings.InputEdit.Color = 0x0000FF;
    auto& page = Show<TFontsFrame>(Open(), "Fonts & Colors");
    for (const bool accept : {false, true}) {
        ModalScript script;
        script.Then<QColorDialog>([&](QColorDialog& colours) {
            EXPECT_EQ(colours.currentColor(), QColor(0xFF, 0, 0)); // the stored 0x0000FF
            colours.setCurrentColor(QColor(0x11, 0x22, 0x33));
            accept ? colours.accept() : colours.reject();
        });
        page.ColorButtonClick(TFontsFrame::frInput);
        EXPECT_EQ(page.SampleColor(TFontsFrame::frInput), accept ? 0x332211 : 0x0000FF);
    }
    Press(dialog->OkButton);
    EXPECT_EQ(settings.InputEdit.Color, 0x332211);
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

// --- layout: every page laid out in the shown dialog -----------------------------

// The room a line edit leaves its text: its contents rect less the frame
// the style draws and the edit's inner margins of 2 pixels a side.
int TextRoom(const QLineEdit& edit) {
    const int frame = edit.hasFrame()
                          ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit)
                          : 0;
    const QMargins margins = edit.textMargins();
    return edit.contentsRect().width() - 2 * frame - 2 * 2 - margins.left() - margins.right();
}

// The room a drop-down list leaves the chosen item's text.
int TextRoom(const QComboBox& combo) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = false;
    option.frame = combo.hasFrame();
    option.currentText = combo.currentText();
    return combo.style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo)
        .width();
}

// A control as a failure names it: class, name and what it shows.
QString Describe(const QWidget* w) {
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        text = button->text();
    } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
        text = label->text();
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        text = edit->displayText();
    } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        text = combo->currentText();
    }
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text);
}

// What of the page does not show whole: controls over each other, edit
// boxes (those of spin and combo boxes too) and drop-down lists narrower
// than their text, captions narrower than their hint, controls reaching out
// of the page, the page out of the dialog. Empty when everything shows.
QStringList Clipped(const TOptionsForm& options, const TOptionBaseFrame& page) {
    QStringList clipped;
    if (!options.rect().contains(QRect(page.mapTo(&options, QPoint(0, 0)), page.size()))) {
        clipped << QStringLiteral("the page out of the dialog");
    }
    // The page's own controls stand side by side, none over another.
    const QList<QWidget*> controls = page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (controls[i]->isVisibleTo(&page) && controls[j]->isVisibleTo(&page) &&
                controls[i]->geometry().intersects(controls[j]->geometry())) {
                clipped << Describe(controls[i]) + QStringLiteral(" over ") + Describe(controls[j]);
            }
        }
    }
    for (const QWidget* child : page.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&page)) {
            continue;
        }
        if (!page.rect().contains(QRect(child->mapTo(&page, QPoint(0, 0)), child->size()))) {
            clipped << Describe(child) + QStringLiteral(" out of the page");
        }
        bool narrow = false;
        if (const auto* edit = qobject_cast<const QLineEdit*>(child)) {
            narrow = edit->fontMetrics().horizontalAdvance(edit->displayText()) > TextRoom(*edit);
        } else if (const auto* combo = qobject_cast<const QComboBox*>(child)) {
            narrow = !combo->isEditable() && combo->fontMetrics().horizontalAdvance(
                                                 combo->currentText()) > TextRoom(*combo);
        } else if (qobject_cast<const QLabel*>(child) != nullptr ||
                   qobject_cast<const QAbstractButton*>(child) != nullptr) {
            narrow = child->width() < child->sizeHint().width();
        }
        if (narrow) {
            clipped << Describe(child) + QStringLiteral(" cut off");
        }
    }
    return clipped;
}

// The dialog shown, with its pages laid out as they are selected.
class OptionsLayoutTest : public OptionsPagesTest {
protected:
    TOptionsForm& OpenShown() {
        TOptionsForm& options = Open();
        options.show();
        Settle();
        return options;
    }
    static TOptionBaseFrame& Select(TOptionsForm& options, const char* caption) {
        QTreeWidgetItem* node = options.FindNode(QString::fromLatin1(caption));
        options.OptionsTreeView->setCurrentItem(node);
        Settle();
        return *options.Frame(options.FindPage(node));
    }
    // Runs the posted layout requests and the resizes they cause: a page's
    // request reaches the dialog one level a pass, and the dialog's new size
    // comes back from the window system in the next.
    static void Settle() {
        for (int pass = 0; pass < 4; ++pass) {
            QCoreApplication::processEvents();
        }
    }
};

// At the ordinary fonts every page shows whole, the dialog keeps its size
// and the tree its width; so does a long folder, and a large sample font.
TEST_F(OptionsLayoutTest, EveryPageShowsWholeInADialogOfOneSize) {
    TOptionsForm& options = OpenShown();
    const QSize size = options.size();
    const auto sizeText = [](QSize s) {
        return std::to_string(s.width()) + "x" + std::to_string(s.height());
    };
    const int treeWidth = options.OptionsTreeView->width();
    for (const char* caption : kPages) {
        const TOptionBaseFrame& page = Select(options, caption);
        EXPECT_EQ(Clipped(options, page), QStringList()) << caption;
        EXPECT_EQ(sizeText(options.size()), sizeText(size)) << caption;
        EXPECT_EQ(options.OptionsTreeView->width(), treeWidth) << caption;
    }

    struct Case {
        const char* page;
        std::function<void(TOptionBaseFrame&)> change;
    };
    QFont large(QStringLiteral("Serif"));
    large.setPointSize(28);
    large.setBold(true);
    options::Choosers().Font = [&](QWidget*, const QFont&) { return large; };
    const QString folder =
        QStringLiteral("/a/rather/long/folder/for/the/chat/logs/of/this/user/on/a/large/desk/");
    options::Choosers().Folder = [&](QWidget*, const QString&, const QString&) {
        return std::optional<QString>(folder);
    };
    const Case cases[] = {
        {"Fonts & Colors",
         [](TOptionBaseFrame& page) {
             static_cast<TFontsFrame&>(page).FontButtonClick(TFontsFrame::frChat);
         }},
        {"Logging",
         [](TOptionBaseFrame& page) { static_cast<TLoggingFrame&>(page).BrowseButtonClick(); }},
        {"Audio Options",
         [](TOptionBaseFrame& page) { static_cast<TSoundsFrame&>(page).BrowseButtonClick(); }},
    };
    for (const Case& c : cases) {
        TOptionBaseFrame& page = Select(options, c.page);
        c.change(page);
        Settle();
        EXPECT_EQ(Clipped(options, page), QStringList()) << c.page;
        EXPECT_EQ(options.OptionsTreeView->width(), treeWidth) << c.page;
    }
    auto* chat = options.FindFrame<TFontsFrame>()->SampleEdits[TFontsFrame::frChat];
    EXPECT_TRUE(chat->text().startsWith(QStringLiteral("28 pt. "))) << chat->text().toStdString();
    EXPECT_EQ(options.FindFrame<TSoundsFrame>()->FolderEdit->text(), folder);
}

// Loaded values show whole as well: a large font widens its sample; a
// folder longer than half the work area scrolls in its box rather than
// stretching the dialog beyond the screen.
TEST_F(OptionsLayoutTest, LoadedValuesShowWholeUpToHalfTheScreen) {
    const FakeScreens screens; // a work area 800 wide
    settings.OutputMemo.Font.Name = QStringLiteral("Serif");
    settings.OutputMemo.Font.Size = 24;
    settings.LoggingFolder = QStringLiteral("/logs") + QStringLiteral("/deeper").repeated(80);
    TOptionsForm& options = OpenShown();
    const TOptionBaseFrame& fonts = Select(options, "Fonts & Colors");
    EXPECT_EQ(Clipped(options, fonts), QStringList());
    auto& logging = static_cast<TLoggingFrame&>(Select(options, "Logging"));
    EXPECT_LE(options.width(), 800);
    EXPECT_EQ(logging.FolderEdit->minimumWidth(), 400);
    EXPECT_EQ(logging.FolderEdit->text(), settings.LoggingFolder);
}

// The captions' whole widths: indent, image and text.
TEST_F(OptionsLayoutTest, TheTreeHoldsEveryCaptionWithItsImage) {
    TOptionsForm& options = OpenShown();
    TOptionsTreeView& tree = *options.OptionsTreeView;
    const QFontMetrics metrics(tree.font());
    int widest = 0;
    for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it) {
        const int depth = (*it)->parent() != nullptr ? 1 : 0;
        const int need = depth * tree.indentation() + tree.iconSize().width() +
                         metrics.horizontalAdvance((*it)->text(0));
        widest = qMax(widest, need);
        EXPECT_LE(need, tree.viewport()->width()) << (*it)->text(0).toStdString();
    }
    // Not much more than that: the rest of the dialog is the pages'.
    EXPECT_LE(tree.viewport()->width(), widest + 4 * metrics.averageCharWidth());
}

// The top nodes show image 0 of OptionsList, each page one of its own.
TEST_F(OptionsLayoutTest, NodeImagesComeFromTheOptionsList) {
    const TOptionsForm& options = Open();
    const plat::ImageList& list = *options.OptionsList;
    ASSERT_EQ(list.Count(), OptionsImageCount);
    const std::pair<const char*, int> nodes[] = {
        {"General Settings", 0}, {"Connection", 1},      {"Logging", 2},        {"Away Options", 3},
        {"Audio Options", 4},    {"Visual Settings", 0}, {"Fonts & Colors", 5}, {"Chat Window", 6},
    };
    const auto pixels = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    std::set<int> seen;
    for (const auto& [caption, index] : nodes) {
        const QTreeWidgetItem* node = options.FindNode(QString::fromLatin1(caption));
        ASSERT_NE(node, nullptr) << caption;
        EXPECT_EQ(TOptionsTreeView::ImageIndex(node), index) << caption;
        const QImage shown = node->icon(0).pixmap(list.Width(), list.Height()).toImage();
        EXPECT_EQ(pixels(shown), pixels(list.Image(index))) << caption;
        seen.insert(index);
    }
    EXPECT_EQ(seen.size(), std::size_t(OptionsImageCount)); // every image is used
    for (int i = 0; i < list.Count(); ++i) {
        const QImage image = pixels(list.Image(i));
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 10) << i; // a picture, not an empty cell
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(image, pixels(list.Image(j))) << i << " " << j;
        }
    }
}

// The node under the mouse is drawn underlined in the hot-light colour; the
// others are not, and leaving the tree ends it.
TEST_F(OptionsLayoutTest, TheNodeUnderTheMouseIsHot) {
    TOptionsForm& options = OpenShown();
    TOptionsTreeView& tree = *options.OptionsTreeView;
    const QRgb hot = plat::ToQColor(plat::clHotLight).rgb();
    // Pixels of the hot-light colour in the node's row.
    const auto hotPixels = [&](const char* caption) {
        const QRect row = tree.visualItemRect(options.FindNode(QString::fromLatin1(caption)));
        const QImage image =
            tree.viewport()->grab(row).toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += image.pixel(x, y) == hot ? 1 : 0;
            }
        }
        return count;
    };
    const auto centre = [&](const char* caption) {
        return tree.visualItemRect(options.FindNode(QString::fromLatin1(caption))).center();
    };
    EXPECT_EQ(tree.HotNode(), nullptr);
    const char* const captions[] = {"Logging", "Visual Settings", "Chat Window"};
    for (const char* caption : captions) {
        QTest::mouseMove(tree.viewport(), centre(caption));
        ASSERT_NE(tree.HotNode(), nullptr) << caption;
        EXPECT_EQ(tree.HotNode()->text(0), QLatin1String(caption));
        // At least the underline: as wide as the caption's shortest word.
        EXPECT_GE(hotPixels(caption),
                  QFontMetrics(tree.font()).horizontalAdvance(QStringLiteral("Window")))
            << caption;
        EXPECT_EQ(hotPixels("Away Options"), 0) << caption;
    }
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&tree, &leave);
    EXPECT_EQ(tree.HotNode(), nullptr);
    EXPECT_EQ(hotPixels("Chat Window"), 0);
}

// A caption beside a control that a check box or radio button switches
// follows it, and disabled it is drawn in the palette's greyed text, never
// in the page's black.
TEST_F(OptionsLayoutTest, CaptionsOfSwitchedOffControlsAreGreyed) {
    TOptionsForm& options = OpenShown();
    struct Row {
        const char* page;
        std::function<void(TOptionBaseFrame&, bool)> turn;
        int captions; // captions switched off with their controls
    };
    const Row rows[] = {
        {"Connection",
         [](TOptionBaseFrame& p, bool on) {
             auto& page = static_cast<TAutoConnectFrame&>(p);
             (on ? page.LoginRadioButton : page.DialogRadioButton)->setChecked(true);
             page.ReconnectCheckBox->setChecked(on);
         },
         6},
        {"Logging",
         [](TOptionBaseFrame& p, bool on) {
             static_cast<TLoggingFrame&>(p).LoggingCheckbox->setChecked(on);
         },
         2},
        {"Away Options",
         [](TOptionBaseFrame& p, bool on) {
             static_cast<TAwayOptionsFrame&>(p).AutoAwayCheckbox->setChecked(on);
         },
         3},
        {"Audio Options",
         [](TOptionBaseFrame& p, bool on) {
             static_cast<TSoundsFrame&>(p).SoundsCheckbox->setChecked(on);
         },
         1},
        {"Chat Window",
         [](TOptionBaseFrame& p, bool on) {
             static_cast<TChatWindowFrame&>(p).TimestampCheckbox->setChecked(on);
         },
         1},
    };
    // The darkest pixel of the caption as drawn.
    const auto darkest = [](QLabel* label) {
        const QImage image = label->grab().toImage();
        int dark = 255;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                dark = qMin(dark, qGray(image.pixel(x, y)));
            }
        }
        return dark;
    };
    const int greyed =
        qGray(QApplication::palette().color(QPalette::Disabled, QPalette::WindowText).rgb());
    for (const Row& row : rows) {
        TOptionBaseFrame& page = Select(options, row.page);
        for (const bool on : {false, true}) {
            row.turn(page, on);
            int off = 0;
            for (QLabel* label : page.findChildren<QLabel*>()) {
                if (label->buddy() == nullptr) {
                    continue;
                }
                const std::string what = std::string(row.page) + ": " + label->text().toStdString();
                EXPECT_EQ(label->isEnabled(), label->buddy()->isEnabled()) << what;
                if (!label->isEnabled()) {
                    ++off;
                    EXPECT_GE(darkest(label), greyed - 8) << what;
                } else {
                    EXPECT_LT(darkest(label), 64) << what;
                }
            }
            EXPECT_EQ(off, on ? 0 : row.captions) << row.page;
        }
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
