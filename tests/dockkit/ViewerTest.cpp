// Item viewers: what they show, their sizes, the mouse inside the menu loop,
// and how views paint them.
#include "DataRows.h"
#include "ViewFixtures.h"

#include "GoldenPicture.h"
#include "PixelPicture.h"
#include "PlatformFakes.h"

#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"

#include "platform/gui/ImageList.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>

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

TEST(ImageAndCaption, ShowAsTheDisplayModeSays) {
    const std::map<QString, TDkItemDisplayMode> modes{{"default", nbdmDefault},
                                                      {"text only", nbdmTextOnly},
                                                      {"text only in menus", nbdmTextOnlyInMenus},
                                                      {"image and text", nbdmImageAndText}};
    for (const QStringList& row : DataRows("image-and-caption.txt", 5)) {
        SCOPED_ROW(row);
        ViewSetup s(row[0] == "toolbar");
        auto* item = new TDkCustomItem(&s.owner);
        item->SetCaption(QStringLiteral("&Open"));
        item->SetDisplayMode(modes.at(row[1]));
        item->SetImageIndex(row[2].toInt());
        item->SetOptions(row[3] == "1" ? dkoImageAboveCaption : 0);
        s.root->Add(item);
        TDkItemViewer* viewer = s.view->Find(item);
        EXPECT_EQ(viewer->ImageShown(), row[4].contains(u"image"));
        EXPECT_EQ(viewer->CaptionShown(), row[4].contains(u"caption"));
    }
}

TEST(ViewerSize, ToolbarButtonsMeasureImageArrowAndSplitPart) {
    ViewSetup s(true);
    auto* images = new plat::ImageList(16, 16, &s.owner);
    images->Add(QImage(16, 16, QImage::Format_ARGB32));
    s.root->SetSubMenuImages(images); // reached through the view
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

// --- Painting ------------------------------------------------------------------------

// Paints a block half a pixel wide at x = 2, rows 0..3.
class HairlineViewer final : public FixedViewer {
public:
    using FixedViewer::FixedViewer;
    void Paint(QPainter& canvas, const plat::TRect&, bool, bool, bool) override {
        canvas.fillRect(QRectF(2, 0, 0.5, 4), Qt::black);
    }
};

class HairlineItem final : public FixedItem {
public:
    HairlineItem(QObject* owner) : FixedItem(owner, "H", 6, 4) {}
    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override {
        return std::make_unique<HairlineViewer>(view, this, groupLevel);
    }
};

QImage PaintView(TDkView& view, QSize size, qreal ratio, const QRegion& region = QRegion()) {
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    view.PaintWindow(painter, region.isEmpty() ? QRegion(QRect(QPoint(), size)) : region);
    return image;
}

TEST(ViewPaint, TheOffScreenImageKeepsTheWindowsPixelRatio) {
    ViewSetup s(true);
    s.root->Add(new HairlineItem(&s.owner));
    const PixelLegend legend{{qRgb(0, 0, 0), 'K'}, {plat::ToQColor(plat::clBtnFace).rgb(), '.'}};
    // At ratio 2 the half pixel is one device pixel wide: nothing was scaled.
    const QImage sharp = PaintView(*s.view, QSize(6, 4), 2.0);
    EXPECT_EQ(PixelPicture(sharp, legend, QRect(0, 0, 12, 1)), QStringList{"....K......."});
    const QImage plain = PaintView(*s.view, QSize(6, 4), 1.0);
    EXPECT_EQ(PixelPicture(plain, legend, QRect(0, 0, 6, 1)), QStringList{"..K..."});
}

TEST(ViewPaint, OnlyViewersInTheRegionArePaintedEachClippedToItsBounds) {
    ViewSetup s(true);
    s.Add("A", 4, 2, Qt::red);
    s.Add("B", 4, 2, Qt::green);
    const PixelLegend legend{{qRgb(255, 0, 0), 'R'},
                             {qRgb(0, 255, 0), 'G'},
                             {plat::ToQColor(plat::clBtnFace).rgb(), '.'},
                             {qRgb(255, 0, 255), '-'}};
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(8, 2), 1.0), legend),
              (QStringList{"RRRRGGGG", "RRRRGGGG"}));
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(8, 2), 1.0, QRegion(5, 0, 3, 2)), legend),
              (QStringList{"-----GGG", "-----GGG"}));
    // Hidden viewers paint nothing; the background shows.
    s.root->Items(0)->SetVisible(false);
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(8, 2), 1.0), legend),
              (QStringList{"GGGG....", "GGGG...."}));
}

TEST(ViewPaint, AMenuSeparatorIsAnEtchedLineInsetTwelvePixels) {
    ViewSetup s(false);
    s.Add("A", 40, 4, Qt::white);
    TDkSeparatorItem* sep = s.AddSeparator();
    s.Add("B", 40, 4, Qt::white);
    s.view->ValidatePositions();
    const plat::TRect r = s.Bounds(sep);
    const QImage image = PaintView(*s.view, QSize(40, r.Bottom + 4), 1.0);
    const int line = r.Top + r.Height() / 2 - 1;
    const QStringList rows = PixelPicture(image, ClassicLegend(), QRect(0, line, 40, 2));
    EXPECT_EQ(rows, (QStringList{"FFFFFFFFFFFFGGGGGGGGGGGGGGGGFFFFFFFFFFFF",
                                 "FFFFFFFFFFFFWWWWWWWWWWWWWWWWFFFFFFFFFFFF"}));
    sep->SetBlank(true);
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(40, r.Bottom + 4), 1.0), ClassicLegend(),
                           QRect(0, line, 40, 2)),
              (QStringList{QString(40, u'F'), QString(40, u'F')}));
}

// One toolbar button 8 x 8 with a 4 x 4 image of a 2 x 2 black square.
class ButtonPaint : public ::testing::Test {
protected:
    ButtonPaint() {
        auto* images = new plat::ImageList(4, 4, &s_.owner);
        QImage cell(4, 4, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        for (int y = 1; y < 3; ++y) {
            for (int x = 1; x < 3; ++x) {
                cell.setPixel(x, y, qRgb(0, 0, 0));
            }
        }
        images->Add(cell);
        item_->SetImages(images);
        item_->SetImageIndex(0);
        s_.root->Add(item_);
        viewer_ = s_.view->Find(item_);
    }
    QStringList Paint(bool hot, bool pushed) {
        QImage image = BlankImage(9, 8);
        QPainter painter(&image);
        viewer_->Paint(painter, plat::TRect(0, 0, 9, 8), hot, pushed, true);
        return PixelPicture(image);
    }
    ViewSetup s_{true};
    TDkCustomItem* item_ = new TDkCustomItem(&s_.owner);
    TDkItemViewer* viewer_ = nullptr;
};

TEST_F(ButtonPaint, TheImageSitsInTheMiddleEmbossedWhenDisabledOnARaisedOrSunkenFace) {
    EXPECT_EQ(Paint(false, false),
              (QStringList{".........", ".........", ".........", "...KK....", "...KK....",
                           ".........", ".........", "........."}));
    // Hot buttons are raised; pushed ones sunken with the image shifted.
    EXPECT_EQ(Paint(true, false),
              (QStringList{"WWWWWWWWG", "W.......G", "W.......G", "W..KK...G", "W..KK...G",
                           "W.......G", "W.......G", "GGGGGGGGG"}));
    EXPECT_EQ(Paint(true, true), (QStringList{"GGGGGGGGW", "G.......W", "G.......W", "G.......W",
                                              "G...KK..W", "G...KK..W", "G.......W", "WWWWWWWWW"}));
    item_->SetEnabled(false);
    EXPECT_EQ(Paint(false, false),
              (QStringList{".........", ".........", ".........", "...GG....", "...GGW...",
                           "....WW...", ".........", "........."}));
}

// A sheet of buttons with captions: checked (dithered inside a sunken face),
// split buttons hot and pushed (the arrow part raised or sunken beside the
// face), an etched line before an idle split button's arrow, drop-down arrows
// enabled and disabled, the caption beside or below the image.
TEST_F(ButtonPaint, StatesGoldenPicture) {
    item_->SetCaption(QStringLiteral("&Ab"));
    item_->SetDisplayMode(nbdmImageAndText);
    QImage sheet = BlankImage(4 * 30, 3 * 22);
    QPainter painter(&sheet);
    const auto cell = [&](int column, int row, bool hot, bool pushed) {
        painter.save();
        painter.translate(column * 30, row * 22);
        viewer_->Paint(painter, plat::TRect(0, 0, 30, 22), hot, pushed, true);
        painter.restore();
    };
    item_->SetChecked(true);
    cell(0, 0, false, false);
    cell(1, 0, true, false);
    item_->SetChecked(false);
    item_->SetItemStyle(item_->ItemStyle() | dk::StyleSubmenu | dk::StyleCombo);
    cell(2, 0, false, false);
    cell(3, 0, true, false);
    cell(0, 1, true, true);
    item_->SetItemStyle(item_->ItemStyle() & ~dk::StyleCombo);
    item_->SetOptions(item_->Options() | dkoDropdownArrow);
    cell(1, 1, true, false);
    item_->SetEnabled(false);
    cell(2, 1, false, false);
    item_->SetEnabled(true);
    item_->SetOptions(item_->Options() | dkoImageAboveCaption);
    cell(3, 1, false, true);
    item_->SetItemStyle(item_->ItemStyle() & ~dk::StyleSubmenu);
    cell(0, 2, true, false);
    item_->SetDisplayMode(nbdmTextOnly);
    cell(1, 2, false, false);
    painter.end();
    EXPECT_TRUE(
        MatchesGolden(sheet, QStringLiteral(QV_TEST_DATA_DIR "/dockkit/plain-buttons.txt")));
}

} // namespace
