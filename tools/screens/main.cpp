// quorvel-screens: pictures of the program's windows as a user sees them,
// taken on the offscreen platform with a throw-away settings folder. The main
// window with a few friends, groups and lines of chat; each of its menus open;
// the friends' pop-up menu; every options page; the away messages window; the
// reference editor and viewer; the about box and the login dialog.
//
//   quorvel-screens [folder]     (default: screenshots)
//
// A picture holds the window and whatever stands over it (menus, dialogs,
// floating bars), drawn in that order.

#include "app/common/ProgramIcon.h"
#include "app/common/ProgramKits.h"
#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainForm.h"
#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "engine/VLChat.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

QString outFolder = QStringLiteral("screenshots");
int failures = 0;

// Lets what is queued run: layouts, paints, posted calls.
void Settle(int rounds = 5) {
    for (int i = 0; i < rounds; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Where a window stands in front: the main window at the back, then floating
// bars, other windows and dialogs, then menus and tips.
int Rank(const QWidget* window, const QWidget* base) {
    if (window == base) {
        return 0;
    }
    if (window->objectName() == QLatin1String("qtooltip_label")) {
        return 4;
    }
    switch (window->windowType()) {
    case Qt::Tool:
        return 1;
    case Qt::Popup:
    case Qt::ToolTip: // the kit's menus
        return 3;
    default:
        return 2;
    }
}

bool IsMenu(const QWidget* w) {
    return w->isVisible() && (w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip) &&
           w->objectName() != QLatin1String("qtooltip_label");
}

// The window and every other shown window over it, inside the window's
// rectangle grown to hold what reaches out of it.
QImage Composite(QWidget& base) {
    std::vector<QWidget*> windows;
    QRect area = base.frameGeometry();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() != Qt::Desktop &&
            (w == &base || base.frameGeometry().intersects(w->frameGeometry()) || IsMenu(w))) {
            windows.push_back(w);
            area = area.united(w->frameGeometry());
        }
    }
    std::stable_sort(windows.begin(), windows.end(), [&](const QWidget* a, const QWidget* b) {
        return Rank(a, &base) < Rank(b, &base);
    });
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(0x3A, 0x6E, 0xA5)); // a desk behind the windows
    QPainter painter(&image);
    for (QWidget* w : windows) {
        painter.drawPixmap(w->frameGeometry().topLeft() - area.topLeft(), w->grab());
    }
    painter.end();
    return image;
}

void Save(const QString& name, const QImage& image) {
    const QString path = QDir(outFolder).filePath(name + QStringLiteral(".png"));
    if (image.isNull() || !image.save(path)) {
        std::fprintf(stderr, "could not take %s\n", qPrintable(name));
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// A key as the window system hands it to the focused widget.
void SendKey(QWidget& fallback, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QWidget* to = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &fallback;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(to, &release);
}

// Runs `open`, which starts the kit's menu loop; once a menu shows inside
// it, takes the picture and ends the loop.
void ShootMenu(QWidget& base, const QString& name, const std::function<void()>& open) {
    bool taken = false;
    QTimer poll;
    poll.setInterval(10);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TDkView* view = dk::RunningMenuLoopView();
        const QWidgetList windows = QApplication::topLevelWidgets();
        const bool popupShown = std::any_of(windows.cbegin(), windows.cend(), IsMenu);
        if (view != nullptr && (popupShown || waited.elapsed() > 2000)) {
            Settle();
            Save(name, Composite(base));
            taken = true;
            view->EndModal();
        }
        if (taken || waited.elapsed() > 5000) {
            poll.stop();
        }
    });
    poll.start();
    open();
    Settle();
    poll.stop();
    if (!taken) {
        std::fprintf(stderr, "no menu opened for %s\n", qPrintable(name));
        ++failures;
    }
}

// What a running session shows: friends on and off line, groups, a few lines.
void FillWindow(TMainForm& form) {
    form.CurrentCharacter = QStringLiteral("Demochar");
    const std::pair<const char*, bool> friends[] = {
        {"Aldwyn", true}, {"Brisa", true}, {"Corwen", false}, {"Dalla", false}, {"Evander", true}};
    for (const auto& [name, online] : friends) {
        form.VLChatFriendAdd(nullptr, TFriendInfo(name, online, true));
    }
    form.VLChatSystemMessage(nullptr, "Welcome to the Ostrelian dimension.");
    form.VLChatPrivateMessage(nullptr, "Aldwyn", "Meet me at the north gate at dusk?", nullptr);
    form.VLChatPrivateMessage(nullptr, "Brisa", "I have the map you asked for :)", nullptr);
    form.VLChatSystemMessage(nullptr, "Evander has come online.");
    Settle();
}

// Runs a modal dialog's opening through `open`; the dialog is shown, its
// picture taken and it is cancelled instead of waiting for the user.
void ShootModal(QWidget& base, const QString& name, const std::function<void()>& open) {
    bool taken = false;
    const dlg::ScopedModalRunner runner([&](QDialog& dialog) {
        dialog.show();
        Settle();
        Save(name, Composite(base));
        taken = true;
        dialog.hide();
        return static_cast<int>(QDialog::Rejected);
    });
    open();
    if (!taken) {
        std::fprintf(stderr, "no dialog opened for %s\n", qPrintable(name));
        ++failures;
    }
}

QWidget* FindWindow(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

void ShootOptions(TMainForm& form) {
    form.OptionsActionExecute();
    Settle();
    auto* options = qobject_cast<TOptionsForm*>(FindWindow(QStringLiteral("OptionsForm")));
    if (options == nullptr) {
        std::fprintf(stderr, "the options dialog did not open\n");
        ++failures;
        return;
    }
    const char* pages[] = {"Connection",    "Logging",        "Away Options",
                           "Audio Options", "Fonts & Colors", "Chat Window"};
    int index = 0;
    for (const char* page : pages) {
        QTreeWidgetItem* node = options->FindNode(QString::fromLatin1(page));
        if (node == nullptr) {
            std::fprintf(stderr, "no options page %s\n", page);
            ++failures;
            continue;
        }
        options->OptionsTreeView->setCurrentItem(node);
        options->ShowPage(node);
        Settle();
        Save(QStringLiteral("options-%1").arg(++index), options->grab().toImage());
    }
    options->CancelButtonClick();
    Settle();
}

void ShootAwayWindow(TMainForm& form) {
    const std::pair<const char*, const char*> tells[] = {
        {"Aldwyn", "Are you there?"},
        {"Aldwyn", "I will wait at the north gate."},
        {"Brisa", "The map is yours when you are back."}};
    for (const auto& [sender, text] : tells) {
        TAwayList& list = form.Away.List();
        qsizetype at = list.IndexOf(QString::fromLatin1(sender));
        TAwayCharacter* character = at >= 0 ? list.Items(at) : list.Add();
        character->SetName(QString::fromLatin1(sender));
        character->Messages().Add()->SetText(QString::fromLatin1(text));
    }
    form.ShowAwayMessages();
    Settle();
    if (QWidget* away = FindWindow(QStringLiteral("AwayMessagesForm"))) {
        away->resize(560, 400);
        Settle();
        Save(QStringLiteral("away-messages"), away->grab().toImage());
        away->close();
        Settle();
    } else {
        std::fprintf(stderr, "the away messages window did not open\n");
        ++failures;
    }
}

void ShootReferenceWindows(TMainForm& form) {
    form.InputEdit->setFocus();
    form.AttachActionExecute();
    Settle();
    if (QWidget* editor = FindWindow(QStringLiteral("AttachForm"))) {
        Save(QStringLiteral("reference-editor"), editor->grab().toImage());
        editor->close();
        Settle();
    } else {
        std::fprintf(stderr, "the reference editor did not open\n");
        ++failures;
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Nothing of the user's: settings, logs and the single-instance lock in
    // a folder that goes after (a running program is no other instance).
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setWindowIcon(ProgramIcon());
    if (argc > 1) {
        outFolder = QString::fromLocal8Bit(argv[1]);
    }
    QDir().mkpath(outFolder);

    const TProgramKits kits;
    {
        // The login dialog the first activation opens, taken as it comes.
        TMainForm form;
        form.resize(1024, 700);
        ShootModal(form, QStringLiteral("login"), [&] {
            form.show();
            form.activateWindow();
            Settle();
        });
        form.EnableChatControls();
        FillWindow(form);
        Save(QStringLiteral("main-window"), Composite(form));

        // Each menu of the menu bar, opened with its access key.
        const std::pair<const char*, QChar> menus[] = {{"menu-file", u'f'},
                                                       {"menu-edit", u'e'},
                                                       {"menu-view", u'v'},
                                                       {"menu-tools", u't'},
                                                       {"menu-help", u'h'}};
        for (const auto& [name, accessKey] : menus) {
            const QChar key = accessKey;
            ShootMenu(form, QString::fromLatin1(name), [&] {
                SendKey(form, Qt::Key_A + (key.unicode() - u'a'), Qt::AltModifier, QString(key));
            });
        }
        // The friends' pop-up menu over an online friend.
        if (const TTreeNode* first = form.FriendsTreeView->Root(0);
            first != nullptr && first->ChildCount() > 0) {
            const QPoint at = form.FriendsTreeView->NodeRect(first->Child(0)).center();
            ShootMenu(form, QStringLiteral("menu-friend"),
                      [&] { form.FriendsTreeViewMouseDown(Qt::RightButton, at.x(), at.y()); });
        }
        ShootOptions(form);
        ShootAwayWindow(form);
        ShootReferenceWindows(form);
        ShootModal(form, QStringLiteral("about"), [&] { form.AboutActionExecute(); });
    }
    return failures == 0 ? 0 : 1;
}
