#include "MainFormInputSupport.h"

#include "app/MainFormControls.h"
#include "engine/VLBlob.h"
#include "platform/core/Cp1252.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace mainformtest {

bool LogIn(TVLChat& chat, quint16 port, const QByteArray& user, const QByteArray& character) {
    chat.SetFloodProtection(false);
    chat.SetDimension(chat.DimensionList().Add(QStringLiteral("Local"), QString(), port,
                                               QStringLiteral("127.0.0.1")));
    chat.SetUserName(user);
    chat.SetPassword(user + "pw");
    chat.Connect();
    if (!WaitUntil([&] { return chat.State() == csReadyForLogin; })) {
        return false;
    }
    chat.SelectCharacter(character);
    return WaitUntil([&] { return chat.State() == csLoggedIn; });
}

void LoggedInTest::SetUp() {
    MainFormTest::SetUp();
    ASSERT_TRUE(server.Listen({0}));
    port = server.Ports().first();
    QObject::connect(&server, &chatd::ChatServer::LogLine,
                     [this](const QString& line) { serverLog << line; });
    for (const auto& [user, name, id] :
         {std::tuple{"kara", "Kara", 0x1000}, {"bob", "Bob", 0x1234}, {"cara", "Cara", 0x1300}}) {
        server.Accounts().AddAccount(QString::fromLatin1(user),
                                     QString::fromLatin1(user) + QStringLiteral("pw"));
        chatd::Character character;
        character.Id = id;
        character.Name = QString::fromLatin1(name);
        server.Accounts().AddCharacter(QString::fromLatin1(user), character);
    }
    auto dimension = *Stored().OpenKey({"Dimensions", "Local"}, true);
    dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    dimension.WriteInteger(QStringLiteral("Port"), port);
    auto root = StoredRoot();
    root.WriteInteger(QStringLiteral("OnStartup"), 0);
    StoreSettings(root);
    Create();
    loginAnswer = LoginAnswer{QStringLiteral("Local"), QStringLiteral("kara"),
                              QStringLiteral("karapw"), false};
    characterAnswer = QStringLiteral("Kara");
    form->ConnectAction->trigger();
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csLoggedIn; }));
    form->VLChat->SetFloodProtection(false);
}

void LoggedInTest::TearDown() {
    bob.reset();
    MainFormTest::TearDown();
}

void LoggedInTest::StartBob() {
    bob = std::make_unique<TVLChat>();
    bob->OnPrivateMessage = [this](TVLChat*, const QByteArray& sender, const QByteArray& text,
                                   const TBlob* blob) {
        bobHeard << plat::FromCp1252(sender + ": " + text);
        bobAttachments << (blob ? QString::fromLatin1(blob->ClassName()) : QString());
    };
    bob->OnGroupMessage = [this](TVLChat* chat, int index, const QByteArray& sender,
                                 const QByteArray& text, const TBlob*) {
        bobHeard << plat::FromCp1252("[" + chat->GroupList().Items(index)->Name() + "] " + sender +
                                     ": " + text);
    };
    bob->OnPrivateGroupMessage = [this](TVLChat*, const QByteArray& group, const QByteArray& sender,
                                        const QByteArray& text, const TBlob*) {
        bobHeard << plat::FromCp1252("[" + group + "] " + sender + ": " + text);
    };
    ASSERT_TRUE(LogIn(*bob, port, "bob", "Bob"));
}

void LoggedInTest::Type(const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c == u' ' ? Qt::Key_Space : Qt::Key_unknown,
                        Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(form->InputEdit, &press);
    }
}

void LoggedInTest::Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers,
                    key == Qt::Key_Return ? QStringLiteral("\r") : QString());
    QCoreApplication::sendEvent(form->InputEdit, &press);
}

void LoggedInTest::Enter(const QString& line) {
    Type(line);
    Press(Qt::Key_Return);
}

} // namespace mainformtest
