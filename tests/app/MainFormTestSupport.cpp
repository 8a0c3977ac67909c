#include "MainFormTestSupport.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/LoginForm.h"
#include "app/mainform/MainFormControls.h"
#include "console/QvConsole/QvConsole.h"
#include "engine/VLBlob.h"
#include "platform/core/Cp1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>

BoxRecorder::BoxRecorder() {
    OnBox = [](const plat::MsgBoxRequest& box) {
        EXPECT_EQ(box.Caption, QStringLiteral("Quorvel"));
        const bool confirmation = box.Kind == plat::MsgKind::Confirmation;
        EXPECT_EQ(box.Buttons, confirmation ? plat::MsgButtons::YesNo : plat::MsgButtons::Ok);
    };
}

static const char* const kUrlSchemes[] = {"http", "https", "file", "ftp"};

UrlCatcher::UrlCatcher() {
    for (const char* scheme : kUrlSchemes) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
}

UrlCatcher::~UrlCatcher() {
    for (const char* scheme : kUrlSchemes) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
}

ModalScript::ModalScript()
    : runner_([this](QDialog& dialog) {
          if (steps_.empty()) {
              ADD_FAILURE() << "no step left for " << dialog.metaObject()->className();
              return int(QDialog::Rejected);
          }
          auto step = std::move(steps_.front());
          steps_.pop_front();
          dialog.show();
          step(dialog);
          ++Ran;
          return dialog.result();
      }) {}

namespace mainformtest {

QString Line(const char* color, const QString& text) {
    return QStringLiteral(
               "<noselect><font color=\"#808080\">[15:07]</font>&nbsp;</noselect><indent>"
               "<font color=\"#%1\">")
               .arg(QLatin1String(color)) +
           text + QStringLiteral("</font>");
}

QString System(const QString& text) {
    return Line("800000", QStringLiteral("System Message: ") + text + QStringLiteral("</font>"));
}

QString CharLink(const QString& name) {
    return QStringLiteral("<a name=\"charlink\" params=\"%1\" hint=\"Query %1\">%1</a>").arg(name);
}

QStringList Children(const TTreeNode* root) {
    QStringList children;
    for (int i = 0; i < root->ChildCount(); ++i) {
        children << root->Child(i)->Text() + u':' + QString::number(root->Child(i)->Image());
    }
    return children;
}

// Every value differs from its default and lies within what the options
// pages take. Logging is on for no file.
TMainSettings ChangedSettings() {
    TMainSettings s;
    s.AwayLogging = false, s.AwayAutoCancel = true, s.AutoAway = true, s.AutoAwayIdle = 7;
    s.AutoAwayMessage = QStringLiteral("gone, 100%"), s.PlaySounds = false;
    s.VLDirectory = QStringLiteral("/opt/game/"), s.GroupPanelVisible = false;
    s.GroupSplitterPosition = -3, s.MainSplitterPosition = 351, s.StatusBarVisible = false;
    s.AutoReconnect = true, s.ReconnectTimes = 999, s.ReconnectDelay = 120;
    s.AutoLoginDimension = QStringLiteral("Vassa"), s.AutoLoginUser = QStringLiteral("Bob");
    s.AutoLoginPassword = QStringLiteral("\u00FFpw"), s.OnStartup = 2;
    s.LastUser = QStringLiteral("Bob"), s.LastDimension = QStringLiteral("Kelmarch");
    s.ParseEmoticons = false, s.ParseUrls = false, s.LinkNames = false, s.LinkGroups = false;
    s.TimestampChat = false, s.TimestampFormat = QStringLiteral("hh:nn:ss ampm");
    s.TimestampColor = 0x0000FF, s.SmoothScrolling = true, s.TimestampIndent = false;
    s.LineSpacing = 100;
    int n = 0;
    for (TControlSettings* c :
         {&s.FriendsTreeView, &s.GroupsTreeView, &s.OutputMemo, &s.InputEdit}) {
        ++n;
        c->Font = TFontSettings{n,    0x10 * n, QStringLiteral("Font %1").arg(n), 8 + n, true, true,
                                true, true};
        c->Color = 0x123400 + n;
    }
    s.Logging = true, s.TimestampLogging = false, s.LoggingFolder = QStringLiteral("/tmp/l/");
    s.LogGroup = false, s.LogPrivate = false, s.LogPrivateGroup = false, s.LogSystem = false;
    s.LogError = false;
    return s;
}

void ProcessPosted() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

int LayOut(TMainForm& f, int width, int height) {
    f.show();
    f.setWindowState(Qt::WindowNoState);
    f.resize(width, height);
    ProcessPosted();
    return f.MainSplitter->height();
}

void MainFormTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    TMainFormTestSeam::StoreConsoleText = true;
    modalRunner_ = std::make_unique<dlg::ScopedModalRunner>([this](QDialog& dialog) {
        if (auto* chars = qobject_cast<TCharSelForm*>(&dialog)) {
            events << QStringLiteral("chars");
            preselected = chars->Character();
            if (!characterAnswer) {
                return int(QDialog::Rejected);
            }
            chars->CharacterCombobox->setEditText(*characterAnswer);
            return int(QDialog::Accepted);
        }
        auto* login = qobject_cast<TLoginForm*>(&dialog);
        if (!login) {
            ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
            return int(QDialog::Rejected);
        }
        events << QStringLiteral("login");
        if (!loginAnswer) {
            return int(QDialog::Rejected);
        }
        login->DimensionCombobox->setCurrentIndex(
            login->DimensionCombobox->findText(loginAnswer->Dimension));
        login->UserCombobox->setEditText(loginAnswer->User);
        login->PasswordEdit->setText(loginAnswer->Password);
        login->SaveCheckbox->setChecked(loginAnswer->Remember);
        return int(QDialog::Accepted);
    });
    boxAnswer = plat::MsgResult::Ok;
    boxAnswerer.OnBox = [this](const plat::MsgBoxRequest&) { events << QStringLiteral("box"); };
}

void MainFormTest::TearDown() {
    form.reset();
    server.reset();
    stored_.reset();
    modalRunner_.reset();
    TMainFormTestSeam::StoreConsoleText = false;
    for (int i = 0; i < 100 && TMainForm::BusyCount() > 0; ++i) {
        TMainForm::EndBusy(); // a test that failed while busy leaves the next one alone
    }
    if (hadConfig_) {
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
}

plat::Registry& MainFormTest::Stored() {
    if (!stored_) {
        stored_ = std::make_unique<plat::Registry>();
    }
    return *stored_;
}

plat::Registry::Key MainFormTest::StoredRoot() {
    return *Stored().OpenKey({}, true);
}

TMainForm& MainFormTest::Create() {
    if (stored_) {
        EXPECT_TRUE(stored_->Save());
        stored_.reset();
    }
    form = std::make_unique<TMainForm>();
    form->Formatter().Now = [] { return QDateTime(QDate(2024, 5, 6), QTime(15, 7)); };
    return *form;
}

void MainFormTest::ShowAndActivate() {
    form->show();
    ProcessPosted();
}

std::unique_ptr<plat::Registry> MainFormTest::DestroyAndReload() {
    form.reset();
    return std::make_unique<plat::Registry>();
}

QStringList MainFormTest::ConsoleLines() const {
    QStringList lines;
    for (const TMessageNode* line = form->OutputMemo->FirstLine(); line; line = line->Next) {
        lines << line->Text;
    }
    return lines;
}

void MainFormTest::StartService() {
    server = std::make_unique<chatd::ChatServer>();
    ASSERT_TRUE(server->Listen({0}));
    QObject::connect(server.get(), &chatd::ChatServer::LogLine,
                     [this](const QString& line) { serverLog << line; });
    int id = 0x1000;
    for (const auto& [user, name] : {std::pair{"kara", "Kara"},
                                     {"bob", "Bob"},
                                     {"cara", "Cara"},
                                     {"dan", "Dan"},
                                     {"bea", "bea"},
                                     {"eve", "Eve"},
                                     {"kara", "Zed"}}) {
        if (!server->Accounts().FindAccount(QLatin1String(user))) {
            server->Accounts().AddAccount(QLatin1String(user), QLatin1String(user) + "pw");
        }
        chatd::Character character;
        character.Id = id++;
        character.Name = QLatin1String(name);
        server->Accounts().AddCharacter(QLatin1String(user), character);
    }
    chatd::Character& kara = *server->Accounts().FindCharacterByName(QStringLiteral("Kara"));
    kara.Buddies = {{0x1001, true}, {0x1002, true}, {0x1003, false}, {0x1004, true}};
    kara.GroupFlags[{0x01, 0x00, 0x00, 0x00, 0x02}] = 0x01010000; // Trade muted
    auto dimension = *Stored().OpenKey({"Dimensions", "Local"}, true);
    dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    dimension.WriteInteger(QStringLiteral("Port"), server->Ports().first());
    StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
}

bool MainFormTest::LogInWindow(const QString& user, const QString& character) {
    loginAnswer = LoginAnswer{QStringLiteral("Local"), user, user + QStringLiteral("pw"), false};
    characterAnswer = character;
    form->ConnectAction->trigger();
    const bool in = WaitUntil([&] { return form->VLChat->State() == csLoggedIn; });
    form->VLChat->SetFloodProtection(false);
    return in;
}

bool MainFormTest::LogIn(TVLChat& chat, const char* user) {
    chat.SetFloodProtection(false);
    chat.SetDimension(chat.DimensionList().Add(
        QStringLiteral("Local"), QString(), server->Ports().first(), QStringLiteral("127.0.0.1")));
    chat.SetUserName(user);
    chat.SetPassword(QByteArray(user) + "pw");
    chat.Connect();
    if (!WaitUntil([&] { return chat.State() == csReadyForLogin; })) {
        return false;
    }
    chat.SelectCharacter(chat.CharList().Items(0)->Name());
    return WaitUntil([&] { return chat.State() == csLoggedIn; });
}

void LoggedInTest::SetUp() {
    MainFormTest::SetUp();
    StartService();
    Create();
    ASSERT_TRUE(LogInWindow());
    bob = std::make_unique<TVLChat>();
    const auto heard = [this](const QByteArray& line) { bobHeard << plat::FromCp1252(line); };
    bob->OnPrivateMessage = [heard](TVLChat*, const QByteArray& sender, const QByteArray& text,
                                    const TBlob* blob) {
        const auto* textBlob = dynamic_cast<const TTextBlob*>(blob);
        heard(sender + ": " + text + (blob ? " +" + QByteArray(blob->ClassName()) : "") +
              (textBlob ? "(" + textBlob->Text() + ")" : ""));
    };
    bob->OnGroupMessage = [heard](TVLChat* chat, int index, const QByteArray& sender,
                                  const QByteArray& text, const TBlob*) {
        heard("[" + chat->GroupList().Items(index)->Name() + "] " + sender + ": " + text);
    };
    bob->OnPrivateGroupMessage = [heard](TVLChat*, const QByteArray& name, const QByteArray& sender,
                                         const QByteArray& text, const TBlob*) {
        heard("[" + name + "] " + sender + ": " + text);
    };
    ASSERT_TRUE(LogIn(*bob, "bob"));
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
