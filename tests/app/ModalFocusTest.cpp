// The keyboard focus comes back to the window that opened a modal dialog or
// a message box when it closes, through nested dialogs and the login, and
// the input line has it once logged in: offscreen, and on X displays with and
// without a window manager.
#include "MainFormTestSupport.h"
#include "VirtualDisplay.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/LoginForm.h"
#include "app/dialogs/ServerForm.h"
#include "app/dialogs/ServersForm.h"
#include "app/mainform/MainFormControls.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <deque>
#include <optional>

namespace mainformtest {
namespace {

// Takes the modal windows as they come, the way a user would once the
// keyboard reaches them: each step waits until a window of its class is
// active with the focus inside it (on its own widget when it names one),
// notes the class and acts after the current event. Past the time limit
// every modal window is closed, so that nothing waits for ever.
class Walk {
public:
    struct Step {
        Step(const char* window, std::function<void(QWidget&)> act,
             std::function<QWidget*(QWidget&)> focus = {})
            : Window(window), Act(std::move(act)), Focus(std::move(focus)) {}
        const char* Window;
        std::function<void(QWidget&)> Act;
        std::function<QWidget*(QWidget&)> Focus;
    };

    explicit Walk(std::deque<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    }

    // Runs `start`, which may run modal loops, and the steps left after it.
    QStringList Run(const std::function<void()>& start) {
        elapsed_.start();
        timer_.start(5);
        start();
        WaitUntil([this] { return steps_.empty(); }, kLimitMs + 1000);
        timer_.stop();
        return seen_;
    }

private:
    static constexpr int kLimitMs = 10000;

    static QString ClassOf(const QObject* object) {
        return object != nullptr ? QString::fromLatin1(object->metaObject()->className())
                                 : QStringLiteral("none");
    }

    void Poll() {
        if (steps_.empty()) {
            return;
        }
        QWidget* active = QApplication::activeWindow();
        QWidget* focus = QApplication::focusWidget();
        if (elapsed_.elapsed() > kLimitMs) {
            seen_ << QStringLiteral("still waiting for %1; active %2, focus %3")
                         .arg(QString::fromLatin1(steps_.front().Window), ClassOf(active),
                              ClassOf(focus));
            steps_.clear();
            for (int i = 0; i < 10 && QApplication::activeModalWidget() != nullptr; ++i) {
                QApplication::activeModalWidget()->close();
            }
            return;
        }
        const Step& step = steps_.front();
        const bool keysReachIt = active != nullptr && active->inherits(step.Window) &&
                                 (step.Focus ? focus == step.Focus(*active)
                                             : focus == nullptr || focus->window() == active);
        if (!keysReachIt) {
            return;
        }
        seen_ << QString::fromLatin1(step.Window);
        if (step.Act) {
            QTimer::singleShot(0, active, [act = step.Act, active] { act(*active); });
        }
        steps_.pop_front();
    }

    std::deque<Step> steps_;
    QStringList seen_;
    QTimer timer_;
    QElapsedTimer elapsed_;
};

template <typename Form>
std::function<void(QWidget&)> On(std::function<void(Form&)> act) {
    return [act = std::move(act)](QWidget& window) { act(static_cast<Form&>(window)); };
}

class ModalFocusTest : public MainFormTest, public ::testing::WithParamInterface<TestDisplay> {
protected:
    // The window shown and active, with no login dialog at its first
    // activation.
    bool ShowActive() {
        StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
        Create();
        form->show();
        form->activateWindow();
        return WaitUntil([&] { return QApplication::activeWindow() == form.get(); }, 5000);
    }

    // Inside the fixture's answering runner and box handler: real dialogs
    // and boxes. One that nobody answers is closed after a while.
    void SetUp() override {
        MainFormTest::SetUp();
        realDialogs_.emplace(dlg::ModalRunner());
        realBoxes_.emplace(plat::MsgBoxHandler());
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "nobody answered " << modal->metaObject()->className();
                modal->close();
            }
        });
        watchdog_.start(30000);
    }
    void TearDown() override {
        watchdog_.stop();
        realBoxes_.reset();
        realDialogs_.reset();
        MainFormTest::TearDown();
    }

    std::optional<dlg::ScopedModalRunner> realDialogs_;
    std::optional<plat::ScopedMsgBoxHandler> realBoxes_;
    QTimer watchdog_;
};

TEST_P(ModalFocusTest, EachWindowHasTheKeysBackWhenTheDialogItOpenedCloses) {
    if (!BodyRunsHere(GetParam())) {
        return;
    }
    ASSERT_TRUE(ShowActive());
    Walk walk({
        {"TLoginForm", On<TLoginForm>([](TLoginForm& f) { f.SpeedButton1->click(); })},
        {"TServersForm", On<TServersForm>([](TServersForm& f) { f.AddButton->click(); })},
        // OK without a host: a box, then the host field has the keys.
        {"TServerForm", On<TServerForm>([](TServerForm& f) {
             f.NameEdit->setText(QStringLiteral("Mine"));
             f.OkButton->click();
         })},
        {"QMessageBox", [](QWidget& box) { static_cast<QDialog&>(box).accept(); }},
        {"TServerForm", On<TServerForm>([](TServerForm& f) {
             f.HostEdit->setText(QStringLiteral("127.0.0.1"));
             f.OkButton->click();
         }),
         [](QWidget& f) { return static_cast<TServerForm&>(f).HostEdit; }},
        {"TServersForm", On<TServersForm>([](TServersForm& f) { f.OkButton->click(); })},
        {"TLoginForm", On<TLoginForm>([](TLoginForm& f) { f.Button1->click(); })},
        {"TMainForm", nullptr},
    });
    EXPECT_EQ(walk.Run([&] { form->ConnectAction->trigger(); }),
              QStringList({"TLoginForm", "TServersForm", "TServerForm", "QMessageBox",
                           "TServerForm", "TServersForm", "TLoginForm", "TMainForm"}));
}

TEST_P(ModalFocusTest, AfterTheLoginAndTheCharacterChoiceTheInputLineHasTheKeys) {
    if (!BodyRunsHere(GetParam())) {
        return;
    }
    StartService();
    ASSERT_TRUE(ShowActive());
    Walk walk({
        {"TLoginForm", On<TLoginForm>([](TLoginForm& f) {
             f.DimensionCombobox->setCurrentIndex(
                 f.DimensionCombobox->findText(QStringLiteral("Local")));
             f.UserCombobox->setEditText(QStringLiteral("kara"));
             f.PasswordEdit->setText(QStringLiteral("karapw"));
             f.Button2->click();
         })},
        {"TCharSelForm", On<TCharSelForm>([](TCharSelForm& f) {
             f.CharacterCombobox->setEditText(QStringLiteral("Zed"));
             f.Button2->click();
         })},
        {"TMainForm", nullptr, [](QWidget& f) { return static_cast<TMainForm&>(f).InputEdit; }},
    });
    EXPECT_EQ(walk.Run([&] { form->ConnectAction->trigger(); }),
              QStringList({"TLoginForm", "TCharSelForm", "TMainForm"}));
    EXPECT_EQ(form->VLChat->State(), csLoggedIn);
}

INSTANTIATE_TEST_SUITE_P(Displays, ModalFocusTest, EveryTestDisplay(), TestDisplayParamName());

} // namespace
} // namespace mainformtest
