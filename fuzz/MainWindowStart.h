#pragma once
// The program's start as the fuzz targets of the settings file run it: the
// main window created with the settings file as it stands, shown, checked
// and closed (which saves). The start-up choice is not made (it would log in
// over the network), and logging is kept off, so that nothing is written
// outside the fuzzer's settings folder; every dialog and box is answered at
// once.
//
// What must hold whatever the file held (a failure aborts):
// - the main window lies inside the monitor's work area;
// - a floating panel is no larger than the work area, and every floating
//   window shows on it;
// - the console and the input line keep 18 pixels each while the splitter
//   has room for both;
// - a panel the file docks on a side leaves the chat area 32 pixels while the
//   window has room for it and for the tool bars docked on either side;
// - the fonts are 1 to 512 points or pixels;
// and the sanitizers report nothing.

#include <QString>

// Once, from LLVMFuzzerInitialize.
void InitMainWindowStart(int* argc, char*** argv);
// The settings file the main window reads.
QString SettingsFile();
// Turns logging off in the settings file, when it can be read.
void KeepLoggingOff();
// Creates, shows, checks and closes the main window.
void StartMainWindow();
