#pragma once
// The program's application object.

#include <QApplication>

// An exception that escapes an event handler goes to the program's exception
// handler (plat::HandleException) instead of unwinding through Qt.
class TQvApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override;
};
