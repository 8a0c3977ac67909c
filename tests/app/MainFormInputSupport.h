#pragma once

// A main window logged in as Kara on an in-process chat service, with Bob
// logged in from a second engine that records what reaches him, and helpers
// that type into the input line.

#include "MainFormTestSupport.h"

#include "chatd/ChatServer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace mainformtest {

// Logs an engine in as the character; false when that fails.
bool LogIn(TVLChat& chat, quint16 port, const QByteArray& user, const QByteArray& character);

class LoggedInTest : public MainFormTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Stores a setting before the window is created (call before
    // LoggedInTest::SetUp finishes, i.e. from an override of StoreSettings).
    virtual void StoreSettings(plat::Registry::Key&) {}

    // Key presses into the input line: each character of the text, then keys.
    void Type(const QString& text);
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Types the line and presses Enter.
    void Enter(const QString& line);

    // Console lines after the welcome line and the connect line.
    QStringList Lines() const { return ConsoleLines().mid(2); }
    bool WaitForLines(qsizetype count) {
        return WaitUntil([&] { return Lines().size() >= count; });
    }

    // Logs Bob in; what he receives lands in bobHeard as "sender: text",
    // tells as they came, group messages as "[group] sender: text".
    void StartBob();
    bool WaitForBob(qsizetype count) {
        return WaitUntil([&] { return bobHeard.size() >= count; });
    }

    chatd::ChatServer server;
    quint16 port = 0;
    // The service's own log lines (tells, group messages, buddies, mutes).
    QStringList serverLog;
    std::unique_ptr<TVLChat> bob;
    QStringList bobHeard;
    // The class of the attachment of each tell Bob received ("" for none).
    QStringList bobAttachments;
};

} // namespace mainformtest
