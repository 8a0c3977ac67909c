#pragma once
// Tests that run where a user meets the window system: offscreen in the test
// program itself, and on an X display of their own (an Xvfb server) with or
// without a window manager (openbox). For a display, the test program starts
// itself again there and runs only the current test; the child's failures are
// the test's. Servers and children are bounded in time and always ended.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

enum class TestDisplay { Offscreen, X, XWithManager };

// "Offscreen", "X", "XWithManager": parameter names.
std::string TestDisplayName(TestDisplay display);
inline void PrintTo(TestDisplay display, std::ostream* out) {
    *out << TestDisplayName(display);
}
// Every display with its name, for INSTANTIATE_TEST_SUITE_P.
inline auto EveryTestDisplay() {
    return ::testing::Values(TestDisplay::Offscreen, TestDisplay::X, TestDisplay::XWithManager);
}
struct TestDisplayParamName {
    std::string operator()(const ::testing::TestParamInfo<TestDisplay>& info) const {
        return TestDisplayName(info.param);
    }
};

// True when the current test's body is to run in this process now: offscreen
// in the test program, or in the child on its display (once the window
// manager runs there, or is known not to). Otherwise it runs the test in a
// child on a display of its own, reports what failed there and gives false;
// the test is skipped when Xvfb or openbox cannot be found.
bool BodyRunsHere(TestDisplay display);
