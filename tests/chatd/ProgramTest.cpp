#include "TestClient.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

namespace chatd::test {

namespace {

// Starts the program and reads its start-up line: the chat port and the site.
struct Running {
    QProcess process;
    quint16 chatPort = 0;
    QString site;

    bool Start(const QStringList& arguments) {
        process.start(QStringLiteral(QV_CHATD_PROGRAM), arguments);
        if (!process.waitForStarted(kWaitMs)) {
            return false;
        }
        static const QRegularExpression line(
            QStringLiteral("chat on 127\\.0\\.0\\.1:(\\d+)[^;]*; site (http://\\S+)"));
        QByteArray out;
        while (process.waitForReadyRead(kWaitMs)) {
            out += process.readAllStandardOutput();
            const auto match = line.match(QString::fromUtf8(out));
            if (match.hasMatch()) {
                chatPort = static_cast<quint16>(match.captured(1).toUInt());
                site = match.captured(2);
                return true;
            }
        }
        return false;
    }
};

} // namespace

TEST(Program, ServesLogsEventsAndStopsCleanlyOnSignals) {
    for (const int signal : {SIGTERM, SIGINT}) {
        Running run;
        ASSERT_TRUE(run.Start({"--ports", "0,0", "--http-port", "0", "--accounts",
                               QStringLiteral(QV_CHATD_EXAMPLE)}));
        EXPECT_TRUE(run.site.startsWith("http://127.0.0.1:"));
        {
            TestClient client(run.chatPort);
            ASSERT_TRUE(client.Login("alice", "wonderland", "Alderin"));
        }
        ASSERT_TRUE(WaitUntil([&] {
            run.process.waitForReadyRead(20);
            return run.process.peek(1 << 20).contains("disconnect Alderin");
        }));
        ::kill(static_cast<pid_t>(run.process.processId()), signal);
        ASSERT_TRUE(run.process.waitForFinished(kWaitMs));
        EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.process.exitCode(), 0);
        const QByteArray out = run.process.readAllStandardOutput();
        EXPECT_TRUE(out.contains("select Alderin (alice)")) << out.constData();
        EXPECT_TRUE(out.contains("quorvel-chatd: stopped"));
    }
}

TEST(Program, StartUpErrorsAreReported) {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.json");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"accounts\": [ {\"user\": \"x\"} ]}");
    file.close();
    struct Case {
        QStringList arguments;
        const char* expected;
    };
    const Case cases[] = {
        {{"--ports", "0", "--http-port", "0", "--accounts", bad},
         "accounts[0].password: must be a non-empty text"},
        {{"--ports", "0,70000"}, "--ports: '70000' is not a port number"},
        {{"--ports", "0", "--http-port", "web"}, "--http-port: 'web' is not a port number"},
    };
    for (const Case& c : cases) {
        QProcess process;
        process.start(QStringLiteral(QV_CHATD_PROGRAM), c.arguments);
        ASSERT_TRUE(process.waitForFinished(kWaitMs));
        EXPECT_EQ(process.exitCode(), 1) << c.expected;
        EXPECT_TRUE(process.readAllStandardError().contains(c.expected)) << c.expected;
    }
}

} // namespace chatd::test
