// A tool bar's own menu loop, as a menu bar runs it in drop-down mode: the
// pointer on the next header opens its menu.

#include "MenuFixtures.h"
#include "ViewFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"

#include <QCoreApplication>

namespace {

class ToolbarLoop : public MenuTest {
protected:
    ToolbarLoop() {
        file_ = Header("File", {"&Open", "&Save"});
        edit_ = Header("Edit", {"Cu&t", "&Copy"});
        bar_.window.setGeometry(100, 50, 200, 20);
        bar_.window.show();
        bar_.view->ValidatePositions();
    }
    FixedItem* Header(const char* name, std::initializer_list<const char*> captions) {
        FixedItem* header = bar_.Add(name, 40, 20);
        header->SetCaption(QString::fromLatin1(name));
        header->SetItemStyle(header->ItemStyle() | dk::StyleSubmenu);
        for (const char* caption : captions) {
            AddItem(caption, header);
        }
        return header;
    }
    // Runs the bar's loop with the header selected and its menu open.
    void RunBar(FixedItem* header) {
        script_.Start();
        bar_.view->Select(bar_.view->Find(header));
        bar_.view->EnterToolbarLoop(tloDropDown | tloSelectFirst);
        EXPECT_TRUE(script_.AllRun());
        script_.Finish();
        EXPECT_EQ(OpenPopupCount(), 0);
        QCoreApplication::sendPostedEvents();
    }

    ViewSetup bar_{true};
    FixedItem* file_;
    FixedItem* edit_;
};

TEST_F(ToolbarLoop, ThePointerOnTheNextHeaderOpensItsMenuAtOnce) {
    TDkCustomItem* copy = edit_->Items(1);
    script_.Then([this] { MoveMouse(ScreenCenterOf(edit_)); })
        .Then([copy] {
            EXPECT_EQ(OpenPopupCount(), 1);
            EXPECT_NE(ViewShowing(copy), nullptr);
        })
        .Then([copy] { MoveMouse(ScreenCenterOf(copy)); })
        .Then([copy] { ClickMouse(ScreenCenterOf(copy)); });
    RunBar(file_);
    EXPECT_EQ(ClickLog(), "&Copy");
}

} // namespace
