// The themed status bar: which panels show and how wide, the controls its
// panels hold, what it asks the theme to paint, its size grip and its clicks.
// Tool and colour palettes in a menu view: their grid, which point hits which
// cell, clicks and keys, hints, colour sets and what the cells look like; and
// the colour item.

#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/palettes/DkxColorSet.h"
#include "dockkit/palettes/DkxToolPalette.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/statusbar/DkxStatusLayout.h"

#include "DataRows.h"
#include "KitThemeFixtures.h"
#include "PixelPicture.h"
#include "Raises.h"
#include "ThemeFixtures.h"
#include "ViewFixtures.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/ImageList.h"

#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using dk::PaletteCell;
using dk::StatusPanelSpec;
using plat::TRect;

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

// Panels copied from another bar take their controls over by name: the
// control moves onto this bar and its old panel goes with the move.
TEST_F(StatusBarTest, AssignedPanelsCopyTheValuesAndTakeTheControlsOverByName) {
    auto* source = new TDkxStatusBar(&form);
    source->setGeometry(0, 0, 400, 22);
    auto* clock = new QLabel(&form);
    clock->setObjectName(QStringLiteral("Clock"));
    TDkxStatusPanel* timed = source->Panels().Add();
    timed->SetCaption(QStringLiteral("Time"));
    timed->SetSize(120);
    timed->SetStretchPriority(1);
    timed->SetControl(clock);
    source->Panels().Add()->SetSize(80);

    bar->Panels().Assign(source->Panels());
    struct Expected {
        const char* Caption;
        int Size;
        int Width;
        QWidget* Control;
    };
    const Expected expected[] = {{"Time", 120, 320, clock}, {"", 80, 80, nullptr}};
    ASSERT_EQ(bar->Panels().Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const TDkxStatusPanel* panel = bar->Panels().Items(i);
        EXPECT_EQ(panel->Caption(), expected[i].Caption) << i;
        EXPECT_EQ(panel->Size(), expected[i].Size) << i;
        EXPECT_EQ(panel->Width(), expected[i].Width) << i;
        EXPECT_EQ(panel->Control(), expected[i].Control) << i;
    }
    EXPECT_EQ(clock->parentWidget(), bar);
    EXPECT_EQ(source->Panels().Count(), 1) << "the panel that held the clock went with it";

    // One panel from another of the same bar: the control changes panels.
    bar->Panels().Items(1)->Assign(*bar->Panels().Items(0));
    EXPECT_EQ(bar->Panels().Items(1)->Control(), clock);
    EXPECT_EQ(bar->Panels().Items(0)->Control(), nullptr);
    EXPECT_EQ(bar->Panels().Items(1)->Caption(), "Time");
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

// --- Tool and colour palettes ------------------------------------------------------------------

namespace {

// Logs every button face it paints: "face l,t-r,b" and the state letters
// S(elected), H(ot, with the hover kind) and P(ushed).
class PaletteTheme : public RecordingTheme {
public:
    void DrawButtonFace(QPainter&, const TRect& r, const dk::TDkxItemInfo& info) override {
        const QString state = QString(info.Selected ? "S" : "") +
                              (info.IsHot() ? QStringLiteral("H%1").arg(info.HoverKind) : "") +
                              (info.Pushed ? "P" : "");
        Calls << (QStringLiteral("face ") + Box(r) + " " + state).trimmed();
    }
};

QStringList TakeCalls() {
    auto& theme = static_cast<PaletteTheme&>(dk::CurrentTheme());
    return std::exchange(theme.Calls, {});
}

// A menu view that shows one palette.
class PaletteTest : public ::testing::Test {
protected:
    template <typename Palette>
    Palette* Show(Palette* palette) {
        setup.root->Add(palette);
        setup.view->ValidatePositions();
        viewer = static_cast<TDkxToolViewer*>(setup.view->Find(palette));
        return palette;
    }
    QSize Size() const { return {viewer->BoundsRect.Width(), viewer->BoundsRect.Height()}; }
    // Presses and releases at the point (relative to the viewer).
    void Click(QPoint at) {
        setup.view->Select(viewer);
        bool onMenu = false;
        viewer->MouseDown(false, at.x(), at.y(), onMenu);
        viewer->MouseUp(at.x(), at.y(), onMenu);
    }
    QImage Paint() {
        QImage image = BlankImage(Size().width(), Size().height());
        QPainter painter(&image);
        viewer->Paint(painter, TRect(0, 0, Size().width(), Size().height()),
                      setup.view->Selected() == viewer, false, true);
        return image;
    }

    TDkxNexus nexus{dk::ThemeClassOf<PaletteTheme>()};
    ViewSetup setup{false};
    TDkxToolViewer* viewer = nullptr;
};

// A set of 3 x 2 colours: cells (1, 0) and (2, 1) have none, (0, 1) has no
// name.
class GapSet : public TDkxColorSet {
public:
    explicit GapSet(QObject* owner) : TDkxColorSet(owner) {
        SetSize(3, 2);
        OnGetColorInfo = [](TDkxCustomColorSet*, int col, int row, plat::TColor& color,
                            QString& name) {
            if ((col == 1 && row == 0) || (col == 2 && row == 1)) {
                return;
            }
            color = plat::RGB(col * 10, row * 10, 1);
            name = col == 0 && row == 1 ? QString() : QStringLiteral("c%1%2").arg(col).arg(row);
        };
    }
};

} // namespace

TEST_F(PaletteTest, MeasuresItsGridFromTheImageSize) {
    Show(new TDkxColorPalette(&setup.owner)); // 12 x 12 swatches in 8 x 5 cells
    EXPECT_EQ(Size(), QSize(144, 90));
    EXPECT_EQ(viewer->CellSize(), QSize(18, 18));
    const struct {
        QSize images; // none: the default image size
        int cols, rows;
        QSize size, cell;
    } cases[] = {
        {{20, 10}, 3, 2, {78, 32}, {26, 16}},
        {{}, 0, 0, {8, 8}, {22, 22}},           // no columns or rows still take 8 x 8
        {{}, 300, -4, {255 * 22, 8}, {22, 22}}, // counts stop at 255
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cols << " x " << c.rows);
        ViewSetup s(false);
        auto* palette = new TDkxToolPalette(&s.owner);
        if (!c.images.isEmpty()) {
            palette->SetImages(new plat::ImageList(c.images.width(), c.images.height(), &s.owner));
        }
        palette->SetColCount(c.cols);
        palette->SetRowCount(c.rows);
        s.root->Add(palette);
        s.view->ValidatePositions();
        const auto* v = static_cast<TDkxToolViewer*>(s.view->Find(palette));
        EXPECT_EQ(QSize(v->BoundsRect.Width(), v->BoundsRect.Height()), c.size);
        EXPECT_EQ(v->CellSize(), c.cell);
    }
}

TEST_F(PaletteTest, PointsHitOnlyVisibleCellsInsideThePalette) {
    auto* palette = Show(new TDkxColorPalette(&setup.owner));
    auto* set = new GapSet(&setup.owner);
    palette->SetColorSet(set);
    setup.view->ValidatePositions();
    ASSERT_EQ(Size(), QSize(54, 36));
    EXPECT_EQ(viewer->CellRect(TRect(0, 0, 54, 36), 2, 1), TRect(36, 18, 54, 36));

    const struct {
        QPoint at;
        PaletteCell cell;
    } plain[] = {
        {{17, 17}, {0, 0}}, {{18, 0}, {}}, // (1, 0) has no colour
        {{-1, 5}, {}},      {{5, 36}, {}}, // just outside
        {{35, 35}, {1, 1}}, {{53, 35}, {}}, {{-17, 5}, {}}, {{5, -10}, {}}, {{54, 5}, {}},
    };
    for (const auto& c : plain) {
        SCOPED_TRACE(QStringLiteral("at %1,%2").arg(c.at.x()).arg(c.at.y()).toStdString());
        EXPECT_EQ(viewer->HitTest(c.at), c.cell);
    }

    // Stretched over 200 x 100 the cells spread; a palette squeezed to no
    // width or height hits nothing.
    palette->SetStretch(true);
    palette->SetColorSet(nullptr);
    setup.view->ValidatePositions();
    viewer->BoundsRect = TRect(0, 0, 200, 100);
    EXPECT_EQ(viewer->CellRect(TRect(0, 0, 200, 100), 1, 0), TRect(25, 0, 50, 20));
    EXPECT_EQ(viewer->HitTest({24, 0}), (PaletteCell{0, 0}));
    EXPECT_EQ(viewer->HitTest({199, 99}), (PaletteCell{7, 4}));
    viewer->BoundsRect = TRect(0, 0, 0, 100);
    EXPECT_EQ(viewer->HitTest({0, 50}), PaletteCell{});
    viewer->BoundsRect = TRect(0, 0, 200, 0);
    EXPECT_EQ(viewer->HitTest({10, 0}), PaletteCell{});
}

TEST_F(PaletteTest, ClicksSelectUnlessTheOwnerOrTheOptionsSayNo) {
    auto* palette = Show(new TDkxToolPalette(&setup.owner));
    palette->SetColCount(3);
    palette->SetRowCount(2);
    setup.view->ValidatePositions();
    QStringList log;
    bool allow = true;
    palette->OnCellClick = [&](TDkxCustomToolPalette*, int col, int row, bool& allowChange) {
        log << QStringLiteral("click %1,%2").arg(col).arg(row);
        allowChange = allow;
    };
    palette->OnChange = [&](TDkxCustomToolPalette* p) {
        log << QStringLiteral("change %1,%2").arg(p->SelectedCell().Col).arg(p->SelectedCell().Row);
    };
    setup.view->SetState(vsModal, true);

    Click({30, 25}); // cell (1, 1)
    EXPECT_EQ(log, QStringList({"click 1,1", "change 1,1"}));
    // The click ends the menu with the palette as its command.
    EXPECT_TRUE(setup.view->ModalEnded());
    EXPECT_EQ(setup.view->DoneAction().Item, palette);

    const struct {
        const char* name;
        bool allow;
        TDkxToolPaletteOptions options;
    } refused[] = {
        {"the owner refuses", false, 0},
        {"clicks do not select", true, tpoNoAutoSelect},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        log.clear();
        allow = c.allow;
        palette->SetPaletteOptions(c.options);
        Click({5, 5});
        EXPECT_EQ(log, QStringList({"click 0,0"}));
        EXPECT_EQ(palette->SelectedCell(), (PaletteCell{1, 1}));
    }

    // Between or beside the cells a release chooses nothing and the menu
    // stays open.
    log.clear();
    setup.view->ResetModal();
    setup.view->SetState(vsModal, true);
    Click({5, -3});
    EXPECT_TRUE(log.isEmpty());
    EXPECT_FALSE(setup.view->ModalEnded());
    EXPECT_FALSE(setup.view->ViewerCapture());
}

TEST_F(PaletteTest, KeysMoveTheHotCellOverVisibleCells) {
    Show(new TDkxColorPalette(&setup.owner));
    const auto cell = [](const QString& field) {
        return field == "-" ? PaletteCell{} : PaletteCell{Numbers(field)[0], Numbers(field)[1]};
    };
    for (const QStringList& row : DataRows("palette-keys.txt", 5)) {
        SCOPED_ROW(row);
        const PaletteCell from = cell(row[1]);
        viewer->Entering(nullptr);
        viewer->MouseMove(-1, -1); // nothing hot
        if (!from.IsNone()) {
            viewer->MouseMove(from.Col * 18 + 1, from.Row * 18 + 1);
        }
        int key = QKeySequence::fromString(row[2])[0].key();
        viewer->KeyDown(key, Qt::NoModifier);
        EXPECT_EQ(key == 0, row[4] == "1");
        EXPECT_EQ(viewer->HotCell(), cell(row[3]));
    }

    // Without a hot cell the selected one is where the keys start.
    auto* palette = static_cast<TDkxColorPalette*>(viewer->Item());
    palette->SetSelectedCell(4, 2);
    viewer->MouseMove(-1, -1);
    int key = Qt::Key_Right;
    viewer->KeyDown(key, Qt::NoModifier);
    EXPECT_EQ(viewer->HotCell(), (PaletteCell{5, 2}));
    // Enter clicks the hot cell and leaves the key to the menu.
    key = Qt::Key_Return;
    viewer->KeyDown(key, Qt::NoModifier);
    EXPECT_EQ(key, Qt::Key_Return);
    EXPECT_EQ(palette->SelectedCell(), (PaletteCell{5, 2}));
    EXPECT_EQ(palette->Color(), plat::RGB(0x33, 0x66, 0xFF)); // "Light Blue"
}

TEST_F(PaletteTest, HiddenCellsAreNeitherReachedNorPainted) {
    auto* palette = Show(new TDkxColorPalette(&setup.owner));
    palette->SetColorSet(new GapSet(&setup.owner));
    setup.view->ValidatePositions();
    viewer->MouseMove(1, 1); // (0, 0)
    int key = Qt::Key_Right; // (1, 0) has no colour
    viewer->KeyDown(key, Qt::NoModifier);
    EXPECT_NE(key, 0);
    EXPECT_EQ(viewer->HotCell(), (PaletteCell{0, 0}));

    // Coming from an item above starts at the first cell; from below at the
    // last cell, stepping back over cells without colour.
    auto* above = new FixedItem(&setup.owner, "above", 20, 10);
    auto* below = new FixedItem(&setup.owner, "below", 20, 10);
    setup.root->Insert(0, above);
    setup.root->Add(below);
    setup.view->ValidatePositions();
    viewer = static_cast<TDkxToolViewer*>(setup.view->Find(palette));
    setup.view->Select(setup.view->Find(above));
    setup.view->Select(viewer);
    EXPECT_EQ(viewer->HotCell(), (PaletteCell{0, 0}));
    setup.view->Select(setup.view->Find(below));
    setup.view->Select(viewer);
    EXPECT_EQ(viewer->HotCell(), (PaletteCell{1, 1}));

    TakeCalls();
    Paint();
    EXPECT_EQ(TakeCalls(), QStringList({"face 0,0-18,18", "face 36,0-54,18", "face 0,18-18,36",
                                        "face 18,18-36,36 H2"}));
}

TEST_F(PaletteTest, CellsShowTheirStateOnThemedFacesWithImagesFromTheList) {
    auto* palette = Show(new TDkxToolPalette(&setup.owner));
    auto* images = new plat::ImageList(10, 10, &setup.owner);
    for (int i = 0; i < 3; ++i) {
        images->Add(QImage(10, 10, QImage::Format_ARGB32));
    }
    palette->SetImages(images);
    palette->SetColCount(2);
    palette->SetRowCount(2);
    QStringList drawn;
    palette->OnDrawCellImage = [&](TDkxCustomToolPalette*, QPainter&, const TRect& r, int col,
                                   int row, bool selected, bool hot, bool enabled) {
        drawn << QStringLiteral("cell %1,%2 at %3,%4 ").arg(col).arg(row).arg(r.Left).arg(r.Top) +
                     (selected ? "S" : "") + (hot ? "H" : "") + (enabled ? "" : "-");
    };
    setup.view->ValidatePositions();
    palette->SetSelectedCell(1, 0);
    setup.view->Select(viewer);
    bool onMenu = false;
    viewer->MouseDown(false, 2, 2, onMenu); // pressed on (0, 0)

    // Three images, so the fourth cell does not show; the images go
    // through the theme, centred in their 16 x 16 cells.
    TakeCalls();
    Paint();
    EXPECT_EQ(TakeCalls(), QStringList({"face 0,0-16,16 H2P", "image 0", "face 16,0-32,16 S",
                                        "image 1", "face 0,16-16,32", "image 2"}));
    EXPECT_EQ(drawn, QStringList({"cell 0,0 at 3,3 H", "cell 1,0 at 19,3 S", "cell 0,1 at 3,19 "}));

    // Disabled: hot by keyboard, or not at all while the pointer rests on it.
    palette->SetEnabled(false);
    drawn.clear();
    Paint();
    EXPECT_EQ(TakeCalls().at(0), "face 0,0-16,16 H1P");
    EXPECT_EQ(drawn.at(0), "cell 0,0 at 3,3 H-");
    setup.view->SetMouseOverSelected(true);
    Paint();
    EXPECT_EQ(TakeCalls().at(0), "face 0,0-16,16 P");
}

TEST_F(PaletteTest, SwatchesAreFramedAndFilledOnlyWhenEnabled) {
    auto* palette = Show(new TDkxColorPalette(&setup.owner));
    palette->SetSelectedCell(2, 1);
    QImage image = Paint();
    // Cell (2, 1) is (36, 18)-(54, 36); its swatch (39, 21)-(51, 33).
    EXPECT_EQ(Px(image, 50, 32), 0x808080u);
    EXPECT_EQ(Px(image, 40, 22), 0x808000u);
    EXPECT_EQ(Px(image, 38, 21), Px(image, 0, 0)); // outside the swatch: untouched
    palette->SetEnabled(false);
    image = Paint();
    EXPECT_EQ(Px(image, 39, 21), 0x808080u);
    EXPECT_EQ(Px(image, 40, 22), Px(image, 0, 0));
    // Each cell hints its colour's name.
    TRect rect;
    EXPECT_EQ(viewer->GetHint({40, 20}, rect), "Dark Yellow");
    EXPECT_EQ(rect, TRect(36, 18, 54, 36));
    EXPECT_EQ(viewer->GetHint({200, 20}, rect), "");
}

TEST(ColorSets, TheDefaultSetNamesItsFortyColours) {
    TDkxDefaultColorSet& set = dk::DefaultColorSet();
    const std::tuple<int, int, const char*, plat::TColor> cells[] = {
        {0, 0, "Black", plat::RGB(0, 0, 0)},
        {1, 1, "Orange", plat::RGB(0xFF, 0x66, 0)},
        {6, 3, "Plum", plat::RGB(0x99, 0x33, 0x66)},
        {7, 4, "White", plat::RGB(0xFF, 0xFF, 0xFF)},
        {8, 0, "", plat::clNone},
        {0, 5, "", plat::clNone},
        {-1, 0, "", plat::clNone}};
    for (const auto& [col, row, name, color] : cells) {
        EXPECT_EQ(set.GetName(col, row), name) << col << "," << row;
        EXPECT_EQ(set.GetColor(col, row), color) << col << "," << row;
    }
    EXPECT_EQ(set.GetColorName(plat::clNone), "None");
    EXPECT_EQ(set.GetColorName(plat::clWindow), "White");
    EXPECT_EQ(set.GetColorName(plat::clBtnFace), "#D4D0C8");
    // A matching cell without a name gives the colour's number too.
    GapSet gaps(nullptr);
    EXPECT_EQ(gaps.GetColorName(plat::RGB(0, 10, 1)), "#000A01");
    EXPECT_EQ(gaps.GetColorName(plat::RGB(10, 10, 1)), "c11");
}

TEST(ColorSets, PalettesFollowTheirSetAndFallBackToTheDefault) {
    QObject owner;
    auto* set = new TDkxColorSet(&owner);
    set->SetSize(4, 2);
    TDkxColorPalette first(&owner);
    TDkxColorPalette second(&owner);
    first.SetColorSet(set);
    second.SetColorSet(set);
    set->SetColCount(3);
    EXPECT_EQ(first.ColCount(), 3);
    EXPECT_EQ(second.ColCount(), 3);
    EXPECT_EQ(second.RowCount(), 2);
    {
        TDkxColorPalette gone(&owner);
        gone.SetColorSet(set);
    }
    EXPECT_EQ(set->Palettes().size(), 2u);
    delete set;
    EXPECT_EQ(first.ColorSet(), nullptr);
    EXPECT_EQ(first.ColCount(), 8);
    EXPECT_EQ(first.RowCount(), 5);
}

struct SetColorCase {
    const char* name;
    plat::TColor given;
    PaletteCell selected;
};
void PrintTo(const SetColorCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingTheColour : public ::testing::TestWithParam<SetColorCase> {};

// The colour stays as given, a system colour included, while the cell of its
// RGB value shows selected; choosing a cell afterwards takes the cell's colour.
TEST_P(SettingTheColour, KeepsItSelectsItsCellAndTellsOnce) {
    const SetColorCase& c = GetParam();
    TDkxColorPalette palette;
    palette.SetSelectedCell(3, 2);
    int changes = 0;
    palette.OnChange = [&](TDkxCustomToolPalette*) { ++changes; };

    palette.SetColor(c.given);
    EXPECT_EQ(palette.SelectedCell(), c.selected);
    EXPECT_EQ(palette.Color(), c.given);
    EXPECT_EQ(changes, 1);

    palette.SetSelectedCell(1, 0);
    EXPECT_EQ(palette.Color(), palette.GetCellColor(1, 0));
    EXPECT_NE(palette.Color(), c.given);
    EXPECT_EQ(changes, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingTheColour,
    ::testing::Values(SetColorCase{"SystemTextColourOnBlack", plat::clWindowText, {0, 0}},
                      SetColorCase{"SystemWindowColourOnWhite", plat::clWindow, {7, 4}},
                      SetColorCase{"PlainBlack", plat::RGB(0, 0, 0), {0, 0}},
                      SetColorCase{"ColourOfNoCell", plat::RGB(1, 2, 3), {-1, -1}},
                      SetColorCase{"NoColour", plat::clNone, {-1, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorItem, PaintsAFramedSwatchSmallerInMenusAndAnEtchedSquareWhenDisabled) {
    KitThemes themes;
    const struct {
        const char* name;
        bool toolbar;
        plat::TColor color;
        bool enabled;
        const char* picture; // rows top to bottom, '/' between them
    } cases[] = {
        {"tool bar: framed and filled", true, plat::clBlack, true,
         "GGGGGGG./GKKKKKG./GKKKKKG./GKKKKKG./GKKKKKG./GKKKKKG./GGGGGGG./........"},
        {"menu: 2 pixels in from each side", false, plat::clBlack, true,
         "......../......../..GGG.../..GKG.../..GGG.../......../......../........"},
        {"no colour: nothing at all", true, plat::clNone, true,
         "......../......../......../......../......../......../......../........"},
        {"disabled: an etched square a pixel larger", true, plat::clBlack, false,
         "GGGGGGGW/GWWWWWGW/GW....GW/GW....GW/GW....GW/GW....GW/GGGGGGGW/WWWWWWWW"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewSetup s(c.toolbar);
        auto* item = new TDkxColorItem(&s.owner);
        item->SetColor(c.color);
        s.root->Add(item);
        s.view->ValidatePositions();
        auto* viewer = static_cast<TDkxColorItemViewer*>(s.view->Find(item));
        EXPECT_EQ(viewer->ImageSize(), c.toolbar ? QSize(12, 12) : QSize(16, 16));
        dk::TDkxItemInfo info = ItemInfo(c.toolbar ? dk::ViewToolbar : dk::ViewPopupMenu);
        info.Enabled = c.enabled;
        const QImage image =
            PaintImage(8, 8, [&](QPainter& p) { viewer->DoDrawImage(p, TRect(0, 0, 7, 7), info); });
        EXPECT_EQ(PixelPicture(image).join(u'/'), c.picture);
    }
}
