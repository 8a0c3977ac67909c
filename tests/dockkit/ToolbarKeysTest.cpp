// The keys of tool bars: shortcuts reaching the right form's actions and bar
// before the focused control, a disabled one leaving the key to the control, Alt and F10 opening
// the menu bar and the arrows walking it, Alt with a letter, the system-menu key reaching a
// floating menu bar through its dock, and accelerators of plain bars typed where no control takes
// text.

#include "DataRows.h"
#include "ToolbarFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"

#include "platform/gui/ActionList.h"
#include "platform/gui/KitMessage.h"

#include <QAction>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <utility>

namespace {

// A form with a line edit and a bar of its own, beside the main form.
struct OtherForm {
    OtherForm() {
        form.setGeometry(700, 100, 300, 200);
        edit = new QLineEdit(&form);
        edit->setGeometry(10, 100, 100, 20);
        form.show();
    }
    QWidget form;
    QLineEdit* edit = nullptr;
};

class ToolbarKeys : public ToolbarTest {
protected:
    ToolbarKeys() {
        menu_ = AddBar("MenuBar", f_.top, 0);
        menu_->SetMenuBar(true);
        file_ = AddMenu(menu_, "&File", {"&Open", "&Save"});
        edit_ = AddMenu(menu_, "&Edit", {"Cu&t", "&Copy"});
        search_ = AddMenu(menu_, "&Search", {"&Find"});
        settings_ = AddMenu(menu_, "&Settings", {"&Colours"});
        help_ = AddButton(menu_, "&Help", 40, 20);
        Open()->SetShortCut(plat::ShortCut('O', plat::scCtrl));
        line_ = new QLineEdit(f_.client);
        line_->setGeometry(10, 10, 100, 20);
        line_->show();
        f_.Settle();
    }
    TDkCustomItem* Open() const { return file_->Items(0); }

    // What the running menus show: the bar's selection, and the selected
    // item of the deepest open pop-up (or "-" when none is open).
    std::function<void()> Expect(TDkCustomItem* selected, const char* inPopup) {
        return [this, selected, inPopup] {
            ASSERT_EQ(dk::RunningMenuLoopView(), menu_->View());
            ASSERT_NE(menu_->View()->Selected(), nullptr);
            EXPECT_EQ(menu_->View()->Selected()->Item(), selected);
            const std::vector<TDkView*> views = OpenMenuViews();
            if (std::string(inPopup) == "-") {
                EXPECT_EQ(views.size(), 1u);
                return;
            }
            ASSERT_EQ(views.size(), 2u);
            ASSERT_NE(views[1]->Selected(), nullptr);
            EXPECT_EQ(views[1]->Selected()->Item()->Caption().toStdString(), inPopup);
        };
    }
    // Runs `open` with the script inside the loop it starts.
    void RunScript(const std::function<void()>& open) {
        script_.Start();
        open();
        EXPECT_TRUE(script_.AllRun())
            << "the menus closed before the step " << script_.StepsRun() + 1;
        script_.Finish();
        EXPECT_EQ(dk::RunningMenuLoopView(), nullptr);
        EXPECT_EQ(OpenPopupCount(), 0);
    }

    TDkToolbar* menu_ = nullptr;
    FixedItem* file_ = nullptr;
    FixedItem* edit_ = nullptr;
    FixedItem* search_ = nullptr;
    FixedItem* settings_ = nullptr;
    FixedItem* help_ = nullptr;
    QLineEdit* line_ = nullptr;
};

// --- Shortcuts ------------------------------------------------------------------------------

// A row of toolbar-shortcuts.txt.
class ToolbarShortCuts : public ToolbarKeys, public ::testing::WithParamInterface<QStringList> {};

TEST_P(ToolbarShortCuts, ReachTheRightBarBeforeTheFocusedControl) {
    const QStringList& row = GetParam();
    OtherForm other;
    TDkToolbar* otherBar = AddBar("OtherBar", nullptr, 0, &other.form);
    AddButton(otherBar, "OtherOpen", 30, 20, plat::ShortCut('O', plat::scCtrl));
    AddButton(otherBar, "OtherCross", 30, 20, plat::ShortCut('X', 0));
    AddButton(menu_, "Cross", 30, 20, plat::ShortCut('X', 0));
    // The forms' own actions.
    for (const auto& [name, form] : {std::pair{"Main", &f_.form}, {"Other", &other.form}}) {
        if (!row[8].split(u',').contains(QLatin1String(name), Qt::CaseInsensitive)) {
            continue;
        }
        auto* list = new plat::TActionList(form);
        for (const auto& [what, key] : {std::pair{"ListOpen", Qt::CTRL | Qt::Key_O},
                                        {"ListCross", QKeyCombination(Qt::Key_X)}}) {
            auto* action = new QAction(QLatin1String(name) + QLatin1String(what), list);
            action->setShortcut(QKeySequence(key));
            QObject::connect(action, &QAction::triggered, list, [this, action] {
                clickLog_ += (clickLog_.empty() ? "" : " ") + action->text().toStdString();
            });
        }
    }
    // Items and actions go by their captions.
    for (const QString& name : row[9].split(u',')) {
        int found = 0;
        for (QWidget* form : {&f_.form, &other.form}) {
            for (TDkCustomItem* item : form->findChildren<TDkCustomItem*>()) {
                if (item->Caption() == name) {
                    item->SetEnabled(false);
                    ++found;
                }
            }
            for (QAction* action : form->findChildren<QAction*>()) {
                if (action->text() == name) {
                    action->setEnabled(false);
                    ++found;
                }
            }
        }
        EXPECT_EQ(found, name == u"-" ? 0 : 1) << name.toStdString();
    }
    menu_->SetProcessShortCuts(row[2] == "1");
    otherBar->SetProcessShortCuts(row[3] == "1");
    dk::SetMainForm(row[4] == "1" ? &f_.form : nullptr);
    if (row[1] == "other modal") {
        other.form.hide();
        other.form.setWindowModality(Qt::ApplicationModal);
        other.form.show();
    }
    // Each search of the menu bar's items opens its root first.
    int searches = 0;
    menu_->Items()->OnPopup = [&](TDkCustomItem*, bool) { ++searches; };
    QLineEdit* edit = row[1] == "main" ? line_ : other.edit;
    if (row[5] == "Ctrl+O") {
        TypeKey(edit, Qt::Key_O, Qt::ControlModifier, QStringLiteral("\x0f"));
    } else {
        TypeKey(edit, row[5] == "X" ? Qt::Key_X : Qt::Key_F5, Qt::NoModifier,
                row[5] == "X" ? "x" : "");
    }
    EXPECT_EQ(TakeClicks(), row[6].toStdString());
    EXPECT_EQ(edit->text(), row[7]);
    // One search per key, not one per stage or per widget the key passes.
    EXPECT_LE(searches, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, ToolbarShortCuts,
                         ::testing::ValuesIn(DataRows("toolbar-shortcuts.txt", 10)),
                         [](const auto& info) { return info.param[0].toStdString(); });

// With no tool bar at all, a main form's keys are still routed: its own
// actions take their shortcuts for as long as it is the main form.
TEST(KeyRouter, AMainFormWithoutBarsHasItsActionsTakeTheirKeys) {
    ASSERT_FALSE(dk::KeyRouterInstalled()) << "a tool bar left by another test";
    OtherForm main;
    auto* list = new plat::TActionList(&main.form);
    auto* open = new QAction(QStringLiteral("Open"), list);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    int runs = 0;
    QObject::connect(open, &QAction::triggered, list, [&runs] { ++runs; });
    dk::SetMainForm(&main.form);
    EXPECT_TRUE(dk::KeyRouterInstalled());
    TypeKey(main.edit, Qt::Key_O, Qt::ControlModifier, QStringLiteral("\x0f"));
    EXPECT_EQ(runs, 1);
    dk::SetMainForm(nullptr);
    EXPECT_FALSE(dk::KeyRouterInstalled());
    TypeKey(main.edit, Qt::Key_O, Qt::ControlModifier, QStringLiteral("\x0f"));
    EXPECT_EQ(runs, 1);
}

TEST_F(ToolbarKeys, AShortCutAskedForTwiceRunsOnce) {
    // A tool that plays keys back may ask the shortcut stage itself before
    // the press, which asks again.
    KeyStroke(line_, QEvent::ShortcutOverride, Qt::Key_O, Qt::ControlModifier,
              QStringLiteral("\x0f"));
    TypeKey(line_, Qt::Key_O, Qt::ControlModifier, QStringLiteral("\x0f"));
    EXPECT_EQ(TakeClicks(), "&Open");
}

TEST_F(ToolbarKeys, OnShortCutAnswersFirst) {
    bool asked = false;
    menu_->OnShortCut = [&](const QKeyEvent& key, bool& handled) {
        asked = true;
        handled = key.key() == Qt::Key_O;
    };
    TypeKey(line_, Qt::Key_O, Qt::ControlModifier, QStringLiteral("\x0f"));
    EXPECT_TRUE(asked);
    EXPECT_EQ(TakeClicks(), "");
}

// --- Alt, F10 and Alt with a letter -----------------------------------------------------------

constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;

TEST_F(ToolbarKeys, AltF10AndAltWithALetterOpenTheMenuBarAsTheKeySays) {
    for (const QStringList& row : DataRows("menu-bar-keys.txt", 3)) {
        SCOPED_ROW(row);
        const QKeyCombination key = QKeySequence::fromString(row[0])[0];
        const QString letter = row[0].startsWith(u"Alt+") ? row[0].right(1) : QString();
        const QString text = row[0].contains(u"Shift") ? letter : letter.toLower();
        const std::string inPopup = row[2].toStdString();
        std::string selected;
        script_
            .Then([&] {
                ASSERT_NE(menu_->View()->Selected(), nullptr);
                selected = menu_->View()->Selected()->Item()->Caption().toStdString();
                Expect(menu_->View()->Selected()->Item(), inPopup.c_str())();
            })
            .Then([] {
                // Once for the pop-up, once for the bar.
                const bool popup = OpenMenuViews().size() > 1;
                SendKey(Qt::Key_Escape);
                if (popup) {
                    SendKey(Qt::Key_Escape);
                }
            });
        RunScript([&] {
            if (row[0] == "Alt") {
                TapAlt(line_);
            } else {
                TypeKey(line_, key.key(), key.keyboardModifiers(), text);
            }
        });
        EXPECT_EQ(selected, row[1].toStdString());
        EXPECT_EQ(TakeClicks(), "");
        EXPECT_EQ(menu_->View()->Selected(), nullptr);
        EXPECT_FALSE(menu_->View()->HasState(vsAccelsVisible));
    }
}

TEST_F(ToolbarKeys, ArrowsWalkTheMenuBarAndEnterRunsTheCommand) {
    script_.Then(Expect(file_, "-"))
        .Keys("R")
        .Then(Expect(edit_, "-"))
        .Keys("v")
        .Then(Expect(edit_, "Cu&t"))
        .Keys("R")
        .Then(Expect(search_, "&Find"))
        .Keys("L") // from the open menu: the previous one opens
        .Then(Expect(edit_, "Cu&t"))
        .Keys("e")
        .Then(Expect(edit_, "-"))
        .Keys("L")
        .Then(Expect(file_, "-"))
        .Keys("r")
        .Then(Expect(file_, "&Open"))
        .Keys("vr");
    RunScript([&] { TapAlt(line_); });
    EXPECT_EQ(TakeClicks(), "&Save");
}

TEST_F(ToolbarKeys, ASharedLetterPressedAgainMovesToTheNextItem) {
    script_.Then(Expect(search_, "-"))
        .Then([] { TypeChar(u's'); })
        .Then(Expect(settings_, "-"))
        .Keys("e");
    RunScript([&] { TypeKey(line_, Qt::Key_S, Qt::AltModifier, QStringLiteral("s")); });
    EXPECT_EQ(beeps_, 0);
}

TEST_F(ToolbarKeys, AltWithTheLetterOfAHeaderWithoutMenuClicksItAtOnce) {
    TypeKey(line_, Qt::Key_H, Qt::AltModifier, QStringLiteral("h"));
    EXPECT_EQ(clickLog_, "&Help") << "clicked at once, not after the loop";
    EXPECT_EQ(dk::RunningMenuLoopView(), nullptr);
    EXPECT_EQ(line_->text(), QString());
}

TEST_F(ToolbarKeys, NothingOpensAndTheKeyGoesOnForOtherKeysWithAlt) {
    const struct {
        const char* name;
        std::function<void(QWidget* to)> keys;
        int beeps;
    } cases[] = {
        {"a letter of no header beeps",
         [](QWidget* to) { TypeKey(to, Qt::Key_Q, kAlt, QStringLiteral("q")); }, 1},
        {"Alt with minus is the form's system menu",
         [](QWidget* to) { TypeKey(to, Qt::Key_Minus, kAlt, QStringLiteral("-")); }, 0},
        {"Alt released after another key",
         [](QWidget* to) {
             KeyStroke(to, QEvent::KeyPress, Qt::Key_Alt, kAlt);
             KeyStroke(to, QEvent::KeyPress, Qt::Key_Shift, kAlt | Qt::ShiftModifier);
             KeyStroke(to, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
         },
         0},
        {"Alt released after a click",
         [](QWidget* to) {
             KeyStroke(to, QEvent::KeyPress, Qt::Key_Alt, kAlt);
             ClickMouse(to->mapToGlobal(QPoint(5, 5)));
             KeyStroke(to, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
         },
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        beeps_ = 0;
        script_.Then([] { ADD_FAILURE() << "a menu loop ran"; });
        script_.Start();
        c.keys(line_);
        EXPECT_EQ(script_.StepsRun(), 0);
        script_.Finish();
        EXPECT_EQ(beeps_, c.beeps);
        EXPECT_EQ(TakeClicks(), "");
    }
}

TEST_F(ToolbarKeys, AFloatingMenuBarIsReachedThroughItsDock) {
    menu_->ToggleDockedFloating();
    ASSERT_TRUE(menu_->Floating());
    ASSERT_EQ(menu_->LastDock(), f_.top);
    script_.Then(Expect(edit_, "Cu&t")).Keys("ee");
    RunScript([&] { TypeKey(line_, Qt::Key_E, Qt::AltModifier, QStringLiteral("e")); });
}

TEST_F(ToolbarKeys, NothingIsRoutedWhileTheMenusHaveTheKeys) {
    // Inside the loop Ctrl+O is a key of the menus, not a shortcut.
    script_.Then([] { SendKey(Qt::Key_O, Qt::ControlModifier, QStringLiteral("\x0f")); })
        .Then(Expect(file_, "-"))
        .Keys("e");
    RunScript([&] { TapAlt(line_); });
    EXPECT_EQ(TakeClicks(), "");
}

// --- Escape ----------------------------------------------------------------------------------

// Each Escape closes one level. Closing a tool bar's drop-down ends the bar's
// loop with it, so that the next Escape reaches the form; a menu bar's title
// stays selected for the arrow keys, and a submenu closes alone.
TEST_F(ToolbarKeys, EscapeClosesALevelAndAToolBarsDropDownTogetherWithItsLoop) {
    TDkToolbar* menus = AddBar("Menus", nullptr, 0);
    FixedItem* view = AddMenu(menus, "&View", {"&Status"});
    menus->SetMenuBar(true);
    menus->SetCurrentDock(f_.bottom);
    TDkToolbar* tools = AddBar("Tools", f_.right, 0);
    FixedItem* colour = AddMenu(tools, "Colour", {"Red", "Blue"});
    FixedItem* more = AddMenu(tools, "More", {"Deeper"});
    TDkCustomItem* deeper = more->Items(0);
    deeper->SetItemStyle(deeper->ItemStyle() | dk::StyleSubmenu);
    deeper->OnClick = nullptr; // opening the submenu clicks it: no command
    auto* deepest = new TDkCustomItem(tools);
    deepest->SetCaption(QStringLiteral("Deepest"));
    deeper->Add(deepest);
    // The bars lay their items out as the queued calls come.
    QCoreApplication::sendPostedEvents();
    f_.Settle();
    const struct {
        const char* name;
        TDkCustomToolbar* bar;
        TDkCustomItem* button;
        const char* keysFirst; // after the click's release
        int openViews;         // the loop's views open before the Escapes
        int escapes;           // Escapes until the loop ends
    } cases[] = {
        {"a menu bar's menu", menus, view, "", 2, 2},
        {"a tool bar's drop-down", tools, colour, "", 2, 1},
        {"a submenu of a tool bar's drop-down", tools, more, "vR", 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint button = CenterOf(c.bar, c.button);
        std::vector<size_t> views;
        const auto note = [&views] { views.push_back(OpenMenuViews().size()); };
        script_.Then([button] { SendMouse(QEvent::MouseButtonRelease, button); })
            .Keys(c.keysFirst)
            .Then(note);
        for (int i = 1; i < c.escapes; ++i) {
            script_.Keys("e").Then(note);
        }
        script_.Keys("e");
        script_.Start();
        PressAt(button);
        EXPECT_TRUE(script_.AllRun());
        EXPECT_FALSE(script_.LeftLoopRunning()) << "the last Escape ends the loop";
        script_.Finish();
        ASSERT_FALSE(views.empty());
        EXPECT_EQ(views.front(), static_cast<size_t>(c.openViews));
        for (size_t i = 1; i < views.size(); ++i) {
            EXPECT_EQ(views[i], views[i - 1] - 1) << "one level per Escape";
        }
        EXPECT_EQ(OpenPopupCount(), 0);
        EXPECT_EQ(TakeClicks(), "");
    }
}

// --- Accelerators of plain bars ---------------------------------------------------------------

TEST_F(ToolbarKeys, AcceleratorsReachPlainBarsWhereNoControlTakesText) {
    TDkToolbar* plain = AddBar("Plain", f_.top, 0);
    AddButton(plain, "&Bold");
    AddButton(plain, "Other");
    auto* button = new QPushButton(QStringLiteral("Push"), f_.client);
    button->setGeometry(10, 40, 60, 20);
    const struct {
        bool onButton; // the key goes to a button, else to the line edit
        QChar ch;
        const char* clicked;
    } cases[] = {
        {true, u'b', "&Bold"},
        {true, u'o', ""}, // a first letter is no accelerator
        {true, u'f', ""}, // the menu bar takes none
        {false, u'b', ""},
    };
    for (const auto& c : cases) {
        line_->clear();
        QWidget* to = c.onButton ? static_cast<QWidget*>(button) : line_;
        TypeKey(to, QChar(c.ch).toUpper().unicode(), Qt::NoModifier, QString(c.ch));
        EXPECT_EQ(TakeClicks(), c.clicked) << c.onButton << " " << c.ch.toLatin1();
        EXPECT_EQ(line_->text().isEmpty(), c.onButton);
    }
}

// --- Accelerators of the window's controls ---------------------------------------------------

// A control that acts on one dialog character, as a label with an
// accelerator does; the log shows what it was offered and whether it acted.
class AccelTaker : public QWidget {
public:
    AccelTaker(QWidget* parent, QChar accel, QString* log)
        : QWidget(parent), accel_(accel), log_(log) {
        show();
    }

protected:
    bool event(QEvent* event) override {
        if (plat::KitMessageEvent* m = plat::KitMessageEvent::From(event);
            m != nullptr && m->Msg() == plat::kDialogCharMessage) {
            const QChar ch(char16_t(m->WParam));
            m->Result = ch == accel_ ? 1 : 0;
            *log_ += QString(ch) + QLatin1String(m->Result != 0 ? "! " : " ");
            return true;
        }
        return QWidget::event(event);
    }

private:
    QChar accel_;
    QString* log_;
};

TEST_F(ToolbarKeys, AcceleratorsOfTheWindowsControlsComeAsDialogCharacters) {
    TDkToolbar* plain = AddBar("Plain", f_.top, 0);
    AddButton(plain, "&Bold");
    auto* button = new QPushButton(QStringLiteral("Push"), f_.client);
    button->setGeometry(10, 40, 60, 20);
    button->show();
    QString log;
    new AccelTaker(f_.client, u'n', &log);
    auto* file = new AccelTaker(f_.client, u'f', &log); // before the menu bar's "&File"
    const struct {
        const char* name;
        QWidget* to;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* offered; // "!" where a control acted
        const char* clicked;
    } cases[] = {
        {"Alt with a letter", line_, Qt::Key_N, kAlt, "n! ", ""},
        {"Alt with the menu bar's letter", line_, Qt::Key_F, kAlt, "f f! ", ""},
        {"a letter where no control takes text", button, Qt::Key_N, {}, "n! ", ""},
        {"a plain bar's letter", button, Qt::Key_B, {}, "", "&Bold"},
        {"a letter of nothing", button, Qt::Key_Q, {}, "q q ", ""},
        {"a letter typed into a line edit", line_, Qt::Key_N, {}, "", ""},
        {"a shortcut", line_, Qt::Key_O, Qt::ControlModifier, "", "&Open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        script_.Then([] { ADD_FAILURE() << "a menu loop ran"; });
        script_.Start();
        const QString text = c.modifiers == Qt::ControlModifier ? QStringLiteral("\x0f")
                                                                : QString(QChar(c.key).toLower());
        TypeKey(c.to, c.key, c.modifiers, text);
        EXPECT_EQ(script_.StepsRun(), 0);
        script_.Finish();
        EXPECT_EQ(log, QString::fromLatin1(c.offered));
        EXPECT_EQ(TakeClicks(), c.clicked);
    }
    // A hidden control is offered nothing.
    file->hide();
    log.clear();
    TypeKey(button, Qt::Key_F, Qt::NoModifier, QStringLiteral("f"));
    EXPECT_EQ(log, QStringLiteral("f "));
}

} // namespace
