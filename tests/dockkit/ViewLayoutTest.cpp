#include "ViewFixtures.h"

#include "dockkit/items/DkView.h"

#include <QLineEdit>

#include <gtest/gtest.h>

using plat::TRect;

namespace {

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EDkItemError& e) {
        return e.Message().toStdString();
    }
    return "no error";
}

TEST(ViewLayout, SeparatorsCollapseWhenDoubledLeadingOrTrailing) {
    ViewSetup s(/*isToolbar=*/true);
    s.AddSeparator();
    FixedItem* a = s.Add("A", 30, 20);
    TDkSeparatorItem* middle = s.AddSeparator();
    s.AddSeparator();
    FixedItem* b = s.Add("B", 30, 20);
    s.AddSeparator();
    s.view->ValidatePositions();
    EXPECT_EQ(s.Bounds(a), TRect(0, 0, 30, 20));
    EXPECT_EQ(s.Bounds(middle), TRect(30, 0, 36, 20));
    EXPECT_EQ(s.Bounds(b), TRect(36, 0, 66, 20));
    int shown = 0;
    for (int i = 0; i < s.view->ViewerCount(); ++i) {
        shown += s.view->Viewers(i)->Show ? 1 : 0;
    }
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(s.view->LastSize, QSize(66, 20));
    // Hiding B leaves the middle separator trailing: it goes too.
    b->SetVisible(false);
    EXPECT_FALSE(s.Shown(middle));
    EXPECT_EQ(s.view->LastSize, QSize(30, 20));
}

class Chevron : public ::testing::Test {
protected:
    Chevron() {
        chevron_ = new FixedItem(&s_.owner, "Chevron", 12, 20);
        s_.view->Chevron = chevron_;
        s_.view->RecreateAllViewers();
        for (const char* name : {"A", "B", "C", "D"}) {
            items_.push_back(s_.Add(name, 30, 20));
        }
        s_.view->SetChevronSize(12);
    }
    std::string Shown() {
        s_.view->ValidatePositions();
        std::string names;
        for (FixedItem* item : items_) {
            if (s_.Shown(item)) {
                names += item->objectName().toStdString();
            }
        }
        return names;
    }

    ViewSetup s_{true, /*usePriorityList=*/true};
    FixedItem* chevron_ = nullptr;
    std::vector<FixedItem*> items_;
};

TEST_F(Chevron, HidesTheLeastUsedItemsUntilTheRestFit) {
    s_.view->SetChevronOffset(100);
    EXPECT_EQ(Shown(), "AB");
    EXPECT_TRUE(s_.view->Find(items_[3])->OffEdge);
    EXPECT_TRUE(s_.view->Find(items_[2])->OffEdge);
    EXPECT_TRUE(s_.Shown(chevron_));
    EXPECT_EQ(s_.Bounds(chevron_), TRect(88, 0, 100, 20));
    EXPECT_TRUE(chevron_->Enabled());
    // Using D puts it first in the priority order: B and C go instead.
    s_.view->NotifyViewerUsed(s_.view->Find(items_[3]));
    EXPECT_EQ(Shown(), "AD");
    EXPECT_EQ(s_.Bounds(items_[3]), TRect(30, 0, 60, 20));
}

TEST_F(Chevron, ASeparatorLeftTrailingGoesFirst) {
    s_.root->Insert(3, new TDkSeparatorItem(&s_.owner)); // A B C | D
    s_.view->SetChevronOffset(110);
    EXPECT_EQ(Shown(), "ABC");
    EXPECT_EQ(s_.view->LastSize.width(), 110);
}

TEST(ViewLayout, AWrappedToolbarBreaksAtASeparatorDrawnAcrossTheRow) {
    ViewSetup s(true);
    FixedItem* a = s.Add("A", 30, 20);
    FixedItem* b = s.Add("B", 30, 20);
    TDkSeparatorItem* sep = s.AddSeparator();
    FixedItem* c = s.Add("C", 30, 20);
    FixedItem* d = s.Add("D", 30, 20);
    s.view->SetWrapOffset(70);
    s.view->ValidatePositions();
    EXPECT_EQ(s.Bounds(a), TRect(0, 0, 30, 20));
    EXPECT_EQ(s.Bounds(b), TRect(30, 0, 60, 20));
    EXPECT_EQ(s.Bounds(sep), TRect(0, 20, 70, 26));
    EXPECT_TRUE(s.view->Find(sep)->LineBreak);
    EXPECT_EQ(s.Bounds(c), TRect(0, 26, 30, 46));
    EXPECT_EQ(s.Bounds(d), TRect(30, 26, 60, 46));
    EXPECT_EQ(s.view->LastSize, QSize(70, 46));
    EXPECT_EQ(s.view->LineCount(), 2);
}

TEST(ViewLayout, ItemsThatDoNotFitWrapAndTheNextSeparatorBreaks) {
    ViewSetup s(true);
    for (const char* name : {"A", "B", "C"}) {
        s.Add(name, 30, 20);
    }
    TDkSeparatorItem* sep = s.AddSeparator();
    FixedItem* d = s.Add("D", 10, 20);
    s.view->SetWrapOffset(70);
    s.view->ValidatePositions();
    // C wraps by force; the separator after it then always breaks, even
    // though D would fit beside it.
    EXPECT_EQ(s.Bounds(s.root->Items(2)), TRect(0, 20, 30, 40));
    EXPECT_TRUE(s.view->Find(sep)->LineBreak);
    EXPECT_EQ(s.Bounds(d), TRect(0, 46, 10, 66));
    // With the no-forced-break style it breaks only when the group does
    // not fit.
    sep->SetItemStyle(sep->ItemStyle() | dk::StyleNoForcedBreak);
    s.view->InvalidatePositions();
    s.view->ValidatePositions();
    EXPECT_FALSE(s.view->Find(sep)->LineBreak);
    EXPECT_EQ(s.Bounds(d), TRect(36, 20, 46, 40));
}

TEST(ViewLayout, LinesCentreSmallItemsAndStretchMarkedOnes) {
    ViewSetup s(true);
    FixedItem* tall = s.Add("Tall", 30, 24);
    FixedItem* small = s.Add("Small", 30, 10);
    FixedItem* stretch = s.Add("Stretch", 30, 10);
    stretch->SetItemStyle(stretch->ItemStyle() | dk::StyleStretch);
    s.view->InvalidatePositions();
    s.view->ValidatePositions();
    EXPECT_EQ(s.Bounds(tall), TRect(0, 0, 30, 24));
    EXPECT_EQ(s.Bounds(small), TRect(30, 7, 60, 17));
    EXPECT_EQ(s.Bounds(stretch), TRect(60, 0, 90, 24));
    EXPECT_EQ(s.view->BaseSize(), 24);
}

TEST(ViewLayout, RightAlignedItemsMoveToTheLineEnd) {
    ViewSetup s(true);
    s.Add("A", 30, 20);
    FixedItem* b = s.Add("B", 30, 20);
    FixedItem* c = s.Add("C", 30, 20);
    b->SetItemStyle(b->ItemStyle() | dk::StyleRightAlign);
    s.view->SetWrapOffset(200);
    s.view->ValidatePositions();
    EXPECT_EQ(s.Bounds(b), TRect(140, 0, 170, 20));
    EXPECT_EQ(s.Bounds(c), TRect(170, 0, 200, 20));
}

TEST(ViewLayout, VerticalToolbarsPutTheFirstColumnAtTheRight) {
    ViewSetup s(true);
    FixedItem* a = s.Add("A", 20, 30);
    FixedItem* b = s.Add("B", 20, 30);
    s.view->SetOrientation(dkvoVertical);
    s.view->SetWrapOffset(50);
    s.view->ValidatePositions();
    EXPECT_EQ(s.Bounds(a), TRect(20, 0, 40, 30));
    EXPECT_EQ(s.Bounds(b), TRect(0, 0, 20, 30));
    EXPECT_EQ(s.view->LastSize, QSize(40, 50));
}

TEST(ViewLayout, MenuItemsTakeALineEachAndToolbarSizedOnesFlowInRows) {
    ViewSetup s(/*isToolbar=*/false);
    FixedItem* first = s.Add("M", 100, 20);
    std::vector<FixedItem*> cells;
    for (const char* name : {"P1", "P2", "P3", "P4"}) {
        cells.push_back(s.Add(name, 30, 16));
        cells.back()->SetOptions(dkoToolbarStyle | dkoToolbarSize);
    }
    FixedItem* last = s.Add("N", 40, 20);
    s.view->SetWrapOffset(70);
    s.view->ValidatePositions();
    EXPECT_EQ(s.Bounds(first), TRect(0, 0, 100, 20));
    EXPECT_EQ(s.Bounds(cells[0]), TRect(0, 20, 30, 36));
    EXPECT_EQ(s.Bounds(cells[1]), TRect(30, 20, 60, 36));
    EXPECT_EQ(s.Bounds(cells[2]), TRect(0, 36, 30, 52));
    EXPECT_EQ(s.Bounds(cells[3]), TRect(30, 36, 60, 52));
    EXPECT_EQ(s.Bounds(last), TRect(0, 52, 100, 72)); // the full width
    EXPECT_EQ(s.view->LastSize, QSize(100, 72));
}

class Scrolling : public ::testing::Test {
protected:
    Scrolling() {
        for (int i = 0; i < 60; ++i) {
            items_.push_back(s_.Add("I", 100, 20));
        }
        s_.view->SetMaxHeight(762);
    }
    // The indexes of the items hidden by scrolling, as ranges "a-b".
    std::string Clipped() {
        s_.view->ValidatePositions();
        std::string ranges;
        int start = -1;
        for (int i = 0; i <= 60; ++i) {
            const bool clipped = i < 60 && s_.view->Viewers(i)->Clipped;
            if (clipped && start < 0) {
                start = i;
            } else if (!clipped && start >= 0) {
                ranges += (ranges.empty() ? "" : ",") + std::to_string(start) + "-" +
                          std::to_string(i - 1);
                start = -1;
            }
        }
        return ranges;
    }

    ViewSetup s_{false};
    std::vector<FixedItem*> items_;
};

TEST_F(Scrolling, ALongPopupHidesWhatTheArrowBandsCover) {
    EXPECT_EQ(Clipped(), "37-59");
    EXPECT_FALSE(s_.view->ShowUpArrow());
    EXPECT_TRUE(s_.view->ShowDownArrow());
    EXPECT_EQ(s_.view->LastSize.height(), 762);
    s_.view->SetScrollOffset(17);
    EXPECT_EQ(Clipped(), "0-1,38-59");
    EXPECT_TRUE(s_.view->ShowUpArrow());
    EXPECT_EQ(s_.Bounds(items_[2]), TRect(0, 23, 100, 43));
}

TEST_F(Scrolling, TheOffsetStaysWithinTheOverflow) {
    s_.view->SetScrollOffset(100000);
    EXPECT_EQ(Clipped(), "0-22");
    EXPECT_EQ(s_.view->ScrollOffset(), 1200 - 762);
    EXPECT_FALSE(s_.view->ShowDownArrow());
    s_.view->SetScrollOffset(-5);
    EXPECT_EQ(Clipped(), "37-59");
    EXPECT_EQ(s_.view->ScrollOffset(), 0);
    s_.view->SetMaxHeight(0); // no limit: nothing scrolls
    EXPECT_EQ(Clipped(), "");
    EXPECT_EQ(s_.view->LastSize.height(), 1200);
}

// --- Viewers follow the tree ----------------------------------------------------------

TEST(ViewViewers, FollowInsertionsDeletionsAndEmbeddedGroups) {
    ViewSetup s(true);
    FixedItem* a = s.Add("A", 30, 20);
    FixedItem* c = s.Add("C", 30, 20);
    FixedItem* b = new FixedItem(&s.owner, "B", 30, 20);
    s.root->Insert(1, b);
    ASSERT_EQ(s.view->ViewerCount(), 3);
    EXPECT_EQ(s.view->Viewers(1)->Item(), b);
    EXPECT_EQ(s.Bounds(c), TRect(60, 0, 90, 20));

    // A group shows its subitems inline, after itself.
    auto* group = new TDkCustomItem(&s.owner);
    group->SetItemStyle(group->ItemStyle() | dk::StyleEmbeddedGroup);
    FixedItem* g1 = new FixedItem(&s.owner, "G1", 10, 20);
    group->Add(g1);
    s.root->Insert(1, group);
    ASSERT_EQ(s.view->ViewerCount(), 5);
    EXPECT_EQ(s.view->Viewers(2)->Item(), g1);
    EXPECT_FALSE(s.Shown(group));
    EXPECT_EQ(s.Bounds(g1), TRect(30, 0, 40, 20));
    // Adding to the group reaches the view through the group.
    group->Add(new FixedItem(&s.owner, "G2", 10, 20));
    EXPECT_EQ(s.Bounds(b), TRect(50, 0, 80, 20));

    s.view->Select(s.view->Find(g1));
    s.root->Remove(group); // the group's inline viewers go with it
    EXPECT_EQ(s.view->ViewerCount(), 3);
    EXPECT_EQ(s.view->Selected(), nullptr);
    EXPECT_EQ(s.Bounds(b), TRect(30, 0, 60, 20));
    EXPECT_EQ(ErrorOf([&] { s.view->Find(g1); }),
              "An item viewer associated the specified item could not be found");
    EXPECT_EQ(s.view->ViewerFromPoint(QPoint(35, 10))->Item(), b);
    EXPECT_EQ(s.view->ViewerFromPoint(QPoint(95, 10)), nullptr);
    delete a;
    EXPECT_EQ(s.view->ViewerCount(), 2);
}

TEST(ViewViewers, UpdatesWaitForTheOutermostEnd) {
    ViewSetup s(true);
    s.Add("A", 30, 20);
    s.Add("B", 30, 20);
    s.view->ValidatePositions();
    const int before = s.view->Layouts;
    s.root->Move(0, 1); // its own bracket: one layout at the end
    EXPECT_EQ(s.view->Layouts, before + 1);
    s.view->BeginUpdate();
    s.root->Move(0, 1);
    s.root->Add(new FixedItem(&s.owner, "C", 30, 20));
    EXPECT_EQ(s.view->Layouts, before + 1);
    s.view->EndUpdate();
    EXPECT_EQ(s.view->Layouts, before + 2);
    EXPECT_EQ(s.view->LastSize, QSize(90, 20));
}

TEST(ViewViewers, ALinkedRootIsShownAndItsLossEmptiesTheView) {
    ViewSetup s(true);
    s.Add("A", 30, 20);
    auto* other = new TDkRootItem(&s.owner);
    other->Add(new FixedItem(&s.owner, "X", 40, 20));
    other->Add(new FixedItem(&s.owner, "Y", 40, 20));
    s.root->SetLinkSubitems(other);
    EXPECT_EQ(s.view->CurrentRoot(), other);
    EXPECT_EQ(s.view->ViewerCount(), 2);
    EXPECT_EQ(s.view->LastSize, QSize(80, 20));
    delete other;
    EXPECT_EQ(s.view->CurrentRoot(), s.root);
    EXPECT_EQ(s.view->ViewerCount(), 1);
}

TEST(ViewViewers, ControlsFollowTheirViewersAndHideBehindTheChevron) {
    ViewSetup s(true, false);
    auto* chevron = new FixedItem(&s.owner, "Chevron", 12, 20);
    s.view->Chevron = chevron;
    s.view->RecreateAllViewers();
    s.Add("A", 30, 20);
    auto* edit = new QLineEdit(&s.window);
    edit->resize(50, 20);
    auto* control = new TDkControlItem(&s.owner, edit);
    s.root->Add(control);
    s.view->SetChevronSize(12);
    s.view->ValidatePositions();
    EXPECT_EQ(edit->geometry(), QRect(30, 0, 50, 20));
    s.view->SetChevronOffset(60);
    s.view->ValidatePositions();
    EXPECT_TRUE(edit->isHidden());
    EXPECT_FALSE(chevron->Enabled()); // only a control is hidden
    s.view->SetChevronOffset(0);
    s.view->ValidatePositions();
    EXPECT_FALSE(edit->isHidden());
    EXPECT_EQ(edit->geometry(), QRect(30, 0, 50, 20));
    delete control; // takes its control along
}

} // namespace
