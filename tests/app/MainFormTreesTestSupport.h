#pragma once

// The main window, shown and logged in as Kara at the local chat service.
// Kara's buddies: Bob, Cara and bea permanent, Dan not; Eve is a stranger;
// Kara has muted "Trade". What the service did is recorded line by line.
// The mouse is pressed on the trees and the console as a user would.

#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
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
        int id = 0x1000;
        for (const char* name : {"Kara", "Bob", "Cara", "Dan", "bea", "Eve"}) {
            const QString user = QString::fromLatin1(name).toLower();
            server.Accounts().AddAccount(user, user + QStringLiteral("pw"));
            chatd::Character character;
            character.Id = id++;
            character.Name = QString::fromLatin1(name);
            server.Accounts().AddCharacter(user, character);
        }
        chatd::Character& kara = *server.Accounts().FindCharacterByName(QStringLiteral("Kara"));
        kara.Buddies = {{0x1001, true}, {0x1002, true}, {0x1003, false}, {0x1004, true}};
        kara.GroupFlags[{0x01, 0x00, 0x00, 0x00, 0x02}] = 0x01010000;
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
        ASSERT_TRUE(WaitUntil([&] { return form->Trees().PublicGroupsNode()->childCount() == 3; }));
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
    bool WaitForLog(const char* line) {
        return WaitUntil([&] { return serverLog.contains(QLatin1String(line)); });
    }
    bool WaitForLine(const QString& text) {
        return WaitUntil([&] { return ConsoleLines().last().contains(text); });
    }

    // "name:image" of each child.
    static QStringList Children(const QTreeWidgetItem* root) {
        QStringList children;
        for (int i = 0; i < root->childCount(); ++i) {
            children << root->child(i)->text(0) + u':' +
                            QString::number(TFriendsGroupsTrees::NodeImage(root->child(i)));
        }
        return children;
    }
    static QTreeWidgetItem* Child(const QTreeWidgetItem* root, const char* name) {
        for (int i = 0; i < root->childCount(); ++i) {
            if (root->child(i)->text(0) == QLatin1String(name)) {
                return root->child(i);
            }
        }
        return nullptr;
    }

    static void Mouse(QWidget* target, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton) {
        const bool held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
        QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button,
                          held ? Qt::MouseButtons(button) : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    static void Click(QWidget* target, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(target, QEvent::MouseButtonPress, pos, button);
        Mouse(target, QEvent::MouseButtonRelease, pos, button);
    }
    static QPoint TextOf(TTreeView* tree, QTreeWidgetItem* node) {
        return {TFriendsGroupsTrees::NodeIconRect(*tree, node).right() + 12,
                tree->visualItemRect(node).center().y()};
    }
    static QPoint IconOf(TTreeView* tree, QTreeWidgetItem* node) {
        return TFriendsGroupsTrees::NodeIconRect(*tree, node).center();
    }
    void RightClick(TTreeView* tree, QTreeWidgetItem* node) {
        CloseMenu();
        Click(tree->viewport(), TextOf(tree, node), Qt::RightButton);
    }

    // Moves the mouse along the newest console line until it is over the
    // link and clicks there.
    bool ClickLink(const QString& name, const QString& params, Qt::MouseButton button) {
        CloseMenu();
        QWidget* view = form->OutputMemo->viewport();
        for (int x = 0; x < view->width(); x += 2) {
            const QPoint pos(x, form->OutputMemo->ClientHeight() - 4);
            Mouse(view, QEvent::MouseMove, pos, Qt::NoButton);
            const TLinkInformation link = form->OutputMemo->LinkInformation();
            if (link.Valid && link.Name == name && link.Params == params) {
                Click(view, pos, button);
                ProcessPosted();
                return true;
            }
        }
        return false;
    }

    QMenu* OpenMenu() const {
        for (QMenu* menu : form->findChildren<QMenu*>()) {
            if (menu->isVisible()) {
                return menu;
            }
        }
        return nullptr;
    }
    void CloseMenu() const {
        if (QMenu* menu = OpenMenu()) {
            menu->hide();
        }
    }
    // Captions of the visible items of the open menu.
    QStringList Shown() const {
        QStringList captions;
        QMenu* menu = OpenMenu();
        for (QAction* action : menu ? menu->actions() : QList<QAction*>()) {
            if (action->isVisible() && !action->isSeparator()) {
                captions << action->text();
            }
        }
        return captions;
    }
    // Chooses an item of the open menu with the keyboard; its handler runs.
    void Choose(const char* item) {
        QMenu* menu = OpenMenu();
        ASSERT_TRUE(menu);
        menu->setActiveAction(menu->findChild<QAction*>(QLatin1String(item)));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &enter);
        EXPECT_FALSE(menu->isVisible());
        ProcessPosted();
    }

    QString Target() const {
        return form->TargetPanel->isVisible() ? form->TargetLabel->text() : QString();
    }

    chatd::ChatServer server;
    quint16 port = 0;
    QStringList serverLog;
};

} // namespace mainformtest
