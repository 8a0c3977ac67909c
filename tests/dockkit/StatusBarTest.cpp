// The themed status bar: which panels show and how wide, the controls its
// panels hold, what it asks the theme to paint, its size grip and its clicks.
#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockableWindow.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/statusbar/DkxStatusLayout.h"

#include "DataRows.h"
#include "Raises.h"
#include "ThemeFixtures.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/ImageList.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

using dk::StatusPanelSpec;

namespace {

// Panels as "left-right" ("*" when last), "x" when hidden.
QString Places(const std::vector<dk::StatusPanelPlace>& places) {
    QStringList out;
    for (const auto& p : places) {
        out << (p.Visible ? QStringLiteral("%1-%2%3")
                                .arg(p.Rect.Left)
                                .arg(p.Rect.Right)
                                .arg(p.Last ? QStringLiteral("*") : QString())
                          : QStringLiteral("x"));
    }
    return out.join(u' ');
}

// Margins like the classic look's, and every bar part it is asked for.
class StatusTheme : public RecordingTheme {
public:
    dk::TDkxMargins GetPartMargins(int kind) override {
        return kind == dk::MarginStatusPanel ? Margins : dk::TDkxMargins{};
    }
    void DrawStatusBarPart(QPainter&, const plat::TRect& r, int part) override {
        Calls << QStringLiteral("part %1 ").arg(part) + Box(r);
    }
    void DrawItemCaption(QPainter&, const plat::TRect& r, const dk::TDkxItemInfo& info,
                         const QString& text, unsigned format, bool) override {
        Calls << QStringLiteral("caption '%1' %2 %3 %4")
                     .arg(text, Box(r))
                     .arg(format, 0, 16)
                     .arg(info.Enabled ? "enabled" : "disabled");
    }
    void DrawItemImage(QPainter&, const plat::TRect& r, const dk::TDkxItemInfo& info,
                       const plat::ImageList*, int index) override {
        Calls << QStringLiteral("image %1 %2,%3 %4")
                     .arg(index)
                     .arg(r.Left)
                     .arg(r.Top)
                     .arg(info.Enabled ? "enabled" : "disabled");
    }
    static inline dk::TDkxMargins Margins{1, 3, 1, 1};
};

StatusTheme& Theme() {
    return static_cast<StatusTheme&>(dk::CurrentTheme());
}

// A form with a bar 400 wide along its bottom.
class StatusBarTest : public ::testing::Test {
protected:
    StatusBarTest() {
        StatusTheme::Margins = {1, 3, 1, 1};
        form.resize(400, 100);
        bar = new TDkxStatusBar(&form);
        bar->setGeometry(0, 78, 400, 22);
    }
    TDkxStatusPanel* AddPanel(int size, const QString& caption = {}) {
        TDkxStatusPanel* panel = bar->Panels().Add();
        panel->SetSize(size);
        panel->SetCaption(caption);
        return panel;
    }
    QStringList Paint() {
        Theme().Calls.clear();
        QImage image(bar->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        bar->PaintBar(painter, QRegion(bar->rect()));
        return Theme().Calls;
    }

    TDkxNexus nexus{dk::ThemeClassOf<StatusTheme>()};
    QWidget form;
    TDkxStatusBar* bar;
};

} // namespace

TEST(StatusLayout, PanelsGiveWayAndStretchByPriority) {
    for (const QStringList& row : DataRows("status-layout.txt", 4)) {
        SCOPED_ROW(row);
        std::vector<StatusPanelSpec> panels;
        for (const QString& panel : row[2].split(u' ')) {
            const QStringList n = panel.split(u',');
            panels.push_back(
                {n[0].toInt(), n.value(1, "100").toInt(), n.value(2).toInt(), n.value(3).toInt()});
        }
        EXPECT_EQ(Places(dk::LayoutStatusPanels(panels, plat::TRect(0, 2, row[1].toInt(), 22))),
                  row[3]);
    }
}

TEST_F(StatusBarTest, LaysOutBelowItsTopTwoPixelsAndPlacesControlsInsideTheFrame) {
    AddPanel(150);
    TDkxStatusPanel* unframed = AddPanel(75);
    unframed->SetFramed(false);
    TDkxStatusPanel* hidden = AddPanel(50);
    hidden->SetViewPriority(0);
    TDkxStatusPanel* rest = AddPanel(50);
    rest->SetStretchPriority(1);

    auto* framedLabel = new QLabel(&form);
    auto* plainLabel = new QLabel(&form);
    auto* hiddenLabel = new QLabel(&form);
    bar->Panels().Items(0)->SetControl(framedLabel);
    unframed->SetControl(plainLabel);
    hidden->SetControl(hiddenLabel);

    EXPECT_EQ(rest->Rect(), plat::TRect(225, 2, 400, 22));
    // Controls move onto the bar: inside the theme's margins (1, 3, 1, 1)
    // when framed, on the whole panel when not, nowhere when hidden.
    EXPECT_EQ(framedLabel->parentWidget(), bar);
    EXPECT_EQ(framedLabel->geometry(), QRect(QPoint(1, 3), QPoint(146, 20)));
    EXPECT_EQ(plainLabel->geometry(), QRect(150, 2, 75, 20));
    EXPECT_TRUE(hiddenLabel->geometry().isEmpty());

    // A theme with other margins lays the bar out again when it comes.
    StatusTheme::Margins = {4, 4, 4, 4};
    dk::SelectTheme(QStringLiteral("Default"));
    EXPECT_EQ(framedLabel->geometry(), QRect(QPoint(4, 6), QPoint(145, 17)));
}

TEST_F(StatusBarTest, PanelControlsComeAndGoWithTheirPanels) {
    TDkxStatusPanel* first = AddPanel(100);
    TDkxStatusPanel* second = AddPanel(100);

    // The bar, or any of its parents, cannot be a panel's control.
    EXPECT_EQ(MessageOf<EInvalidOperation>([&] { first->SetControl(&form); }),
              "Can't insert own parent");
    EXPECT_EQ(MessageOf<EInvalidOperation>([&] { first->SetControl(bar); }),
              "Can't insert own parent");
    EXPECT_EQ(first->Control(), nullptr);

    // A control held by another panel is taken from it.
    auto* label = new QLabel(&form);
    label->setObjectName(QStringLiteral("Clock"));
    first->SetControl(label);
    second->SetControl(label);
    EXPECT_EQ(first->Control(), nullptr);
    EXPECT_EQ(second->Control(), label);
    EXPECT_EQ(second->DisplayName(), "[ Clock ]");

    // A control put on the bar gets a panel; taken off, its panel goes.
    auto* extra = new QLabel(bar);
    ASSERT_EQ(bar->Panels().Count(), 3);
    EXPECT_EQ(bar->Panels().Items(2)->Control(), extra);
    extra->setParent(&form);
    EXPECT_EQ(bar->Panels().Count(), 2);
    delete label;
    EXPECT_EQ(bar->Panels().Count(), 1);
    EXPECT_EQ(bar->Panels().Items(0), first);

    // While loading, controls come without panels.
    bar->BeginLoading();
    auto* loaded = new QLabel(bar);
    bar->Loaded();
    EXPECT_EQ(bar->Panels().FindControl(loaded), nullptr);

    // Deleting a panel hides its control and leaves it on the bar.
    first->SetControl(loaded);
    loaded->show();
    bar->Panels().Delete(0);
    EXPECT_TRUE(loaded->isHidden());
    EXPECT_EQ(loaded->parentWidget(), bar);
}

TEST_F(StatusBarTest, PaintsBackgroundPanelsContentAndGripThroughTheTheme) {
    plat::ImageList images(16, 16);
    images.Add(QImage(16, 16, QImage::Format_ARGB32));
    bar->SetImages(&images);
    TDkxStatusPanel* left = AddPanel(150, QStringLiteral("Ready"));
    left->SetImageIndex(0);
    TDkxStatusPanel* middle = AddPanel(75, QStringLiteral("C:\\a\\b"));
    middle->SetAlignment(dk::taRightJustify);
    middle->SetTextTruncation(twPathEllipsis);
    middle->SetEnabled(false);
    middle->SetImageIndex(0);
    TDkxStatusPanel* last = AddPanel(50, QStringLiteral("x"));
    last->SetStretchPriority(10);
    last->SetAlignment(dk::taCenter);
    last->SetTextTruncation(twEndEllipsis);
    last->SetFramed(false);
    QStringList drawn;
    bar->OnPanelDraw = [&](TDkxCustomStatusBar*, TDkxStatusPanel* panel, QPainter&) {
        drawn << panel->Caption();
    };

    // Content: the panel inside the margins, a pixel less on each side;
    // the image at the left (text 4 after it), at the right (text 4 before
    // it, drawn disabled through the theme) or centred.
    const unsigned single = plat::DT_SINGLELINE | plat::DT_VCENTER;
    EXPECT_EQ(Paint(), QStringList({
                           "part 0 0,0-400,22",
                           "part 1 0,2-150,22",
                           QStringLiteral("caption 'Ready' 22,3-146,21 %1 enabled")
                               .arg(single | plat::DT_LEFT, 0, 16),
                           "part 1 150,2-225,22",
                           "image 0 205,4 disabled",
                           QStringLiteral("caption 'C:\\a\\b' 152,3-201,21 %1 disabled")
                               .arg(single | plat::DT_RIGHT | plat::DT_PATH_ELLIPSIS, 0, 16),
                           QStringLiteral("caption 'x' 226,2-399,22 %1 enabled")
                               .arg(single | plat::DT_CENTER | plat::DT_END_ELLIPSIS, 0, 16),
                           "part 3 384,3-400,22",
                       }));
    EXPECT_EQ(drawn, QStringList({"Ready", "C:\\a\\b", "x"}));

    // The content rectangle can be moved by the form.
    bar->OnAdjustContentRect = [](TDkxCustomStatusBar*, TDkxStatusPanel*, plat::TRect& r) {
        r.Left += 10;
    };
    left->SetImageIndex(-1);
    EXPECT_EQ(Paint().at(2), QStringLiteral("caption 'Ready' 12,3-146,21 %1 enabled")
                                 .arg(single | plat::DT_LEFT, 0, 16));
}

TEST_F(StatusBarTest, SizeGripOnlyInTheCornerOfANormalForm) {
    const QPoint corner(395, 20);
    EXPECT_TRUE(bar->SizeGripShown());
    EXPECT_EQ(bar->SizeGripRect(), plat::TRect(384, 3, 400, 22));
    EXPECT_EQ(bar->HitTest(corner), dk::HTBOTTOMRIGHT);
    EXPECT_EQ(bar->HitTest(QPoint(383, 20)), dk::HTCLIENT);
    EXPECT_EQ(bar->HitTest(QPoint(395, 2)), dk::HTCLIENT);

    const struct {
        const char* name;
        std::function<void()> change;
        std::function<void()> undo;
    } cases[] = {
        {"maximised form", [&] { form.setWindowState(Qt::WindowMaximized); },
         [&] { form.setWindowState(Qt::WindowNoState); }},
        {"grip turned off", [&] { bar->SetSizeGrip(false); }, [&] { bar->SetSizeGrip(true); }},
        {"bar short of the corner", [&] { bar->setGeometry(0, 70, 400, 22); },
         [&] { bar->setGeometry(0, 78, 400, 22); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        EXPECT_FALSE(bar->SizeGripShown());
        EXPECT_EQ(bar->HitTest(corner), dk::HTCLIENT);
        EXPECT_FALSE(Paint().join(u'|').contains(QStringLiteral("part 3")));
        c.undo();
        EXPECT_TRUE(bar->SizeGripShown());
    }
}

TEST_F(StatusBarTest, ClicksAndDoubleClicksReachTheVisiblePanelUnderThePointer) {
    AddPanel(100, QStringLiteral("A"));
    AddPanel(100, QStringLiteral("B"));
    QStringList log;
    bar->OnPanelClick = [&](TDkxCustomStatusBar*, TDkxStatusPanel* p) {
        log << "click " + p->Caption();
    };
    bar->OnPanelDblClick = [&](TDkxCustomStatusBar*, TDkxStatusPanel* p) {
        log << "double " + p->Caption();
    };
    const auto send = [&](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, bar->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    // Press, release, double click, release: one click and one double click.
    send(QEvent::MouseButtonPress, {150, 10});
    send(QEvent::MouseButtonRelease, {150, 10});
    send(QEvent::MouseButtonDblClick, {150, 10});
    send(QEvent::MouseButtonRelease, {150, 10});
    // Beside every panel, or in the two pixels above them: nothing.
    send(QEvent::MouseButtonPress, {300, 10});
    send(QEvent::MouseButtonRelease, {300, 10});
    send(QEvent::MouseButtonPress, {50, 1});
    send(QEvent::MouseButtonRelease, {50, 1});
    EXPECT_EQ(log, QStringList({"click B", "double B"}));
}
