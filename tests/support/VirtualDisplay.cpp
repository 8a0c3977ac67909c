#include "VirtualDisplay.h"

#include "WaitUntil.h"

#include "platform/gui/WindowManager.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Set in the child: the display it runs on.
const char* const kChildVariable = "QV_TEST_DISPLAY";
// Bounds: a server or window manager coming up, a child running one test.
constexpr int kStartLimitMs = 10000;
constexpr int kChildLimitMs = 60000;

// Asked to end first, then killed.
void End(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// An Xvfb server on a free display, with openbox on it when one is named.
// Failure is empty while they run; both end with the object.
class XServer {
public:
    XServer(const QString& xvfb, const QString& openbox) {
        // The server picks a free display and writes its number on stdout.
        server_.start(xvfb,
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray number;
        const QDeadlineTimer deadline(kStartLimitMs);
        while (!number.contains('\n') && server_.waitForReadyRead(int(deadline.remainingTime()))) {
            number += server_.readAllStandardOutput();
        }
        if (!number.contains('\n')) {
            Failure = QStringLiteral("Xvfb gave no display: ") + server_.readAllStandardError();
            return;
        }
        Display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        if (openbox.isEmpty()) {
            return;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), Display);
        for (const char* folder : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
            environment.insert(QString::fromLatin1(folder), home_.path());
        }
        manager_.setProcessEnvironment(environment);
        manager_.setProcessChannelMode(QProcess::MergedChannels);
        manager_.start(openbox, {QStringLiteral("--sm-disable")});
        if (!manager_.waitForStarted(kStartLimitMs)) {
            Failure = QStringLiteral("openbox did not start");
        }
    }
    ~XServer() {
        End(manager_);
        End(server_);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    QString Display;
    QString Failure;

private:
    QProcess server_;
    QProcess manager_;
    QTemporaryDir home_;
};

// A window mapped while a manager is still starting may be lost: it is shown
// again until the manager frames and activates it.
bool ManagerTakesWindows() {
    QWidget probe;
    probe.resize(100, 100);
    const auto taken = [&] {
        return probe.frameGeometry() != probe.geometry() && QApplication::activeWindow() == &probe;
    };
    const QDeadlineTimer deadline(kStartLimitMs);
    while (!taken() && !deadline.hasExpired()) {
        probe.hide();
        probe.show();
        probe.activateWindow();
        WaitUntil(taken, 500);
    }
    return taken();
}

// In the child: the window manager runs exactly when it is meant to, and
// has come far enough to frame and activate a window.
bool ChildReady(TestDisplay display) {
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    const bool manager = display == TestDisplay::XWithManager;
    EXPECT_TRUE(WaitUntil([&] { return plat::WindowManagerRuns() == manager; }, kStartLimitMs))
        << "a window manager " << (manager ? "never came" : "runs");
    if (manager && !::testing::Test::HasFailure()) {
        EXPECT_TRUE(ManagerTakesWindows()) << "the window manager framed or activated no window";
    }
    return !::testing::Test::HasFailure();
}

void RunChild(const XServer& server, TestDisplay display) {
    const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), server.Display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The X libraries copy strings that are not terminated.
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("strict_string_checks=0"));
    environment.insert(QString::fromLatin1(kChildVariable),
                       QString::fromStdString(TestDisplayName(display)));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_filter=%1.%2")
             .arg(QString::fromLatin1(test.test_suite_name()), QString::fromLatin1(test.name()))});
    const bool ended = child.waitForFinished(kChildLimitMs);
    End(child);
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_TRUE(ended) << "the test did not end within " << kChildLimitMs << " ms";
    EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                output.contains(QStringLiteral("[  PASSED  ] 1 test.")))
        << "on " << TestDisplayName(display) << " display " << server.Display.toStdString() << ":\n"
        << output.toStdString();
}

void Skip(const char* why) {
    GTEST_SKIP() << why;
}

} // namespace

std::string TestDisplayName(TestDisplay display) {
    switch (display) {
    case TestDisplay::Offscreen:
        return "Offscreen";
    case TestDisplay::X:
        return "X";
    case TestDisplay::XWithManager:
        return "XWithManager";
    }
    return "?";
}

bool BodyRunsHere(TestDisplay display) {
    if (qEnvironmentVariableIsSet(kChildVariable)) {
        return ChildReady(display);
    }
    if (display == TestDisplay::Offscreen) {
        return true;
    }
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = display == TestDisplay::XWithManager
                                ? QStandardPaths::findExecutable(QStringLiteral("openbox"))
                                : QString();
    if (xvfb.isEmpty() || (display == TestDisplay::XWithManager && openbox.isEmpty())) {
        Skip(xvfb.isEmpty() ? "Xvfb is not installed" : "openbox is not installed");
        return false;
    }
    const XServer server(xvfb, openbox);
    if (!server.Failure.isEmpty()) {
        ADD_FAILURE() << server.Failure.toStdString();
        return false;
    }
    RunChild(server, display);
    return false;
}
