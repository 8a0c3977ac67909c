// The item tree: notifications, options, clicks, shortcut search and the
// deferred command; and items linked to actions.

#include "dockkit/common/DkCommon.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/items/DkCommand.h"
#include "dockkit/items/DkItem/DkItem.h"

#include "ItemRecorder.h"

#include "platform/gui/ShortCut.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <stdexcept>

using Heard = std::vector<std::string>;

namespace {

class ItemTree : public ::testing::Test {
protected:
    QObject owner_;
    TDkCustomItem* root_ = NamedItem(&owner_, "Root");
    TDkCustomItem* a_ = NamedItem(&owner_, "A");
    TDkCustomItem* b_ = NamedItem(&owner_, "B");
    TDkCustomItem* c_ = NamedItem(&owner_, "C");
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EDkItemError& e) {
        return e.Message().toStdString();
    }
    return "no error";
}

// --- Notifications ------------------------------------------------------------

TEST_F(ItemTree, InsertAndPropertyChangesNotifyInOrder) {
    ItemRecorder rec(root_);
    root_->Add(a_);
    a_->SetCaption(QStringLiteral("x"));
    a_->SetCaption(QStringLiteral("x")); // unchanged: silent
    a_->SetImageIndex(3);
    a_->SetImageIndex(5);
    a_->SetImageIndex(-1);
    a_->SetChecked(true);
    a_->SetEnabled(false);
    a_->SetVisible(false);
    a_->SetHint(QStringLiteral("stored only"));
    a_->SetShortCut(plat::ShortCut('N', plat::scCtrl));
    EXPECT_EQ(rec.Heard, (Heard{"3", "0 A 0", "4", "6 A 0", "6 A 0", "5 A 0", "6 A 0", "5 A 0",
                                "5 A 0", "6 A 0"}));
}

TEST_F(ItemTree, BadIndexesAndSecondInsertionsRaiseBeforeAnyNotification) {
    root_->Add(a_);
    ItemRecorder rec(root_);
    EXPECT_EQ(ErrorOf([&] { root_->Insert(0, a_); }), "Toolbar item already inserted");
    EXPECT_EQ(ErrorOf([&] { root_->Items(5); }), "Toolbar item index out of range");
    EXPECT_EQ(ErrorOf([&] { root_->Insert(3, b_); }), "Toolbar item index out of range");
    EXPECT_EQ(ErrorOf([&] { root_->Delete(1); }), "Toolbar item index out of range");
    EXPECT_EQ(ErrorOf([&] { root_->Move(0, 7); }), "Toolbar item index out of range");
    // An ancestor inserted below its own subitem would close a ring.
    EXPECT_EQ(ErrorOf([&] { a_->Add(root_); }), "Toolbar item already inserted");
    EXPECT_EQ(ErrorOf([&] { a_->Add(a_); }), "Toolbar item already inserted");
    EXPECT_TRUE(rec.Heard.empty());
    EXPECT_EQ(b_->Parent(), nullptr);
    EXPECT_EQ(root_->Count(), 1);
}

TEST_F(ItemTree, MoveNestsTheInsertBracketInsideItsOwn) {
    root_->Add(a_);
    root_->Add(b_);
    root_->Add(c_);
    ItemRecorder rec(root_);
    root_->Move(0, 2);
    EXPECT_EQ(rec.Heard, (Heard{"3", "1 A 0", "3", "0 A 2", "4", "4"}));
    EXPECT_EQ(root_->Items(0), b_);
    EXPECT_EQ(root_->Items(2), a_);
    root_->Move(1, 1);
    EXPECT_EQ(rec.Heard.size(), 6u); // same place: nothing
}

TEST_F(ItemTree, AListenerThatRaisesStillGetsTheUpdateClosed) {
    root_->Add(a_);
    ItemRecorder rec(root_);
    rec.During = [](dk::ItemNotification kind, TDkCustomItem*) {
        if (kind == dk::ItemNotification::Inserted) {
            throw std::runtime_error("listener failed");
        }
    };
    EXPECT_THROW(root_->Add(b_), std::runtime_error);
    EXPECT_THROW(root_->Move(0, 1), std::runtime_error);
    // Every begin has its end, whatever failed in between.
    const auto count = [&](const std::string& s) {
        return std::count(rec.Heard.begin(), rec.Heard.end(), s);
    };
    EXPECT_EQ(count("3"), count("4"));
    EXPECT_EQ(count("3"), 3);
}

TEST_F(ItemTree, RegistrationsAreCountedPerProcedureAndData) {
    // A second registration of the same pair is counted, not duplicated.
    struct Twice {
        static void Proc(void* data, TDkCustomItem*, bool, dk::ItemNotification, TDkCustomItem*,
                         int) {
            ++*static_cast<int*>(data);
        }
    };
    int calls = 0;
    root_->RegisterNotification(&Twice::Proc, &calls);
    root_->RegisterNotification(&Twice::Proc, &calls);
    root_->Notify(dk::ItemNotification::Invalidate, nullptr, -1);
    EXPECT_EQ(calls, 1);
    root_->UnregisterNotification(&Twice::Proc, &calls);
    root_->Notify(dk::ItemNotification::Invalidate, nullptr, -1);
    EXPECT_EQ(calls, 2);
    root_->UnregisterNotification(&Twice::Proc, &calls);
    root_->Notify(dk::ItemNotification::Invalidate, nullptr, -1);
    EXPECT_EQ(calls, 2);
    // A listener leaving during its call does not make the next one miss it.
    {
        ItemRecorder first(root_);
        ItemRecorder second(root_);
        first.During = [&](dk::ItemNotification, TDkCustomItem*) { first.Leave(); };
        root_->Add(a_);
        EXPECT_EQ(first.Heard, Heard{"3"});
        EXPECT_EQ(second.Heard, (Heard{"3", "0 A 0", "4"}));
    }
}

TEST_F(ItemTree, DeletingTheSubjectOrTheSenderDuringANotificationIsSafe) {
    root_->Add(a_);
    root_->Add(b_);
    {
        ItemRecorder rec(root_);
        bool armed = true;
        rec.During = [&](dk::ItemNotification kind, TDkCustomItem* item) {
            if (armed && kind == dk::ItemNotification::Deleting && item == a_) {
                armed = false;
                delete a_; // leaves the list itself, with its own notification
            }
        };
        root_->Remove(a_);
        EXPECT_EQ(rec.Heard, (Heard{"1 A 0", "1 A 0"}));
        EXPECT_EQ(root_->Count(), 1);
        EXPECT_EQ(root_->Items(0), b_);
    }
    {
        ItemRecorder rec(root_);
        bool armed = true;
        rec.During = [&](dk::ItemNotification kind, TDkCustomItem*) {
            if (armed && kind == dk::ItemNotification::Inserted) {
                armed = false;
                rec.Forget();
                delete root_; // the item whose notification runs
            }
        };
        root_->Add(c_);
        // The destruction's own notifications, then nothing more.
        EXPECT_EQ(rec.Heard, (Heard{"3", "0 C 1", "1 C 1", "1 B 0"}));
    }
    // Destroying an item takes its subitems, last first, and leaves its parent.
    a_ = NamedItem(&owner_, "A");
    b_ = NamedItem(&owner_, "B");
    c_ = NamedItem(&owner_, "C");
    root_ = NamedItem(&owner_, "Root");
    root_->Add(a_);
    a_->Add(b_);
    a_->Add(c_);
    QPointer<TDkCustomItem> b(b_);
    ItemRecorder rec(root_);
    ItemRecorder sub(a_);
    sub.Forget();
    delete a_;
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(root_->Count(), 0);
    EXPECT_EQ(rec.Heard, Heard{"1 A 0"});
    EXPECT_EQ(sub.Heard, (Heard{"1 C 1", "1 B 0"})); // last first
}

TEST_F(ItemTree, MovingDuringANotificationKeepsTheTreeWhole) {
    root_->Add(a_);
    root_->Add(b_);
    ItemRecorder rec(root_);
    bool moved = false;
    rec.During = [&](dk::ItemNotification kind, TDkCustomItem*) {
        if (kind == dk::ItemNotification::Inserted && !moved) {
            moved = true;
            root_->Move(0, 2);
        }
    };
    root_->Add(c_);
    ASSERT_EQ(root_->Count(), 3);
    EXPECT_EQ(root_->Items(0), b_);
    EXPECT_EQ(root_->Items(1), c_);
    EXPECT_EQ(root_->Items(2), a_);
    EXPECT_EQ(std::count(rec.Heard.begin(), rec.Heard.end(), "3"),
              std::count(rec.Heard.begin(), rec.Heard.end(), "4"));
}

TEST_F(ItemTree, EmbeddedGroupsAndLinkParentsPassNotificationsOn) {
    root_->Add(a_);
    a_->SetItemStyle(a_->ItemStyle() | dk::StyleEmbeddedGroup);
    TDkCustomItem* linker = NamedItem(&owner_, "Linker");
    linker->SetLinkSubitems(a_);
    ItemRecorder atRoot(root_);
    ItemRecorder atLinker(linker);
    a_->Add(b_);
    EXPECT_EQ(atRoot.Heard, (Heard{"~3", "~0 B 0", "~4"}));
    EXPECT_EQ(atLinker.Heard, (Heard{"~3", "~0 B 0", "~4"}));
    // A link parent that is also the parent hears it once.
    root_->SetLinkSubitems(a_);
    atRoot.Heard.clear();
    b_->SetCaption(QStringLiteral("x"));
    EXPECT_EQ(atRoot.Heard, Heard{"~6 B 0"});
    // Linking to itself stores no link; a destroyed link target is dropped
    // and the linker told.
    root_->SetLinkSubitems(nullptr);
    {
        ItemRecorder rec(root_);
        root_->SetLinkSubitems(root_);
        EXPECT_EQ(root_->LinkSubitems(), nullptr);
        EXPECT_TRUE(rec.Heard.empty());
        root_->SetLinkSubitems(b_);
        root_->SetLinkSubitems(root_);
        EXPECT_EQ(root_->LinkSubitems(), nullptr);
        EXPECT_EQ(rec.Heard, (Heard{"2", "2"}));
        EXPECT_TRUE(b_->LinkParents().empty());
        // A destroyed link target is dropped and the linker told.
        root_->SetLinkSubitems(c_);
        delete c_;
        EXPECT_EQ(root_->LinkSubitems(), nullptr);
        EXPECT_EQ(rec.Heard.back(), "2");
    }
}

// --- Options ----------------------------------------------------------------------

TEST_F(ItemTree, OptionsAreInheritedMaskedAndNormalised) {
    struct Case {
        const char* name;
        TDkItemOptions parent, own, mask;
        bool inherit;
        TDkItemOptions expected;
    };
    const Case cases[] = {
        {"ShowHintInheritedDefaultNot", dkoDefault | dkoShowHint, 0, 0, true, dkoShowHint},
        {"MaskedAway", dkoDefault | dkoShowHint, 0, dkoShowHint, true, 0},
        {"NotInherited", dkoShowHint, dkoNoRotation, 0, false, dkoNoRotation},
        {"OwnDefaultKept", 0, dkoDefault, 0, true, dkoDefault},
        {"ToolbarSizeNeedsStyle", dkoToolbarStyle | dkoToolbarSize, 0, dkoToolbarStyle, true, 0},
        {"ToolbarSizeWithStyle", dkoToolbarStyle | dkoToolbarSize, 0, 0, true,
         dkoToolbarStyle | dkoToolbarSize},
    };
    root_->Add(a_);
    for (const Case& c : cases) {
        a_->SetOptions(0);
        a_->SetMaskOptions(c.mask);
        a_->SetInheritOptions(c.inherit);
        root_->SetOptions(c.parent);
        a_->SetOptions(c.own);
        EXPECT_EQ(a_->EffectiveOptions(), c.expected) << c.name;
    }
    a_->SetOptions(dkoToolbarSize);
    EXPECT_EQ(a_->Options(), 0); // stored without it
    // Only layout options change the layout.
    ItemRecorder rec(root_);
    a_->SetOptions(dkoShowHint | dkoLongHintInMenuOnly);
    EXPECT_TRUE(rec.Heard.empty());
    a_->SetOptions(dkoShowHint | dkoImageAboveCaption);
    EXPECT_EQ(rec.Heard, Heard{"6 A 0"});
}

// --- Group checking -------------------------------------------------------------

// --- Clicks ------------------------------------------------------------------------

TEST_F(ItemTree, ClickTogglesAutoCheckAndPopupClicksUnlessSplit) {
    int clicks = 0;
    std::vector<bool> popups;
    a_->OnClick = [&](QObject*) { ++clicks; };
    a_->OnPopup = [&](TDkCustomItem*, bool fromLink) { popups.push_back(fromLink); };
    // Without AutoCheck the check mark is the handler's business.
    a_->Click();
    EXPECT_FALSE(a_->Checked());
    a_->SetAutoCheck(true);
    a_->Click();
    EXPECT_TRUE(a_->Checked());
    EXPECT_EQ(clicks, 2);
    a_->DoPopup(a_, true);
    EXPECT_EQ(clicks, 3);
    a_->SetItemStyle(a_->ItemStyle() | dk::StyleCombo | dk::StyleSubmenu);
    a_->DoPopup(a_, false);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(popups, (std::vector<bool>{true, false}));
    // Checking an item unchecks the others of its group.
    for (TDkCustomItem* item : {a_, b_, c_}) {
        root_->Add(item);
    }
    a_->SetGroupIndex(1);
    b_->SetGroupIndex(1);
    a_->SetChecked(true);
    b_->SetChecked(true);
    EXPECT_FALSE(a_->Checked());
    c_->SetChecked(true); // group 0: nobody else
    EXPECT_TRUE(b_->Checked());
    c_->SetGroupIndex(1); // moving a checked item into the group
    EXPECT_FALSE(b_->Checked());
    EXPECT_TRUE(c_->Checked());
}

TEST_F(ItemTree, ShortCutAndHintTexts) {
    a_->SetCaption(QStringLiteral("Save\tCtrl+S"));
    a_->SetShortCut(plat::ShortCut('N', plat::scCtrl));
    EXPECT_EQ(a_->GetShortCutText(), QStringLiteral("Ctrl+S"));
    a_->SetCaption(QStringLiteral("New"));
    EXPECT_EQ(a_->GetShortCutText(), QStringLiteral("Ctrl+N"));
    a_->SetShortCut(0);
    EXPECT_EQ(a_->GetShortCutText(), QString());
    a_->SetHint(QStringLiteral("Short|A longer hint"));
    EXPECT_EQ(a_->GetHintText(), QStringLiteral("Short"));
}

// --- Shortcut search ------------------------------------------------------------------

class ShortCuts : public ::testing::Test {
protected:
    ShortCuts() {
        file_->Add(open_);
        edit_->Add(undo_);
        edit_->Add(redo_);
        for (TDkCustomItem* item : {file_, edit_, opts_}) {
            root_->Add(item);
        }
        open_->SetShortCut(plat::ShortCut('O', plat::scCtrl));
        undo_->SetShortCut(plat::ShortCut('Y', plat::scCtrl));
        redo_->SetShortCut(plat::ShortCut('Y', plat::scCtrl));
        redo_->SetEnabled(false);
        opts_->SetShortCut(plat::ShortCut(plat::VK_F1 + 9, 0));
        for (TDkCustomItem* item : {root_, file_, edit_, opts_, open_, undo_, redo_}) {
            item->OnClick = [this, item](QObject*) {
                log_.push_back("click " + item->objectName().toStdString());
            };
        }
        file_->OnPopup = [this](TDkCustomItem*, bool) { log_.push_back("popup File"); };
    }

    QObject owner_;
    TDkCustomItem* root_ = NamedItem(&owner_, "Root");
    TDkCustomItem* file_ = NamedItem(&owner_, "File");
    TDkCustomItem* edit_ = NamedItem(&owner_, "Edit");
    TDkCustomItem* opts_ = NamedItem(&owner_, "Opts");
    TDkCustomItem* open_ = NamedItem(&owner_, "Open");
    TDkCustomItem* undo_ = NamedItem(&owner_, "Undo");
    TDkCustomItem* redo_ = NamedItem(&owner_, "Redo");
    std::vector<std::string> log_;
};

TEST_F(ShortCuts, OpenEverySubmenuOnThePathFirstAndClickOnlyTheFirstEnabledMatch) {
    std::vector<std::string> opened;
    edit_->OnPopup = [&](TDkCustomItem*, bool) { opened.emplace_back("Edit"); };
    const QKeyEvent key(QEvent::KeyPress, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(root_->IsShortCut(key));
    EXPECT_EQ(log_,
              (std::vector<std::string>{"click Root", "popup File", "click File", "click Open"}));
    EXPECT_TRUE(opened.empty()) << "only submenus on the path open";

    EXPECT_TRUE(root_->IsShortCut(plat::ShortCut('Y', plat::scCtrl)));
    EXPECT_EQ(log_.back(), "click Undo"); // the first match, enabled
    log_.clear();
    // A disabled item of the key is found but not clicked, and the key is not
    // taken: it goes on to the focused control.
    opts_->SetEnabled(false);
    EXPECT_EQ(root_->MatchShortCut(plat::ShortCut(plat::VK_F1 + 9, 0)),
              dk::ShortCutMatch::Disabled);
    EXPECT_FALSE(root_->IsShortCut(plat::ShortCut(plat::VK_F1 + 9, 0)));
    EXPECT_EQ(log_, (std::vector<std::string>{"click Root", "click Root"}));
    EXPECT_EQ(root_->MatchShortCut(plat::ShortCut('Q', plat::scCtrl)), dk::ShortCutMatch::None);

    // A submenu that shows its own ancestor's items (Edit -> Loop -> Root)
    // ends the search; a shortcut that exists is still found.
    TDkCustomItem* loop = NamedItem(&owner_, "Loop");
    edit_->Add(loop);
    loop->SetLinkSubitems(root_);
    EXPECT_FALSE(root_->IsShortCut(plat::ShortCut('Z', plat::scCtrl)));
    EXPECT_TRUE(root_->IsShortCut(plat::ShortCut('O', plat::scCtrl)));
    EXPECT_EQ(log_.back(), "click Open");
    log_.clear();
    file_->SetEnabled(false);
    EXPECT_FALSE(root_->IsShortCut(plat::ShortCut('O', plat::scCtrl)));
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "click Open"), 0);
    EXPECT_FALSE(root_->IsShortCut(0));
}

// --- The deferred command -----------------------------------------------------------

class CountingScheme final : public dk::SoundScheme {
public:
    std::optional<QString> EntryFile(const QString& name) const override {
        return name == QStringLiteral("MenuCommand")
                   ? std::optional<QString>(QStringLiteral("c.wav"))
                   : std::nullopt;
    }
    void Play(const QString&) const override { ++plays; }
    mutable int plays = 0;
};

TEST_F(ItemTree, OnlyTheLastPendingCommandRunsAndADestroyedOneNever) {
    int clicksA = 0;
    int clicksB = 0;
    a_->OnClick = [&](QObject*) { ++clicksA; };
    b_->OnClick = [&](QObject*) { ++clicksB; };
    CountingScheme scheme;
    dk::ScopedSoundScheme sounds(&scheme);
    TDkDoneAction done;
    done.Kind = TDkDoneAction::ClickItem;
    done.Item = a_;
    dk::ProcessDoneAction(done);
    done.Item = b_;
    done.PlaySound = true;
    dk::ProcessDoneAction(done);
    // The command runs only after the loop has unwound.
    EXPECT_EQ(clicksB, 0);
    EXPECT_EQ(dk::PendingClickItem(), b_);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(clicksA, 0);
    EXPECT_EQ(clicksB, 1);
    EXPECT_EQ(scheme.plays, 1);
    EXPECT_EQ(dk::PendingClickItem(), nullptr);

    done.Item = a_;
    dk::ProcessDoneAction(done);
    delete a_;
    EXPECT_EQ(dk::PendingClickItem(), nullptr);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(clicksA, 0);
}

// --- Action links ------------------------------------------------------------------------------

class ActionLink : public ::testing::Test {
protected:
    ActionLink() {
        copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        dk::SetActionImageIndex(*copy_, 12);
        copy_->setStatusTip(QStringLiteral("Copy|Copies the selection"));
        QObject::connect(copy_, &QAction::triggered, [this] { ++executed_; });
        root_->Add(item_);
    }

    QObject owner_;
    QAction* copy_ = new QAction(QStringLiteral("&Copy"), &owner_);
    TDkCustomItem* root_ = NamedItem(&owner_, "Root");
    TDkCustomItem* item_ = NamedItem(&owner_, "Item");
    int executed_ = 0;
};

const plat::TShortCut kCtrlC = plat::ShortCut('C', plat::scCtrl);

// The values an item takes from its action: "caption|shortcut|image|hint".
QString Values(const TDkCustomItem* item) {
    return QStringLiteral("%1|%2|%3|%4")
        .arg(item->Caption(), plat::ShortCutToText(item->ShortCut()))
        .arg(item->ImageIndex())
        .arg(item->Hint());
}

TEST_F(ActionLink, AssigningCopiesTheActionAndClicksRunIt) {
    item_->SetAction(copy_);
    EXPECT_EQ(Values(item_), "&Copy|Ctrl+C|12|Copy|Copies the selection");
    item_->Click();
    EXPECT_EQ(executed_, 1);
    EXPECT_EQ(item_->GetHintText(), QStringLiteral("Copy (Ctrl+C)"));
    // An own click handler runs instead of the action.
    int own = 0;
    item_->OnClick = [&](QObject*) { ++own; };
    item_->Click();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(executed_, 1);
}

TEST_F(ActionLink, WhileLoadingOnlyDefaultsAreTaken) {
    item_->SetCaption(QStringLiteral("Copy it"));
    item_->BeginLoading();
    item_->SetAction(copy_);
    item_->Loaded();
    EXPECT_EQ(Values(item_), "Copy it|Ctrl+C|12|Copy|Copies the selection");
    // Without loading, everything is taken.
    TDkCustomItem* other = NamedItem(&owner_, "Other");
    other->SetCaption(QStringLiteral("Copy it"));
    other->SetAction(copy_);
    EXPECT_EQ(other->Caption(), QStringLiteral("&Copy"));
}

TEST_F(ActionLink, LaterChangesReachOnlyItemsThatStillFollow) {
    TDkCustomItem* own = NamedItem(&owner_, "Own");
    root_->Add(own);
    item_->SetAction(copy_);
    own->SetAction(copy_);
    own->SetCaption(QStringLiteral("Duplicate"));
    ItemRecorder rec(root_);
    copy_->setText(QStringLiteral("C&opy"));
    EXPECT_EQ(item_->Caption(), QStringLiteral("C&opy"));
    EXPECT_EQ(own->Caption(), QStringLiteral("Duplicate"));
    EXPECT_EQ(rec.Heard, Heard{"6 Item 0"});

    // A new shortcut is stored without a repaint; the next layout shows it.
    rec.Heard.clear();
    copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    EXPECT_EQ(item_->ShortCut(), plat::ShortCut('K', plat::scCtrl));
    EXPECT_TRUE(rec.Heard.empty());

    copy_->setEnabled(false);
    dk::SetActionImageIndex(*copy_, 3);
    EXPECT_FALSE(item_->Enabled());
    EXPECT_EQ(Values(item_), "C&opy|Ctrl+K|3|Copy|Copies the selection");
}

TEST_F(ActionLink, CheckableActionsDriveTheCheckMarkAndItsGroup) {
    TDkCustomItem* sibling = NamedItem(&owner_, "Sibling");
    root_->Add(sibling);
    sibling->SetGroupIndex(4);
    sibling->SetChecked(true);
    item_->SetGroupIndex(4); // not linked: stays the item's own
    copy_->setCheckable(true);
    item_->SetAction(copy_);
    EXPECT_TRUE(item_->AutoCheck());
    item_->Click(); // the action toggles, the item follows
    EXPECT_TRUE(copy_->isChecked());
    EXPECT_TRUE(item_->Checked());
    EXPECT_FALSE(sibling->Checked());
    item_->Click();
    EXPECT_FALSE(item_->Checked());
    EXPECT_EQ(executed_, 2);
}

TEST_F(ActionLink, ClearingOrLosingTheActionKeepsTheValues) {
    item_->SetAction(copy_);
    item_->SetAction(nullptr);
    copy_->setText(QStringLiteral("Gone"));
    EXPECT_EQ(item_->Action(), nullptr);
    EXPECT_EQ(Values(item_), "&Copy|Ctrl+C|12|Copy|Copies the selection");

    item_->SetAction(copy_);
    delete copy_;
    EXPECT_EQ(item_->Action(), nullptr);
    item_->Click(); // nothing left to run, and no crash
    EXPECT_EQ(item_->Caption(), QStringLiteral("Gone"));
}

QAction* updatedAction = nullptr;
int updates = 0;
void CountUpdate(QAction& action) {
    updatedAction = &action;
    ++updates;
}

TEST_F(ActionLink, ShortCutSearchUpdatesActionsFirst) {
    const dk::ActionUpdateHandler previous = dk::SetActionUpdateHandler(&CountUpdate);
    item_->SetAction(copy_);
    updates = 0;
    copy_->setEnabled(false);
    // The update handler is where the application enables its actions.
    dk::SetActionUpdateHandler([](QAction& action) {
        CountUpdate(action);
        action.setEnabled(true);
    });
    EXPECT_TRUE(root_->IsShortCut(kCtrlC));
    EXPECT_EQ(updatedAction, copy_);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(executed_, 1);
    dk::SetActionUpdateHandler(previous);
}

} // namespace
