#include "effects/gui/bitmaps/VfxContainers.h"
#include "effects/gui/controls/VfxPanels.h"
#include "effects/gui/regions/VfxFormShape.h"
#include "effects/gui/regions/VfxRegionMask.h"

#include "EffectsGuiSupport.h"
#include "RegionTestSupport.h"
#include "WaitUntil.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace fx;
using plat::TRect;

namespace {

// A top-level form with its shape component, the one fallback notice
// collected instead of printed.
class FormShape : public ::testing::Test {
protected:
    FormShape() : noticeScope_(&notice_) {
        notice_.Report = [this](const QString& text) { notices.push_back(text); };
        form = std::make_unique<QWidget>();
        form->resize(100, 100);
        shape = new TVfxFormShape(form.get());
        shape->Region().SetShape(rsRect);
    }

    // Presses, moves and releases the left button at form positions.
    void Drag(QWidget* on, QPoint from, QPoint to) {
        const QPoint global = on->mapToGlobal(from);
        QMouseEvent press(QEvent::MouseButtonPress, from, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(on, &press);
        const QPoint delta = to - from;
        QMouseEvent move(QEvent::MouseMove, to, global + delta, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(on, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, global + delta, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(on, &release);
    }

    KitFixture kit;
    std::vector<QString> notices;
    std::unique_ptr<QWidget> form;
    TVfxFormShape* shape; // owned by the form

private:
    TVfxShapeNotice notice_;
    ScopedVfxShapeNotice noticeScope_;
};

TEST_F(FormShape, MasksAnOffscreenFormAndHidesItsCaption) {
    shape->Region().SetShape(rsElliptic);
    shape->SetShowFormCaption(false);
    EXPECT_TRUE(form->mask().isEmpty()); // nothing before the component is loaded
    shape->Loaded();
    const QRegion ellipse = VfxEllipticRegion(TRect(-1, -1, 101, 101));
    EXPECT_EQ(form->mask(), ellipse);
    EXPECT_EQ(shape->WindowRegion(), ellipse);
    EXPECT_EQ(shape->ShapeRect(), TRect(-1, -1, 101, 101));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    // the window system keeps the window rectangular, and it is said once
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].contains("offscreen")) << notices[0].toStdString();
    shape->Region().SetShape(rsDiamond);
    TVfxShapeParams diamond;
    diamond.Shape = rsDiamond;
    EXPECT_EQ(form->mask(), VfxShapeRegion(diamond, TRect(-1, -1, 101, 101)));
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(FormShape, CaptionComesBackButAFramelessFormStaysFrameless) {
    shape->Loaded();
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    shape->SetShowFormCaption(false);
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    shape->SetShowFormCaption(true);
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::FramelessWindowHint));

    QWidget bare(nullptr, Qt::FramelessWindowHint);
    bare.resize(50, 50);
    auto* other = new TVfxFormShape(&bare);
    other->Loaded();
    EXPECT_TRUE(bare.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(bare.mask().isEmpty());
}

TEST_F(FormShape, ShadowWidensTheMaskRightAndDown) {
    shape->Region().Shadow().SetStyle(hssSolid);
    shape->Loaded();
    const QRegion mask = form->mask();
    EXPECT_TRUE(mask.contains(QPoint(-1, -1)));
    EXPECT_TRUE(mask.contains(QPoint(106, 106)));
    EXPECT_FALSE(mask.contains(QPoint(107, 50)));
    EXPECT_FALSE(mask.contains(QPoint(0, 103)));
}

TEST_F(FormShape, FollowsTheFormsSizeAndState) {
    form->show();
    shape->Loaded();
    form->resize(160, 70);
    ASSERT_TRUE(WaitUntil([&] { return form->mask().boundingRect() == QRect(-1, -1, 162, 72); }));
    form->showMinimized();
    ASSERT_TRUE(WaitUntil([&] { return form->isMinimized(); }));
    EXPECT_TRUE(form->mask().isEmpty()); // a minimized form keeps only its (empty) caption band
    form->showNormal();
    ASSERT_TRUE(WaitUntil([&] { return !form->mask().isEmpty(); }));
}

TEST_F(FormShape, DisablingGivesTheFormItsRectangleAndFrameBack) {
    shape->SetShowFormCaption(false);
    shape->Loaded();
    ASSERT_FALSE(form->mask().isEmpty());
    shape->SetEnabled(false);
    EXPECT_TRUE(form->mask().isEmpty());
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    shape->Region().SetShape(rsStar); // no longer shapes the form
    EXPECT_TRUE(form->mask().isEmpty());
}

TEST_F(FormShape, PaintsFillShadowAndBorderInsideTheShape) {
    shape->Region().SetShape(rsElliptic);
    shape->Region().Shadow().SetStyle(hssSolid);
    shape->Region().Shadow().SetColor(plat::clBlue);
    shape->FillObject().SetStyle(sfBrush);
    shape->FillObject().SetBrush(QBrush(Qt::red));
    shape->Loaded();
    const QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(47, 47), 0xFFFF0000u); // the fill
    EXPECT_EQ(image.pixel(0, 47), kBlack);       // the border, 1 pixel inside the form
    EXPECT_EQ(image.pixel(90, 90), 0xFF0000FFu); // the shadow below the ellipse's edge
}

TEST_F(FormShape, BitmapShapeSizesTheFormAndPaintsTheBorderBitmap) {
    QImage bitmap(50, 40, QImage::Format_RGB32);
    bitmap.fill(Qt::green);
    shape->Region().Mask().SetRegion(QRegion(0, 0, 50, 40, QRegion::Ellipse));
    shape->Region().Mask().SetBorderBitmap(bitmap);
    shape->Region().SetShape(rsBitmap);
    shape->Loaded();
    EXPECT_EQ(form->size(), QSize(56, 46)); // the bitmap and the shadow depth
    EXPECT_EQ(form->mask(), QRegion(0, 0, 50, 40, QRegion::Ellipse));
    EXPECT_EQ(shape->BackgroundBitmap(), &shape->Region().Mask().BorderBitmap());
    const QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(25, 20), 0xFF00FF00u);
    shape->SetUseRgnBitmap(false);
    EXPECT_EQ(shape->BackgroundBitmap(), nullptr);
}

// A transparent kit panel on a form whose shape paints a background shows
// its part of that background, through the panel's effects.
TEST_F(FormShape, ATransparentPanelOnTheFormShowsTheShapesBackground) {
    shape->FillObject().SetStyle(sfBrush);
    shape->FillObject().SetBrush(QBrush(Qt::red));
    shape->Loaded();
    auto* panel = new TVfxCustomPanel(form.get());
    panel->setGeometry(30, 40, 20, 10);
    EXPECT_FALSE(panel->HasBackgroundSource()); // not transparent
    panel->SetTransparentFlag(true);
    ASSERT_TRUE(panel->HasBackgroundSource());
    EXPECT_EQ(panel->BackgroundSourceBitmap(), shape->BackgroundBitmap());
    EXPECT_EQ(panel->BackgroundSourceOffset(QPoint(1, 2)), QPoint(31, 42));
    const auto at = [&](QPoint p) {
        return form->grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(p);
    };
    EXPECT_EQ(at(QPoint(35, 45)), 0xFFFF0000u);
    panel->BitmapEffect().SetInvert(true);
    EXPECT_EQ(at(QPoint(35, 45)), 0xFF00FFFFu);
    EXPECT_EQ(at(QPoint(20, 20)), 0xFFFF0000u); // the form around the panel
    // Without a background the panel is filled as usual.
    shape->FillObject().SetStyle(sfNone);
    EXPECT_FALSE(panel->HasBackgroundSource());
}

TEST_F(FormShape, FreeSpotsDragTheFormAndControlsKeepTheirClicks) {
    auto* button = new QPushButton("OK", form.get());
    button->setGeometry(10, 10, 40, 20);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    auto* label = new QLabel("text", form.get());
    label->setGeometry(10, 60, 40, 20);
    form->move(200, 200);
    form->show();
    shape->Loaded();

    Drag(button, {5, 5}, {6, 6});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->pos(), QPoint(200, 200));

    Drag(label, {5, 5}, {25, 25}); // an enabled control: no drag either
    EXPECT_EQ(form->pos(), QPoint(200, 200));

    Drag(form.get(), {80, 40}, {100, 70});
    EXPECT_EQ(form->pos(), QPoint(220, 230));

    shape->SetFormDragable(false);
    Drag(form.get(), {80, 40}, {100, 70});
    EXPECT_EQ(form->pos(), QPoint(220, 230));
}

} // namespace
