// The main window and the away messages viewer come back where they were
// closed, start after start: offscreen, and on X displays with and without a
// window manager.
#include "MainFormTestSupport.h"
#include "VirtualDisplay.h"

#include "app/away/AwayMessagesForm.h"
#include "platform/gui/WindowManager.h"

#include <QAction>
#include <QScreen>
#include <QWindow>

namespace mainformtest {
namespace {

// How a shown window looks: "maximized" while it is and covers its monitor's
// work area, else its frame's position and its size.
QString Shown(const QWidget& w) {
    const QRect frame = w.frameGeometry();
    if (w.isMaximized() && frame.contains(w.screen()->availableGeometry())) {
        return QStringLiteral("maximized");
    }
    return QStringLiteral("%1,%2 %3x%4")
        .arg(frame.x())
        .arg(frame.y())
        .arg(w.width())
        .arg(w.height());
}

// Shown, and framed by the window manager when one runs.
bool Settled(const QWidget& w) {
    const QWindow* handle = w.windowHandle();
    return handle != nullptr && handle->isExposed() &&
           (!plat::WindowManagerRuns() || w.frameGeometry() != w.geometry());
}

struct Restart {
    const char* Name;
    bool AwayViewer; // else the main window
    const char* Stored;
    // What shows at every start and what is stored after it, with a window
    // manager (or offscreen) and without one.
    const char* Shown;
    const char* StoredAfter;
    const char* ShownBare;
    const char* StoredAfterBare;
};

constexpr char kBounds[] = "Top=200 Left=300 Height=400 Width=500 Maximized=0";
constexpr char kMaximized[] = "Top=200 Left=300 Height=400 Width=500 Maximized=1";
const Restart kRestarts[] = {
    {"Bounds", false, kBounds, "300,200 500x400", kBounds, "300,200 500x400", kBounds},
    {"Maximized", false, kMaximized, "maximized", kMaximized, "maximized", kMaximized},
    // Without a window manager nobody could restore a window maximized by default.
    {"NothingStored", false, "", "maximized", "Maximized=1", "0,0 760x540",
     "Top=0 Left=0 Height=540 Width=760 Maximized=0"},
    {"AwayViewer", true, kBounds, "300,200 500x400", kBounds, "300,200 500x400", kBounds},
};

class WindowRestartTest : public MainFormTest, public ::testing::WithParamInterface<TestDisplay> {
protected:
    static QStringList Key(bool awayViewer) {
        return {QLatin1String(awayViewer ? "MessagesForm" : "MainForm"),
                QStringLiteral("Position")};
    }
    void Store(bool awayViewer, const char* values) {
        Stored().DeleteKey(Key(awayViewer));
        for (const QString& value : QString::fromLatin1(values).split(u' ', Qt::SkipEmptyParts)) {
            Stored()
                .OpenKey(Key(awayViewer), true)
                ->WriteString(value.section(u'=', 0, 0), value.section(u'=', 1));
        }
    }
    // The values as the next start finds them.
    static QString StoredNow(bool awayViewer) {
        plat::Registry store;
        const auto key = store.OpenKey(Key(awayViewer), false);
        QStringList values;
        for (const QString& name : key ? key->ValueNames() : QStringList()) {
            values << name + u'=' + key->ReadString(name).value_or(QStringLiteral("?"));
        }
        return values.join(u' ');
    }

    // Starts the program's window, waits (a bounded time) until it shows
    // `expected`, lets `whileShown` act on it and closes it; what it showed.
    QString StartAndClose(bool awayViewer, const QString& expected,
                          const std::function<void(QWidget&)>& whileShown = {}) {
        Create();
        QWidget* window = form.get();
        if (awayViewer) {
            form->AddAwayMessage(QStringLiteral("Bob"), QStringLiteral("hi"));
            form->AwayMessagesAction->trigger();
            window = form->findChild<TAwayMessagesForm*>(QStringLiteral("AwayMessagesForm"));
        } else {
            form->show();
        }
        if (window == nullptr) {
            return QStringLiteral("no window");
        }
        WaitUntil([&] { return Settled(*window) && Shown(*window) == expected; }, 3000);
        if (whileShown) {
            whileShown(*window);
        }
        QString shown = Settled(*window) ? Shown(*window) : QStringLiteral("not shown");
        window->close();
        DestroyAndReload();
        return shown;
    }
};

TEST_P(WindowRestartTest, WindowsComeBackWhereTheyWereClosedAtEveryStart) {
    if (!BodyRunsHere(GetParam())) {
        return;
    }
    const bool managed = GetParam() != TestDisplay::X;
    for (const Restart& row : kRestarts) {
        SCOPED_TRACE(row.Name);
        Store(row.AwayViewer, row.Stored);
        const QString shown = QString::fromLatin1(managed ? row.Shown : row.ShownBare);
        const QString stored = QString::fromLatin1(managed ? row.StoredAfter : row.StoredAfterBare);
        QStringList starts;
        for (int start = 1; start <= 5; ++start) {
            const QString seen = StartAndClose(row.AwayViewer, shown);
            starts << seen + QStringLiteral(" | ") + StoredNow(row.AwayViewer);
        }
        EXPECT_EQ(starts, QStringList(5, shown + QStringLiteral(" | ") + stored));
    }
    if (managed) {
        // Restored by the user, the maximized window takes its stored bounds again.
        Store(false, kMaximized);
        const QString restored = StartAndClose(false, QStringLiteral("maximized"), [](QWidget& w) {
            w.setWindowState(Qt::WindowNoState);
            WaitUntil([&] { return Shown(w) == QStringLiteral("300,200 500x400"); }, 3000);
        });
        EXPECT_EQ(restored + QStringLiteral(" | ") + StoredNow(false),
                  QStringLiteral("300,200 500x400 | ") + kBounds);
    } else {
        // Asked to maximize with nobody to carry it out, the window stays
        // where it is, and is stored so.
        Store(false, kBounds);
        const QString asked =
            StartAndClose(false, QStringLiteral("300,200 500x400"),
                          [](QWidget& w) { w.setWindowState(Qt::WindowMaximized); });
        EXPECT_EQ(asked + QStringLiteral(" | ") + StoredNow(false),
                  QStringLiteral("300,200 500x400 | ") + kBounds);
    }
}

INSTANTIATE_TEST_SUITE_P(Displays, WindowRestartTest, EveryTestDisplay(), TestDisplayParamName());

} // namespace
} // namespace mainformtest
