// The whole program's processor time with many buddies, against the local
// chat service: the service runs here, with its accounts from a generated
// JSON document (the format quorvel-chatd --accounts reads), and the program
// is started as a process of its own on the X display of the environment
// (run it under Xvfb, see trees-xvfb.sh). It logs in by itself (automatic
// login, the character dialog answered with xdotool).
//
// For each number of buddies and each run:
//   login: the character is selected, the service sends its n buddies (all
//     offline, a tenth not permanent), then half of them come online; the
//     program's processor time from the selection until it is idle again,
//     per buddy;
//   storm: then 1,000 status changes a second (random buddies going on- or
//     offline) for a number of seconds; the program's processor time until
//     it is idle again, per change, its share of one core over the storm,
//     and how long it stayed busy after the last change (its backlog).
// The processor time is the sum over the program's threads
// (/proc/PID/task/*/schedstat). Prints each figure and then, over the runs,
// min / median / max of the ratios the friends tree is held to.
//
// Usage: bench_trees_service PROGRAM [--buddies 1000,3000,10000] [--runs 3]
//                            [--storm-seconds 10] [--rate 1000]
#include "BenchQt.h"
#include "BenchStats.h"

#include "app/settings/Settings.h"
#include "chatd/ChatServer.h"
#include "chatd/ServerCodec.h"
#include "platform/core/Registry.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr int kFirstBuddyId = 100000;
const QString kWatcher = QStringLiteral("Watcher");

// Processor time of a process, all its threads, in seconds.
double ProcessCpu(qint64 pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly)) {
            total += stat.readAll().split(' ').value(0).toDouble() / 1e9;
        }
    }
    return total;
}

// The end of a process's work: sampled every 20 ms from `from` on until it
// has used less than 5% of a core over half a second (doing nothing, the
// program takes about 2% for its timers and caret), the last 20 ms in which
// it used more than a quarter of a core; `from` when there was none. Its
// processor time and the time then.
struct WorkEnd {
    double Cpu;
    double At;
};
WorkEnd WaitIdle(qint64 pid, const QElapsedTimer& clock, WorkEnd from) {
    std::vector<WorkEnd> samples{from};
    WorkEnd end = from;
    for (;;) {
        RunEventLoopFor(20);
        const WorkEnd now{ProcessCpu(pid), static_cast<double>(clock.nsecsElapsed()) / 1e9};
        const WorkEnd& last = samples.back();
        if (now.Cpu - last.Cpu > 0.25 * (now.At - last.At)) {
            end = now;
        }
        samples.push_back(now);
        for (const WorkEnd& then : samples) {
            if (now.At - then.At >= 0.5 && now.At - then.At < 0.6 &&
                now.Cpu - then.Cpu < 0.05 * (now.At - then.At)) {
                return end;
            }
        }
    }
}

struct Buddy {
    int32_t Id;
    QString Name;
    bool Permanent;
};

// The accounts: "watch" with the character that has the buddies, "crowd"
// with the buddies, a quarter of their names in capitals.
QByteArray Accounts(const std::vector<Buddy>& buddies) {
    QJsonArray crowd;
    QJsonArray names;
    for (const Buddy& buddy : buddies) {
        crowd.append(QJsonObject{{"id", buddy.Id}, {"name", buddy.Name}});
        names.append(buddy.Name);
    }
    const QJsonObject watcher{{"id", 5000}, {"name", kWatcher}, {"buddies", names}};
    const QJsonArray accounts{
        QJsonObject{
            {"user", "watch"}, {"password", "watchpw"}, {"characters", QJsonArray{watcher}}},
        QJsonObject{{"user", "crowd"}, {"password", "crowdpw"}, {"characters", crowd}}};
    return QJsonDocument(QJsonObject{{"accounts", accounts}}).toJson();
}

std::vector<Buddy> MakeBuddies(int n) {
    std::mt19937 random(7);
    std::vector<Buddy> buddies;
    for (int i = 0; i < n; ++i) {
        QString name = QStringLiteral("Buddy%1").arg(i);
        if (random() % 4 == 0) {
            name = name.toUpper();
        }
        buddies.push_back({kFirstBuddyId + i, name, i % 10 != 0});
    }
    return buddies;
}

// The settings of an automatic login to the service.
void WriteSettings(const QString& configDir, quint16 port) {
    qputenv("XDG_CONFIG_HOME", configDir.toUtf8());
    plat::Registry registry;
    plat::Registry::Key root = *registry.OpenKey({}, true);
    root.WriteInteger(QStringLiteral("OnStartup"), 2);
    root.WriteString(QStringLiteral("AutoLoginDimension"), QStringLiteral("Local"));
    root.WriteString(QStringLiteral("AutoLoginUser"), QStringLiteral("watch"));
    WritePassword(root, QStringLiteral("AutoLoginPassword"), QStringLiteral("watchpw"));
    plat::Registry::Key dimension = *registry.OpenKey({"Dimensions", "Local"}, true);
    dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    dimension.WriteInteger(QStringLiteral("Port"), port);
    registry.Save();
}

QByteArray StatusFrame(const Buddy& buddy, bool online) {
    return chatd::ServerFrame(spFriendAdded,
                              {TPacketArg::Int(buddy.Id), TPacketArg::Int(online ? 1 : 0),
                               TPacketArg::Data(QByteArray(1, buddy.Permanent ? '\1' : '\0'))});
}

// Processor times "less idle" take away what the program takes doing
// nothing over the same time.
struct Figures {
    double LoginPerBuddyUs = 0;
    double LoginNetPerBuddyUs = 0;
    double IdleCoreShare = 0; // what the program takes doing nothing
    double StormPerChangeUs = 0;
    double StormNetPerChangeUs = 0; // less what it takes doing nothing
    double StormCoreShare = 0;      // over the storm itself
    double BacklogS = 0;
};

// One run with n buddies.
std::optional<Figures> Run(const QString& program, int n, double stormSeconds, double rate) {
    const std::vector<Buddy> buddies = MakeBuddies(n);
    chatd::ChatServer server;
    server.Accounts().LoadJson(Accounts(buddies), QStringLiteral("generated"));
    if (!server.Listen({0})) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(server.ErrorString()));
        return std::nullopt;
    }
    QTemporaryDir config;
    WriteSettings(config.path(), server.Ports().first());
    QProcess client;
    client.setProgram(program);
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start();
    if (!client.waitForStarted()) {
        return std::nullopt;
    }
    const qint64 pid = client.processId();
    // The character dialog: its default button takes the first character.
    QProcess answer;
    answer.start(QStringLiteral("xdotool"), {"search", "--sync", "--name", "Character Selection",
                                             "key", "--window", "%1", "Return"});
    QElapsedTimer clock;
    clock.start();
    Figures figures;
    if (!WaitUntil([&] { return server.IsOnline(kWatcher); }, 20000)) {
        std::fprintf(stderr, "the program did not log in\n");
        client.kill();
        client.waitForFinished();
        return std::nullopt;
    }
    const WorkEnd login{ProcessCpu(pid), static_cast<double>(clock.nsecsElapsed()) / 1e9};
    for (size_t i = 0; i < buddies.size(); i += 2) {
        server.SendFrame(kWatcher, StatusFrame(buddies[i], true));
    }
    const WorkEnd loggedIn = WaitIdle(pid, clock, login);
    const double idleFrom = ProcessCpu(pid);
    RunEventLoopFor(2000);
    figures.IdleCoreShare = (ProcessCpu(pid) - idleFrom) / 2;
    figures.LoginPerBuddyUs = (loggedIn.Cpu - login.Cpu) * 1e6 / n;
    figures.LoginNetPerBuddyUs =
        (loggedIn.Cpu - login.Cpu - figures.IdleCoreShare * (loggedIn.At - login.At)) * 1e6 / n;

    // The storm: each change turns a random buddy's status over.
    std::vector<bool> online(buddies.size());
    for (size_t i = 0; i < buddies.size(); i += 2) {
        online[i] = true;
    }
    std::mt19937 random(11);
    const int changes = static_cast<int>(stormSeconds * rate);
    const double stormStartCpu = ProcessCpu(pid);
    const double stormStart = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    QElapsedTimer storm;
    storm.start();
    int sent = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double due = static_cast<double>(storm.nsecsElapsed()) / 1e9 * rate;
        while (sent < changes && sent < due) {
            const size_t i = random() % buddies.size();
            online[i] = !online[i];
            server.SendFrame(kWatcher, StatusFrame(buddies[i], online[i]));
            ++sent;
        }
        if (sent == changes) {
            loop.quit();
        }
    });
    tick.start(1);
    loop.exec();
    const WorkEnd stormEnd{ProcessCpu(pid), static_cast<double>(clock.nsecsElapsed()) / 1e9};
    const double stormWall = static_cast<double>(storm.nsecsElapsed()) / 1e9;
    const WorkEnd afterStorm = WaitIdle(pid, clock, stormEnd);
    figures.StormPerChangeUs = (afterStorm.Cpu - stormStartCpu) * 1e6 / changes;
    figures.StormNetPerChangeUs =
        (afterStorm.Cpu - stormStartCpu - figures.IdleCoreShare * (afterStorm.At - stormStart)) *
        1e6 / changes;
    figures.StormCoreShare = (stormEnd.Cpu - stormStartCpu) / stormWall;
    figures.BacklogS = afterStorm.At - stormEnd.At;
    client.terminate();
    if (!client.waitForFinished(10000)) {
        client.kill();
        client.waitForFinished();
    }
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("program"), QStringLiteral("the program to run"));
    const QCommandLineOption sizesOption(QStringLiteral("buddies"), QStringLiteral("sizes"),
                                         QStringLiteral("list"), QStringLiteral("1000,3000,10000"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("runs"),
                                        QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption stormOption(QStringLiteral("storm-seconds"),
                                         QStringLiteral("storm length"), QStringLiteral("s"),
                                         QStringLiteral("10"));
    const QCommandLineOption rateOption(QStringLiteral("rate"), QStringLiteral("changes a second"),
                                        QStringLiteral("n"), QStringLiteral("1000"));
    parser.addOptions({sizesOption, runsOption, stormOption, rateOption});
    parser.addHelpOption();
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        parser.showHelp(2);
    }
    const QString program = parser.positionalArguments().first();
    std::vector<int> sizes;
    for (const QString& size : parser.value(sizesOption).split(u',')) {
        sizes.push_back(size.toInt());
    }
    const int runs = parser.value(runsOption).toInt();
    const double stormSeconds = parser.value(stormOption).toDouble();
    const double rate = parser.value(rateOption).toDouble();

    std::map<int, std::vector<Figures>> results;
    for (int run = 0; run < runs; ++run) {
        for (const int n : sizes) {
            const std::optional<Figures> f = Run(program, n, stormSeconds, rate);
            if (!f) {
                return 1;
            }
            std::printf("run %d  buddies %6d  login %7.2f us/buddy (%7.2f less idle)  idle core "
                        "%.3f  storm %7.2f us/change (%7.2f less idle)  core %.3f  backlog "
                        "%.2f s\n",
                        run + 1, n, f->LoginPerBuddyUs, f->LoginNetPerBuddyUs, f->IdleCoreShare,
                        f->StormPerChangeUs, f->StormNetPerChangeUs, f->StormCoreShare,
                        f->BacklogS);
            std::fflush(stdout);
            results[n].push_back(*f);
        }
    }
    const int small = sizes.front();
    const int large = sizes.back();
    std::vector<double> loginRatio;
    std::vector<double> loginNetRatio;
    std::vector<double> stormRatio;
    std::vector<double> stormNetRatio;
    for (int run = 0; run < runs; ++run) {
        const Figures& a = results[large][static_cast<size_t>(run)];
        const Figures& b = results[small][static_cast<size_t>(run)];
        loginRatio.push_back(a.LoginPerBuddyUs / b.LoginPerBuddyUs);
        loginNetRatio.push_back(a.LoginNetPerBuddyUs / b.LoginNetPerBuddyUs);
        stormRatio.push_back(a.StormPerChangeUs / b.StormPerChangeUs);
        stormNetRatio.push_back(a.StormNetPerChangeUs / b.StormNetPerChangeUs);
    }
    std::printf("\n");
    PrintSpread(qPrintable(QStringLiteral("login per buddy, %1 / %2").arg(large).arg(small)),
                loginRatio);
    PrintSpread(
        qPrintable(QStringLiteral("login per buddy less idle, %1 / %2").arg(large).arg(small)),
        loginNetRatio);
    PrintSpread(qPrintable(QStringLiteral("storm per change, %1 / %2").arg(large).arg(small)),
                stormRatio);
    PrintSpread(
        qPrintable(QStringLiteral("storm per change less idle, %1 / %2").arg(large).arg(small)),
        stormNetRatio);
    for (const int n : sizes) {
        std::vector<double> login;
        std::vector<double> core;
        std::vector<double> backlog;
        for (const Figures& f : results[n]) {
            login.push_back(f.LoginPerBuddyUs * n / 1e6);
            core.push_back(f.StormCoreShare);
            backlog.push_back(f.BacklogS);
        }
        PrintSpread(qPrintable(QStringLiteral("login CPU s at %1").arg(n)), login);
        PrintSpread(qPrintable(QStringLiteral("storm core share at %1").arg(n)), core);
        PrintSpread(qPrintable(QStringLiteral("storm backlog s at %1").arg(n)), backlog);
    }
    return 0;
}
