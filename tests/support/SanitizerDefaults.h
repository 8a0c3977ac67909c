#pragma once
// Sanitizer settings for every test program, compiled in so that they hold
// however the test is started (ctest, by hand, under a debugger). Included
// once, by the file that defines main().

extern "C" {

const char* __asan_default_options() {
    return "detect_leaks=1:strict_string_checks=1";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

// Allocations the system libraries keep for the life of the process.
const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libdbus\n"
           "leak:libglib\n"
           // The sound sample cache loads on a thread of its own that is
           // never shut down before the process ends.
           "leak:libQt6Multimedia.so\n";
}
}
