// Themed tool bars and the menu bar: their kinds, colours, frames and
// borders from the theme, what they pass to their children, the dock's
// picture behind them, the themed dock beside the plain one, a theme switch while one floats, and
// the pictures each theme makes of them and of the chevron's pop-up.
#include "dockkit/bars/DkThemedChevron.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkThemedFloatingParent.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/themes/DkThemedItem.h"

#include "DataRows.h"
#include "DockFixtures.h"
#include "GoldenPicture.h"
#include "KitThemeFixtures.h"
#include "ThemeFixtures.h"

#include "platform/gui/Metrics.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>

#include <gtest/gtest.h>

#include <map>

using namespace plat;

namespace {

enum class Where { Docked, DockedLeft, Floating, OnForm };

class ThemedBars : public ::testing::Test {
protected:
    // A bar of `count` image buttons on `form` (the fixture's when null).
    TDkxToolbar* AddBar(Where where, int count = 3, QWidget* form = nullptr) {
        auto* bar = new TDkxToolbar(form != nullptr ? form : &f.form);
        bar->SetImages(images);
        for (int i = 0; i < count; ++i) {
            auto* item = new TDkxItem(bar);
            item->SetImageIndex(0);
            item->SetChecked(i == 1);
            bar->Items()->Add(item);
        }
        Place(bar, where);
        return bar;
    }
    void Place(TDkxToolbar* bar, Where where) {
        switch (where) {
        case Where::Docked:
            bar->SetCurrentDock(f.top);
            break;
        case Where::DockedLeft:
            bar->SetCurrentDock(f.left);
            break;
        case Where::Floating:
            bar->SetCaption(QString()); // no text in the pictures
            bar->SetFloatingPosition(QPoint(400, 300));
            bar->SetFloatingState(true);
            break;
        case Where::OnForm:
            bar->move(10, 200);
            bar->show();
            break;
        }
        f.Settle();
    }
    static QImage Picture(QWidget* widget) {
        QImage image = BlankImage(widget->width(), widget->height());
        widget->render(&image);
        return image;
    }

    KitThemes themes;
    DockForm f;
    QObject owner;
    ImageList* images = MakeRimmedImages(&owner);
};

QColor WindowColor(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}

} // namespace

// --- Kinds and colours -----------------------------------------------------------------------

TEST_F(ThemedBars, AnswerTheirKindByPlacementMenuBarAndItemTransparency) {
    const std::map<QString, TDkxItemTransparency> transparencies{
        {"auto", itAuto}, {"enable", itEnable}, {"disable", itDisable}};
    for (const QStringList& row : DataRows("themed-bar-kinds.txt", 5)) {
        SCOPED_ROW(row);
        const unsigned kind = row[4].toUInt(nullptr, 16);
        TDkxToolbar* bar = AddBar(row[0] == "docked"     ? Where::Docked
                                  : row[0] == "floating" ? Where::Floating
                                                         : Where::OnForm,
                                  1);
        bar->SetMenuBar(row[1] == "1");
        bar->SetItemTransparency(transparencies.at(row[2]));
        bar->SetResizable(row[3] == "1");
        EXPECT_EQ(dk::GetViewKind(bar), kind);
        // The items are painted as that kind.
        auto* viewer = dynamic_cast<TDkxItemViewer*>(bar->View()->Viewers(0));
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->ItemInfo(false, false).ViewKind, kind);
        delete bar;
    }
}

TEST_F(ThemedBars, TakeTheThemesColourTheirOwnOrOnAFormTheirParents) {
    // The theme's colours show in the pictures; here a colour of the bar's
    // own, and on a form the form's as it changes.
    QPalette formPalette = f.form.palette();
    formPalette.setColor(QPalette::Window, QColor(0x33, 0x66, 0x99));
    f.form.setPalette(formPalette);
    themes.Select("Flat");
    TDkxToolbar* onForm = AddBar(Where::OnForm, 1);
    EXPECT_EQ(onForm->EffectiveColor(), Rgb(0x336699));
    TDkxToolbar* own = AddBar(Where::Docked, 1);
    own->SetColor(Rgb(0x102030));
    EXPECT_EQ(dk::GetEffectiveColor(own), Rgb(0x102030));
    themes.Select("Default");
    EXPECT_EQ(own->EffectiveColor(), Rgb(0x102030));
    formPalette.setColor(QPalette::Window, QColor(0x44, 0x55, 0x66));
    f.form.setPalette(formPalette);
    EXPECT_EQ(onForm->EffectiveColor(), Rgb(0x445566));
    // On a themed parent it asks that parent; docked it takes the theme's.
    auto* panel = new TDkxDockablePanel(&f.form);
    panel->SetColor(Rgb(0x0A0B0C));
    TDkxToolbar* onPanel = AddBar(Where::OnForm, 1, panel);
    EXPECT_EQ(onPanel->EffectiveColor(), Rgb(0x0A0B0C));
    Place(onForm, Where::Docked);
    EXPECT_EQ(onForm->EffectiveColor(), clBtnFace);
}

TEST_F(ThemedBars, PassTheirColourToChildrenThatFollowTheirParent) {
    TDkxToolbar* bar = AddBar(Where::Docked, 1);
    auto* follower = new QWidget;
    follower->setProperty("ParentColor", true);
    follower->setParent(bar);
    auto* own = new QWidget(bar);
    const auto follows = [&](uint32_t rgb) {
        return (WindowColor(follower).rgb() & 0xFFFFFFu) == rgb &&
               (follower->palette().color(QPalette::Base).rgb() & 0xFFFFFFu) == rgb;
    };
    EXPECT_TRUE(follows(0xD4D0C8));
    bar->SetColor(Rgb(0x123456));
    EXPECT_TRUE(follows(0x123456));
    // A child that comes while the bar has a colour of its own gets it too.
    auto* late = new QWidget;
    late->setProperty("ParentColor", true);
    late->setParent(bar);
    EXPECT_EQ(WindowColor(late).rgb() & 0xFFFFFFu, 0x123456u);
    bar->SetColor(clNone);
    themes.Select("Flat");
    EXPECT_TRUE(follows(0xDBD8D1));
    // Floating changes nothing in Flat; on a form the form's colour follows.
    Place(bar, Where::Floating);
    EXPECT_TRUE(follows(0xDBD8D1));
    bar->SetFloatingState(false);
    EXPECT_TRUE(follows(WindowColor(&f.form).rgb() & 0xFFFFFFu));
    EXPECT_FALSE(own->testAttribute(Qt::WA_SetPalette))
        << "children that do not follow keep theirs";
}

// --- Frames and borders ----------------------------------------------------------------------

TEST_F(ThemedBars, DockedFramesHoldTheThemesBorderAndTheDragHandle) {
    const std::map<QString, TDkDragHandleStyle> handles{
        {"single", dhSingle}, {"double", dhDouble}, {"none", dhNone}};
    for (const QStringList& row : DataRows("themed-bar-frames.txt", 5)) {
        SCOPED_ROW(row);
        const QList<int> m = Numbers(row[4]);
        const QMargins margins(m[0], m[1], m[2], m[3]);
        const bool closeButton = row[2] == "1";
        const bool allowDrag = row[3] == "1";
        TDkxToolbar* bar = AddBar(row[0] == "left" ? Where::DockedLeft : Where::Docked, 1);
        bar->SetDragHandleStyle(handles.at(row[1]));
        bar->SetCloseButtonWhenDocked(closeButton);
        bar->CurrentDock()->SetAllowDrag(allowDrag);
        f.Settle();
        EXPECT_EQ(bar->contentsMargins(), margins);
        EXPECT_EQ(bar->DockedFrameSize(),
                  QSize(margins.left() + margins.right(), margins.top() + margins.bottom()));
        dk::TDkxToolbarInfo info;
        bar->FillToolbarInfo(info);
        EXPECT_EQ(info.CloseButtonState, closeButton && allowDrag ? dk::CloseButtonShown : 0u);
        if (info.CloseButtonState != 0) {
            // The pointer over the theme's close square lights it.
            const QPoint at = dk::GetDragHandleCloseRect(info).ToQRect().center();
            QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(bar, &move);
            bar->FillToolbarInfo(info);
            EXPECT_EQ(info.CloseButtonState, dk::CloseButtonShown | dk::CloseButtonHot);
            EXPECT_EQ(bar->NcHitTest(at), dk::HTCLOSEBUTTON);
        }
        bar->CurrentDock()->SetAllowDrag(true);
        delete bar;
    }
}

namespace {

// Vertical stripes two pixels wide, red and blue by the form's x.
class StripeBackground final : public TDkBasicBackground {
public:
    using TDkBasicBackground::TDkBasicBackground;
    static uint32_t At(int formX) { return (formX / 2) % 2 == 0 ? 0xFF0000u : 0x0000FFu; }
    void PaintBackground(QPainter& painter, const QRect& rect) override {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            painter.fillRect(QRect(x, rect.top(), 1, rect.height()), QColor::fromRgb(At(x)));
        }
    }
    void AddChangeListener(const void*, std::function<void()>) override {}
    void SystemColorsChanged() override {}
    void RemoveChangeListener(const void*) override {}
    bool HasBackground() override { return true; }
};

} // namespace

TEST_F(ThemedBars, ShowTheDocksPictureBehindTheirItemsAndFrame) {
    StripeBackground stripes;
    f.top->SetBackground(&stripes);
    TDkxToolbar* bar = AddBar(Where::Docked, 1);
    const QImage picture = Picture(bar);
    // The first (idle) button's corner in the client, and the frame's inner
    // ring below it: the dock's picture, lined up with the form.
    for (const QPoint at : {bar->ClientOrigin(), QPoint(bar->width() - 2, bar->height() - 2)}) {
        EXPECT_EQ(Px(picture, at.x(), at.y()), StripeBackground::At(bar->mapTo(&f.form, at).x()))
            << at.x() << "," << at.y();
    }
    f.top->SetBackground(nullptr);
    EXPECT_EQ(Px(Picture(bar), bar->ClientOrigin().x(), bar->ClientOrigin().y()), 0xD4D0C8u);
}

TEST_F(ThemedBars, AThemedDockPaintsLikeThePlainDockWithoutVisualStyles) {
    auto* themed = new TDkxDock(&f.form, dpTop);
    f.Add("PlainBar", QSize(80, 20), f.top);
    f.Add("ThemedBar", QSize(80, 20), themed);
    f.top->SetBoundLines(blTop | blBottom);
    themed->SetBoundLines(blTop | blBottom);
    f.Settle();
    StripeBackground background;
    const struct {
        const char* name;
        std::function<void()> apply;
        bool painted; // the background picture shows
    } cases[] = {
        {"Default theme", [&] { themes.Select("Default"); }, false},
        {"Flat theme", [&] { themes.Select("Flat"); }, false},
        {"visual styles turned off", [&] { themes.nexus->SetEnableXPStyles(false); }, false},
        {"a background of its own",
         [&] {
             f.top->SetBackground(&background);
             themed->SetBackground(&background);
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.apply();
        EXPECT_FALSE(themed->UsesVisualStyleBackground());
        EXPECT_EQ(themed->HasDockBackground(), c.painted);
        const QImage plain = f.top->grab().toImage();
        const QImage image = themed->grab().toImage();
        ASSERT_EQ(image.size(), plain.size());
        EXPECT_EQ(image, plain);
        // Right of the bar: the dock's own colour, or the picture.
        const QPoint at(image.width() - 2, image.height() / 2);
        EXPECT_EQ(Px(image, at.x(), at.y()),
                  c.painted ? StripeBackground::At(themed->mapTo(&f.form, at).x()) : 0xD4D0C8u);
    }
    f.top->SetBackground(nullptr);
    themed->SetBackground(nullptr);
}

TEST_F(ThemedBars, FloatingBordersAndMarginsComeFromTheThemeAndFollowASwitch) {
    TDkxToolbar* bar = AddBar(Where::Floating);
    QStringList log;
    MessageLogger listener(QStringLiteral("L"), log);
    themes.nexus->AddThemeListener(&listener);
    KitMessageTap tap(bar, QStringLiteral("Bar"), log);
    TDkFloatingWindowParent* form = bar->FloatingParent();
    ASSERT_NE(qobject_cast<TDkxFloatingWindowParent*>(form), nullptr);
    struct Look {
        const char* theme;
        int border; // the resizable bar's
        int fixed;  // the bar's that is not resizable
        QSize form; // three buttons, no caption text
        uint32_t corner;
    };
    // Default: the frame's width and margins of 4, 2, 4, 1 around the
    // buttons; Flat: a border of 3 and no margins.
    const Look looks[] = {{"Flat", 3, 3, {75, 44}, 0x666666},
                          {"Default", 4, 3, {85, 49}, 0xD4D0C8}};
    for (const Look& look : looks) {
        log.clear();
        themes.Select(look.theme);
        EXPECT_EQ(log, QStringList({"Bar:1257", "L:1259", "Bar:1258"}));
        EXPECT_EQ(bar->FloatingBorderSize(), QSize(look.border, look.border));
        EXPECT_EQ(form->size(), look.form) << look.theme;
        EXPECT_EQ(bar->pos(), QPoint(look.border, look.border + GetSystemMetrics(SM_CYSMCAPTION)));
        EXPECT_EQ(Px(Picture(form), 0, 0), look.corner);
        bar->SetResizable(false);
        EXPECT_EQ(bar->FloatingBorderSize(), QSize(look.fixed, look.fixed));
        bar->SetResizable(true);
    }
}

TEST_F(ThemedBars, LoseAnImageListDestroyedBeforeThemWithoutReadingIt) {
    AddBar(Where::Docked, 2);
    TDkxToolbar* second = AddBar(Where::Docked, 2);
    // The first bar's layout rearranges the dock, which measures the second
    // before the second has heard that the list is going.
    delete images;
    images = nullptr;
    second->View()->ValidatePositions();
    EXPECT_EQ(second->Images(), nullptr);
    EXPECT_EQ(second->View()->Viewers(0)->BoundsRect.Width(), 6);
}

// --- Pictures ----------------------------------------------------------------------------------

class ThemedBarPictures : public ThemedBars, public ::testing::WithParamInterface<const char*> {};

TEST_P(ThemedBarPictures, GoldenPicture) {
    themes.Select(GetParam());
    TDkxToolbar* docked = AddBar(Where::Docked, 2);
    TDkxToolbar* menuBar = AddBar(Where::Docked, 2);
    menuBar->SetMenuBar(true);
    menuBar->SetDockRow(1);
    Place(menuBar, Where::Docked);
    menuBar->View()->Select(menuBar->View()->Viewers(0));
    TDkxToolbar* floating = AddBar(Where::Floating, 2);
    TDkxToolbar* onForm = AddBar(Where::OnForm, 2);
    // A vertical bar too short for its buttons, its chevron's pop-up open.
    TDkxToolbar* shrunk = AddBar(Where::DockedLeft, 5);
    f.form.resize(600, 120);
    f.Settle();
    TDkView* view = shrunk->View();
    view->Select(view->Find(shrunk->ChevronItem()));
    view->OpenChildPopup(false);
    auto* popup = qobject_cast<TDkxChevronPopupWindow*>(view->OpenWindow());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(dk::GetViewKind(popup), dk::ViewChevronPopup);
    EXPECT_EQ(popup->Color(), themes.Theme().GetViewBackColor(dk::ViewChevronPopup));

    const QImage image = PaintImage(120, 128, [&](QPainter& p) {
        p.drawImage(0, 0, Picture(docked));
        p.drawImage(60, 0, Picture(menuBar).copy(0, 0, 60, 26));
        p.drawImage(0, 26, Picture(floating->FloatingParent()));
        p.drawImage(92, 26, Picture(shrunk));
        p.drawImage(0, 76, Picture(onForm));
        p.drawImage(0, 98, Picture(popup));
    });
    view->CloseChildPopups();
    EXPECT_TRUE(MatchesGolden(image, QStringLiteral(QV_TEST_DATA_DIR "/dockkit/bars-%1.txt")
                                         .arg(QString::fromLatin1(GetParam()).toLower())));
}

INSTANTIATE_TEST_SUITE_P(Themes, ThemedBarPictures, ::testing::Values("Default", "Flat"),
                         [](const auto& info) { return std::string(info.param); });
