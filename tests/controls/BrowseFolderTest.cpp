#include "controls/QvBrowseFolder.h"

#include "GoldenRows.h"
#include "PlatformFakes.h"
#include "Raises.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace ctl;

namespace {

TEST(BrowseOptions, BecomeTheShellsFlags) {
    const QStringList names = {
        "BrowseForComputer", "OnlyDirectory",       "OnlyPrinters",
        "NoBelowDomain",     "SystemAncestorsOnly", "FileSystemDirectoryOnly",
        "StatusAvailable",   "IncludeFiles",        "IncludeUrls",
        "EditBox",           "NewDialogStyle",      "Shareable"};
    for (const QStringList& row : GoldenTextRows("controls/browse-flags.tsv", 3)) {
        TOptionsDir options = 0;
        for (const QString& name : row[0].split(u' ')) {
            options |= name == u"-" ? 0 : OptionBit(TOptionsDirectory(names.indexOf(name)));
        }
        const QStringList shell = row[1].split(u'.');
        EXPECT_EQ(BrowseFlags(options, ShellVersion(shell[0].toInt(), shell[1].toInt())),
                  row[2].toUInt(nullptr, 16))
            << row.join(u" | ").toStdString();
    }
}

TEST(BrowseFolderShell, OlderThanFourCannotBrowse) {
    ScopedShellVersion old(ShellVersion(3, 51));
    TQvBrowseFolder browse;
    EXPECT_EQ(MessageOf<EQvException>([&] { browse.Execute(); }),
              "Shell not compatible with BrowseForFolder");
}

class BrowseFolderTest : public ::testing::Test {
protected:
    BrowseFolderTest() {
        QDir root(dir_.path());
        root.mkdir(QStringLiteral("a"));
        root.mkdir(QStringLiteral("b"));
        a_ = QDir::cleanPath(dir_.filePath(QStringLiteral("a")));
        b_ = QDir::cleanPath(dir_.filePath(QStringLiteral("b")));
        browse_.SetDirectory(a_);
    }

    QFileDialog* Files() const { return browse_.Dialog()->findChild<QFileDialog*>(); }
    QPushButton* Choose() const {
        return Files()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    }
    QLabel* Label(const char* name) const {
        return browse_.Dialog()->findChild<QLabel*>(QLatin1String(name));
    }
    // Runs the dialog; `act` runs once it is set up and must close it.
    bool Run(const std::function<void()>& act) {
        browse_.OnInitialized = [&](TQvBrowseFolder* sender) {
            EXPECT_EQ(sender, &browse_);
            act();
            if (browse_.Dialog()->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                browse_.Dialog()->reject();
            }
        };
        return browse_.Execute();
    }
    QString Current() const { return QDir::cleanPath(Files()->directory().absolutePath()); }

    QTemporaryDir dir_;
    QString a_;
    QString b_;
    TQvBrowseFolder browse_;
};

TEST_F(BrowseFolderTest, OpensOnTheFolderAndReturnsTheOneChosen) {
    EXPECT_TRUE(Run([&] {
        EXPECT_EQ(Current(), a_);
        Files()->setDirectory(b_);
        Choose()->click();
    }));
    EXPECT_EQ(browse_.Directory(), b_);
    EXPECT_EQ(browse_.DisplayName(), QStringLiteral("b"));

    EXPECT_FALSE(Run([&] {
        Files()->setDirectory(a_);
        browse_.Dialog()->reject();
    }));
    EXPECT_EQ(browse_.Directory(), b_); // cancel leaves it

    const QString missing = dir_.filePath(QStringLiteral("gone"));
    browse_.SetDirectory(missing);
    EXPECT_TRUE(Run([&] {
        EXPECT_NE(Current(), missing);
        Files()->setDirectory(a_);
        Choose()->click();
    }));
    EXPECT_EQ(browse_.Directory(), a_);
}

TEST_F(BrowseFolderTest, RefusedFoldersCannotBeChosen) {
    QStringList changes;
    browse_.OnAcceptChange = [&](TQvBrowseFolder*, const QString& path, bool& accept) {
        accept = QDir::cleanPath(path) != b_;
    };
    browse_.OnChange = [&](TQvBrowseFolder*, const QString& path) {
        changes << QDir::cleanPath(path);
    };
    EXPECT_FALSE(Run([&] {
        Files()->setDirectory(b_);
        EXPECT_FALSE(Choose()->isEnabled());
        static_cast<QDialog*>(Files())->accept(); // what the Enter key does
        EXPECT_TRUE(browse_.Dialog()->isVisible());
        Files()->setDirectory(a_);
        EXPECT_TRUE(Choose()->isEnabled());
        browse_.Dialog()->reject();
    }));
    EXPECT_TRUE(changes.contains(b_));
    EXPECT_EQ(changes.last(), a_);
    EXPECT_EQ(browse_.Directory(), a_);
}

TEST_F(BrowseFolderTest, TitleEditBoxAndStatusLineFollowTheOptions) {
    const auto shown = [&](QWidget* widget) { return widget->isVisibleTo(browse_.Dialog()); };
    const auto edit = [&] { return Files()->findChild<QWidget*>(QStringLiteral("fileNameEdit")); };
    browse_.SetTitle(QStringLiteral("Select your ZELVO logging directory below:"));
    browse_.SetStatusText(QStringLiteral("Pick one"));
    browse_.SetOptions(OptionBit(odStatusAvailable) | OptionBit(odEditBox) |
                       OptionBit(odNewDialogStyle));
    Run([&] {
        EXPECT_EQ(Label("TitleLabel")->text(), browse_.Title());
        EXPECT_TRUE(shown(Label("TitleLabel")));
        EXPECT_TRUE(shown(edit()));
        EXPECT_TRUE(shown(Label("StatusLabel")));
        EXPECT_EQ(Label("StatusLabel")->text(), QStringLiteral("Pick one"));
        browse_.Dialog()->reject();
    });
    browse_.SetTitle(QString());
    browse_.SetOptions(OptionBit(odNewDialogStyle));
    Run([&] {
        EXPECT_FALSE(shown(Label("TitleLabel")) || shown(edit()) || shown(Label("StatusLabel")));
        browse_.Dialog()->reject();
    });
    // Without a fixed text the status line shows the folder, shortened.
    browse_.SetStatusText(QString());
    browse_.SetOptions(OptionBit(odStatusAvailable));
    QString deep = a_;
    for (int i = 0; i < 12; ++i) {
        deep += QStringLiteral("/a-rather-long-folder-name-%1").arg(i);
    }
    ASSERT_TRUE(QDir().mkpath(deep));
    browse_.SetDirectory(deep);
    Run([&] {
        const QString text = Label("StatusLabel")->text();
        EXPECT_TRUE(text.contains(QStringLiteral("...")));
        EXPECT_TRUE(text.endsWith(QStringLiteral("a-rather-long-folder-name-11")));
        EXPECT_LT(text.size(), deep.size());
        Files()->setDirectory(b_);
        EXPECT_EQ(QDir::cleanPath(Label("StatusLabel")->text()), b_);
        browse_.Dialog()->reject();
    });
}

TEST_F(BrowseFolderTest, PutsTheDialogWhereAsked) {
    // Task bars on the left and at the bottom: the work area is (60, 0) to
    // (800, 570); the screen's centre is counted from the screen's origin.
    FakeScreens screens({{plat::TRect(0, 0, 800, 600), plat::TRect(60, 0, 800, 570)}});
    const struct {
        TQvFolderPos position;
        std::function<QPoint(QSize)> expected;
    } cases[] = {
        {fpScreenCenter,
         [](QSize s) { return QPoint((740 - s.width()) / 2, (570 - s.height()) / 2); }},
        {fpTopLeft, [](QSize) { return QPoint(60, 0); }},
        {fpBottomRight, [](QSize s) { return QPoint(800 - s.width(), 570 - s.height()); }},
    };
    for (const auto& c : cases) {
        browse_.SetPosition(c.position);
        Run([&] {
            QDialog* dialog = browse_.Dialog();
            EXPECT_EQ(dialog->pos(), c.expected(dialog->size())) << c.position;
            dialog->reject();
        });
    }
}

} // namespace
