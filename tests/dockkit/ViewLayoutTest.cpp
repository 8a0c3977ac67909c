#include "ViewFixtures.h"

#include "dockkit/items/DkView/DkView.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using plat::TRect;

namespace {

TEST(ViewLayout, SeparatorsCollapseWhenDoubledLeadingOrTrailing) {
    ViewSetup s(/*isToolbar=*/true);
    s.AddAll({"|", "A", "|", "|", "B", "|"}, 30, 20);
    EXPECT_EQ(s.Layout(), "A 0,0-30,20 sep 30,0-36,20 B 36,0-66,20 = 66x20");
    // Hiding B leaves the middle separator trailing: it goes too.
    s.root->Items(4)->SetVisible(false);
    EXPECT_EQ(s.Layout(), "A 0,0-30,20 = 30x20");
}

// A separator shows only between two shown items: not at either end, not
// next to another separator, not next to hidden items only. Each row lays out
// as the items of its second column do.
struct SeparatorCase {
    const char* Name;
    // Item names, "|" a separator, a leading "~" a hidden item.
    std::vector<const char*> Items;
    std::vector<const char*> SameAs;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) {
    *os << c.Name;
}

class SeparatorsBetweenShownItems : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(SeparatorsBetweenShownItems, LayOutAsTheShownItemsAlone) {
    const auto layout = [](const std::vector<const char*>& items) {
        ViewSetup s(/*isToolbar=*/false);
        for (const char* name : items) {
            const std::string text(name);
            if (text == "|") {
                s.AddSeparator();
            } else if (text.front() == '~') {
                s.Add(name + 1, 30, 20)->SetVisible(false);
            } else {
                s.Add(name, 30, 20);
            }
        }
        return s.Layout();
    };
    EXPECT_EQ(layout(GetParam().Items), layout(GetParam().SameAs));
}

INSTANTIATE_TEST_SUITE_P(
    Menus, SeparatorsBetweenShownItems,
    ::testing::Values(
        SeparatorCase{"HiddenItemBetween", {"A", "|", "~B", "|", "C"}, {"A", "|", "C"}},
        SeparatorCase{"HiddenItemAtTheEnd", {"A", "|", "~B"}, {"A"}},
        SeparatorCase{"HiddenItemAtTheStart", {"~A", "|", "B"}, {"B"}},
        SeparatorCase{"LeadingTrailingAndDoubled", {"|", "A", "|", "|", "B", "|"}, {"A", "|", "B"}},
        SeparatorCase{"HiddenItemsOnly", {"A", "|", "~B", "~C", "|", "D"}, {"A", "|", "D"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ViewLayout, AChevronHidesTheLeastUsedItemsUntilTheRestFit) {
    // Four items of 30 and a chevron of 12 in 100 pixels, or with a
    // separator (A B C | D) in 110.
    for (const bool separator : {false, true}) {
        SCOPED_TRACE(separator ? "with a separator" : "without");
        ViewSetup s(true, /*usePriorityList=*/true);
        auto* chevron = new FixedItem(&s.owner, "Chevron", 12, 20);
        s.view->Chevron = chevron;
        s.view->RecreateAllViewers();
        s.AddAll({"A", "B", "C", "D"}, 30, 20);
        s.view->SetChevronSize(12);
        if (separator) {
            // A separator left trailing goes first.
            s.root->Insert(3, new TDkSeparatorItem(&s.owner));
            s.view->SetChevronOffset(110);
            EXPECT_EQ(s.Layout(),
                      "A 0,0-30,20 B 30,0-60,20 C 60,0-90,20 Chevron 98,0-110,20 = 110x20");
            continue;
        }
        s.view->SetChevronOffset(100);
        EXPECT_EQ(s.Layout(), "A 0,0-30,20 B 30,0-60,20 Chevron 88,0-100,20 = 100x20");
        EXPECT_TRUE(s.view->Find(s.root->Items(3))->OffEdge);
        EXPECT_TRUE(chevron->Enabled());
        // Using D puts it first in the priority order: B and C go instead.
        s.view->NotifyViewerUsed(s.view->Find(s.root->Items(3)));
        EXPECT_EQ(s.Layout(), "A 0,0-30,20 D 30,0-60,20 Chevron 88,0-100,20 = 100x20");
    }
}

TEST(ViewLayout, AWrappedToolbarBreaksAtASeparatorDrawnAcrossTheRow) {
    ViewSetup s(true);
    s.AddAll({"A", "B", "|", "C", "D"}, 30, 20);
    s.view->SetWrapOffset(70);
    EXPECT_EQ(s.Layout(),
              "A 0,0-30,20 B 30,0-60,20 sep 0,20-70,26 C 0,26-30,46 D 30,26-60,46 = 70x46");
    EXPECT_TRUE(s.view->Viewers(2)->LineBreak);
    EXPECT_EQ(s.view->LineCount(), 2);
}

TEST(ViewLayout, ItemsThatDoNotFitWrapAndTheNextSeparatorBreaks) {
    ViewSetup s(true);
    s.AddAll({"A", "B", "C", "|"}, 30, 20);
    s.Add("D", 10, 20);
    s.view->SetWrapOffset(70);
    // C wraps by force; the separator after it then always breaks, even
    // though D would fit beside it.
    EXPECT_EQ(s.Layout(),
              "A 0,0-30,20 B 30,0-60,20 C 0,20-30,40 sep 0,40-70,46 D 0,46-10,66 = 70x66");
    // With the no-forced-break style it breaks only when the group does
    // not fit.
    TDkCustomItem* sep = s.root->Items(3);
    sep->SetItemStyle(sep->ItemStyle() | dk::StyleNoForcedBreak);
    s.view->InvalidatePositions();
    EXPECT_EQ(s.Layout(),
              "A 0,0-30,20 B 30,0-60,20 C 0,20-30,40 sep 30,20-36,40 D 36,20-46,40 = 70x40");
}

TEST(ViewLayout, LinesCentreSmallItemsStretchMarkedOnesAndEndWithRightAlignedOnes) {
    ViewSetup s(true);
    s.Add("Tall", 30, 24);
    s.Add("Small", 30, 10);
    FixedItem* stretch = s.Add("Stretch", 30, 10);
    stretch->SetItemStyle(stretch->ItemStyle() | dk::StyleStretch);
    FixedItem* right = s.Add("Right", 30, 24);
    right->SetItemStyle(right->ItemStyle() | dk::StyleRightAlign);
    s.Add("Last", 30, 24);
    s.view->SetWrapOffset(200);
    EXPECT_EQ(s.Layout(), "Tall 0,0-30,24 Small 30,7-60,17 Stretch 60,0-90,24 Right 140,0-170,24 "
                          "Last 170,0-200,24 = 150x24");
    EXPECT_EQ(s.view->BaseSize(), 24);
}

TEST(ViewLayout, VerticalToolbarsPutTheFirstColumnAtTheRight) {
    ViewSetup s(true);
    s.AddAll({"A", "B"}, 20, 30);
    s.view->SetOrientation(dkvoVertical);
    s.view->SetWrapOffset(50);
    EXPECT_EQ(s.Layout(), "A 20,0-40,30 B 0,0-20,30 = 40x50");
}

TEST(ViewLayout, MenuItemsTakeALineEachAndToolbarSizedOnesFlowInRows) {
    ViewSetup s(/*isToolbar=*/false);
    s.Add("M", 100, 20);
    for (const char* name : {"P1", "P2", "P3", "P4"}) {
        s.Add(name, 30, 16)->SetOptions(dkoToolbarStyle | dkoToolbarSize);
    }
    s.Add("N", 40, 20);
    s.view->SetWrapOffset(70);
    // The plain items take the full width.
    EXPECT_EQ(s.Layout(), "M 0,0-100,20 P1 0,20-30,36 P2 30,20-60,36 P3 0,36-30,52 "
                          "P4 30,36-60,52 N 0,52-100,72 = 100x72");
}

// The indexes of the items hidden by scrolling, as ranges "a-b".
std::string Clipped(const ViewSetup& s) {
    s.view->ValidatePositions();
    std::string ranges;
    const int count = s.view->ViewerCount();
    for (int i = 0, start = -1; i <= count; ++i) {
        const bool clipped = i < count && s.view->Viewers(i)->Clipped;
        if (clipped && start < 0) {
            start = i;
        } else if (!clipped && start >= 0) {
            ranges +=
                (ranges.empty() ? "" : ",") + std::to_string(start) + "-" + std::to_string(i - 1);
            start = -1;
        }
    }
    return ranges;
}

TEST(ViewLayout, ALongPopupScrollsWithinItsOverflowBehindTheArrowBands) {
    ViewSetup s(false);
    for (int i = 0; i < 60; ++i) {
        s.Add("I", 100, 20);
    }
    s.view->SetMaxHeight(762);
    EXPECT_EQ(Clipped(s), "37-59");
    EXPECT_FALSE(s.view->ShowUpArrow());
    EXPECT_TRUE(s.view->ShowDownArrow());
    EXPECT_EQ(s.view->LastSize.height(), 762);
    s.view->SetScrollOffset(17);
    EXPECT_EQ(Clipped(s), "0-1,38-59");
    EXPECT_TRUE(s.view->ShowUpArrow());
    EXPECT_EQ(s.view->Viewers(2)->BoundsRect, TRect(0, 23, 100, 43));
    s.view->SetScrollOffset(100000);
    EXPECT_EQ(Clipped(s), "0-22");
    EXPECT_EQ(s.view->ScrollOffset(), 1200 - 762);
    EXPECT_FALSE(s.view->ShowDownArrow());
    s.view->SetScrollOffset(-5);
    EXPECT_EQ(Clipped(s), "37-59");
    EXPECT_EQ(s.view->ScrollOffset(), 0);
    s.view->SetMaxHeight(0); // no limit: nothing scrolls
    EXPECT_EQ(Clipped(s), "");
    EXPECT_EQ(s.view->LastSize.height(), 1200);
}

// --- Viewers follow the tree ----------------------------------------------------------

TEST(ViewViewers, FollowInsertionsDeletionsAndEmbeddedGroups) {
    ViewSetup s(true);
    FixedItem* a = s.Add("A", 30, 20);
    s.Add("C", 30, 20);
    FixedItem* b = new FixedItem(&s.owner, "B", 30, 20);
    s.root->Insert(1, b);
    EXPECT_EQ(s.Layout(), "A 0,0-30,20 B 30,0-60,20 C 60,0-90,20 = 90x20");

    // A group shows its subitems inline, after itself; adding to the group
    // reaches the view through it.
    auto* group = new TDkCustomItem(&s.owner);
    group->SetItemStyle(group->ItemStyle() | dk::StyleEmbeddedGroup);
    FixedItem* g1 = new FixedItem(&s.owner, "G1", 10, 20);
    group->Add(g1);
    s.root->Insert(1, group);
    group->Add(new FixedItem(&s.owner, "G2", 10, 20));
    EXPECT_EQ(s.Layout(), "A 0,0-30,20 G1 30,0-40,20 G2 40,0-50,20 B 50,0-80,20 C 80,0-110,20 "
                          "= 110x20");

    s.view->Select(s.view->Find(g1));
    s.root->Remove(group); // the group's inline viewers go with it
    EXPECT_EQ(s.view->ViewerCount(), 3);
    EXPECT_EQ(s.view->Selected(), nullptr);
    EXPECT_THROW(s.view->Find(g1), EDkItemError);
    EXPECT_EQ(s.view->ViewerFromPoint(QPoint(35, 10))->Item(), b);
    EXPECT_EQ(s.view->ViewerFromPoint(QPoint(95, 10)), nullptr);
    delete a;
    EXPECT_EQ(s.view->ViewerCount(), 2);
}

TEST(ViewViewers, UpdatesWaitForTheOutermostEnd) {
    ViewSetup s(true);
    s.AddAll({"A", "B"}, 30, 20);
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
    EXPECT_EQ(s.Layout(), "X 0,0-40,20 Y 40,0-80,20 = 80x20");
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
