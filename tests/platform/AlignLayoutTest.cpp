#include "platform/gui/AlignLayout.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

using plat::Align;
using plat::AlignLayout;

namespace {

// A form of 200 x 100 whose children have fixed extents; children are made
// in the order given, so the order within an alignment is the creation order.
class AlignLayoutTest : public ::testing::Test {
protected:
    AlignLayoutTest() : layout_(new AlignLayout(&form_)) { form_.resize(200, 100); }

    QWidget* Add(Align align, int extent) {
        auto* child = new QWidget(&form_);
        const bool across = align == Align::Top || align == Align::Bottom;
        child->resize(across ? 10 : extent, across ? extent : 10);
        child->show();
        layout_->AddWidget(child, align);
        return child;
    }

    void LayOut() { layout_->setGeometry(QRect(0, 0, 200, 100)); }
    void LayOutPosted() { QCoreApplication::sendPostedEvents(&form_, QEvent::LayoutRequest); }

    // The geometries of the widgets as "x y w h" texts.
    static QStringList Geometry(std::initializer_list<const QWidget*> widgets) {
        QStringList out;
        for (const QWidget* w : widgets) {
            const QRect g = w->geometry();
            out << QString("%1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
        }
        return out;
    }

    QWidget form_;
    AlignLayout* layout_;
};

TEST_F(AlignLayoutTest, TopAndBottomFirstThenSidesThenClient) {
    // Made out of order: the alignment, not the creation, decides the pass.
    QWidget* client = Add(Align::Client, 0);
    QWidget* right = Add(Align::Right, 40);
    QWidget* bottom = Add(Align::Bottom, 20);
    QWidget* left = Add(Align::Left, 30);
    QWidget* top1 = Add(Align::Top, 10);
    QWidget* top2 = Add(Align::Top, 15);
    QWidget* bottom2 = Add(Align::Bottom, 5);
    QWidget* loose = Add(Align::None, 0);
    loose->setGeometry(5, 6, 7, 8);
    LayOut();
    EXPECT_EQ(Geometry({top1, top2, bottom, bottom2, left, right, client, loose}),
              QStringList({"0 0 200 10", "0 10 200 15", "0 80 200 20", "0 75 200 5", "0 25 30 50",
                           "160 25 40 50", "30 25 130 50", "5 6 7 8"}));
    EXPECT_EQ(layout_->sizeHint(), QSize(70, 50));
}

TEST_F(AlignLayoutTest, HiddenChildrenTakeNoRoomAndAlignmentsChange) {
    QWidget* top = Add(Align::Top, 10);
    QWidget* left = Add(Align::Left, 30);
    QWidget* client = Add(Align::Client, 0);
    layout_->setContentsMargins(2, 3, 4, 5);
    top->hide();
    LayOut();
    EXPECT_EQ(Geometry({left, client}), QStringList({"2 3 30 92", "32 3 164 92"}));

    top->show();
    layout_->SetAlign(left, Align::Right);
    LayOut();
    EXPECT_EQ(Geometry({top, left, client}),
              QStringList({"2 3 194 10", "166 13 30 82", "2 13 164 82"}));
}

TEST_F(AlignLayoutTest, TooSmallAFormLeavesTheClientEmptyNotNegative) {
    Add(Align::Top, 60);
    QWidget* bottom = Add(Align::Bottom, 60);
    QWidget* left = Add(Align::Left, 150);
    QWidget* right = Add(Align::Right, 150);
    QWidget* client = Add(Align::Client, 0);
    LayOut();
    EXPECT_EQ(Geometry({bottom, left, right}),
              QStringList({"0 40 200 60", "0 60 150 0", "50 60 150 0"}));
    EXPECT_EQ(client->geometry().size(), QSize(0, 0));
}

TEST_F(AlignLayoutTest, ResizingAnAlignedChildLaysTheFormOutAgain) {
    form_.show();
    QWidget* top = Add(Align::Top, 10);
    QWidget* client = Add(Align::Client, 0);
    layout_->activate();
    ASSERT_EQ(Geometry({client}), QStringList{"0 10 200 90"});
    top->resize(top->width(), 30);
    LayOutPosted();
    EXPECT_EQ(Geometry({top, client}), QStringList({"0 0 200 30", "0 30 200 70"}));
    top->hide();
    LayOutPosted();
    EXPECT_EQ(Geometry({client}), QStringList{"0 0 200 100"});
    // A child that was never sized gets its size hint once.
    auto* fresh = new QWidget(&form_);
    fresh->setMinimumHeight(12);
    fresh->show();
    layout_->InsertWidget(0, fresh, Align::Bottom);
    LayOutPosted();
    EXPECT_EQ(Geometry({fresh}), QStringList{"0 88 200 12"});
    delete fresh;
    LayOutPosted();
    EXPECT_EQ(Geometry({client}), QStringList{"0 0 200 100"});
    EXPECT_EQ(layout_->count(), 2);
}

// A bar that wraps: one row of 20 pixels per 100 pixels of items that do not
// fit, so it gets taller as it gets narrower. (A child that changes its
// extent while it is placed is covered by the dock tests.)
class WrappingBar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent*) override {
        const int rows = width() <= 0 ? 1 : (kItemsWidth + width() - 1) / width();
        if (height() != rows * 20) {
            resize(width(), rows * 20);
        }
    }

private:
    static constexpr int kItemsWidth = 250;
};

// A child whose extent settles only as the form shows (it answers the size
// it was placed at with another while it is not yet visible, so no resize
// event tells of the change) is placed again once it shows.
TEST_F(AlignLayoutTest, AChildThatChangesItsExtentAsItShowsIsPlacedAgain) {
    auto* bar = new WrappingBar(&form_);
    bar->resize(100, 60);
    layout_->AddWidget(bar, Align::Top);
    QWidget* client = Add(Align::Client, 0);
    form_.resize(300, 100);
    form_.show();
    LayOutPosted();
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 300, 20));
    EXPECT_EQ(client->geometry(), QRect(0, 20, 300, 80));
}

} // namespace
