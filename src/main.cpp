// The program body: the application object, the main window, the event loop.
#include "app/common/ProgramIcon.h"
#include "app/common/ProgramKits.h"
#include "app/common/QvApplication.h"
#include "app/common/StartupProbe.h"
#include "app/mainform/MainForm.h"

#include "platform/core/Guarded.h"

int main(int argc, char** argv) {
    // First: it measures from the top of main.
    const TStartupProbe probe;
    TQvApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setWindowIcon(ProgramIcon());
    const plat::ScopedExceptionHandler exceptions(MainFormExceptionHandler());
    // The kits are set up before the first window, for the program's whole life.
    const TProgramKits kits;
    TMainForm form;
    probe.Watch(form);
    form.show();
    return app.exec();
}
