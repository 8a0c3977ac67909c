// The whole client under a flood of group messages: a main window, logged in
// and shown (under a virtual X display when QT_QPA_PLATFORM=xcb), receives
// group messages that another process sends through the local chat service
// at a steady rate. Reported per rate: the main window's process CPU time
// per message, the backlog when the sender has sent its last message (sent
// but not yet shown) and how long it takes to clear. The sender and the
// service run in a child process of their own, so their work is not counted.
//
//   bench_program_flood [--poll] [rate ...]     (default 1000 2000 5000 10000)
//
// --poll waits as the first version of this benchmark did, turning a new
// event loop every millisecond to look at the clock and the count (a
// thousand wake-ups a second of its own, counted with the window's CPU), so
// that figures taken that way can be compared.
#include "BenchQt.h"

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
#include <memory>

#include <unistd.h>

namespace {

constexpr int kFloodMs = 5000;
const char* const kGroup = "Trade";

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
    if (!WaitUntil([&] { return chat.State() == csLoggedIn; }, 20000)) {
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
    int backlog = 0; // sent but not yet shown when the sender finished
    double drainMs = 0;
    int received = 0;
};

// Runs the window's event loop through the phases of a flood and counts the
// messages it shows. The loop runs undisturbed: a deadline ends each phase,
// or the last message awaited does, so the figures hold the program's own
// work and no polling of ours (unless asked for, to compare).
class FloodWatch {
public:
    FloodWatch(TVLChat& chat, QProcess& child, bool polling) : child_(child), polling_(polling) {
        clock_.start();
        deadline_.setSingleShot(true);
        QObject::connect(&deadline_, &QTimer::timeout, &loop_, &QEventLoop::quit);
        auto shown = chat.OnGroupMessage;
        chat.OnGroupMessage = [this, shown](TVLChat* sender, int group, const QByteArray& name,
                                            const QByteArray& text, const TBlob* blob) {
            shown(sender, group, name, text, blob);
            if (++received_ == awaited_) {
                shownAllAt_ = clock_.elapsed();
            }
            QuitWhenDone();
        };
        QObject::connect(&child_, &QProcess::readyReadStandardOutput, &loop_, [this] {
            report_ += child_.readAllStandardOutput();
            if (sentAt_ < 0 && report_.contains('\n')) {
                // The sender has sent its last message.
                sentAt_ = clock_.elapsed();
                backlog_ = awaited_ - received_;
            }
            QuitWhenDone();
        });
    }

    void RunFor(int ms) {
        if (polling_) {
            QElapsedTimer phase;
            phase.start();
            WaitUntil([&] { return Done() || phase.elapsed() >= ms; }, ms + 1000);
            return;
        }
        deadline_.start(ms);
        loop_.exec();
    }

    Figures Measure(int rate) {
        received_ = 0;
        awaited_ = int(int64_t(rate) * kFloodMs / 1000);
        waiting_ = false;
        sentAt_ = -1;
        shownAllAt_ = -1;
        backlog_ = 0;
        report_.clear();
        const int64_t cpu = ProcessCpuNs();
        clock_.start();
        child_.write(QByteArray::number(rate) + ' ' + QByteArray::number(kFloodMs) + '\n');
        RunFor(kFloodMs);
        waiting_ = true; // for the sender's report and the last message
        if (!Done()) {
            RunFor(120000);
        }
        waiting_ = false;
        RunFor(200); // the last frame
        Figures f;
        f.received = received_;
        f.backlog = std::max(0, backlog_);
        f.drainMs = double(std::max<qint64>(0, shownAllAt_ - sentAt_));
        f.cpuUsPerMessage = double(ProcessCpuNs() - cpu) / 1000.0 / std::max(1, received_);
        return f;
    }

    QByteArray Report() const { return report_.trimmed(); }

private:
    bool Done() const { return waiting_ && received_ >= awaited_ && sentAt_ >= 0; }
    void QuitWhenDone() {
        if (Done()) {
            loop_.quit();
        }
    }

    QProcess& child_;
    const bool polling_;
    QEventLoop loop_;
    QTimer deadline_;
    QElapsedTimer clock_;
    int received_ = 0;
    int awaited_ = -1;
    bool waiting_ = false;
    qint64 sentAt_ = -1;
    qint64 shownAllAt_ = -1;
    int backlog_ = 0;
    QByteArray report_;
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
    FloodWatch watch(*form->VLChat, child, polling);
    watch.RunFor(1000); // the window settles

    std::printf("\nThe main window under a flood of %d ms (%s%s):\n", kFloodMs,
                qPrintable(QGuiApplication::platformName()),
                polling ? ", waits polling every millisecond" : "");
    std::printf("%-10s %12s %10s %10s %10s\n", "rate", "CPU us/msg", "backlog", "drain ms",
                "received");
    for (const int rate : rates) {
        const Figures f = watch.Measure(rate);
        std::printf("%-10d %12.1f %10d %10.0f %10d   (%s)\n", rate, f.cpuUsPerMessage, f.backlog,
                    f.drainMs, f.received, watch.Report().constData());
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
    PreferOffscreen();
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
