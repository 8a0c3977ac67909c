#pragma once
// The fixtures of the application's tests.
// - BoxRecorder and ModalScript answer boxes and drive modal dialogs;
//   UrlCatcher catches what would go to the browser.
// - MainFormTest: a main window in a settings folder of its own; values can
//   be stored before it is created and read back after it is destroyed; the
//   login and character dialogs and the boxes are answered and recorded; on
//   demand the local chat service with a fixed cast.
// - LoggedInTest: that window logged in as Kara, Bob logged in from an
//   engine that records what reaches him, and keys for the input line.

#include "BoxAnswerer.h"
#include "WaitUntil.h"

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainForm.h"
#include "app/mainform/MainFormTestSeam.h"
#include "chatd/ChatServer.h"
#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"

#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Records every box, which must carry the program's title and the buttons of
// its kind; confirmations are answered with ConfirmAnswer (Yes).
class BoxRecorder : public BoxAnswerer {
public:
    BoxRecorder();
};

// Stands in for the desktop's browser while it lives: web and file
// addresses handed to the desktop are recorded, never opened.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;
    QStringList Opened;
public Q_SLOTS:
    void Open(const QUrl& url) { Opened << url.toString(); }
};

// Each dialog run modally takes the next step; a step must find the dialog
// of the type it expects. Steps may run further dialogs (nested).
class ModalScript {
public:
    ModalScript();
    ~ModalScript() { EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps did not run"; }

    // `step` acts on the dialog (fills fields, clicks); the dialog's result
    // after it is what the run returns.
    template <typename Form>
    void Then(std::function<void(Form&)> step) {
        steps_.push_back([step = std::move(step)](QDialog& dialog) {
            auto* form = qobject_cast<Form*>(&dialog);
            ASSERT_NE(form, nullptr) << "unexpected " << dialog.metaObject()->className();
            step(*form);
        });
    }

    int Ran = 0;

private:
    std::deque<std::function<void(QDialog&)>> steps_;
    dlg::ScopedModalRunner runner_;
};

namespace mainformtest {

// A console line with the timestamp block of 15:07 (the windows' clock) in
// the colour given as RRGGBB; a system line.
QString Line(const char* color, const QString& text);
QString System(const QString& text);
QString CharLink(const QString& name);
// "name:image" of each child of a node of the friends or groups tree.
QStringList Children(const TTreeNode* root);

// Every value differs from its default and lies within what the options
// pages take. Logging is on for no file.
TMainSettings ChangedSettings();

// Handles the events already posted (and those they post).
void ProcessPosted();
// Shows the window unmaximized at a size; answers the main splitter's height.
int LayOut(TMainForm& f, int width, int height);

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

    // Starts the local chat service and stores it as the dimension "Local"
    // (and OnStartup 0); call before Create. Users "kara" (characters Kara
    // and Zed), "bob", "cara", "dan", "bea", "eve" (Bob, Cara, Dan, bea,
    // Eve); each password is the user name + "pw". Kara's buddies: Bob, Cara
    // and bea permanent, Dan not; she has muted "Trade". serverLog records
    // what the service did.
    void StartService();
    // The window logs in with the login dialog and the character choice.
    bool LogInWindow(const QString& user = QStringLiteral("kara"),
                     const QString& character = QStringLiteral("Kara"));
    // An engine logs in as the user's first character.
    bool LogIn(TVLChat& chat, const char* user);
    bool WaitForLog(const QString& line) {
        return WaitUntil([&] { return serverLog.contains(line); });
    }

    // What the login dialog is filled with before OK; Cancel when not set.
    struct LoginAnswer {
        QString Dimension, User, Password;
        bool Remember = false;
    };

    std::unique_ptr<TMainForm> form;
    std::optional<LoginAnswer> loginAnswer;
    // The character chosen in the character dialog (Cancel when not set),
    // and the one the dialog had chosen when it opened.
    std::optional<QString> characterAnswer;
    QString preselected;
    // What happened, in order: "login" and "chars" for the dialogs, "box" for a box.
    QStringList events;
    // Every box is recorded and answered; confirmations with boxAnswer.
    BoxAnswerer boxAnswerer;
    std::vector<plat::MsgBoxRequest>& boxes = boxAnswerer.Boxes;
    plat::MsgResult& boxAnswer = boxAnswerer.ConfirmAnswer;
    std::unique_ptr<chatd::ChatServer> server;
    QStringList serverLog;

private:
    QTemporaryDir dir_;
    QByteArray oldConfig_;
    bool hadConfig_ = false;
    std::unique_ptr<plat::Registry> stored_;
    std::unique_ptr<dlg::ScopedModalRunner> modalRunner_;
};

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

    std::unique_ptr<TVLChat> bob;
    // "Kara: text" for tells (" +TTextBlob(text)" and the like for an attachment),
    // "[group] Kara: text" for group and private group messages.
    QStringList bobHeard;
};

} // namespace mainformtest
