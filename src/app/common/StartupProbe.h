#pragma once
// The program's start-up measuring probe. With the environment variable
// QV_EXIT_AFTER_FIRST_PAINT set, the program quits once its main window has
// painted for the first time and prints, one per line:
//   first-paint-ms <ms>    from the process start (exec) to the end of that paint
//   main-to-paint-ms <ms>  the same from the top of main (finer: the part before
//                          main is known only to the kernel's 10 ms ticks)
//   cpu-ms <ms>            processor time the process has used so far, all its
//                          threads (less affected by other programs' load)
//   peak-rss-kb <kB>       the peak resident memory so far (VmHWM)
// benchmarks/startup.sh reads these lines.

#include <QElapsedTimer>

#include <optional>

class QWidget;

class TStartupProbe {
public:
    // Starts the clock: the program makes its probe first thing in main. The
    // time before main is read only with the variable set.
    TStartupProbe();

    // With the variable set, reports after the window's first paint (once the
    // children's paints of the same pass are done) and leaves every event
    // loop; without it, does nothing.
    void Watch(QWidget& window) const;

private:
    // The variable is set: the probe measures and reports.
    bool enabled_;
    QElapsedTimer sinceMain_;
    std::optional<double> beforeMainMs_;
};
