#pragma once
// The run of a benchmark program's main().

#include <benchmark/benchmark.h>

// Runs the benchmarks the command line names; false, with a message, when it
// holds arguments the library does not know.
inline bool RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return true;
}
