#include "ItemRecorder.h"

#include "dockkit/items/DkActionLink.h"
#include "dockkit/items/DkItem.h"

#include "platform/gui/ShortCut.h"

#include <QAction>

#include <gtest/gtest.h>

using Heard = std::vector<std::string>;

namespace {

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
