#include "MainFormInputSupport.h"

#include "app/mainform/MainFormControls.h"
#include "engine/VLBlob.h"
#include "platform/core/Cp1252.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace mainformtest {

void LoggedInTest::SetUp() {
    MainFormTest::SetUp();
    ASSERT_TRUE(server.Listen({0}));
    const quint16 port = server.Ports().first();
    QObject::connect(&server, &chatd::ChatServer::LogLine,
                     [this](const QString& line) { serverLog << line; });
    for (const auto& [user, id] : {std::pair{"Kara", 0x1000}, {"Bob", 0x1234}}) {
        const QString name = QString::fromLatin1(user);
        server.Accounts().AddAccount(name, name + QStringLiteral("pw"));
        chatd::Character character;
        character.Id = id;
        character.Name = name;
        server.Accounts().AddCharacter(name, character);
    }
    auto dimension = *Stored().OpenKey({"Dimensions", "Local"}, true);
    dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    dimension.WriteInteger(QStringLiteral("Port"), port);
    StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
    Create();
    loginAnswer = LoginAnswer{QStringLiteral("Local"), QStringLiteral("Kara"),
                              QStringLiteral("Karapw"), false};
    characterAnswer = QStringLiteral("Kara");
    form->ConnectAction->trigger();
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csLoggedIn; }));
    form->VLChat->SetFloodProtection(false);

    bob = std::make_unique<TVLChat>();
    bob->OnPrivateMessage = [this](TVLChat*, const QByteArray& sender, const QByteArray& text,
                                   const TBlob* blob) {
        QByteArray heard = sender + ": " + text;
        if (blob) {
            heard += " +" + QByteArray(blob->ClassName());
        }
        if (const auto* textBlob = dynamic_cast<const TTextBlob*>(blob)) {
            heard += "(" + textBlob->Text() + ")";
        }
        bobHeard << plat::FromCp1252(heard);
    };
    auto group = [this](const QByteArray& name, const QByteArray& sender, const QByteArray& text) {
        bobHeard << plat::FromCp1252("[" + name + "] " + sender + ": " + text);
    };
    bob->OnGroupMessage = [group](TVLChat* chat, int index, const QByteArray& sender,
                                  const QByteArray& text, const TBlob*) {
        group(chat->GroupList().Items(index)->Name(), sender, text);
    };
    bob->OnPrivateGroupMessage = [group](TVLChat*, const QByteArray& name, const QByteArray& sender,
                                         const QByteArray& text,
                                         const TBlob*) { group(name, sender, text); };
    bob->SetFloodProtection(false);
    bob->SetDimension(bob->DimensionList().Add(QStringLiteral("Local"), QString(), port,
                                               QStringLiteral("127.0.0.1")));
    bob->SetUserName("Bob");
    bob->SetPassword("Bobpw");
    bob->Connect();
    ASSERT_TRUE(WaitUntil([&] { return bob->State() == csReadyForLogin; }));
    bob->SelectCharacter("Bob");
    ASSERT_TRUE(WaitUntil([&] { return bob->State() == csLoggedIn; }));
}

void LoggedInTest::TearDown() {
    bob.reset();
    MainFormTest::TearDown();
}

void LoggedInTest::Type(const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(form->InputEdit, &press);
    }
}

void LoggedInTest::Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers,
                    key == Qt::Key_Return ? QStringLiteral("\r") : QString());
    QCoreApplication::sendEvent(form->InputEdit, &press);
}

QString LoggedInTest::Typed() const {
    return form->InputEdit->toPlainText();
}

} // namespace mainformtest
