// Tool and colour palettes in a menu view: their grid, which point hits which
// cell, clicks and keys, hints, colour sets and what the cells look like.
#include "DataRows.h"
#include "KitThemeFixtures.h"
#include "ThemeFixtures.h"
#include "ViewFixtures.h"

#include "PixelPicture.h"

#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/palettes/DkxColorSet.h"
#include "dockkit/palettes/DkxToolPalette.h"

#include "platform/gui/ImageList.h"

#include <QImage>
#include <QKeySequence>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using dk::PaletteCell;
using plat::TRect;

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
