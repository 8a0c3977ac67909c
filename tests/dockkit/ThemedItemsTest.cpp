// Themed items and their viewers: sizes from the theme's values, what the
// theme is asked to paint for each state and layout, font sizes, separators,
// and the pictures each theme makes of a tool bar and a menu.
#include "DataRows.h"
#include "KitThemeFixtures.h"
#include "ThemeFixtures.h"
#include "ViewFixtures.h"

#include "GoldenPicture.h"

#include "dockkit/common/DkMessages.h"
#include "dockkit/themes/DkDefaultTheme/DkDefaultTheme.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedViewer.h"

#include "platform/gui/ImageList.h"
#include "platform/gui/KitMessage.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace plat;

namespace {

// A window that answers a view kind, as themed windows do.
class KindWindow final : public ViewWindow {
public:
    unsigned Kind = 0;

protected:
    bool event(QEvent* event) override {
        if (auto* message = plat::KitMessageEvent::From(event)) {
            if (message->Msg() == dk::kViewKindMessage) {
                message->Result = Kind;
                return true;
            }
        }
        return ViewWindow::event(event);
    }
};

// A view of themed items in a window of a tool bar's or a pop-up menu's kind.
struct ThemedView {
    explicit ThemedView(bool toolbar, TDkViewOrientation orientation = dkvoHorizontal) {
        root = new TDkRootItem(&owner);
        images = MakeRimmedImages(&owner);
        root->SetSubMenuImages(images);
        window.Kind = toolbar ? dk::ViewToolbar : dk::ViewPopupMenu;
        QFont font = window.font();
        font.setPixelSize(10);
        window.setFont(font);
        view = new TestView(&window, nullptr, root, &window, toolbar, false, false);
        view->SetOrientation(orientation);
        window.View = view;
    }
    template <typename Item = TDkxItem>
    Item* Add(int imageIndex = 0) {
        auto* item = new Item(&owner);
        item->SetImageIndex(imageIndex);
        root->Add(item);
        return item;
    }
    QSize SizeOf(TDkCustomItem* item) {
        QImage image(1, 1, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setFont(view->GetFont());
        int w = 0;
        int h = 0;
        view->Find(item)->CalcSize(painter, w, h);
        return {w, h};
    }

    QObject owner;
    KindWindow window;
    TDkRootItem* root;
    plat::ImageList* images;
    TestView* view;
};

// Logs what the viewers ask the theme to paint, with the Default theme's values.
class PaintLog final : public RecordingTheme {
public:
    void DrawButtonFace(QPainter&, const TRect& r, const dk::TDkxItemInfo& info) override {
        Log("face", r, info);
    }
    void DrawDropDownGlyph(QPainter&, const TRect& r, const dk::TDkxItemInfo& info) override {
        Log("arrow", r, info);
    }
    void DrawItemImage(QPainter&, const TRect& r, const dk::TDkxItemInfo& info, const ImageList*,
                       int) override {
        Log("image", r, info);
    }
    void DrawSeparator(QPainter&, const TRect& r, const dk::TDkxItemInfo&, bool horizontal,
                       bool inset) override {
        Lines.push_back(Text("separator", r) + (horizontal ? " horizontal" : " vertical") +
                        (inset ? " inset" : ""));
    }
    int GetIntegerValue(int index) override { return values_.GetIntegerValue(index); }

    std::vector<std::string> Lines;

private:
    static std::string Text(const char* what, const TRect& r) {
        return std::string(what) + " " + std::to_string(r.Left) + "," + std::to_string(r.Top) +
               "," + std::to_string(r.Right) + "," + std::to_string(r.Bottom);
    }
    void Log(const char* what, const TRect& r, const dk::TDkxItemInfo& info) {
        std::string line = Text(what, r);
        line += " part" + std::to_string(info.ComboPart);
        line += info.Pushed ? " pushed" : "";
        line += info.Selected ? " checked" : "";
        line += info.HoverKind != dk::HoverNone ? " hover" + std::to_string(info.HoverKind) : "";
        line += info.DropDownOpen ? " open" : "";
        line += info.Enabled ? "" : " disabled";
        Lines.push_back(line);
    }
    TDkxDefaultTheme values_;
};

struct LoggedThemes : KitThemes {
    LoggedThemes() {
        nexus->RegisterTheme(QStringLiteral("Log"), dk::ThemeClassOf<PaintLog>());
        nexus->SelectTheme(QStringLiteral("Log"));
    }
    std::vector<std::string>& Lines() { return static_cast<PaintLog&>(Theme()).Lines; }
};

} // namespace

// --- Sizes ---------------------------------------------------------------------------------

TEST(ThemedSizes, FollowTheThemesValues) {
    using Shape = std::function<TDkCustomItem*(ThemedView&)>;
    const auto submenu = [](ThemedView& v, TDkItemOptions options, TDkxItemLayout layout) {
        auto* sub = v.Add<TDkxSubmenuItem>();
        sub->SetOptions(options);
        sub->SetLayout(layout);
        sub->SetDropdownCombo(options == 0);
        return sub;
    };
    const auto separator = [](ThemedView& v, int size) {
        auto* item = new TDkxSeparatorItem(&v.owner);
        if (size >= 0) {
            item->SetSize(size);
        }
        v.root->Add(item);
        return item;
    };
    const std::map<QString, Shape> shapes{
        {"plain", [](ThemedView& v) { return v.Add(); }},
        {"drop arrow", [&](ThemedView& v) { return submenu(v, dkoDropdownArrow, dkxlAuto); }},
        {"glyph top arrow",
         [&](ThemedView& v) { return submenu(v, dkoDropdownArrow, dkxlGlyphTop); }},
        {"split", [&](ThemedView& v) { return submenu(v, 0, dkxlAuto); }},
        {"at least 40 x 30",
         [](ThemedView& v) {
             TDkxItem* item = v.Add();
             item->SetMinWidth(40);
             item->SetMinHeight(30);
             return item;
         }},
        {"separator", [&](ThemedView& v) { return separator(v, -1); }},
        {"separator of 10", [&](ThemedView& v) { return separator(v, 10); }},
    };
    for (const QStringList& row : DataRows("themed-sizes.txt", 5)) {
        SCOPED_ROW(row);
        KitThemes themes;
        themes.Select(row[0].toLatin1().constData());
        ThemedView v(row[1] == "toolbar", row[2] == "vertical" ? dkvoVertical : dkvoHorizontal);
        const QList<int> size = Numbers(row[4]);
        EXPECT_EQ(v.SizeOf(shapes.at(row[3])(v)), QSize(size[0], size[1]));
    }
}

// Menus make new viewers each time they open, and captions measured once are
// remembered for them: a caption in another font is measured in its own.
TEST(ThemedSizes, ACaptionIsMeasuredInEachViewsOwnFont) {
    const std::vector<std::pair<const char*, std::function<void(QFont&)>>> wider{
        {"larger", [](QFont& font) { font.setPixelSize(20); }},
        {"bold", [](QFont& font) { font.setBold(true); }},
        {"spaced", [](QFont& font) { font.setLetterSpacing(QFont::AbsoluteSpacing, 3); }},
    };
    KitThemes themes;
    for (const bool toolbar : {false, true}) {
        for (const auto& [name, change] : wider) {
            SCOPED_TRACE(std::string(name) + (toolbar ? " on a bar" : " in a menu"));
            const QString caption = QStringLiteral("&Measured %1 %2").arg(name).arg(toolbar);
            ThemedView plain(toolbar);
            ThemedView other(toolbar);
            TDkxItem* first = plain.Add(-1);
            TDkxItem* second = other.Add(-1);
            second->OnAdjustFont = [&change = change](TDkxCustomItem*, TDkItemViewer*, QFont& font,
                                                      unsigned) { change(font); };
            first->SetCaption(caption);
            second->SetCaption(caption);
            const QSize before = plain.SizeOf(first);
            EXPECT_GT(other.SizeOf(second).width(), before.width());
            EXPECT_EQ(plain.SizeOf(first), before);
        }
    }
}

TEST(ThemedItems, FontsScaleByEighthsNeverVanishAndTheFormHasTheLastWord) {
    struct FontCase {
        int points;
        int pixels;
        TDkxFontSize size;
        int expectedPoints;
    };
    const FontCase cases[] = {
        {8, 0, dkxfSmaller, 7},  {8, 0, dkxfLarger, 9},   {8, 0, dkxfNormal, 8},
        {0, 11, dkxfSmaller, 9}, {0, 11, dkxfLarger, 12}, {1, 0, dkxfSmaller, 1},
    };
    for (const FontCase& c : cases) {
        QFont font;
        if (c.points > 0) {
            font.setPointSize(c.points);
        } else {
            font.setPixelSize(c.pixels);
        }
        dk::ScaleItemFont(font, c.size);
        EXPECT_EQ(font.pointSize(), c.expectedPoints) << c.points << "/" << c.pixels;
    }
    // The default item is bold, then the form adjusts the font.
    KitThemes themes;
    ThemedView v(true);
    TDkxItem* item = v.Add();
    item->SetOptions(dkoDefault);
    item->SetFontSize(dkxfSmaller);
    unsigned flags = 0;
    item->OnAdjustFont = [&](TDkxCustomItem*, TDkItemViewer*, QFont& font, unsigned state) {
        EXPECT_TRUE(font.bold());
        flags = state;
        font.setItalic(true);
    };
    QFont font;
    font.setPointSize(16);
    static_cast<TDkxItemViewer*>(v.view->Find(item))->DoAdjustFont(font, dk::ItemStateHot);
    EXPECT_EQ(font.pointSize(), 14);
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(flags, dk::ItemStateHot);
}

// --- What the theme is asked to paint --------------------------------------------------------

namespace {

class ThemedPaint : public ::testing::Test {
protected:
    std::vector<std::string> PaintItem(TDkCustomItem* item, QSize size, bool hot, bool pushed) {
        themes.Lines().clear();
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setFont(v.view->GetFont());
        v.view->Find(item)->Paint(painter, TRect(0, 0, size.width(), size.height()), hot, pushed,
                                  true);
        return themes.Lines();
    }
    using Lines = std::vector<std::string>;

    LoggedThemes themes;
    ThemedView v{true};
};

} // namespace

TEST_F(ThemedPaint, ADisabledButtonIsHotOnlyByTheKeyboard) {
    // With the pointer resting on it, it is not hot at all.
    TDkxItem* item = v.Add();
    item->SetEnabled(false);
    EXPECT_EQ(PaintItem(item, {23, 22}, true, false)[0], "face 0,0,23,22 part1 hover1 disabled");
    v.view->SetMouseOverSelected(true);
    EXPECT_EQ(PaintItem(item, {23, 22}, true, false)[0], "face 0,0,23,22 part1 disabled");
}

// The form draws over the item's image (a colour strip, say): after the
// theme, in the image's rectangle, told whether the item is drawn disabled.
TEST_F(ThemedPaint, TheFormDrawsOverTheImageAfterTheTheme) {
    auto* item = v.Add<TDkxSubmenuItem>();
    item->OnDrawImage = [&](TDkxCustomItem* sender, TDkItemViewer* viewer, QPainter&,
                            const TRect& rect, QPoint, unsigned state) {
        EXPECT_EQ(sender, item);
        EXPECT_EQ(viewer, v.view->Find(item));
        themes.Lines().push_back(QStringLiteral("form %1,%2,%3,%4 disabled %5")
                                     .arg(rect.Left)
                                     .arg(rect.Top)
                                     .arg(rect.Right)
                                     .arg(rect.Bottom)
                                     .arg((state & dk::ItemStateDisabled) != 0)
                                     .toStdString());
    };
    for (const bool enabled : {true, false}) {
        item->SetEnabled(enabled);
        const Lines lines = PaintItem(item, {23, 22}, false, false);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2].substr(0, 16), "image 3,3,19,19 ");
        EXPECT_EQ(lines.back(), std::string("form 3,3,19,19 disabled ") + (enabled ? "0" : "1"));
    }
}

TEST_F(ThemedPaint, SplitButtonsPushTheHalfThatHoldsTheMouse) {
    auto* item = v.Add<TDkxSubmenuItem>();
    item->SetDropdownCombo(true);
    // Pushed without a viewer holding the mouse: its pop-up is open, the
    // arrow half is down.
    EXPECT_EQ(PaintItem(item, {34, 22}, true, true),
              (Lines{"face 0,0,23,22 part2 hover2 open", "face 23,0,34,22 part3 pushed hover2 open",
                     "image 3,3,19,19 part2 hover2 open"}));
    // A press held on the button half.
    v.view->SetViewerCapture(true);
    EXPECT_EQ(PaintItem(item, {34, 22}, true, true),
              (Lines{"face 0,0,23,22 part2 pushed hover2", "face 23,0,34,22 part3 hover2",
                     "image 3,3,19,19 part2 pushed hover2"}));
    v.view->SetViewerCapture(false);
    EXPECT_TRUE(v.view->Find(item)->IsPtInButtonPart(22, 5));
    EXPECT_FALSE(v.view->Find(item)->IsPtInButtonPart(23, 5));
}

TEST_F(ThemedPaint, AGlyphTopDropDownPutsItsArrowBesideTheImage) {
    auto* item = v.Add<TDkxSubmenuItem>();
    item->SetOptions(dkoDropdownArrow);
    item->SetLayout(dkxlGlyphTop);
    item->SetDisplayMode(nbdmImageAndText);
    item->SetCaption(QStringLiteral("Go"));
    const QSize size = v.SizeOf(item);
    const Lines lines = PaintItem(item, size, false, false);
    ASSERT_EQ(lines.size(), 3u);
    // The arrow ends (width + 16 + 4 + 8) / 2 in, 8 wide, and stands as high
    // as the image from the top; the image area moves left by 3.
    const int right = (size.width() + 16 + 4 + 8) / 2;
    EXPECT_EQ(lines[1].substr(0, 6 + std::to_string(right - 8).size()),
              "arrow " + std::to_string(right - 8));
    const int imageLeft = 2 + (size.width() - 4 - 16) / 2 - 3;
    EXPECT_EQ(lines[2].substr(0, 6 + std::to_string(imageLeft).size() + 3),
              "image " + std::to_string(imageLeft) + ",3,");
}

TEST_F(ThemedPaint, SeparatorsAskForInsetLinesInMenusAndAtLineBreaks) {
    auto* separator = new TDkxSeparatorItem(&v.owner);
    v.root->Add(separator);
    TDkItemViewer* viewer = v.view->Find(separator);
    EXPECT_EQ(PaintItem(separator, {6, 22}, false, false), (Lines{"separator 0,0,6,22 vertical"}));
    viewer->LineBreak = true;
    EXPECT_EQ(PaintItem(separator, {40, 6}, false, false),
              (Lines{"separator 0,0,40,6 horizontal inset"}));
    viewer->LineBreak = false;
    separator->SetSize(0);
    EXPECT_EQ(PaintItem(separator, {6, 22}, false, false), Lines{});
}

// --- Pictures ------------------------------------------------------------------------------

TEST(ThemedItemPictures, GoldenPictureOfEachTheme) {
    for (const char* theme : {"Default", "Flat"}) {
        SCOPED_TRACE(theme);
        KitThemes themes;
        themes.Select(theme);
        ThemedView bar(true);
        ThemedView menu(false);
        struct Cell {
            TDkCustomItem* item;
            QSize size;
            bool hot;
            bool pushed;
        };
        TDkxItem* idle = bar.Add();
        TDkxItem* hot = bar.Add();
        TDkxItem* checked = bar.Add();
        checked->SetChecked(true);
        TDkxItem* disabled = bar.Add();
        disabled->SetEnabled(false);
        auto* split = bar.Add<TDkxSubmenuItem>();
        split->SetDropdownCombo(true);
        auto* drop = bar.Add<TDkxSubmenuItem>();
        drop->SetOptions(dkoDropdownArrow);
        const std::vector<Cell> barCells = {
            {idle, {23, 22}, false, false},    {hot, {23, 22}, true, false},
            {checked, {23, 22}, false, false}, {disabled, {23, 22}, false, false},
            {split, {34, 22}, true, true},     {drop, {31, 22}, true, false}};
        TDkxItem* row = menu.Add();
        auto* sub = menu.Add<TDkxSubmenuItem>(-1);
        TDkxItem* ticked = menu.Add(-1);
        ticked->SetChecked(true);
        const std::vector<Cell> menuCells = {{row, {64, 20}, true, false},
                                             {sub, {64, 20}, true, false},
                                             {ticked, {64, 20}, false, false}};

        QImage image = PaintImage(224, 60, [&](QPainter& p) {
            // The views' backgrounds, as their windows paint them.
            p.fillRect(0, 0, 160, 22, ToQColor(themes.Theme().GetViewBackColor(dk::ViewToolbar)));
            p.fillRect(160, 0, 64, 60,
                       ToQColor(themes.Theme().GetViewBackColor(dk::ViewPopupMenu)));
            p.setFont(bar.view->GetFont());
            int x = 0;
            for (const Cell& c : barCells) {
                p.save();
                p.translate(x, 0);
                bar.view->Find(c.item)->Paint(p, TRect(0, 0, c.size.width(), c.size.height()),
                                              c.hot, c.pushed, true);
                p.restore();
                x += c.size.width() + 1;
            }
            int y = 0;
            for (const Cell& c : menuCells) {
                p.save();
                p.translate(160, y);
                menu.view->Find(c.item)->Paint(p, TRect(0, 0, c.size.width(), c.size.height()),
                                               c.hot, c.pushed, true);
                p.restore();
                y += c.size.height();
            }
        });
        EXPECT_TRUE(MatchesGolden(image, QStringLiteral(QV_TEST_DATA_DIR "/dockkit/items-%1.txt")
                                             .arg(QString::fromLatin1(theme).toLower())));
    }
}

TEST(ThemedItems, CheckeredFacesKeepTheWindowsPhaseWhereverTheItemSits) {
    KitThemes themes;
    ThemedView v(true);
    v.Add(-1)->SetMinWidth(7);
    TDkxItem* checked = v.Add(-1);
    checked->SetChecked(true);
    v.view->ValidatePositions();
    const TRect bounds = v.view->Find(checked)->BoundsRect;
    ASSERT_EQ(bounds.Left % 2, 1) << "the checked item starts at an odd column";
    QImage image(bounds.Right + 2, bounds.Bottom + 2, QImage::Format_RGB32);
    QPainter painter(&image);
    v.view->PaintWindow(painter, QRegion(image.rect()));
    // Inside the sunken edge: the face where x + y is even in the window.
    for (int x = bounds.Left + 1; x < bounds.Left + 5; ++x) {
        const int y = bounds.Top + 2;
        EXPECT_EQ(Px(image, x, y), (x + y) % 2 == 0 ? 0xD4D0C8u : 0xFFFFFFu) << x;
    }
}
