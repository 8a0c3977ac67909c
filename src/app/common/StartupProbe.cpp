#include "app/common/StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Milliseconds from the process start to now, from the start time the
// kernel keeps in clock ticks since boot; nothing when it cannot be read.
std::optional<double> MsSinceProcessStart() {
    QFile file(QStringLiteral("/proc/self/stat"));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray stat = file.readAll();
    // The command name in parentheses may hold blanks: count fields after it.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) {
        return std::nullopt;
    }
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    constexpr qsizetype kStartTimeField = 22 - 3; // field 22, counted from the state (3)
    if (fields.size() <= kStartTimeField) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong startTicks = fields[kStartTimeField].toULongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return std::nullopt;
    }
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    const double startMs =
        static_cast<double>(startTicks) * 1e3 / static_cast<double>(ticksPerSecond);
    if (nowMs < startMs) {
        return std::nullopt;
    }
    return nowMs - startMs;
}

// Processor time used by the process since it started, user and system.
double CpuMs() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return -1;
    }
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The peak resident set size in kB, from /proc/self/status; -1 when unknown.
long long PeakRssKb() {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return -1;
    }
    // The file's size reads as 0: read it whole rather than up to its end.
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            bool ok = false;
            const long long value = line.mid(6).simplified().split(' ').value(0).toLongLong(&ok);
            return ok ? value : -1;
        }
    }
    return -1;
}

// Watches the window for its first paint; once that event and the
// children's paints of the same pass are done, reports and quits.
class TFirstPaintExit final : public QObject {
public:
    TFirstPaintExit(const QElapsedTimer& sinceMain, std::optional<double> beforeMainMs,
                    QObject* parent)
        : QObject(parent), sinceMain_(sinceMain), beforeMainMs_(beforeMainMs) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            QTimer::singleShot(0, this, [this] { Report(); });
        }
        return false;
    }

private:
    void Report() const {
        const double inMainMs = static_cast<double>(sinceMain_.nsecsElapsed()) / 1e6;
        if (beforeMainMs_) {
            std::printf("first-paint-ms %.1f\n", *beforeMainMs_ + inMainMs);
        } else {
            std::printf("first-paint-ms unknown\n");
        }
        std::printf("main-to-paint-ms %.1f\n", inMainMs);
        std::printf("cpu-ms %.1f\n", CpuMs());
        std::printf("peak-rss-kb %lld\n", PeakRssKb());
        std::fflush(stdout);
        // Leaves every event loop, a modal dialog's included.
        QCoreApplication::exit(0);
    }

    const QElapsedTimer sinceMain_;
    const std::optional<double> beforeMainMs_;
    bool painted_ = false;
};

} // namespace

TStartupProbe::TStartupProbe() : enabled_(qEnvironmentVariableIsSet("QV_EXIT_AFTER_FIRST_PAINT")) {
    sinceMain_.start();
    // An ordinary start reads nothing for the probe.
    if (enabled_) {
        beforeMainMs_ = MsSinceProcessStart();
    }
}

void TStartupProbe::Watch(QWidget& window) const {
    if (enabled_) {
        // Goes with the window.
        window.installEventFilter(new TFirstPaintExit(sinceMain_, beforeMainMs_, &window));
    }
}
