// The chat log files: lines per second appended to one log file, each line
// on disk (flushed) before the next; the writer alone, and as the main
// window writes a chat line (its time prefix formatted, then appended).

#include "app/log/ChatLog.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

namespace {

const QString kFile = QStringLiteral("private.log");
// A tell of a usual length, as private.log holds it.
const QString kText = QStringLiteral("Bob: are you coming to the market square after the raid?");

// Every run starts with an empty folder of its own.
struct LogFolder {
    LogFolder() { writer.SetFolder(dir.path()); }
    QTemporaryDir dir;
    TChatLogWriter writer;
};

void BM_AppendLine(benchmark::State& state) {
    LogFolder folder;
    const QByteArray line = FormatLogLine(kText, true, QDateTime::currentDateTime());
    for (auto _ : state) {
        if (!folder.writer.Append(kFile, line).Written) {
            state.SkipWithError("the line was not written");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendLine);

void BM_FormatAndAppendLine(benchmark::State& state) {
    LogFolder folder;
    for (auto _ : state) {
        const QByteArray line = FormatLogLine(kText, true, QDateTime::currentDateTime());
        if (!folder.writer.Append(kFile, line).Written) {
            state.SkipWithError("the line was not written");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatAndAppendLine);

} // namespace

BENCHMARK_MAIN();
