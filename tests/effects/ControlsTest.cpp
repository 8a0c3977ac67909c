#include "effects/gui/controls/VfxControls.h"
#include "effects/gui/controls/VfxPanels.h"

#include "EffectsGuiSupport.h"
#include "PixelPicture.h"

#include "platform/gui/KitMessage.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace fx;

namespace {

QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(0xFFFF00FF);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// What the window shows on the screen once its repaints have run.
QImage OnScreen(QWidget& window) {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
    return window.screen()
        ->grabWindow(window.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The bounding box of the black pixels, leaving out the outermost ring.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 1; y < image.height() - 1; ++y) {
        for (int x = 1; x < image.width() - 1; ++x) {
            if (image.pixel(x, y) == qRgb(0, 0, 0)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

TEST(Control, BoundsChangesReportWhatMoved) {
    TVfxControl control;
    control.setGeometry(10, 10, 20, 20);
    std::vector<unsigned> reported;
    control.OnBoundsChanged = [&](TVfxControl*, unsigned flags) { reported.push_back(flags); };
    control.SetBounds(15, 10, 20, 20);
    control.SetBounds(15, 10, 25, 20);
    control.SetBounds(0, 0, 5, 5);
    control.SetBounds(0, 0, 5, 5);
    EXPECT_EQ(reported, (std::vector<unsigned>{kVfxBoundsPosition, kVfxBoundsSize,
                                               kVfxBoundsPosition | kVfxBoundsSize}));
}

class Label : public ::testing::Test, public KitFixture {};

TEST_F(Label, OpaqueFillsItsColourTransparentLeavesTheParent) {
    QWidget parent;
    parent.resize(40, 20);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, Qt::green);
    parent.setPalette(palette);
    TVfxBaseLabel label(&parent);
    EXPECT_EQ(label.size(), QSize(30, 30)); // before a caption sizes it
    label.SetAutoSize(false);
    label.setGeometry(0, 0, 40, 20);
    EXPECT_EQ(Render(parent).pixel(39, 19), qRgb(0, 255, 0));
    label.SetTransparent(false);
    label.SetColor(plat::clRed);
    EXPECT_EQ(Render(parent).pixel(39, 19), qRgb(255, 0, 0));
}

TEST_F(Label, DrawsItsCaptionInsideTheBevelWhereAlignmentSays) {
    TVfxBaseLabel label;
    label.SetTransparent(false);
    label.SetColor(plat::clWhite);
    label.SetFontColor(plat::clBlack);
    label.SetCaption(QStringLiteral("Ok"));
    label.Bevel().SetStyleOuter(bvLowered);
    const QSize natural = label.size();
    label.SetAutoSize(false);
    label.resize(natural.width() + 40, natural.height() + 20);
    const QRect topLeft = InkBox(Render(label));
    ASSERT_FALSE(topLeft.isEmpty());
    label.SetAlignment(agBottomRight);
    const QRect bottomRight = InkBox(Render(label));
    EXPECT_EQ(bottomRight.topLeft() - topLeft.topLeft(), QPoint(40, 20));
}

// The accelerator arrives as the platform's dialog-character message, which
// the window's key router sends; the label takes no key of its own, so Alt
// with its letter does nothing without the router.
TEST_F(Label, AcceleratorGivesTheFocusControlTheFocus) {
    QWidget form;
    auto* label = new TVfxBaseLabel(&form);
    auto* edit = new QLineEdit(&form);
    auto* other = new QLineEdit(&form);
    label->SetCaption(QStringLiteral("&Name"));
    label->SetFocusControl(edit);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    other->setFocus();
    QTest::keyClick(other, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(form.focusWidget(), other);
    for (const auto& [ch, result] : {std::pair{u'x', 0}, std::pair{u'N', 1}}) {
        plat::KitMessageEvent message(plat::kDialogCharMessage, ch);
        QCoreApplication::sendEvent(label, &message);
        EXPECT_EQ(message.Result, result) << char(ch);
    }
    EXPECT_EQ(form.focusWidget(), edit);
    other->setFocus();
    label->SetShowAccelChar(false);
    EXPECT_FALSE(label->DialogChar(u'N'));
    label->SetShowAccelChar(true);
    edit->setEnabled(false);
    EXPECT_FALSE(label->DialogChar(u'N'));
    EXPECT_EQ(form.focusWidget(), other);
}

TEST_F(Label, BlinksOnAnApplicationTimer) {
    TVfxBaseLabel label;
    label.SetBlinkIntervals(700, 350);
    label.SetBlinking(true);
    ASSERT_TRUE(label.Blinking());
    EXPECT_EQ(app.FreeTimerSlots(), TVfxApplication::kTimerSlots - 1);
    QString phases;
    for (int tick = 0; tick < 30; ++tick) {
        Ticks(1);
        phases += label.VisiblePhase() ? u'1' : u'0';
    }
    // The first tick hides it; each phase then lasts until the pool's tick
    // count is a multiple of its interval's ticks (7 hidden, 14 visible).
    EXPECT_EQ(phases, QStringLiteral("000000011111110000000111111100"));
    label.SetBlinking(false);
    EXPECT_TRUE(label.VisiblePhase());
    EXPECT_EQ(app.FreeTimerSlots(), TVfxApplication::kTimerSlots);
}

// Counts the repaints it asks for.
class CountingBaseLabel : public TVfxBaseLabel {
public:
    using TVfxBaseLabel::TVfxBaseLabel;
    int invalidated = 0;

protected:
    void Invalidate() override { ++invalidated; }
};

TEST_F(Label, ChangesOfItsImageListRepaintUntilTheListIsGone) {
    CountingBaseLabel label;
    auto list = std::make_unique<TVfxBitmapList>();
    label.ImageList().SetImageList(list.get());
    label.invalidated = 0;
    list->AddItem();
    EXPECT_EQ(label.invalidated, 1);
    label.ImageList().SetListIndex(3);
    EXPECT_EQ(label.invalidated, 2);
    list.reset();
    EXPECT_EQ(label.ImageList().ImageList(), nullptr);
    TVfxBitmapList other;
    label.ImageList().SetImageList(&other);
    label.ImageList().SetImageList(nullptr);
    label.invalidated = 0;
    other.AddItem();
    EXPECT_EQ(label.invalidated, 0);
}

// A status bar that moves its labels' text down.
class LowBar : public TVfxCustomStatusBar {
public:
    using TVfxCustomStatusBar::TVfxCustomStatusBar;
    int ExtraTextOffset() const override { return 6; }
};

TEST_F(Label, OnAStatusBarTheTextMovesDown) {
    TVfxCustomPanel plainParent;
    LowBar bar;
    for (QWidget* parent : {static_cast<QWidget*>(&plainParent), static_cast<QWidget*>(&bar)}) {
        parent->resize(100, 40);
        auto* label = new TVfxBaseLabel(parent);
        label->SetFontColor(plat::clBlack);
        label->SetCaption(QStringLiteral("Text"));
        label->SetAutoSize(false);
        label->resize(100, 40);
    }
    EXPECT_EQ(InkBox(Render(bar)).top(), InkBox(Render(plainParent)).top() + 6);
}

// A kit control with a background bitmap of its own.
class Backdrop : public TVfxCustomControl {
public:
    explicit Backdrop(QImage image) : image_(std::move(image)) { resize(image_.size()); }
    const QImage* BackgroundSourceBitmap() const override { return &image_; }
    bool HasBackgroundSource() const override { return true; }
    // Changed behind the panels' backs (no repaint, no change notice).
    QImage& Picture() { return image_; }

private:
    QImage image_;
};

TEST(Panel, ATransparentPanelShowsItsPartOfTheBackground) {
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            picture.setPixel(x, y, qRgb(x * 5, y * 5, 0));
        }
    }
    Backdrop backdrop(picture);
    auto* panel = new TVfxCustomPanel(&backdrop);
    panel->setGeometry(10, 5, 20, 10);
    EXPECT_FALSE(panel->HasBackgroundSource());
    EXPECT_EQ(Render(*panel).pixel(0, 0), qRgb(0xD4, 0xD0, 0xC8));
    panel->SetTransparentFlag(true);
    ASSERT_TRUE(panel->HasBackgroundSource());
    EXPECT_EQ(panel->BackgroundSourceOffset(QPoint(1, 2)), QPoint(11, 7));
    const QImage shown = Render(*panel);
    EXPECT_EQ(shown.pixel(0, 0), picture.pixel(10, 5));
    EXPECT_EQ(shown.pixel(19, 9), picture.pixel(29, 14));
}

// Without a background source a transparent panel shows its parent's
// background (in mode 0) or whatever lies behind it (mode 1, a see-through
// window: here a yellow sibling below it); never pixels nobody painted.
TEST(Panel, WithoutABackgroundSourceTheParentShows) {
    const QRgb red = qRgb(255, 0, 0);
    const QRgb green = qRgb(0, 255, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb yellow = qRgb(255, 255, 0);
    const struct {
        const char* name;
        bool kitParent;
        bool transparent;
        int mode;
        QRgb overSibling;
        QRgb beside;
    } cases[] = {
        {"opaque", false, false, 0, red, red},
        {"opaque in mode 1", false, false, 1, red, red},
        {"parent's brush", false, true, 0, green, green},
        {"kit parent's colour", true, true, 0, blue, blue},
        {"see-through", false, true, 1, yellow, green},
        {"see-through on a kit parent", true, true, 1, yellow, blue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget plain;
        plain.setAutoFillBackground(true);
        QPalette palette = plain.palette();
        palette.setColor(QPalette::Window, Qt::green);
        plain.setPalette(palette);
        TVfxCustomControl kit;
        kit.SetColor(plat::clBlue);
        QWidget& parent = c.kitParent ? static_cast<QWidget&>(kit) : plain;
        parent.resize(60, 40);
        auto* below = new QWidget(&parent);
        below->setAutoFillBackground(true);
        palette.setColor(QPalette::Window, Qt::yellow);
        below->setPalette(palette);
        below->setGeometry(20, 10, 20, 20);
        auto* panel = new TVfxCustomPanel(&parent);
        panel->setGeometry(10, 5, 40, 30);
        panel->SetColor(plat::clRed);
        // Shown red first: whatever is not painted afterwards stays red.
        parent.show();
        const QImage before = OnScreen(parent);
        ASSERT_EQ(before.pixel(30, 20), red);
        panel->SetTransparentMode(c.mode);
        panel->SetTransparentFlag(c.transparent);
        ASSERT_FALSE(panel->HasBackgroundSource());
        const QImage shown = OnScreen(parent);
        EXPECT_EQ(shown.pixel(30, 20), c.overSibling);
        EXPECT_EQ(shown.pixel(12, 7), c.beside);
    }
}

// A panel with a bitmap effect shows its part of the background through the
// effect; a buffered effect keeps its result and shows it again until the
// panel's size changes. Skipping the effects copies the background plainly.
TEST(Panel, ABufferedEffectIsPaintedFromItsKeptResultUntilAResize) {
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            picture.setPixel(x, y, qRgb(x * 5, y * 5, 90));
        }
    }
    const auto inverted = [](QRgb c) { return ~c & 0xFFFFFFu; };
    Backdrop backdrop(picture);
    auto* panel = new TVfxCustomPanel(&backdrop);
    panel->setGeometry(10, 5, 20, 10);
    panel->SetTransparentFlag(true);
    backdrop.show(); // size changes reach the panel at once
    TVfxBitmapEffectObject& effect = panel->BitmapEffect();
    effect.SetInvert(true);
    effect.SetBuffered(true);
    // the effect path reads a 24-bit copy; the parent's picture stays as it is
    ASSERT_EQ(panel->BackgroundSourceBitmap()->format(), QImage::Format_BGR888);
    EXPECT_EQ(backdrop.Picture().format(), QImage::Format_RGB32);
    EXPECT_FALSE(effect.BufferValid());

    const auto check = [&](QRgb atOrigin, QRgb atEnd, const char* when) {
        const QImage shown = Render(*panel);
        EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFFu, atOrigin) << when;
        EXPECT_EQ(shown.pixel(19, 9) & 0xFFFFFFu, atEnd) << when;
    };
    check(inverted(picture.pixel(10, 5)), inverted(picture.pixel(29, 14)), "first paint");
    EXPECT_TRUE(effect.BufferValid());
    backdrop.Picture().fill(qRgb(0, 0, 0));
    check(inverted(picture.pixel(10, 5)), inverted(picture.pixel(29, 14)), "kept result");
    panel->resize(21, 10);
    EXPECT_FALSE(effect.BufferValid());
    check(0xFFFFFFu, 0xFFFFFFu, "after the resize");
    panel->SetSkipEffects(true);
    check(0u, 0u, "effects skipped");
    // Without the buffer each paint draws anew.
    panel->SetSkipEffects(false);
    effect.SetBuffered(false);
    backdrop.Picture().fill(qRgb(0, 0, 255));
    check(0xFFFF00u, 0xFFFF00u, "unbuffered");
}

TEST(BevelPanel, ChildrenStayInsideTheBevel) {
    TVfxCustomBevelPanel panel;
    panel.resize(60, 40);
    auto* layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* child = new QWidget;
    layout->addWidget(child);
    panel.Bevel().SetStyleOuter(bvRaised);
    panel.Bevel().SetWidthOuter(2);
    panel.Bevel().SetBorderInnerWidth(1);
    layout->activate();
    EXPECT_EQ(child->geometry(), QRect(3, 3, 54, 34));
}

TEST(WindowedControl, FlatBorderFramesFollowTheFocus) {
    TVfxCustomControl control;
    control.resize(10, 8);
    control.SetFlatBorder(true);
    control.SetColor(plat::clWhite);
    const auto picture = [&] { return PixelPicture(Render(control)).join(u'/'); };
    // normal: two button-face rings; focused: shadow and black rings inside light
    const QString normal = picture();
    EXPECT_EQ(
        normal,
        "FFFFFFFFFF/FFFFFFFFFF/FFWWWWWWFF/FFWWWWWWFF/FFWWWWWWFF/FFWWWWWWFF/FFFFFFFFFF/FFFFFFFFFF");
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(&control, &in);
    EXPECT_TRUE(control.Entered());
    EXPECT_EQ(
        picture(),
        "GGGGGGGGGW/GKKKKKKKFW/GKWWWWWWFW/GKWWWWWWFW/GKWWWWWWFW/GKWWWWWWFW/GFFFFFFFFW/WWWWWWWWWW");
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(&control, &out);
    EXPECT_FALSE(control.Entered());
    EXPECT_EQ(picture(), normal);
}

} // namespace
