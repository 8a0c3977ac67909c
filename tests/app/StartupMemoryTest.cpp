// The program started in a child process that quits after its first paint:
// the figures it reports then, and its peak memory with the default settings
// file and with a damaged one (startup/damaged-settings.ini: a floating panel
// of 2147483647 x 2147483647, window bounds at the limits of 32 and 64 bits,
// splitter bars and fonts of -2147483648 and 2147483647), which stays within
// 10% of the default file's.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The lines the program prints when it quits after its first paint, with
// `settings` as its settings file.
QList<QByteArray> FirstPaintReport(const QByteArray& settings) {
    QTemporaryDir config;
    EXPECT_TRUE(config.isValid());
    EXPECT_TRUE(QDir(config.path()).mkdir(QStringLiteral("ZELVO")));
    QFile file(config.filePath(QStringLiteral("ZELVO/Quorvel.ini")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(settings);
    file.close();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QV_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(QStringLiteral(QV_PROGRAM), {});
    EXPECT_TRUE(program.waitForFinished(120000)) << program.errorString().toStdString();
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    return program.readAllStandardOutput().split('\n');
}

// The peak resident memory in kB the program reports after its first paint
// with `settings` as its settings file; -1 when it reports none.
long long PeakRssKb(const QByteArray& settings) {
    for (const QByteArray& line : FirstPaintReport(settings)) {
        if (line.startsWith("peak-rss-kb ")) {
            return line.mid(12).trimmed().toLongLong();
        }
    }
    return -1;
}

// The four figures in their order, as benchmarks/startup.sh reads them: the
// times in milliseconds with one decimal, the memory in whole kB.
TEST(StartupProbe, TheProgramReportsItsFiguresAfterItsFirstPaint) {
    const QList<QByteArray> report = FirstPaintReport("OnStartup=0\n");
    const char* const patterns[] = {
        R"(^first-paint-ms (\d+\.\d|unknown)$)",
        R"(^main-to-paint-ms \d+\.\d$)",
        R"(^cpu-ms \d+\.\d$)",
        R"(^peak-rss-kb [1-9]\d*$)",
    };
    ASSERT_GE(report.size(), 4);
    for (qsizetype i = 0; i < 4; ++i) {
        const QString line = QString::fromLatin1(report[i]);
        EXPECT_TRUE(QRegularExpression(QLatin1String(patterns[i])).match(line).hasMatch())
            << line.toStdString();
    }
    // Nothing else, and the time before main counts in the first figure.
    EXPECT_TRUE(report.size() == 4 || (report.size() == 5 && report[4].isEmpty()));
    const double sinceStart = report[0].split(' ').value(1).toDouble();
    const double sinceMain = report[1].split(' ').value(1).toDouble();
    if (!report[0].endsWith("unknown")) {
        EXPECT_GE(sinceStart, sinceMain);
    }
}

TEST(StartupMemory, ADamagedSettingsFileCostsNoMoreThanTheDefaultOne) {
    QFile damaged(QStringLiteral(QV_TEST_DATA_DIR "/startup/damaged-settings.ini"));
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    const QByteArray damagedFile = damaged.readAll();
    const QByteArray defaultFile = "OnStartup=0\n";
    // The smaller of two runs each: the least disturbed by the machine's load.
    long long plain = -1;
    long long hurt = -1;
    for (int run = 0; run < 2; ++run) {
        const long long p = PeakRssKb(defaultFile);
        const long long h = PeakRssKb(damagedFile);
        plain = plain < 0 ? p : std::min(plain, p);
        hurt = hurt < 0 ? h : std::min(hurt, h);
    }
    ASSERT_GT(plain, 0);
    ASSERT_GT(hurt, 0);
    EXPECT_LE(hurt * 10, plain * 11) << "damaged " << hurt << " kB, default " << plain << " kB";
    RecordProperty("DefaultPeakRssKb", std::to_string(plain));
    RecordProperty("DamagedPeakRssKb", std::to_string(hurt));
}

} // namespace
