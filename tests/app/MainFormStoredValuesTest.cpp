// The main window started with a settings file edited by hand or damaged:
// whatever its placement, its panel's saved position, its splitter bars and
// its fonts hold, the window opens on the monitor, a floating panel too, and
// the chat area keeps its room.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"
#include "PlatformFakes.h"

#include "app/mainform/MainFormControls.h"
#include "app/mainform/MainFormTestSeam.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkFloatingWindowParent.h"
#include "dockkit/docking/DkxDock.h"

#include <QGuiApplication>
#include <QScreen>

#include <map>
#include <optional>

namespace mainformtest {
namespace {

using plat::TRect;

// "12pt" or "11px".
std::string FontSize(const QFont& font) {
    return font.pointSize() > 0 ? std::to_string(font.pointSize()) + "pt"
                                : std::to_string(font.pixelSize()) + "px";
}

std::string Pair(int a, int b) {
    return std::to_string(a) + "," + std::to_string(b);
}

// A row of startup/damaged-settings.txt.
class DamagedSettings : public MainFormTest,
                        public ::testing::WithParamInterface<QList<QByteArray>> {
protected:
    // Writes "Key/Name=value" as the row has it.
    void Store(const QByteArray& item) {
        static const std::map<QByteArray, QStringList> kKeys{
            {"Root", {}},
            {"Position", {"MainForm", "Position"}},
            {"Panel", {"MainForm", "Toolbars", "GroupDockablePanel"}},
            {"MenuBar", {"MainForm", "Toolbars", "MenuBar"}},
            {"StandardBar", {"MainForm", "Toolbars", "StandardBar"}},
            {"EditBar", {"MainForm", "Toolbars", "EditBar"}}};
        const qsizetype slash = item.indexOf('/');
        const qsizetype equals = item.indexOf('=');
        ASSERT_TRUE(slash > 0 && equals > slash) << item.constData();
        ASSERT_TRUE(kKeys.count(item.left(slash))) << item.constData();
        std::optional<plat::Registry::Key> opened =
            Stored().OpenKey(kKeys.at(item.left(slash)), true);
        ASSERT_TRUE(opened.has_value()) << item.constData();
        plat::Registry::Key& key = *opened;
        const QString name = QString::fromLatin1(item.mid(slash + 1, equals - slash - 1));
        const QByteArray value = item.mid(equals + 1);
        if (value.startsWith('#')) {
            key.WriteInteger(name, value.mid(1).toInt());
        } else if (value.startsWith('%')) {
            key.WriteBinary(name, QByteArray::fromHex(value.mid(1)));
        } else {
            key.WriteString(name, QString::fromLatin1(value));
        }
    }

    // The one monitor is the screen the window opens on.
    const QScreen* screen_ = QGuiApplication::primaryScreen();
    FakeScreens screens_{{{TRect(screen_->geometry()), TRect(screen_->availableGeometry())}}};
};

TEST_P(DamagedSettings, EveryWindowStaysOnTheMonitorAndTheChatAreaKeepsItsRoom) {
    const QList<QByteArray>& row = GetParam();
    if (row[1] != "-") {
        for (const QByteArray& item : row[1].split(' ')) {
            Store(item);
        }
    }
    TMainForm& f = Create();
    f.show();
    ProcessPosted();
    const QRect work = screen_->availableGeometry();

    // What holds for every row.
    EXPECT_TRUE(work.contains(QRect(f.pos(), f.size())))
        << Pair(f.x(), f.y()) << " " << Pair(f.width(), f.height());
    if (f.GroupDockablePanel->Floating()) {
        const QRect frame = f.GroupDockablePanel->FloatingParent()->geometry();
        EXPECT_TRUE(work.contains(frame))
            << Pair(frame.x(), frame.y()) << " " << Pair(frame.width(), frame.height());
    }
    EXPECT_GE(f.MainSplitter->width(), 32);
    EXPECT_GE(f.MainSplitter->UpperLeft()->height(), 18);
    EXPECT_GE(f.MainSplitter->LowerRight()->height(), 18);

    // What the row sees.
    std::map<std::string, std::string> seen;
    const bool maximized = f.windowState().testFlag(Qt::WindowMaximized);
    seen["maximized"] = maximized ? "" : "no";
    seen["size"] = Pair(f.width(), f.height());
    seen["at"] = Pair(f.x(), f.y());
    if (f.GroupDockablePanel->Docked()) {
        seen["panel"] = std::to_string(f.GroupDockablePanel->ClientAreaWidth());
    } else {
        const QSize client = f.GroupDockablePanel->FloatingClientSize();
        seen["floating"] = Pair(client.width(), client.height());
    }
    seen["chat"] = std::to_string(f.MainSplitter->width());
    seen["main"] = std::to_string(f.MainSplitter->height() - f.MainSplitter->Position());
    seen["group"] = std::to_string(f.GroupSplitter->height() - f.GroupSplitter->Position());
    seen["memo"] = FontSize(f.OutputMemo->Font().font);
    seen["input"] = FontSize(f.InputEdit->Font().font);
    seen["friends"] = FontSize(f.FriendsTreeView->Font().font);
    for (const QByteArray& expected : row[2].split(' ')) {
        const qsizetype equals = expected.indexOf('=');
        const std::string name = (equals < 0 ? expected : expected.left(equals)).toStdString();
        const std::string value = equals < 0 ? "" : expected.mid(equals + 1).toStdString();
        ASSERT_TRUE(seen.count(name)) << name;
        EXPECT_EQ(seen[name], value) << name;
    }
    if (!maximized) {
        EXPECT_TRUE(row[2].contains("size=")) << "a window not maximized shows its size";
    }
}

// A bar without a name, which the kit can neither place nor save: its
// failure is reported, and every other setting is read and saved all the
// same, the other bars' places too.
TEST_F(MainFormTest, ABarTheKitCannotPlaceCostsNoOtherSetting) {
    StoredRoot().WriteInteger(QStringLiteral("AutoReconnect"), 1);
    StoredRoot().WriteInteger(QStringLiteral("LineSpacing"), 7);
    TMainForm& f = Create();
    auto* unnamed = new TDkxToolbar(&f);
    unnamed->SetCurrentDock(f.TopDock);
    f.Settings.AutoReconnect = false;
    f.Settings.LineSpacing = 0;
    QStringList reported;
    {
        const plat::ScopedExceptionHandler handler(
            [&](const std::exception& error) { reported << QString::fromUtf8(error.what()); });
        TMainFormTestSeam::LoadSettings(f); // read again, as the window's creation does
    }
    EXPECT_EQ(reported, QStringList{"Cannot save dockable window's position because Name "
                                    "property is not set"});
    EXPECT_TRUE(f.Settings.AutoReconnect);
    EXPECT_EQ(f.Settings.LineSpacing, 7);

    f.Settings.ReconnectTimes = 3;
    const std::unique_ptr<plat::Registry> saved = DestroyAndReload();
    EXPECT_EQ(LoadSettings(*saved).ReconnectTimes, 3);
    const auto menuBar = saved->OpenKey({"MainForm", "Toolbars", "MenuBar"}, false);
    ASSERT_TRUE(menuBar.has_value());
    EXPECT_EQ(menuBar->ReadInteger(QStringLiteral("Rev")), 2000);
}

INSTANTIATE_TEST_SUITE_P(MainFormTest, DamagedSettings,
                         ::testing::ValuesIn(GoldenRows("startup/damaged-settings.txt", 3)),
                         [](const auto& info) {
                             QByteArray name = info.param[0];
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name.toStdString();
                         });

} // namespace
} // namespace mainformtest
