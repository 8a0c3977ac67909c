// The program body: the application object, the main window, the event loop.
#include "app/mainform/MainForm.h"

#include "dockkit/themes/DkKitThemes.h"

#include "platform/core/Guarded.h"

#include <QApplication>

#include <memory>

namespace {

// An exception that escapes an event handler goes to the program's exception
// handler instead of unwinding through Qt.
class TQvApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            plat::HandleException(error);
        } catch (...) {
            plat::HandleUnknownException();
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    TQvApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    const plat::ScopedExceptionHandler exceptions(MainFormExceptionHandler());
    // The toolbar kit draws through its themes from the first window on:
    // "Default" current, "Flat" selectable, for the program's whole life.
    const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    TMainForm form;
    form.show();
    return app.exec();
}
