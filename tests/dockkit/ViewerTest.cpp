#include "ViewFixtures.h"

#include "PixelPicture.h"
#include "PlatformFakes.h"

#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView.h"

#include "platform/gui/ImageList.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QSize Measure(TDkItemViewer* viewer) {
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter canvas(&image);
    canvas.setFont(QFont());
    int w = 0;
    int h = 0;
    viewer->CalcSize(canvas, w, h);
    return {w, h};
}

// 16 x 16 images: a black square in the middle of transparency.
plat::ImageList* MakeImages(QObject* owner) {
    auto* images = new plat::ImageList(16, 16, owner);
    QImage cell(16, 16, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y) {
        for (int x = 4; x < 12; ++x) {
            cell.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    images->Add(cell);
    return images;
}

TEST(ImageAndCaption, ShowAsTheDisplayModeSays) {
    const struct {
        bool toolbar;
        TDkItemDisplayMode mode;
        int imageIndex;
        TDkItemOptions options;
        bool image, caption;
    } cases[] = {
        {true, nbdmDefault, 2, 0, true, false},
        {true, nbdmDefault, -1, 0, false, true},
        {true, nbdmDefault, 2, dkoImageAboveCaption, true, true},
        {true, nbdmTextOnly, 2, 0, false, true},
        {true, nbdmTextOnlyInMenus, 2, 0, true, false},
        {false, nbdmTextOnlyInMenus, 2, 0, false, true},
        {false, nbdmImageAndText, 2, 0, true, true},
        {false, nbdmDefault, 2, 0, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "tool bar " << c.toolbar << " mode " << c.mode
                                        << " image " << c.imageIndex << " options " << c.options);
        ViewSetup s(c.toolbar);
        auto* item = new TDkCustomItem(&s.owner);
        item->SetCaption(QStringLiteral("&Open"));
        item->SetDisplayMode(c.mode);
        item->SetImageIndex(c.imageIndex);
        item->SetOptions(c.options);
        s.root->Add(item);
        TDkItemViewer* viewer = s.view->Find(item);
        EXPECT_EQ(viewer->ImageShown(), c.image);
        EXPECT_EQ(viewer->CaptionShown(), c.caption);
    }
}

TEST(ViewerSize, ToolbarButtonsMeasureImageArrowAndSplitPart) {
    ViewSetup s(true);
    s.root->SetSubMenuImages(MakeImages(&s.owner)); // reached through the view
    auto* item = new TDkCustomItem(&s.owner);
    item->SetImageIndex(0);
    s.root->Add(item);
    TDkItemViewer* viewer = s.view->Find(item);
    EXPECT_EQ(Measure(viewer), QSize(23, 22)); // 6 + 16 + 1 by 16 + 6
    item->SetItemStyle(item->ItemStyle() | dk::StyleSubmenu);
    item->SetOptions(dkoDropdownArrow);
    EXPECT_EQ(Measure(viewer), QSize(31, 22));
    item->SetItemStyle(item->ItemStyle() | dk::StyleCombo);
    EXPECT_EQ(Measure(viewer), QSize(34, 22));
    s.view->SetOrientation(dkvoVertical); // the plain arrow grows downwards
    item->SetItemStyle(item->ItemStyle() & ~dk::StyleCombo);
    EXPECT_EQ(Measure(viewer), QSize(23, 30));
}

// --- The mouse inside the menu loop ----------------------------------------------------

class ViewerMouse : public ::testing::Test {
protected:
    ViewerMouse() {
        button_ = s_.Add("Button", 60, 20);
        s_.view->ValidatePositions();
        s_.view->SetState(vsModal, true);
        viewer_ = s_.view->Find(button_);
        s_.view->Select(viewer_);
        s_.view->SetMouseOverSelected(true);
    }
    ViewSetup s_{true};
    FixedItem* button_ = nullptr;
    TDkItemViewer* viewer_ = nullptr;
    bool onMenu_ = false;
};

TEST_F(ViewerMouse, ASplitButtonsArrowIsItsLastElevenPixels) {
    button_->SetItemStyle(button_->ItemStyle() | dk::StyleSubmenu | dk::StyleCombo);
    EXPECT_TRUE(viewer_->IsPtInButtonPart(48, 5));
    EXPECT_FALSE(viewer_->IsPtInButtonPart(49, 5));
    button_->SetItemStyle(button_->ItemStyle() & ~dk::StyleCombo);
    EXPECT_FALSE(viewer_->IsPtInButtonPart(5, 5)); // a plain submenu has no button part
}

TEST_F(ViewerMouse, OnlyAPressAndReleaseOnAnEnabledButtonEndsTheLoopWithIt) {
    viewer_->MouseUp(10, 10, onMenu_); // no press before it
    EXPECT_FALSE(s_.view->ModalEnded());
    viewer_->MouseDown(false, 10, 10, onMenu_);
    EXPECT_TRUE(s_.view->ViewerCapture());
    viewer_->MouseUp(10, 10, onMenu_);
    EXPECT_FALSE(s_.view->ViewerCapture());
    ASSERT_TRUE(s_.view->ModalEnded());
    EXPECT_EQ(s_.view->DoneAction().Kind, TDkDoneAction::ClickItem);
    EXPECT_EQ(s_.view->DoneAction().Item, button_);
    EXPECT_FALSE(s_.view->DoneAction().PlaySound); // the loop's own tool bar is silent
    // Released off the button, or pressed while it is disabled: the loop
    // ends with nothing clicked.
    for (const bool disabled : {false, true}) {
        s_.view->ResetModal();
        s_.view->SetState(vsModal, true);
        button_->SetEnabled(!disabled);
        viewer_->MouseDown(false, 10, 10, onMenu_);
        if (!disabled) {
            viewer_->MouseUp(70, 10, onMenu_);
        }
        EXPECT_FALSE(s_.view->ViewerCapture()) << disabled;
        EXPECT_TRUE(s_.view->ModalEnded()) << disabled;
        EXPECT_EQ(s_.view->DoneAction().Kind, TDkDoneAction::None) << disabled;
    }
}

TEST(ViewerMouseInMenus, AMenuItemClicksOnReleaseWithTheSound) {
    ViewSetup parent(true);
    parent.view->SetState(vsModal, true);
    ViewSetup menu(false);
    auto* popup =
        new TestView(&menu.window, parent.view, menu.root, &menu.window, false, false, false);
    FixedItem* item = menu.Add("Item", 80, 20);
    TDkItemViewer* viewer = popup->Find(item);
    popup->ValidatePositions();
    popup->Select(viewer);
    bool onMenu = false;
    viewer->MouseDown(false, 5, 5, onMenu);
    EXPECT_FALSE(popup->ViewerCapture()); // menus act on the release only
    viewer->MouseUp(5, 5, onMenu);
    ASSERT_TRUE(parent.view->ModalEnded());
    EXPECT_EQ(parent.view->DoneAction().Item, item);
    EXPECT_TRUE(parent.view->DoneAction().PlaySound);
    // Clicks-transparent items never end the loop.
    parent.view->ResetModal();
    item->SetItemStyle(item->ItemStyle() | dk::StyleClicksTransparent);
    viewer->MouseUp(5, 5, onMenu);
    EXPECT_FALSE(parent.view->ModalEnded());
}

} // namespace
