#include "controls/QvBrowseFolder.h"

#include "PlatformFakes.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace ctl;

namespace {

struct FlagCase {
    const char* name;
    TOptionsDir options;
    uint32_t shell;
    uint32_t flags;
};

void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr TOptionsDir operator|(TOptionsDirectory a, TOptionsDirectory b) {
    return OptionBit(a) | OptionBit(b);
}

class BrowseOptions : public ::testing::TestWithParam<FlagCase> {};

TEST_P(BrowseOptions, BecomeTheShellsFlags) {
    EXPECT_EQ(BrowseFlags(GetParam().options, GetParam().shell), GetParam().flags);
}

const uint32_t k6 = ShellVersion(6, 0);

INSTANTIATE_TEST_SUITE_P(
    Flags, BrowseOptions,
    ::testing::Values(
        FlagCase{"None", 0, k6, 0},
        FlagCase{"Defaults", odStatusAvailable | odNewDialogStyle, k6,
                 BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE},
        FlagCase{"NewStyleNeedsShellFive", odStatusAvailable | odNewDialogStyle,
                 ShellVersion(4, 71), BIF_STATUSTEXT},
        FlagCase{"EditBoxAndFilesNeedShell471", odEditBox | odIncludeFiles, ShellVersion(4, 71),
                 BIF_EDITBOX | BIF_BROWSEINCLUDEFILES},
        FlagCase{"TooOldForEditBoxAndFiles", odEditBox | odIncludeFiles, ShellVersion(4, 70), 0},
        FlagCase{"UrlsAndShareableNeedShellFive", odIncludeUrls | odShareable, ShellVersion(5, 0),
                 BIF_BROWSEINCLUDEURLS | BIF_SHAREABLE},
        FlagCase{"DirectoryOnlyAddsNothing", OptionBit(odOnlyDirectory), k6, 0},
        FlagCase{"FileSystemAndDomain",
                 OptionBit(odFileSystemDirectoryOnly) | OptionBit(odNoBelowDomain) |
                     OptionBit(odSystemAncestorsOnly),
                 k6, BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_RETURNFSANCESTORS},
        FlagCase{"ComputerWithAnEditBox", odBrowseForComputer | odEditBox, k6,
                 BIF_BROWSEFORCOMPUTER | BIF_EDITBOX},
        FlagCase{"PrintersReplaceComputers", odBrowseForComputer | odOnlyPrinters, k6,
                 BIF_BROWSEFORPRINTER}));

TEST(BrowseFolderShell, OlderThanFourCannotBrowse) {
    ScopedShellVersion old(ShellVersion(3, 51));
    TQvBrowseFolder browse;
    try {
        browse.Execute();
        FAIL() << "no exception";
    } catch (const EQvException& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Shell not compatible with BrowseForFolder"));
    }
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
    QAbstractButton* Choose() const {
        for (QAbstractButton* button : Files()->findChild<QDialogButtonBox*>()->buttons()) {
            if (Files()->findChild<QDialogButtonBox*>()->buttonRole(button) ==
                QDialogButtonBox::AcceptRole) {
                return button;
            }
        }
        return nullptr;
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
    const bool chosen = Run([&] {
        EXPECT_EQ(Current(), a_);
        Files()->setDirectory(b_);
        Choose()->click();
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(browse_.Directory(), b_);
    EXPECT_EQ(browse_.DisplayName(), QStringLiteral("b"));
}

TEST_F(BrowseFolderTest, CancelLeavesTheFolder) {
    EXPECT_FALSE(Run([&] {
        Files()->setDirectory(b_);
        browse_.Dialog()->reject();
    }));
    EXPECT_EQ(browse_.Directory(), a_);
}

TEST_F(BrowseFolderTest, AMissingFolderIsNotPreselected) {
    const QString missing = dir_.filePath(QStringLiteral("gone"));
    browse_.SetDirectory(missing);
    EXPECT_TRUE(Run([&] {
        EXPECT_NE(Current(), missing);
        Files()->setDirectory(b_);
        Choose()->click();
    }));
    EXPECT_EQ(browse_.Directory(), b_);
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

TEST_F(BrowseFolderTest, StatusLineShowsTheFixedTextOrTheShortenedPath) {
    browse_.SetStatusText(QStringLiteral("Pick one"));
    Run([&] {
        EXPECT_TRUE(Label("StatusLabel")->isVisibleTo(browse_.Dialog()));
        EXPECT_EQ(Label("StatusLabel")->text(), QStringLiteral("Pick one"));
        browse_.Dialog()->reject();
    });

    browse_.SetStatusText(QString());
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

    browse_.SetOptions(OptionBit(odNewDialogStyle));
    Run([&] {
        EXPECT_FALSE(Label("StatusLabel")->isVisibleTo(browse_.Dialog()));
        browse_.Dialog()->reject();
    });
}

TEST_F(BrowseFolderTest, TitleAndEditBoxFollowTheOptions) {
    browse_.SetTitle(QStringLiteral("Select your ZELVO logging directory below:"));
    browse_.SetOptions(OptionBit(odStatusAvailable) | OptionBit(odEditBox) |
                       OptionBit(odNewDialogStyle));
    Run([&] {
        EXPECT_EQ(Label("TitleLabel")->text(),
                  QStringLiteral("Select your ZELVO logging directory below:"));
        EXPECT_TRUE(Label("TitleLabel")->isVisibleTo(browse_.Dialog()));
        EXPECT_TRUE(Files()
                        ->findChild<QWidget*>(QStringLiteral("fileNameEdit"))
                        ->isVisibleTo(browse_.Dialog()));
        browse_.Dialog()->reject();
    });
    browse_.SetTitle(QString());
    browse_.SetOptions(OptionBit(odStatusAvailable));
    Run([&] {
        EXPECT_FALSE(Label("TitleLabel")->isVisibleTo(browse_.Dialog()));
        EXPECT_FALSE(Files()
                         ->findChild<QWidget*>(QStringLiteral("fileNameEdit"))
                         ->isVisibleTo(browse_.Dialog()));
        browse_.Dialog()->reject();
    });
}

struct PlaceCase {
    TQvFolderPos position;
    // Expected top-left from the work area (0, 0)-(800, 570) and the size.
    std::function<QPoint(QSize)> expected;
};

class BrowseFolderPlacement : public BrowseFolderTest,
                              public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(BrowseFolderPlacement, PutsTheDialogWhereAsked) {
    FakeScreens screens; // 800 x 600 with a work area 800 x 570
    browse_.SetPosition(GetParam().position);
    Run([&] {
        QDialog* dialog = browse_.Dialog();
        EXPECT_EQ(dialog->pos(), GetParam().expected(dialog->size()));
        dialog->reject();
    });
}

INSTANTIATE_TEST_SUITE_P(
    Positions, BrowseFolderPlacement,
    ::testing::Values(PlaceCase{fpScreenCenter,
                                [](QSize s) {
                                    return QPoint((800 - s.width()) / 2, (570 - s.height()) / 2);
                                }},
                      PlaceCase{fpTopLeft, [](QSize) { return QPoint(0, 0); }},
                      PlaceCase{fpTopRight, [](QSize s) { return QPoint(800 - s.width(), 0); }},
                      PlaceCase{fpBottomLeft, [](QSize s) { return QPoint(0, 570 - s.height()); }},
                      PlaceCase{fpBottomRight, [](QSize s) {
                                    return QPoint(800 - s.width(), 570 - s.height());
                                }}));

TEST_F(BrowseFolderTest, ScreenCentreIsCountedFromTheScreenOrigin) {
    // A task bar on the left: the work area starts at x = 60.
    FakeScreens screens({{plat::TRect(0, 0, 800, 600), plat::TRect(60, 0, 800, 600)}});
    for (const TQvFolderPos position : {fpScreenCenter, fpTopLeft}) {
        browse_.SetPosition(position);
        Run([&] {
            QDialog* dialog = browse_.Dialog();
            const QPoint expected = position == fpTopLeft ? QPoint(60, 0)
                                                          : QPoint((740 - dialog->width()) / 2,
                                                                   (600 - dialog->height()) / 2);
            EXPECT_EQ(dialog->pos(), expected);
            dialog->reject();
        });
    }
}

} // namespace
