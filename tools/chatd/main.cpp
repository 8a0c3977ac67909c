// quorvel-chatd: the local chat service and the game web site's biography
// documents, on 127.0.0.1.

#include "chatd/ChatServer.h"
#include "chatd/HttpSite.h"
#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGINT and SIGTERM are turned into a byte on a socket pair, which the event
// loop sees: the handler itself does nothing but write that byte.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

bool WatchShutdownSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        return false;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &byte, 1);
        notifier->setEnabled(false);
        app.quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

[[noreturn]] void Fail(const QString& message) {
    QTextStream(stderr) << "quorvel-chatd: " << message << Qt::endl;
    std::exit(1);
}

quint16 ParsePort(const QString& text, const QString& option) {
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok);
    if (!ok || value > 65535) {
        Fail(QStringLiteral("%1: '%2' is not a port number (0 to 65535)").arg(option, text));
    }
    return static_cast<quint16>(value);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel-chatd"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The local chat service for Quorvel: the chat protocol on 127.0.0.1 and the character "
        "biography documents over HTTP."));
    parser.addHelpOption();
    const QCommandLineOption portsOption(
        QStringLiteral("ports"), QStringLiteral("Chat ports, comma-separated (0 = a free port)."),
        QStringLiteral("list"), QStringLiteral("7012,7013"));
    const QCommandLineOption httpOption(QStringLiteral("http-port"),
                                        QStringLiteral("Port of the web site (0 = a free port)."),
                                        QStringLiteral("port"), QStringLiteral("7080"));
    const QCommandLineOption accountsOption(QStringLiteral("accounts"),
                                            QStringLiteral("JSON file of accounts and characters."),
                                            QStringLiteral("file"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"),
                                         QStringLiteral("Do not log each event."));
    parser.addOptions({portsOption, httpOption, accountsOption, quietOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        Fail(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    }

    QList<quint16> ports;
    for (const QString& part : parser.value(portsOption).split(u',')) {
        ports.append(ParsePort(part, QStringLiteral("--ports")));
    }
    const quint16 httpPort = ParsePort(parser.value(httpOption), QStringLiteral("--http-port"));

    chatd::ChatServer server;
    if (parser.isSet(accountsOption)) {
        try {
            server.Accounts().LoadFile(parser.value(accountsOption));
        } catch (const plat::Exception& e) {
            Fail(e.Message());
        }
    }
    chatd::HttpSite site(server.Accounts());

    QTextStream out(stdout);
    if (!parser.isSet(quietOption)) {
        auto print = [&out](const QString& line) {
            out << QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) << line
                << Qt::endl;
        };
        QObject::connect(&server, &chatd::ChatServer::LogLine, &app, print);
        QObject::connect(&site, &chatd::HttpSite::LogLine, &app, print);
    }
    const plat::ScopedExceptionHandler exceptions([](const std::exception& e) {
        QTextStream(stderr) << "quorvel-chatd: " << e.what() << Qt::endl;
    });

    if (!server.Listen(ports)) {
        Fail(QStringLiteral("cannot listen for chat: %1").arg(server.ErrorString()));
    }
    if (!site.Listen(httpPort)) {
        Fail(QStringLiteral("cannot listen for the web site: %1").arg(site.ErrorString()));
    }
    if (!WatchShutdownSignals(app)) {
        Fail(QStringLiteral("cannot watch for SIGINT and SIGTERM"));
    }

    QStringList chat;
    for (const quint16 port : server.Ports()) {
        chat.append(QStringLiteral("127.0.0.1:%1").arg(port));
    }
    out << "quorvel-chatd: chat on " << chat.join(QStringLiteral(", ")) << "; site "
        << site.Address() << Qt::endl;

    const int code = app.exec();
    server.Close();
    site.Close();
    out << "quorvel-chatd: stopped" << Qt::endl;
    return code;
}
