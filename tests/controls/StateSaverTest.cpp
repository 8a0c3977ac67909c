#include "controls/StateSaver.h"

#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"

#include "PlatformFakes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using plat::TRect;
using State = TStateSaver::TStoredState;

// GoogleTest finds the printer of the saver's nested type here.
void PrintTo(const State& s, std::ostream* os) {
    *os << "top " << s.Top << " left " << s.Left << " height " << s.Height << " width " << s.Width
        << (s.Maximized ? " maximized" : "");
}

namespace {

constexpr int NS = TStateSaver::kNotStored;

struct ClampCase {
    const char* name;
    State stored;
    State expected;
};

void PrintTo(const ClampCase& c, std::ostream* os) {
    *os << c.name;
}

class KeepOnScreen : public ::testing::TestWithParam<ClampCase> {};

TEST_P(KeepOnScreen, BringsStoredBoundsIntoTheWorkArea) {
    State state = GetParam().stored;
    TStateSaver::KeepInside(state, QRect(0, 0, 1920, 1040));
    EXPECT_EQ(state, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkArea, KeepOnScreen,
    ::testing::Values(
        ClampCase{"Inside", {100, 200, 300, 400}, {100, 200, 300, 400}},
        ClampCase{"TopBelowTheBottomTakesTheWholeHeight", {5000, 10, 400, 500}, {0, 10, 1040, 500}},
        ClampCase{"LargerThanTheWorkArea", {0, 0, 2000, 3000}, {0, 0, 1040, 1920}},
        ClampCase{"AboveAndLeftOfIt", {-50, -70, 300, 400}, {0, 0, 300, 400}},
        ClampCase{"HangingOverTheBottomRight", {1000, 1900, 300, 400}, {740, 1520, 300, 400}},
        ClampCase{"LeftBeyondTheRightTakesTheWholeWidth", {10, 1920, 300, 400}, {10, 0, 300, 1920}},
        ClampCase{"OnlyATopBeyondTheBottomIsDropped", {5000, 10, NS, NS}, {NS, 10, NS, NS}},
        ClampCase{"NothingStored", {NS, NS, NS, NS}, {NS, NS, NS, NS}}));

class StateSaverTest : public ::testing::Test {
protected:
    StateSaverTest() {
        registry_ = std::make_shared<plat::Registry>(dir_.filePath(QStringLiteral("store.ini")));
    }

    TStateSaver* SaverFor(QWidget& form) {
        auto* saver = new TStateSaver(&form);
        saver->SetPath(QStringLiteral("Software\\ZELVO\\MainForm"));
        saver->SetRegistry(registry_);
        return saver;
    }
    static void Design(QWidget& form) {
        form.move(50, 60);
        form.resize(300, 200);
    }
    static QRect Bounds(const QWidget& form) { return QRect(form.pos(), form.size()); }

    // What the store file holds now, read afresh.
    std::optional<plat::Registry::Key> Stored() {
        file_ = std::make_unique<plat::Registry>(registry_->FilePath());
        return file_->OpenKey({QStringLiteral("MainForm"), QStringLiteral("Position")}, false);
    }
    plat::Registry::Key Key() {
        return *registry_->OpenKey({QStringLiteral("MainForm"), QStringLiteral("Position")}, true);
    }

    QTemporaryDir dir_;
    FakeScreens screens_{{{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)}}};
    std::shared_ptr<plat::Registry> registry_;
    std::unique_ptr<plat::Registry> file_;
    std::vector<plat::MsgBoxRequest> boxes_;
    plat::ScopedMsgBoxHandler handler_{[this](const plat::MsgBoxRequest& request) {
        boxes_.push_back(request);
        return plat::MsgResult::Ok;
    }};
};

TEST_F(StateSaverTest, PlacementComesBackInTheNextRun) {
    {
        QWidget form;
        form.move(100, 120);
        form.resize(640, 480);
        SaverFor(form)->SaveState();
    }
    const auto stored = Stored();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Top")), 120);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Left")), 100);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Height")), 480);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Width")), 640);
    EXPECT_EQ(stored->ReadBool(QStringLiteral("Maximized")), false);

    QWidget again;
    Design(again);
    SaverFor(again)->Loaded();
    EXPECT_EQ(Bounds(again), QRect(100, 120, 640, 480));
    EXPECT_FALSE(again.isMaximized());
}

TEST_F(StateSaverTest, MaximizedFormKeepsItsLastNormalBounds) {
    {
        QWidget form;
        form.move(100, 120);
        form.resize(640, 480);
        TStateSaver* saver = SaverFor(form);
        saver->SaveState();
        form.move(10, 10);
        form.setWindowState(Qt::WindowMaximized);
        saver->SaveState();
    }
    const auto stored = Stored();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->ReadBool(QStringLiteral("Maximized")), true);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Top")), 120);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Left")), 100);

    QWidget again;
    Design(again);
    SaverFor(again)->Loaded();
    EXPECT_TRUE(again.isMaximized());
    EXPECT_EQ(again.normalGeometry(), QRect(100, 120, 640, 480));
}

TEST_F(StateSaverTest, NothingStoredKeepsTheDesignAndTheDefaultState) {
    for (const bool defaultMaximized : {true, false}) {
        QWidget form;
        Design(form);
        TStateSaver* saver = SaverFor(form);
        saver->SetDefaulMaximized(defaultMaximized);
        saver->Loaded();
        EXPECT_EQ(Bounds(form), QRect(50, 60, 300, 200));
        EXPECT_EQ(form.isMaximized(), defaultMaximized);
    }
}

struct ForeignCase {
    const char* name;
    std::function<void(plat::Registry::Key&)> write;
    QRect expected; // the design is (50, 60) 300 x 200
    bool maximized;
};

void PrintTo(const ForeignCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredValues : public StateSaverTest, public ::testing::WithParamInterface<ForeignCase> {};

TEST_P(StoredValues, OfTheWrongKindNeverLoseTheWindow) {
    const ForeignCase& c = GetParam();
    plat::Registry::Key key = Key();
    key.WriteInteger(QStringLiteral("Top"), 70);
    key.WriteInteger(QStringLiteral("Left"), 80);
    key.WriteInteger(QStringLiteral("Height"), 400);
    key.WriteInteger(QStringLiteral("Width"), 500);
    key.WriteBool(QStringLiteral("Maximized"), false);
    c.write(key);
    QWidget form;
    Design(form);
    SaverFor(form)->Loaded();
    EXPECT_EQ(Bounds(form), c.expected);
    EXPECT_EQ(form.isMaximized(), c.maximized);
}

INSTANTIATE_TEST_SUITE_P(
    Foreign, StoredValues,
    ::testing::Values(
        ForeignCase{"AllGood", [](plat::Registry::Key&) {}, QRect(80, 70, 500, 400), false},
        // A position that does not count takes part in the keep-on-screen
        // rule as the not-stored mark does: top of the work area, full height.
        ForeignCase{"TopAsText",
                    [](plat::Registry::Key& k) { k.WriteString(QStringLiteral("Top"), "abc"); },
                    QRect(80, 0, 500, 1040), false},
        ForeignCase{"WidthAsFraction",
                    [](plat::Registry::Key& k) { k.WriteString(QStringLiteral("Width"), "12.5"); },
                    QRect(80, 70, 300, 400), false},
        ForeignCase{"LeftAsBinary",
                    [](plat::Registry::Key& k) {
                        k.WriteBinary(QStringLiteral("Left"), QByteArray("\x01\x02", 2));
                    },
                    QRect(0, 70, 1920, 400), false},
        ForeignCase{"NoSize",
                    [](plat::Registry::Key& k) {
                        k.WriteInteger(QStringLiteral("Height"), 0);
                        k.WriteInteger(QStringLiteral("Width"), -20);
                    },
                    QRect(80, 70, 300, 200), false},
        ForeignCase{
            "MaximizedAsText",
            [](plat::Registry::Key& k) { k.WriteString(QStringLiteral("Maximized"), "yes"); },
            QRect(80, 70, 500, 400), true},
        ForeignCase{"FarOffTheScreen",
                    [](plat::Registry::Key& k) {
                        k.WriteInteger(QStringLiteral("Top"), -3000);
                        k.WriteInteger(QStringLiteral("Left"), -4000);
                    },
                    QRect(0, 0, 500, 400), false}));

TEST_F(StateSaverTest, EachMonitorKeepsItsWindowsAndNoneIsLost) {
    screens_.SetAreas({{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)},
                       {TRect(1920, 0, 3840, 1080), TRect(1920, 0, 3840, 1040)}});
    struct Case {
        int top, left;
        QRect expected;
    };
    for (const Case& c :
         {Case{100, 2000, QRect(2000, 100, 800, 600)}, Case{-3000, -4000, QRect(0, 0, 800, 600)},
          Case{100, 9000, QRect(1920, 100, 1920, 600)}}) {
        plat::Registry::Key key = Key();
        key.WriteInteger(QStringLiteral("Top"), c.top);
        key.WriteInteger(QStringLiteral("Left"), c.left);
        key.WriteInteger(QStringLiteral("Height"), 600);
        key.WriteInteger(QStringLiteral("Width"), 800);
        key.WriteBool(QStringLiteral("Maximized"), false);
        QWidget form;
        Design(form);
        SaverFor(form)->Loaded();
        EXPECT_EQ(Bounds(form), c.expected) << c.left;
    }
}

TEST_F(StateSaverTest, IniFileRoundTrip) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("sub")));
    const QString path = dir_.filePath(QStringLiteral("sub/window.ini"));
    const auto iniSaver = [&](QWidget& form) {
        auto* saver = new TStateSaver(&form);
        saver->SetLocation(slIni);
        saver->SetPath(path);
        saver->SetSection(QString()); // the default section then
        return saver;
    };
    {
        QWidget form;
        form.move(30, 40);
        form.resize(500, 300);
        iniSaver(form)->SaveState();
    }
    plat::Registry file(path);
    const auto section = file.OpenKey({QStringLiteral("Position")}, false);
    ASSERT_TRUE(section);
    EXPECT_EQ(section->ReadInteger(QStringLiteral("Top")), 40);
    EXPECT_EQ(section->ReadBool(QStringLiteral("Maximized")), false);

    QWidget again;
    Design(again);
    iniSaver(again)->Loaded();
    EXPECT_EQ(Bounds(again), QRect(30, 40, 500, 300));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(registry_->KeyExists({QStringLiteral("MainForm")}));
}

TEST_F(StateSaverTest, IniFileInAMissingFolderIsReportedAndSkipped) {
    const QString folder = dir_.filePath(QStringLiteral("gone"));
    QWidget form;
    Design(form);
    auto* saver = new TStateSaver(&form);
    saver->SetLocation(slIni);
    saver->SetPath(folder + QStringLiteral("/window.ini"));
    saver->Loaded();
    saver->SaveState();
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].Kind, plat::MsgKind::Error);
    EXPECT_EQ(boxes_[0].Buttons, plat::MsgButtons::Ok);
    EXPECT_EQ(boxes_[0].Text,
              QStringLiteral("Unable to load window state.  Directory does not exist:\n") + folder);
    EXPECT_EQ(boxes_[1].Text,
              QStringLiteral("Unable to save window state.  Directory does not exist:\n") + folder);
    EXPECT_EQ(Bounds(form), QRect(50, 60, 300, 200));
    EXPECT_FALSE(form.isMaximized());
    EXPECT_FALSE(QFile::exists(folder));
}

TEST_F(StateSaverTest, ClosingTheWindowStoresItOnlyWhenAutomatic) {
    for (const bool automatic : {false, true}) {
        QWidget form;
        Design(form);
        TStateSaver* saver = SaverFor(form);
        saver->SetAutomatic(automatic);
        saver->SetDefaulMaximized(false);
        saver->Loaded();
        form.show();
        form.move(200, 210);
        form.resize(420, 310);
        form.close();
        const auto stored = Stored();
        ASSERT_EQ(stored.has_value(), automatic);
        if (automatic) {
            EXPECT_EQ(stored->ReadInteger(QStringLiteral("Top")), 210);
            EXPECT_EQ(stored->ReadInteger(QStringLiteral("Width")), 420);
        }
    }
}

TEST_F(StateSaverTest, DestroyingAShownWindowStoresIt) {
    auto form = std::make_unique<QWidget>();
    Design(*form);
    TStateSaver* saver = SaverFor(*form);
    saver->SetDefaulMaximized(false);
    saver->Loaded();
    form->show();
    form->move(220, 230);
    form.reset();
    const auto stored = Stored();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Left")), 220);
    EXPECT_EQ(stored->ReadInteger(QStringLiteral("Top")), 230);
}

} // namespace
