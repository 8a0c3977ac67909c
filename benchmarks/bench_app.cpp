// The client as two users feel it: how long a tell takes from one main
// window to the other's console over loopback, through the local chat
// service, with and without the chat log files (the median and the 99th
// percentile of the round trips); the main window resized by the user; the
// about box's first paint; and the friends tree of a shown window as the
// buddy list grows from 10 to 100,000 names: adding them all, and one status
// change; the buddy pop-up menu opened and closed as the kit's pop-up menu,
// as a plain QMenu, the two in turns, and from a right click in a main window;
// and a key from its press to its effect in the input line, beside the
// toolkit's own way.

#include "BenchMain.h"
#include "BenchQt.h"
#include "BenchStats.h"

#include "app/dialogs/AboutForm.h"
#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainForm.h"
#include "app/mainform/MainFormControls.h"
#include "chatd/ChatServer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/themes/DkKitThemes.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "effects/gui/controls/VfxInfoLabel.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace {

// Two windows logged in as Demochar and Testchar on the local chat service.
class TwoWindows {
public:
    explicit TwoWindows(bool logging)
        : runner_([this](QDialog& dialog) {
              auto* chars = qobject_cast<TCharSelForm*>(&dialog);
              if (!chars) {
                  return int(QDialog::Rejected);
              }
              chars->CharacterCombobox->setEditText(character_);
              return int(QDialog::Accepted);
          }) {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        server_.Listen({0});
        Sender = LogIn("Demochar", logging);
        Receiver = LogIn("Testchar", logging);
    }
    ~TwoWindows() {
        Receiver.reset();
        Sender.reset();
    }

    std::unique_ptr<TMainForm> Sender;
    std::unique_ptr<TMainForm> Receiver;

private:
    std::unique_ptr<TMainForm> LogIn(const QString& character, bool logging) {
        auto form = std::make_unique<TMainForm>();
        form->Settings.Logging = logging;
        form->Settings.LoggingFolder = logs_.filePath(character);
        form->SetLogging(logging);
        TVLChat& chat = *form->VLChat;
        chat.SetDimension(chat.DimensionList().Add(QStringLiteral("Local"), QString(),
                                                   server_.Ports().first(),
                                                   QStringLiteral("127.0.0.1")));
        chat.SetUserName("demo");
        chat.SetPassword("demo");
        character_ = character;
        chat.Connect();
        if (!WaitUntil([&] { return chat.State() == csLoggedIn; }, 10000)) {
            std::abort();
        }
        chat.SetFloodProtection(false);
        return form;
    }

    QTemporaryDir config_;
    QTemporaryDir logs_;
    chatd::ChatServer server_;
    dlg::ScopedModalRunner runner_;
    QString character_;
};

// From the send on Demochar's window until Testchar's window has added the
// line to its console (and, with logging, written private.log).
void BM_App_TellRoundTrip(benchmark::State& state) {
    TwoWindows windows(state.range(0) != 0);
    TVLChat& receiver = *windows.Receiver->VLChat;
    bool arrived = false;
    auto shown = receiver.OnPrivateMessage;
    receiver.OnPrivateMessage = [&](TVLChat* sender, const QByteArray& name, const QByteArray& text,
                                    const TBlob* blob) {
        shown(sender, name, text, blob);
        arrived = true;
    };
    const auto tell = [&](const QByteArray& text) {
        arrived = false;
        windows.Sender->VLChat->SendPrivateMessage("Testchar", text);
        while (!arrived) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    };
    tell("warm-up: the name lookup"); // later tells know the id

    std::vector<double> samples;
    int n = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        tell("round trip " + QByteArray::number(++n) + " with some ordinary chat text :-)");
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e6);
    }
    state.counters["median_us"] = Percentile(samples, 0.5);
    state.counters["p99_us"] = Percentile(samples, 0.99);
    state.counters["max_us"] = Percentile(samples, 1.0);
}
BENCHMARK(BM_App_TellRoundTrip)
    ->ArgName("logging")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The about box: from creating it (with its two memory labels and their
// timers) until its first paint event has run.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

void BM_App_AboutBoxFirstPaint(benchmark::State& state) {
    std::vector<double> samples;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        FirstPaint watch;
        TAboutForm form;
        form.VfxInformationLabel2->installEventFilter(&watch);
        form.show();
        while (!watch.painted) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e6);
    }
    state.counters["median_us"] = Percentile(samples, 0.5);
    state.counters["p99_us"] = Percentile(samples, 0.99);
}
BENCHMARK(BM_App_AboutBoxFirstPaint)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The main window dragged to a new size again and again: each step resizes
// it and lets the layouts (the splitters between console and input line and
// between the trees) follow, and with "painted" paints it. One sweep is 100
// sizes, growing and shrinking in both directions; reports the median time
// of one step.
void BM_App_MainWindowResizeSweep(benchmark::State& state) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    // The login dialog of the first activation is cancelled.
    const dlg::ScopedModalRunner noDialogs([](QDialog&) { return int(QDialog::Rejected); });
    TMainForm form;
    form.EnableChatControls();
    for (int i = 0; i < 300; ++i) {
        form.AddConsoleLine(QStringLiteral("<b>Bob</b>: line %1 of ordinary chat text, long enough "
                                           "to wrap when the window is narrow :-)")
                                .arg(i),
                            plat::clBlack, true);
    }
    form.setWindowState(Qt::WindowNoState);
    form.resize(800, 600);
    form.show();
    QCoreApplication::processEvents();
    std::vector<QSize> sizes;
    sizes.reserve(100);
    for (int i = 0; i < 50; ++i) {
        sizes.emplace_back(700 + 6 * i, 450 + 8 * i);
    }
    for (int i = 49; i >= 0; --i) {
        sizes.emplace_back(700 + 6 * i, 450 + 8 * i + (i % 2) * 3);
    }
    std::vector<double> samples;
    for (auto _ : state) {
        QElapsedTimer sweep;
        sweep.start();
        for (const QSize& size : sizes) {
            QElapsedTimer step;
            step.start();
            form.resize(size);
            QCoreApplication::processEvents();
            if (state.range(0) != 0) {
                form.repaint();
            }
            samples.push_back(static_cast<double>(step.nsecsElapsed()) / 1e3);
        }
        state.SetIterationTime(static_cast<double>(sweep.nsecsElapsed()) / 1e9);
    }
    state.counters["step_median_us"] = Percentile(samples, 0.5);
    state.counters["step_p99_us"] = Percentile(samples, 0.99);
}
BENCHMARK(BM_App_MainWindowResizeSweep)
    ->ArgName("painted")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A shown main window that is not connected (the login dialog it opens is
// cancelled), its settings in a folder of its own, and n buddy names in the order a server might
// list them: no order at all, some of them in capitals.
class BuddyWindow {
public:
    explicit BuddyWindow(int64_t n) : cancel_([](QDialog&) { return int(QDialog::Rejected); }) {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        Form = std::make_unique<TMainForm>();
        Form->show();
        QCoreApplication::processEvents();
        std::mt19937 random(7);
        for (int64_t i = 0; i < n; ++i) {
            QByteArray name = "Buddy" + QByteArray::number(i);
            if (random() % 4 == 0) {
                name = name.toUpper();
            }
            Names.push_back(name);
        }
        std::shuffle(Names.begin(), Names.end(), random);
    }
    ~BuddyWindow() { Form.reset(); } // saves its settings while their folder exists

    void AddAll() {
        for (size_t i = 0; i < Names.size(); ++i) {
            Form->VLChatFriendAdd(nullptr, TFriendInfo(Names[i], i % 2 == 0, i % 10 != 0));
        }
    }

    std::unique_ptr<TMainForm> Form;
    std::vector<QByteArray> Names;

private:
    QTemporaryDir config_;
    dlg::ScopedModalRunner cancel_;
};

// From the first buddy the engine reports until the shown tree has painted
// all of them.
void BM_App_FriendsTreeAddAll(benchmark::State& state) {
    BuddyWindow window(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        window.Form->Trees().Clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window.AddAll();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_App_FriendsTreeAddAll)
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Unit(benchmark::kMillisecond);

// One buddy goes online or offline: its node moves to the other root (the
// tree paints later, once for many changes).
void BM_App_FriendsTreeStatusChange(benchmark::State& state) {
    BuddyWindow window(state.range(0));
    window.AddAll();
    QCoreApplication::processEvents();
    size_t next = 0;
    bool online = false;
    for (auto _ : state) {
        window.Form->VLChatFriendStatusChange(nullptr,
                                              TFriendInfo(window.Names[next], online, true));
        next = (next + 1) % window.Names.size();
        online = next == 0 ? !online : online;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_App_FriendsTreeStatusChange)
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Unit(benchmark::kMicrosecond);

// --- The buddy pop-up menu -------------------------------------------------------
// The menu of an online buddy as the main window has it (names and captions
// only: no images, no shortcuts), opened the way a right click on the buddy
// opens it: the captions and visibility set for the name, then the menu
// placed at the click. One cycle is the opening, until the menu's first
// paint has finished, and the closing, until the menu is gone and the events
// it left are handled. Reports the median of each half.

struct BuddyMenuItem {
    const char* name; // null for a separator
    const char* caption;
    const char* prefix; // the caption for a name is prefix + name
};
constexpr BuddyMenuItem kBuddyMenu[] = {
    {"Query", "Query", "Query "}, {"Invite", "Invite Player", "Invite "},
    {nullptr, nullptr, nullptr},  {"Whois", "Whois", "Whois "},
    {nullptr, nullptr, nullptr},  {"Remove", "Remove Buddy", "Remove "},
};
const QString kBuddy = QStringLiteral("Bobsmith");

// Notes when a window other than the form has finished its first paint of a
// cycle and then runs the cycle's call: queued behind the paint event, it runs
// once that paint is complete, inside whatever event loop painted it (the
// kit's menu runs a loop of its own while it is open, which only the call can
// end).
class MenuPaintWatch final : public QObject {
public:
    explicit MenuPaintWatch(const QWidget& form) : form_(form) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~MenuPaintWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    // The call for the next paint.
    void Arm(std::function<void()> onPainted) {
        onPainted_ = std::move(onPainted);
        painted_ = false;
        done_ = false;
    }
    // False when the call did not run within the limit.
    bool WaitForPaint(int limitMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (!done_ && timer.elapsed() < limitMs) {
            QCoreApplication::processEvents();
        }
        return done_;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!painted_ && onPainted_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() != &form_) {
            painted_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    done_ = true;
                    std::exchange(onPainted_, nullptr)();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    const QWidget& form_;
    std::function<void()> onPainted_;
    bool painted_ = false;
    bool done_ = false;
};

// A shown form to own the menu, and where its menu opens.
class MenuOwner {
public:
    MenuOwner() {
        Form.setObjectName(QStringLiteral("MainForm"));
        Form.resize(760, 540);
        Form.show();
        QCoreApplication::processEvents();
        At = Form.mapToGlobal(QPoint(120, 160));
    }
    QWidget Form;
    QPoint At;
};

// The kit's menu loop, while a menu is open.
bool KitMenuOpen() {
    return dk::RunningMenuLoopView() != nullptr;
}
// Ends the kit's menu loop with nothing chosen.
void CloseKitMenu() {
    if (TDkView* view = dk::RunningMenuLoopView(); view != nullptr && !view->ModalEnded()) {
        view->EndModal();
    }
}

// One way of opening a menu and closing it again.
struct MenuDriver {
    std::function<void()> open;
    std::function<void()> close;
    std::function<bool()> isOpen;
};

// One opening and closing, in nanoseconds from the call: until the menu's
// first paint was done, and until it was gone. Nothing (and the state told
// why) when it never painted or stayed open.
struct CycleTimes {
    qint64 opened = 0;
    qint64 closed = 0;
};
std::optional<CycleTimes> RunCycle(benchmark::State& state, MenuPaintWatch& watch,
                                   const MenuDriver& menu) {
    QElapsedTimer timer;
    CycleTimes times;
    // Closed from inside the event loop that painted it: the kit's menu has
    // taken the mouse and the keys by then.
    watch.Arm([&] {
        times.opened = timer.nsecsElapsed();
        menu.close();
    });
    timer.start();
    menu.open();
    if (!watch.WaitForPaint()) {
        state.SkipWithError("the menu never painted");
        return std::nullopt;
    }
    QCoreApplication::processEvents();
    if (!WaitUntil([&] { return !menu.isOpen(); }, 5000)) {
        state.SkipWithError("the menu stayed open");
        return std::nullopt;
    }
    times.closed = timer.nsecsElapsed();
    return times;
}

// Opens and closes the menu once per iteration.
void RunMenuCycles(benchmark::State& state, const QWidget& form, const MenuDriver& menu) {
    MenuPaintWatch watch(form);
    std::vector<double> opening;
    std::vector<double> closing;
    std::vector<double> cycles;
    for (auto _ : state) {
        const std::optional<CycleTimes> times = RunCycle(state, watch, menu);
        if (!times) {
            break;
        }
        state.SetIterationTime(static_cast<double>(times->closed) / 1e9);
        opening.push_back(static_cast<double>(times->opened) / 1e3);
        closing.push_back(static_cast<double>(times->closed - times->opened) / 1e3);
        cycles.push_back(static_cast<double>(times->closed) / 1e3);
    }
    if (!opening.empty()) {
        state.counters["cycle_median_us"] = Percentile(cycles, 0.5);
        state.counters["cycle_p90_us"] = Percentile(cycles, 0.9);
        state.counters["open_median_us"] = Percentile(opening, 0.5);
        state.counters["open_p99_us"] = Percentile(opening, 0.99);
        state.counters["close_median_us"] = Percentile(closing, 0.5);
    }
}

// The kit's pop-up menu with the same items, as the main window builds and
// opens it (owned by the form; its menu loop runs until the menu is closed).
MenuDriver KitBuddyMenu(MenuOwner& owner) {
    auto* menu = new TDkxPopupMenu(&owner.Form);
    std::vector<std::pair<TDkCustomItem*, QString>> items;
    for (const BuddyMenuItem& def : kBuddyMenu) {
        TDkCustomItem* item =
            def.name == nullptr ? static_cast<TDkCustomItem*>(new TDkxSeparatorItem(menu->Items()))
                                : new TDkxItem(menu->Items());
        menu->Items()->Add(item);
        if (def.name != nullptr) {
            item->SetCaption(QString::fromLatin1(def.caption));
            items.emplace_back(item, QString::fromLatin1(def.prefix));
        }
    }
    const QPoint at = owner.At;
    return {[menu, items, at] {
                for (const auto& [item, prefix] : items) {
                    item->SetVisible(true);
                    item->SetCaption(prefix + kBuddy);
                }
                menu->Popup(at.x(), at.y());
            },
            CloseKitMenu, KitMenuOpen};
}

// A plain QMenu with the same items, opened with popup() and closed (owned
// by the form).
MenuDriver QtBuddyMenu(MenuOwner& owner) {
    auto* menu = new QMenu(&owner.Form);
    std::vector<std::pair<QAction*, QString>> items;
    for (const BuddyMenuItem& def : kBuddyMenu) {
        if (def.name == nullptr) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(def.caption));
        action->setObjectName(QString::fromLatin1(def.name));
        items.emplace_back(action, QString::fromLatin1(def.prefix));
    }
    const QPoint at = owner.At;
    return {[menu, items, at] {
                for (const auto& [action, prefix] : items) {
                    action->setVisible(true);
                    action->setText(prefix + kBuddy);
                }
                menu->popup(at);
            },
            [menu] { menu->close(); }, [menu] { return menu->isVisible(); }};
}

void BM_App_BuddyPopup_KitMenu(benchmark::State& state) {
    MenuOwner owner;
    RunMenuCycles(state, owner.Form, KitBuddyMenu(owner));
}
BENCHMARK(BM_App_BuddyPopup_KitMenu)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_App_BuddyPopup_QMenu(benchmark::State& state) {
    MenuOwner owner;
    RunMenuCycles(state, owner.Form, QtBuddyMenu(owner));
}
BENCHMARK(BM_App_BuddyPopup_QMenu)->Iterations(300)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The two menus in turns, one cycle of each per iteration, so that what the
// machine does meanwhile falls on both alike. Reports the mean and median
// whole cycle of each and the ratios (kit / QMenu); the iteration time is the
// two cycles together.
void BM_App_BuddyPopup_Paired(benchmark::State& state) {
    MenuOwner owner;
    const MenuDriver kitMenu = KitBuddyMenu(owner);
    const MenuDriver qtMenu = QtBuddyMenu(owner);
    MenuPaintWatch watch(owner.Form);
    std::vector<double> kitCycles;
    std::vector<double> qtCycles;
    // What one menu left queued is handled before the other one's cycle.
    const auto settle = [] {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    };
    for (auto _ : state) {
        const std::optional<CycleTimes> kit = RunCycle(state, watch, kitMenu);
        settle();
        if (!kit) {
            break;
        }
        const std::optional<CycleTimes> qt = RunCycle(state, watch, qtMenu);
        settle();
        if (!qt) {
            break;
        }
        state.SetIterationTime(static_cast<double>(kit->closed + qt->closed) / 1e9);
        kitCycles.push_back(static_cast<double>(kit->closed) / 1e3);
        qtCycles.push_back(static_cast<double>(qt->closed) / 1e3);
    }
    if (kitCycles.empty()) {
        return;
    }
    const auto mean = [](const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    };
    state.counters["kit_mean_us"] = mean(kitCycles);
    state.counters["qmenu_mean_us"] = mean(qtCycles);
    state.counters["mean_ratio"] = mean(kitCycles) / mean(qtCycles);
    state.counters["median_ratio"] = Percentile(kitCycles, 0.5) / Percentile(qtCycles, 0.5);
}
BENCHMARK(BM_App_BuddyPopup_Paired)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The whole way in a shown main window: a right click on an online buddy in
// the friends tree, then the menu closed.
void BM_App_BuddyPopup_MainWindow(benchmark::State& state) {
    BuddyWindow window(0);
    TMainForm& form = *window.Form;
    form.AddFriend(kBuddy, true, true);
    QCoreApplication::processEvents();
    const TTreeNode* found = form.Trees().FriendNode(kBuddy);
    if (!found || found->Parent() != form.Trees().OnlineFriendsNode()) {
        state.SkipWithError("the buddy is not in the tree");
        return;
    }
    form.FriendsTreeView->ScrollToNode(found);
    QCoreApplication::processEvents();
    const QPoint click = form.FriendsTreeView->NodeRect(found).center();
    RunMenuCycles(state, form,
                  {[&] { form.FriendsTreeViewMouseDown(Qt::RightButton, click.x(), click.y()); },
                   CloseKitMenu, KitMenuOpen});
}
BENCHMARK(BM_App_BuddyPopup_MainWindow)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// --- Key to effect ----------------------------------------------------------------
// A key typed into the main window's input line, from its shortcut stage (the
// key router's turn) until its effect is in the line, key release included: a
// character, and Ctrl+V pasting the clipboard's text. Beside it the toolkit's
// own way: a plain QLineEdit in a QMainWindow whose actions carry the same
// shortcuts, added to the window; and a QTextEdit in that window, the editor
// class the input line is made of. Keys go as the toolkit sends typed keys
// (QTest::keyClick to the focused widget of the active window). Reports the
// median and the 99th percentile of the keys.

enum KeyKind { kCharacter = 0, kPaste = 1 };

// The main window's shortcuts as the toolkit registers them: actions of the
// window. The edit actions act on the editor.
void AddShortcuts(QMainWindow& window, QWidget* editor) {
    const auto add = [&](const QKeySequence& key, const char* slot) {
        auto* action = new QAction(&window);
        action->setShortcut(key);
        if (slot != nullptr) {
            QObject::connect(action, &QAction::triggered, editor,
                             [editor, slot] { QMetaObject::invokeMethod(editor, slot); });
        }
        window.addAction(action);
        return action;
    };
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_N),
                                    QKeySequence(Qt::CTRL | Qt::Key_D), QKeySequence(Qt::Key_F10),
                                    QKeySequence(Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::Key_I)}) {
        add(key, nullptr);
    }
    add(QKeySequence(Qt::CTRL | Qt::Key_X), "cut");
    add(QKeySequence(Qt::CTRL | Qt::Key_C), "copy");
    add(QKeySequence(Qt::CTRL | Qt::Key_V), "paste");
    add(QKeySequence(Qt::Key_Delete), nullptr);
    add(QKeySequence(Qt::CTRL | Qt::Key_A), "selectAll");
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), "undo");
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), nullptr)->setEnabled(false); // Redo
}

// Types the key into the focused editor again and again; `length` tells how
// much the editor holds, `clear` empties it (untimed, every 50 keys).
void TypeKeys(benchmark::State& state, QWidget* target, const std::function<int()>& length,
              const std::function<void()>& clear) {
    const bool paste = state.range(0) == kPaste;
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    std::vector<double> samples;
    int typed = 0;
    for (auto _ : state) {
        if (typed++ % 50 == 0) {
            clear();
        }
        const int before = length();
        QElapsedTimer timer;
        timer.start();
        if (paste) {
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClick(target, Qt::Key_A);
        }
        const bool done = length() > before;
        const qint64 elapsed = timer.nsecsElapsed();
        if (!done) {
            state.SkipWithError("the key had no effect");
            break;
        }
        state.SetIterationTime(static_cast<double>(elapsed) / 1e9);
        samples.push_back(static_cast<double>(elapsed) / 1e3);
    }
    if (!samples.empty()) {
        state.counters["median_us"] = Percentile(samples, 0.5);
        state.counters["p99_us"] = Percentile(samples, 0.99);
    }
}

// The main window's input line, through the key router and the window's
// action list.
void BM_App_KeyToEffect_InputLine(benchmark::State& state) {
    BuddyWindow window(0);
    TMainForm& form = *window.Form;
    form.activateWindow();
    form.EnableChatControls();
    QCoreApplication::processEvents();
    TRichEdit* line = form.InputEdit;
    if (QApplication::focusWidget() != line) {
        state.SkipWithError("the input line has no focus");
        return;
    }
    TypeKeys(
        state, line, [line] { return line->document()->characterCount(); },
        [line] { line->clear(); });
}

template <typename Editor>
void KeyToEffectTheQtWay(benchmark::State& state, const std::function<int(Editor&)>& length) {
    QMainWindow window;
    auto* editor = new Editor(&window);
    window.setCentralWidget(editor);
    AddShortcuts(window, editor);
    window.resize(760, 540);
    window.show();
    window.activateWindow();
    editor->setFocus();
    QCoreApplication::processEvents();
    if (QApplication::focusWidget() != editor) {
        state.SkipWithError("the editor has no focus");
        return;
    }
    TypeKeys(
        state, editor, [&] { return length(*editor); }, [editor] { editor->clear(); });
}

void BM_App_KeyToEffect_QLineEdit(benchmark::State& state) {
    KeyToEffectTheQtWay<QLineEdit>(
        state, [](QLineEdit& edit) { return static_cast<int>(edit.text().size()); });
}

void BM_App_KeyToEffect_QTextEdit(benchmark::State& state) {
    KeyToEffectTheQtWay<QTextEdit>(
        state, [](QTextEdit& edit) { return edit.document()->characterCount(); });
}

// A character and Ctrl+V, 2000 keys each.
void KeyToEffectArgs(benchmark::internal::Benchmark* b) {
    b->ArgName("paste")
        ->Arg(kCharacter)
        ->Arg(kPaste)
        ->Iterations(2000)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_App_KeyToEffect_InputLine)->Apply(KeyToEffectArgs);
BENCHMARK(BM_App_KeyToEffect_QLineEdit)->Apply(KeyToEffectArgs);
BENCHMARK(BM_App_KeyToEffect_QTextEdit)->Apply(KeyToEffectArgs);

// The offscreen platform warns on every grab and raise it cannot do: a line
// written to the terminal per menu opened, which would time the terminal.
QtMessageHandler previousHandler = nullptr;

void QuietPlatformWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(u"This plugin does not support")) {
        return;
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, text);
    }
}

} // namespace

int main(int argc, char** argv) {
    PreferOffscreen();
    previousHandler = qInstallMessageHandler(QuietPlatformWarnings);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // The kit's themes, in force as in the program.
    const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    return RunBenchmarks(argc, argv) ? 0 : 1;
}
