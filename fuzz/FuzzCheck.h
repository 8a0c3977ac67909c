#pragma once
// The check the fuzz targets stop a run with. Include it after every other
// header: the macro takes the name check, which Qt's headers use too.
#include <cstdio>
#include <cstdlib>

// Stops the run where a condition fails, naming it.
inline void FuzzCheck(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}
#define check(condition) FuzzCheck((condition), #condition)
