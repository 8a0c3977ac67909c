// What a user of the chat console feels: appending typical client lines to a
// visible view (next to Qt's own rich-text browser fed the same lines as HTML),
// memory per line, painting a full view and laying everything out again after
// a width or font change.
#include "BenchMain.h"
#include "BenchQt.h"
#include "ConsoleBenchLines.h"

#include "console/MarkupParser.h"
#include "console/QvConsole/QvConsole.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFont>
#include <QTextBrowser>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace consolebench;

constexpr int kLines = kTypicalLines;

struct PerLine {
    double totalMs = 0;
    double medianUs = 0;
    double p99Us = 0;
    double firstThousandUs = 0; // median of the first 1000 lines
    double lastThousandUs = 0;  // median of the last 1000 lines
};

double medianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

PerLine summarise(const std::vector<double>& us) {
    PerLine r;
    for (const double t : us) {
        r.totalMs += t / 1000.0;
    }
    std::vector<double> sorted = us;
    std::sort(sorted.begin(), sorted.end());
    r.medianUs = sorted[sorted.size() / 2];
    r.p99Us = sorted[sorted.size() * 99 / 100];
    r.firstThousandUs = medianOf(std::vector<double>(us.begin(), us.begin() + 1000));
    r.lastThousandUs = medianOf(std::vector<double>(us.end() - 1000, us.end()));
    return r;
}

std::map<std::string, PerLine> results;

// Appends every line, letting the event loop run after each one, and times
// each append together with what the event loop did (the console paints once
// a display frame, however many lines arrived in it).
template <typename Append>
void appendAll(benchmark::State& state, const std::string& key, Append&& append) {
    for (auto _ : state) {
        std::vector<double> us;
        us.reserve(kLines);
        for (const TypicalLine& line : typicalLines()) {
            const auto start = std::chrono::steady_clock::now();
            append(line);
            QCoreApplication::processEvents();
            const auto end = std::chrono::steady_clock::now();
            us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
        const PerLine r = summarise(us);
        results[key] = r;
        state.counters["total_ms"] = r.totalMs;
        state.counters["median_us"] = r.medianUs;
        state.counters["p99_us"] = r.p99Us;
        state.counters["first1000_median_us"] = r.firstThousandUs;
        state.counters["last1000_median_us"] = r.lastThousandUs;
    }
}

void BM_Console_Append(benchmark::State& state) {
    const int limit = static_cast<int>(state.range(0));
    TQvConsole console;
    setUpConsole(console, limit);
    appendAll(state, "console/" + std::to_string(limit),
              [&](const TypicalLine& line) { console.AddLine(line.markup, nullptr, true); });
    state.counters["lines_kept"] = console.LineCount();
}
BENCHMARK(BM_Console_Append)->Arg(500)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TextBrowser_Append(benchmark::State& state) {
    const int limit = static_cast<int>(state.range(0));
    QTextBrowser browser;
    browser.setFont(benchFont());
    browser.document()->setMaximumBlockCount(limit);
    browser.setFrameStyle(QFrame::NoFrame);
    browser.resize(640, 400);
    browser.show();
    QCoreApplication::processEvents();
    appendAll(state, "browser/" + std::to_string(limit),
              [&](const TypicalLine& line) { browser.append(line.html); });
    state.counters["lines_kept"] = browser.document()->blockCount();
}
BENCHMARK(BM_TextBrowser_Append)->Arg(500)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

// Parsing, URL detection and measuring alone: no paint in between.
void BM_Console_AddLineOnly(benchmark::State& state) {
    TQvConsole console;
    setUpConsole(console, 500);
    size_t i = 0;
    for (auto _ : state) {
        console.AddLine(typicalLines()[i++ % kLines].markup, nullptr, true);
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_Console_AddLineOnly)->Unit(benchmark::kMicrosecond);

// Markup to chunks alone, URL detection included.
void BM_Console_ParseMarkup(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        TChunkList line =
            ParseMarkup(typicalLines()[i++ % kLines].markup, TParseOptions{cwsLeave, false});
        DetectURLs(line);
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_Console_ParseMarkup)->Unit(benchmark::kMicrosecond);

// Bytes handed out by malloc, large blocks (mapped on their own) included.
size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap growth over 100,000 lines: flat with the limit, bytes per line without.
void BM_Console_Memory(benchmark::State& state) {
    const int limit = static_cast<int>(state.range(0));
    constexpr int kCount = 100000;
    for (auto _ : state) {
        TQvConsole console;
        setUpConsole(console, limit);
        const auto& lines = typicalLines();
        size_t atTenThousand = 0;
        const size_t before = heapInUse();
        for (int i = 0; i < kCount; ++i) {
            console.AddLine(lines[static_cast<size_t>(i % kLines)].markup, nullptr, true);
            if (i % 100 == 99) {
                QCoreApplication::processEvents();
            }
            if (i == 9999) {
                atTenThousand = heapInUse();
            }
        }
        QCoreApplication::processEvents();
        const size_t after = heapInUse();
        state.counters["heap_growth_10k_to_100k_kb"] =
            (static_cast<double>(after) - static_cast<double>(atTenThousand)) / 1024.0;
        state.counters["bytes_per_line"] =
            (static_cast<double>(after) - static_cast<double>(before)) / console.LineCount();
        state.counters["lines_kept"] = console.LineCount();
    }
}
BENCHMARK(BM_Console_Memory)->Arg(500)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

// Resident memory of the process.
size_t residentBytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

std::map<std::string, double> bytesPerLineOf;

// Growth per line over 10,000 lines without a line limit, for the console and
// for the rich-text browser fed the same lines, measured the same way: after
// 1,000 lines of warm-up (font and word caches), with the event loop run every
// 100 lines and once more at the end. Reported: bytes handed out by malloc
// (large blocks mapped on their own included), the same without those blocks,
// and resident memory.
template <typename Append>
void measureBytesPerLine(benchmark::State& state, const std::string& key, Append&& append) {
    constexpr int kWarmUp = 1000;
    const auto& lines = typicalLines();
    for (int i = 0; i < kWarmUp; ++i) {
        append(lines[static_cast<size_t>(i)]);
    }
    QCoreApplication::processEvents();
    const struct mallinfo2 before = mallinfo2();
    const size_t residentBefore = residentBytes();
    for (int i = 0; i < kLines; ++i) {
        append(lines[static_cast<size_t>((kWarmUp + i) % kLines)]);
        if (i % 100 == 99) {
            QCoreApplication::processEvents();
        }
    }
    QCoreApplication::processEvents();
    const struct mallinfo2 after = mallinfo2();
    const auto perLine = [](double from, double to) { return (to - from) / kLines; };
    const double all =
        perLine(double(before.uordblks + before.hblkhd), double(after.uordblks + after.hblkhd));
    bytesPerLineOf[key] = all;
    state.counters["bytes_per_line"] = all;
    state.counters["arena_bytes_per_line"] =
        perLine(double(before.uordblks), double(after.uordblks));
    state.counters["rss_bytes_per_line"] = perLine(double(residentBefore), double(residentBytes()));
}

void BM_Console_BytesPerLine(benchmark::State& state) {
    for (auto _ : state) {
        TQvConsole console;
        setUpConsole(console, 0);
        measureBytesPerLine(state, "console", [&](const TypicalLine& line) {
            console.AddLine(line.markup, nullptr, true);
        });
    }
}
BENCHMARK(BM_Console_BytesPerLine)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TextBrowser_BytesPerLine(benchmark::State& state) {
    for (auto _ : state) {
        QTextBrowser browser;
        browser.setFont(benchFont());
        browser.setFrameStyle(QFrame::NoFrame);
        browser.resize(640, 400);
        browser.show();
        QCoreApplication::processEvents();
        measureBytesPerLine(state, "browser", [&](const TypicalLine& line) {
            browser.append(line.html);
            // Its layout runs lazily on a timer: finish it, as the console
            // measures every line it adds.
            benchmark::DoNotOptimize(browser.document()->documentLayout()->documentSize());
        });
    }
}
BENCHMARK(BM_TextBrowser_BytesPerLine)->Iterations(1)->Unit(benchmark::kMillisecond);

void fill(TQvConsole& console, int count) {
    console.BeginUpdate();
    for (int i = 0; i < count; ++i) {
        console.AddLine(typicalLines()[static_cast<size_t>(i)].markup, nullptr, true);
    }
    console.EndUpdate();
    QCoreApplication::processEvents();
}

// One paint of a full 640x400 view over 500 measured lines.
void BM_Console_PaintFullView(benchmark::State& state) {
    TQvConsole console;
    setUpConsole(console, 500);
    fill(console, 500);
    for (auto _ : state) {
        console.viewport()->repaint();
    }
}
BENCHMARK(BM_Console_PaintFullView)->Unit(benchmark::kMicrosecond);

// One display frame of a flood of group messages at 1,000 a second: 20 new
// lines, each ending in a word of its own (as a message counter or a new name
// would), then the paint that shows them; reported per line.
void BM_Console_FloodFrame(benchmark::State& state) {
    constexpr int kPerFrame = 20;
    TQvConsole console;
    setUpConsole(console, 500);
    fill(console, 500);
    int serial = 0;
    for (auto _ : state) {
        for (int i = 0; i < kPerFrame; ++i, ++serial) {
            QString markup = typicalLines()[size_t(serial % kLines)].markup;
            markup.insert(markup.size() - 7, QLatin1Char(' ') + QString::number(serial));
            console.AddLine(markup, nullptr, true);
        }
        console.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * kPerFrame);
}
BENCHMARK(BM_Console_FloodFrame)->Unit(benchmark::kMicrosecond);

// Laying 500 lines out again after the width changed (text extents cached).
void BM_Console_RelayoutWidthChange(benchmark::State& state) {
    TQvConsole console;
    setUpConsole(console, 500);
    fill(console, 500);
    int width = 640;
    for (auto _ : state) {
        width = width == 640 ? 600 : 640;
        console.resize(width, 400);
        benchmark::DoNotOptimize(console.ScrollRange());
    }
}
BENCHMARK(BM_Console_RelayoutWidthChange)->Unit(benchmark::kMicrosecond);

// ... and after a font change, which measures every piece of text again.
void BM_Console_RelayoutFontChange(benchmark::State& state) {
    TQvConsole console;
    setUpConsole(console, 500);
    fill(console, 500);
    int size = 9;
    for (auto _ : state) {
        size = size == 9 ? 10 : 9;
        QFont f = benchFont();
        f.setPointSize(size);
        console.SetFont(plat::ColoredFont{f, plat::clWindowText});
        benchmark::DoNotOptimize(console.ScrollRange());
    }
}
BENCHMARK(BM_Console_RelayoutFontChange)->Unit(benchmark::kMillisecond);

void printComparison() {
    const auto ours = bytesPerLineOf.find("console");
    const auto theirs = bytesPerLineOf.find("browser");
    if (ours != bytesPerLineOf.end() && theirs != bytesPerLineOf.end()) {
        std::printf("\nBytes per line without a limit: console %.0f, browser %.0f (ratio %.2f)\n",
                    ours->second, theirs->second, ours->second / theirs->second);
    }
    std::printf("\nAppending %d typical lines to a visible 640x400 view, one by one:\n", kLines);
    std::printf("%-24s %10s %10s %10s %14s %14s\n", "", "total ms", "median us", "p99 us",
                "first1k med", "last1k med");
    for (const auto& [key, r] : results) {
        std::printf("%-24s %10.1f %10.1f %10.1f %14.1f %14.1f\n", key.c_str(), r.totalMs,
                    r.medianUs, r.p99Us, r.firstThousandUs, r.lastThousandUs);
    }
    for (const char* limit : {"500", "0"}) {
        const auto ours = results.find(std::string("console/") + limit);
        const auto theirs = results.find(std::string("browser/") + limit);
        if (ours != results.end() && theirs != results.end()) {
            std::printf("limit %s: browser/console total time ratio %.1f, median ratio %.1f\n",
                        limit, theirs->second.totalMs / ours->second.totalMs,
                        theirs->second.medianUs / ours->second.medianUs);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    PreferOffscreen();
    QApplication app(argc, argv);
    if (!RunBenchmarks(argc, argv)) {
        return 1;
    }
    printComparison();
    return 0;
}
