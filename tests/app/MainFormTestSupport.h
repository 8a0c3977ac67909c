#pragma once

#include "WaitUntil.h"

// A main window in a settings folder of its own: values can be stored before
// the window is created and read back after it is destroyed; the login
// dialog and message boxes are answered and recorded.

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainForm.h"
#include "app/mainform/MainFormTestSeam.h"
#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mainformtest {

// A console line with the timestamp block of 15:07 (the windows' clock) in
// the colour given as RRGGBB.
QString Line(const char* color, const QString& text);
QString CharLink(const QString& name);

// Runs the event loop until done() holds or limitMs of real time pass;
// returns done(). The limit only catches a hang.
// Handles the events already posted (and those they post).
void ProcessPosted();

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The store as the window will find it; written when the window is created.
    plat::Registry& Stored();
    plat::Registry::Key StoredRoot();
    // Creates the window; its console lines carry the time 15:07.
    TMainForm& Create();
    // Shows the window and lets its first activation run.
    void ShowAndActivate();
    // Destroys the window, which saves, and reads the store back.
    std::unique_ptr<plat::Registry> DestroyAndReload();
    // The markup of the console's lines, oldest first.
    QStringList ConsoleLines() const;

    // What the login dialog is filled with before OK; Cancel when not set.
    struct LoginAnswer {
        QString Dimension;
        QString User;
        QString Password;
        bool Remember = false;
    };

    std::unique_ptr<TMainForm> form;
    std::optional<LoginAnswer> loginAnswer;
    // The character chosen in the character dialog; Cancel when not set.
    std::optional<QString> characterAnswer;
    // The character the dialog had chosen when it opened.
    QString preselected;
    // What happened, in order: "login" and "chars" for the dialogs, "box" for a box.
    QStringList events;
    std::vector<plat::MsgBoxRequest> boxes;

private:
    QTemporaryDir dir_;
    QByteArray oldConfig_;
    bool hadConfig_ = false;
    std::unique_ptr<plat::Registry> stored_;
    std::unique_ptr<plat::ScopedMsgBoxHandler> boxHandler_;
    std::unique_ptr<dlg::ScopedModalRunner> modalRunner_;
};

} // namespace mainformtest
