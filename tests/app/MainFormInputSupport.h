#pragma once

// A main window logged in as Kara on an in-process chat service, Bob logged
// in from a second engine that records what reaches him, and key presses
// into the input line.

#include "MainFormTestSupport.h"

#include "chatd/ChatServer.h"

namespace mainformtest {

class LoggedInTest : public MainFormTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Each character as a key press, then Enter.
    void Type(const QString& text);
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Enter(const QString& line) {
        Type(line);
        Press(Qt::Key_Return);
    }
    QString Typed() const;

    // Console lines after the welcome and connect lines.
    QStringList Lines() const { return ConsoleLines().mid(2); }
    bool WaitForBob(qsizetype count) {
        return WaitUntil([&] { return bobHeard.size() >= count; });
    }

    chatd::ChatServer server;
    QStringList serverLog;
    std::unique_ptr<TVLChat> bob;
    // "Kara: text" for tells (" +TTextBlob(text)" and the like for an attachment),
    // "[group] Kara: text" for group and private group messages.
    QStringList bobHeard;
};

} // namespace mainformtest
