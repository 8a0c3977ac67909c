// The whole client under a flood of group messages: a main window, logged in
// and shown (under a virtual X display when QT_QPA_PLATFORM=xcb), receives
// group messages that another process sends through the local chat service
// at a steady rate. Reported per rate: the main window's process CPU time
// per message, the backlog when the flood stops and how long it takes to
// clear. The sender and the service run in a child process of their own, so
// their work is not counted.
//
//   bench_program_flood [--poll] [rate ...]     (default 1000 2000 5000 10000)
//
// --poll waits as the first version of this benchmark did, turning a new
// event loop every millisecond to look at the clock and the count (a
// thousand wake-ups a second of its own, counted with the window's CPU), so
// that figures taken that way can be compared.
#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainForm.h"
#include "chatd/ChatServer.h"
#include "dockkit/themes/DkKitThemes.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

#include <unistd.h>

namespace {

constexpr int kFloodMs = 5000;
const char* const kGroup = "Trade";

int64_t CpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool WaitUntil(const std::function<bool()>& done, int limitMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

void Connect(TVLChat& chat, quint16 port, const char* character, QString& chosen) {
    chat.SetDimension(chat.DimensionList().Add(QStringLiteral("Local"), QString(), port,
                                               QStringLiteral("127.0.0.1")));
    chat.SetUserName("demo");
    chat.SetPassword("demo");
    chosen = QString::fromLatin1(character);
    if (!chat.OnConnect) { // a bare engine picks its character itself
        chat.OnConnect = [character](TVLChat* sender) { sender->SelectCharacter(character); };
    }
    chat.Connect();
    if (!WaitUntil([&] { return chat.State() == csLoggedIn; })) {
        std::fprintf(stderr, "%s could not log in\n", character);
        std::exit(1);
    }
    chat.SetFloodProtection(false);
}

// Answers the character choice of a login with the name in `chosen`.
dlg::ScopedModalRunner ChooseCharacter(const QString& chosen) {
    return dlg::ScopedModalRunner([&chosen](QDialog& dialog) {
        auto* chars = qobject_cast<TCharSelForm*>(&dialog);
        if (!chars) {
            return int(QDialog::Rejected);
        }
        chars->CharacterCombobox->setEditText(chosen);
        return int(QDialog::Accepted);
    });
}

// The child: the chat service and a sender logged in as Demochar. Prints the
// port, then floods at each "<rate> <ms>" line read from its input (its event
// loop runs the service meanwhile); "0 0" ends it.
int Serve() {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    chatd::ChatServer server;
    server.Listen({0});
    std::printf("port %d\n", server.Ports().first());
    std::fflush(stdout);
    TVLChat sender;
    QString chosen;
    const dlg::ScopedModalRunner runner = ChooseCharacter(chosen);
    Connect(sender, server.Ports().first(), "Demochar", chosen);

    int rate = 0;
    int total = 0;
    int sent = 0;
    QElapsedTimer clock;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        const int due = int(std::min<int64_t>(total, clock.elapsed() * rate / 1000));
        for (; sent < due; ++sent) {
            sender.SendGroupMessage(kGroup, "anyone selling boots of speed near the city? guild "
                                            "meeting tonight at nine, bring potions " +
                                                QByteArray::number(sent));
        }
        if (sent == total) {
            tick.stop();
            std::printf("sent %d in %lld ms\n", sent, static_cast<long long>(clock.elapsed()));
            std::fflush(stdout);
        }
    });
    QSocketNotifier input(0, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &tick, [&] {
        char buffer[256];
        const ssize_t n = ::read(0, buffer, sizeof buffer);
        if (n <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, n);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QList<QByteArray> words = pending.left(end).simplified().split(' ');
            pending.remove(0, end + 1);
            rate = words.value(0).toInt();
            const int ms = words.value(1).toInt();
            if (rate <= 0) {
                QCoreApplication::quit();
                return;
            }
            total = int(int64_t(rate) * ms / 1000);
            sent = 0;
            clock.start();
            tick.start();
        }
    });
    return QCoreApplication::exec();
}

struct Figures {
    double cpuUsPerMessage = 0;
    int backlogAtEnd = 0;
    double drainMs = 0;
    int received = 0;
};

int Receive(const QList<int>& rates, bool polling) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--serve")});
    if (!child.waitForReadyRead(20000)) {
        std::fprintf(stderr, "the service did not start\n");
        return 1;
    }
    const quint16 port = quint16(QString::fromLatin1(child.readLine()).section(u' ', 1).toInt());

    // The kit's themes, in force as in the program.
    const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    auto form = std::make_unique<TMainForm>();
    form->Settings.Logging = false;
    form->SetLogging(false);
    form->show();
    QString chosen;
    {
        const dlg::ScopedModalRunner runner = ChooseCharacter(chosen);
        Connect(*form->VLChat, port, "Testchar", chosen);
    }
    // The window's loop runs undisturbed while the flood lasts: a deadline
    // ends each phase, or the last message awaited does, so the figures hold
    // the program's own work and no polling of ours.
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    int received = 0;
    int awaited = -1; // ends the running phase when reached
    auto runFor = [&](int ms) {
        if (polling) {
            QElapsedTimer phase;
            phase.start();
            WaitUntil(
                [&] { return (awaited >= 0 && received >= awaited) || phase.elapsed() >= ms; },
                ms + 1000);
            return;
        }
        deadline.start(ms);
        loop.exec();
    };
    auto shown = form->VLChat->OnGroupMessage;
    form->VLChat->OnGroupMessage = [&](TVLChat* sender, int group, const QByteArray& name,
                                       const QByteArray& text, const TBlob* blob) {
        shown(sender, group, name, text, blob);
        if (++received == awaited) {
            loop.quit();
        }
    };
    runFor(1000); // the window settles

    std::printf("\nThe main window under a flood of %d ms (%s%s):\n", kFloodMs,
                qPrintable(QGuiApplication::platformName()),
                polling ? ", waits polling every millisecond" : "");
    std::printf("%-10s %12s %10s %10s %10s\n", "rate", "CPU us/msg", "backlog", "drain ms",
                "received");
    for (const int rate : rates) {
        const int total = int(int64_t(rate) * kFloodMs / 1000);
        received = 0;
        awaited = -1;
        Figures f;
        const int64_t cpu = CpuNs();
        QElapsedTimer clock;
        clock.start();
        child.write(QByteArray::number(rate) + ' ' + QByteArray::number(kFloodMs) + '\n');
        runFor(kFloodMs);
        f.backlogAtEnd = total - received;
        const qint64 end = clock.elapsed();
        if (received < total) {
            awaited = total;
            runFor(120000);
        }
        awaited = -1;
        f.drainMs = double(clock.elapsed() - end);
        runFor(200); // the last frame
        f.received = received;
        f.cpuUsPerMessage = double(CpuNs() - cpu) / 1000.0 / std::max(1, received);
        child.waitForReadyRead(10000);
        const QByteArray report = child.readAll().trimmed();
        std::printf("%-10d %12.1f %10d %10.0f %10d   (%s)\n", rate, f.cpuUsPerMessage,
                    f.backlogAtEnd, f.drainMs, f.received, report.constData());
        std::fflush(stdout);
    }
    child.write("0 0\n");
    child.closeWriteChannel();
    form.reset();
    child.waitForFinished(10000);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QStringLiteral("--serve")) {
        return Serve();
    }
    const bool polling = args.removeAll(QStringLiteral("--poll")) > 0;
    QList<int> rates;
    for (const QString& arg : args) {
        rates << arg.toInt();
    }
    if (rates.isEmpty()) {
        rates = {1000, 2000, 5000, 10000};
    }
    return Receive(rates, polling);
}
