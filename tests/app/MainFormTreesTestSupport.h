#pragma once

// The main window logged in as Kara at the local chat service, shown, with
// Bob, Cara, Dan and bea as further characters; what the service did is
// recorded line by line. Helpers press the mouse on the trees and the
// console and choose pop-up menu items as a user would.

#include "MainFormTestSupport.h"

#include "app/MainFormControls.h"
#include "app/kit/Kit.h"
#include "chatd/ChatServer.h"
#include "console/QvConsole.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidgetItem>

namespace mainformtest {

class TreesTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(server.Listen({0}));
        port = server.Ports().first();
        for (const auto& [user, name, id] : {std::tuple{"kara", "Kara", 0x1000},
                                             {"bob", "Bob", 0x1234},
                                             {"cara", "Cara", 0x1300},
                                             {"dan", "Dan", 0x1400},
                                             {"bea", "bea", 0x1500}}) {
            server.Accounts().AddAccount(QString::fromLatin1(user),
                                         QString::fromLatin1(user) + QStringLiteral("pw"));
            chatd::Character character;
            character.Id = id;
            character.Name = QString::fromLatin1(name);
            server.Accounts().AddCharacter(QString::fromLatin1(user), character);
        }
        chatd::Character& kara = *server.Accounts().FindCharacterByName(QStringLiteral("Kara"));
        kara.Buddies = {{0x1234, true}, {0x1300, true}, {0x1400, false}, {0x1500, true}};
        kara.GroupFlags[{0x01, 0x00, 0x00, 0x00, 0x02}] = 0x01010000; // Trade muted
        QObject::connect(&server, &chatd::ChatServer::LogLine,
                         [this](const QString& line) { serverLog << line; });
        auto dimension = *Stored().OpenKey({"Dimensions", "Local"}, true);
        dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
        dimension.WriteInteger(QStringLiteral("Port"), port);
        StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
        Create();
        ShowAndActivate();
        loginAnswer = LoginAnswer{QStringLiteral("Local"), QStringLiteral("kara"),
                                  QStringLiteral("karapw"), false};
        characterAnswer = QStringLiteral("Kara");
        form->ConnectAction->trigger();
        ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csLoggedIn; }));
        ASSERT_TRUE(WaitUntil([&] { return form->PublicGroupsNode()->childCount() == 3; }));
        form->VLChat->SetFloodProtection(false);
    }

    bool LogIn(TVLChat& chat, const char* user) {
        chat.SetFloodProtection(false);
        chat.SetDimension(chat.DimensionList().Add(QStringLiteral("Local"), QString(), port,
                                                   QStringLiteral("127.0.0.1")));
        chat.SetUserName(user);
        chat.SetPassword(QByteArray(user) + "pw");
        chat.Connect();
        if (!WaitUntil([&] { return chat.State() == csReadyForLogin; })) {
            return false;
        }
        chat.SelectCharacter(chat.CharList().Items(0)->Name());
        return WaitUntil([&] { return chat.State() == csLoggedIn; });
    }
    bool WaitForLog(const QString& line) {
        return WaitUntil([&] { return serverLog.contains(line); });
    }

    // "name:image" of each child.
    static QStringList Children(const QTreeWidgetItem* root) {
        QStringList children;
        for (int i = 0; i < root->childCount(); ++i) {
            children << QStringLiteral("%1:%2")
                            .arg(root->child(i)->text(0))
                            .arg(TMainForm::NodeImage(root->child(i)));
        }
        return children;
    }
    static QTreeWidgetItem* Child(const QTreeWidgetItem* root, const QString& name) {
        for (int i = 0; i < root->childCount(); ++i) {
            if (root->child(i)->text(0) == name) {
                return root->child(i);
            }
        }
        ADD_FAILURE() << "no node " << name.toStdString();
        return nullptr;
    }

    static void Mouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                      : type == QEvent::MouseMove        ? Qt::NoButton
                                                                         : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    static void Click(TTreeView* tree, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(tree->viewport(), QEvent::MouseButtonPress, pos, button);
        Mouse(tree->viewport(), QEvent::MouseButtonRelease, pos, button);
    }
    static QPoint TextOf(TTreeView* tree, QTreeWidgetItem* node) {
        const QRect row = tree->visualItemRect(node);
        return QPoint(TMainForm::NodeIconRect(*tree, node).right() + 12, row.center().y());
    }
    static QPoint IconOf(TTreeView* tree, QTreeWidgetItem* node) {
        return TMainForm::NodeIconRect(*tree, node).center();
    }
    static void DoubleClick(TTreeView* tree, QTreeWidgetItem* node) {
        Click(tree, TextOf(tree, node));
        Mouse(tree->viewport(), QEvent::MouseButtonDblClick, TextOf(tree, node), Qt::LeftButton);
        Mouse(tree->viewport(), QEvent::MouseButtonRelease, TextOf(tree, node), Qt::LeftButton);
    }

    // Moves the mouse along the newest console line until it is over a link
    // of that name and params; presses and releases the button there.
    bool ClickLink(const QString& name, const QString& params, Qt::MouseButton button) {
        TQvConsole* console = form->OutputMemo;
        const int y = console->ClientHeight() - 4;
        for (int x = 0; x < console->ClientWidth(); x += 2) {
            Mouse(console->viewport(), QEvent::MouseMove, QPoint(x, y), Qt::NoButton);
            const TLinkInformation link = console->LinkInformation();
            if (link.Valid && link.Name == name && link.Params == params) {
                Mouse(console->viewport(), QEvent::MouseButtonPress, QPoint(x, y), button);
                Mouse(console->viewport(), QEvent::MouseButtonRelease, QPoint(x, y), button);
                return true;
            }
        }
        return false;
    }

    // The menu on screen, or null.
    QMenu* OpenMenu() const {
        for (QMenu* menu : form->findChildren<QMenu*>()) {
            if (menu->isVisible()) {
                return menu;
            }
        }
        return nullptr;
    }
    // Captions of the visible items of the open menu.
    QStringList Shown() const {
        QStringList captions;
        if (QMenu* menu = OpenMenu()) {
            for (QAction* action : menu->actions()) {
                if (action->isVisible() && !action->isSeparator()) {
                    captions << action->text();
                }
            }
        }
        return captions;
    }
    // Chooses an item of the open menu with the keyboard and lets its
    // handler run.
    void Choose(const QString& item) {
        QMenu* menu = OpenMenu();
        ASSERT_TRUE(menu);
        QAction* action = menu->findChild<QAction*>(item);
        ASSERT_TRUE(action && action->isVisible());
        menu->setActiveAction(action);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &enter);
        EXPECT_FALSE(menu->isVisible());
        ProcessPosted();
    }
    void CloseMenu() {
        if (QMenu* menu = OpenMenu()) {
            menu->hide();
        }
    }

    QString Target() const {
        return form->TargetPanel->isVisible() ? form->TargetLabel->text() : QString();
    }

    chatd::ChatServer server;
    quint16 port = 0;
    QStringList serverLog;
};

} // namespace mainformtest
