// The console as a user reading back and a busy channel see it, each figure
// beside QPlainTextEdit holding the same lines as plain text, in the same run:
// - one paint, one scroll step and one jump (each with its paint), the view at
//   the top, the middle and the bottom of 10,000, 100,000 and 1,000,000 lines,
//   over several rounds; reported as ratios (1M to 10k; console to plain-text
//   view), minimum, median and maximum over the rounds;
// - floods of group messages delivered through the event loop as the program
//   receives them: a timer turn per batch of socket reads, then one posted
//   call per message; the process's CPU time per message, the backlog left
//   when the flood stops and how long it takes to clear, and paints a second.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise (xcb under a virtual X
// display shows the cost of getting pixels to a display).
#include "BenchMain.h"
#include "BenchQt.h"
#include "BenchStats.h"
#include "ConsoleBenchLines.h"

#include "console/QvConsole/QvConsole.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace consolebench;

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

// --- reading back -----------------------------------------------------------

enum Where { kTop, kMiddle, kBottom };
const char* const kWhereNames[] = {"top", "middle", "bottom"};
enum Metric { kPaint, kStep, kJump };
const char* const kMetricNames[] = {"paint", "step", "jump"};
const int kSizes[] = {10000, 100000, 1000000};
constexpr int kRounds = 5;
constexpr int kSamples = 15;

// A view that can be put at a place, stepped and painted.
struct View {
    virtual ~View() = default;
    virtual QWidget* Viewport() = 0;
    virtual void JumpTo(Where where) = 0;
    // One row towards the middle (forward) or back.
    virtual void Step(Where where, bool forward) = 0;
};

struct ConsoleView : View {
    explicit ConsoleView(int lines) {
        setUpConsole(console, 0);
        console.BeginUpdate();
        for (int i = 0; i < lines; ++i) {
            console.AddLine(typicalLines()[size_t(i % kTypicalLines)].markup, nullptr, true);
        }
        console.EndUpdate();
        QCoreApplication::processEvents();
    }
    QWidget* Viewport() override { return console.viewport(); }
    void JumpTo(Where where) override {
        const int range = console.ScrollRange();
        console.SetScrollPosition(where == kTop ? range : where == kMiddle ? range / 2 : 0);
    }
    void Step(Where where, bool forward) override {
        const int row = QFontMetrics(benchFont()).height() + 2;
        const int up = where == kBottom ? row : -row; // towards the middle
        console.ScrollBy(forward ? up : -up);
    }
    TQvConsole console;
};

struct PlainView : View {
    explicit PlainView(int lines) {
        edit.setFont(benchFont());
        edit.setFrameStyle(QFrame::NoFrame);
        edit.setReadOnly(true);
        QStringList all;
        all.reserve(lines);
        for (int i = 0; i < lines; ++i) {
            all << typicalLines()[size_t(i % kTypicalLines)].plain;
        }
        edit.setPlainText(all.join(u'\n'));
        edit.resize(640, 400);
        edit.show();
        QCoreApplication::processEvents();
    }
    QWidget* Viewport() override { return edit.viewport(); }
    void JumpTo(Where where) override {
        QScrollBar* bar = edit.verticalScrollBar();
        bar->setValue(where == kTop ? 0 : where == kMiddle ? bar->maximum() / 2 : bar->maximum());
    }
    void Step(Where where, bool forward) override {
        const bool down = (where == kTop) == forward; // towards the middle
        edit.verticalScrollBar()->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd
                                                     : QAbstractSlider::SliderSingleStepSub);
    }
    QPlainTextEdit edit;
};

template <typename F>
double TimeUs(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1000.0;
}

// The median time of a metric with the view at a place, painting included.
double Measure(View& view, Where where, Metric metric) {
    std::vector<double> us;
    view.JumpTo(where);
    view.Viewport()->repaint();
    QCoreApplication::processEvents();
    for (int i = 0; i < kSamples; ++i) {
        bool forward = i % 2 == 0;
        if (metric == kJump) {
            // From the far end (the top for the bottom, else the bottom).
            view.JumpTo(where == kBottom ? kTop : kBottom);
            view.Viewport()->repaint();
            QCoreApplication::processEvents();
        }
        us.push_back(TimeUs([&] {
            if (metric == kStep) {
                view.Step(where, forward);
            } else if (metric == kJump) {
                view.JumpTo(where);
            }
            view.Viewport()->repaint();
        }));
        QCoreApplication::processEvents();
    }
    return Percentile(us, 0.5);
}

using Key = std::array<int, 3>; // size index, metric, place
struct Figures {
    std::map<Key, std::vector<double>> consoleUs, plainUs, scale, vsPlain, plainScale;
};

void PrintSpread(const char* title, const std::map<Key, std::vector<double>>& table, bool sizes) {
    std::printf("\n%s (min / median / max over %d rounds)\n", title, kRounds);
    for (const auto& [key, values] : table) {
        const std::string size = sizes ? std::to_string(kSizes[key[0]]) + " lines, " : "";
        std::printf("  %s%-6s %-7s %9.2f %9.2f %9.2f\n", size.c_str(), kMetricNames[key[1]],
                    kWhereNames[key[2]], Percentile(values, 0), Percentile(values, 0.5),
                    Percentile(values, 1));
    }
}

void BM_View_ReadingBack(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::unique_ptr<View>> consoles;
        std::vector<std::unique_ptr<View>> plains;
        for (const int size : kSizes) {
            consoles.push_back(std::make_unique<ConsoleView>(size));
            plains.push_back(std::make_unique<PlainView>(size));
        }
        Figures f;
        for (int round = 0; round < kRounds; ++round) {
            for (int m = 0; m < 3; ++m) {
                for (int w = 0; w < 3; ++w) {
                    double c[3];
                    double p[3];
                    for (int s = 0; s < 3; ++s) {
                        c[s] = Measure(*consoles[size_t(s)], Where(w), Metric(m));
                        p[s] = Measure(*plains[size_t(s)], Where(w), Metric(m));
                        f.consoleUs[{s, m, w}].push_back(c[s]);
                        f.plainUs[{s, m, w}].push_back(p[s]);
                        f.vsPlain[{s, m, w}].push_back(c[s] / p[s]);
                    }
                    f.scale[{0, m, w}].push_back(c[2] / c[0]);
                    f.plainScale[{0, m, w}].push_back(p[2] / p[0]);
                }
            }
        }
        PrintSpread("Console: time at 1,000,000 lines / time at 10,000 lines", f.scale, false);
        PrintSpread("QPlainTextEdit: time at 1,000,000 lines / time at 10,000 lines", f.plainScale,
                    false);
        PrintSpread("Console time / QPlainTextEdit time", f.vsPlain, true);
        PrintSpread("Console, microseconds", f.consoleUs, true);
        PrintSpread("QPlainTextEdit, microseconds", f.plainUs, true);
        state.counters["paint_top_1M_us"] = Percentile(f.consoleUs[{2, kPaint, kTop}], 0.5);
        state.counters["paint_top_10k_us"] = Percentile(f.consoleUs[{0, kPaint, kTop}], 0.5);
    }
}
BENCHMARK(BM_View_ReadingBack)->Iterations(1)->Unit(benchmark::kSecond);

// --- floods -----------------------------------------------------------------

struct FloodFigures {
    double cpuUsPerMessage = 0;
    int backlogAtEnd = 0; // messages due but not shown when the flood stopped
    double drainMs = 0;   // from then until the last one was shown
    double maxLagMs = 0;  // the latest any message was shown after it was due
    double paintsPerSecond = 0;
};

// Delivers `rate` messages a second for `ms` milliseconds: a 1 ms timer
// releases the messages due as one batch, which then arrive one posted call
// each (the next one posted by the one before), as the socket hands them on.
FloodFigures Flood(QWidget* viewport, const std::function<void(int)>& deliver, int rate, int ms) {
    const int total = int(int64_t(rate) * ms / 1000);
    int released = 0;
    int delivered = 0;
    bool chain = false;
    FloodFigures out;
    qint64 endOfFlood = -1;
    qint64 done = -1;
    PaintCounter paints;
    if (viewport) {
        viewport->installEventFilter(&paints);
    }
    QObject context;
    QEventLoop loop;
    QElapsedTimer clock;
    std::function<void()> next = [&] {
        const double due = double(delivered + 1) * 1000.0 / rate;
        out.maxLagMs = std::max(out.maxLagMs, double(clock.nsecsElapsed()) / 1e6 - due);
        deliver(delivered++);
        if (delivered < released) {
            QMetaObject::invokeMethod(&context, next, Qt::QueuedConnection);
        } else {
            chain = false;
        }
        if (delivered == total) {
            done = clock.elapsed();
            // A moment for the last frame.
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
        }
    };
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, &context, [&] {
        const int due = int(std::min<int64_t>(total, clock.elapsed() * rate / 1000));
        if (due > released) {
            released = due;
            if (!chain) {
                chain = true;
                QMetaObject::invokeMethod(&context, next, Qt::QueuedConnection);
            }
        }
        if (released == total) {
            tick.stop();
            endOfFlood = clock.elapsed();
            out.backlogAtEnd = total - delivered;
        }
    });
    const int64_t cpu = ProcessCpuNs();
    clock.start();
    tick.start();
    loop.exec();
    out.cpuUsPerMessage = double(ProcessCpuNs() - cpu) / 1000.0 / total;
    out.drainMs = double(done - endOfFlood);
    out.paintsPerSecond = paints.paints * 1000.0 / double(done);
    if (viewport) {
        viewport->removeEventFilter(&paints);
    }
    return out;
}

const int kRates[] = {1000, 2000, 5000, 10000};
constexpr int kFloodMs = 3000;
std::map<std::string, FloodFigures> floods;

void Report(benchmark::State& state, const std::string& key, const FloodFigures& f) {
    floods[key] = f;
    state.counters["cpu_us_per_message"] = f.cpuUsPerMessage;
    state.counters["backlog_at_end"] = f.backlogAtEnd;
    state.counters["drain_ms"] = f.drainMs;
    state.counters["max_lag_ms"] = f.maxLagMs;
    state.counters["paints_per_s"] = f.paintsPerSecond;
}

void BM_Flood_Console(benchmark::State& state) {
    const int rate = int(state.range(0));
    for (auto _ : state) {
        TQvConsole console;
        setUpConsole(console, 500);
        const auto& lines = typicalLines();
        const FloodFigures f = Flood(
            console.viewport(),
            [&](int i) { console.AddLine(lines[size_t(i % kTypicalLines)].markup, nullptr, true); },
            rate, kFloodMs);
        Report(state, "console/" + std::to_string(rate), f);
    }
}

void BM_Flood_PlainTextEdit(benchmark::State& state) {
    const int rate = int(state.range(0));
    for (auto _ : state) {
        QPlainTextEdit edit;
        edit.setFont(benchFont());
        edit.setFrameStyle(QFrame::NoFrame);
        edit.setReadOnly(true);
        edit.setMaximumBlockCount(500);
        edit.resize(640, 400);
        edit.show();
        QCoreApplication::processEvents();
        const auto& lines = typicalLines();
        const FloodFigures f = Flood(
            edit.viewport(),
            [&](int i) { edit.appendPlainText(lines[size_t(i % kTypicalLines)].plain); }, rate,
            kFloodMs);
        Report(state, "plain/" + std::to_string(rate), f);
    }
}

// The harness alone: the timer and the posted calls, delivering nowhere.
void BM_Flood_Nothing(benchmark::State& state) {
    const int rate = int(state.range(0));
    for (auto _ : state) {
        Report(state, "nothing/" + std::to_string(rate),
               Flood(
                   nullptr, [](int) {}, rate, kFloodMs));
    }
}

void FloodRates(benchmark::internal::Benchmark* b) {
    for (const int rate : kRates) {
        b->Arg(rate);
    }
    b->Iterations(1)->Unit(benchmark::kSecond);
}
BENCHMARK(BM_Flood_Nothing)->Apply(FloodRates);
BENCHMARK(BM_Flood_Console)->Apply(FloodRates);
BENCHMARK(BM_Flood_PlainTextEdit)->Apply(FloodRates);

void PrintFloods() {
    if (floods.empty()) {
        return;
    }
    std::printf("\nFloods of %d ms (%s):\n", kFloodMs, qPrintable(QGuiApplication::platformName()));
    std::printf("%-20s %14s %10s %10s %12s %10s\n", "", "CPU us/msg", "backlog", "drain ms",
                "max lag ms", "paints/s");
    for (const auto& [key, f] : floods) {
        std::printf("%-20s %14.1f %10d %10.0f %12.1f %10.0f\n", key.c_str(), f.cpuUsPerMessage,
                    f.backlogAtEnd, f.drainMs, f.maxLagMs, f.paintsPerSecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    PreferOffscreen();
    QApplication app(argc, argv);
    if (!RunBenchmarks(argc, argv)) {
        return 1;
    }
    PrintFloods();
    return 0;
}
