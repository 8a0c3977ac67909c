// What the windows rely on from their menus, bars, panels and
// palettes, checked through the interfaces alone, so that any classes that
// take their place must pass the same tests.
#include "MainFormTestSupport.h"

#include "app/kit/Kit.h"

#include <QAction>
#include <QPainter>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

using mainformtest::ProcessPosted;

class KitContractTest : public ::testing::Test {
public:
    KitContractTest() {
        content = new QWidget;
        content->setMinimumHeight(50);
        auto* layout = new QVBoxLayout(form.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
    }
    ~KitContractTest() override {
        ProcessPosted(); // nothing queued may outlive the form
    }

protected:
    // A menu of items named by the words of the layout: "-" a separator, a
    // leading "~" a hidden item.
    kit::IPopupMenu* Menu(const QString& name, const QString& layout) {
        kit::IPopupMenu* menu = kit::CreatePopupMenu(*form, name);
        for (const QString& word : layout.split(u' ', Qt::SkipEmptyParts)) {
            if (word == u"-") {
                menu->AddSeparator();
            } else {
                menu->AddItem(word, word)->SetVisible(!word.startsWith(u'~'));
            }
        }
        return menu;
    }

    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    QWidget* content = nullptr;
};

struct SeparatorCase {
    const char* Spec;
    const char* SameAs;
};

class SeparatorTest : public KitContractTest,
                      public ::testing::WithParamInterface<SeparatorCase> {};

TEST_P(SeparatorTest, SeparatorIsShownOnlyBetweenShownItems) {
    const int shown =
        Menu("Menu", QString::fromLatin1(GetParam().Spec))->Widget()->sizeHint().height();
    const int expected =
        Menu("Expected", QString::fromLatin1(GetParam().SameAs))->Widget()->sizeHint().height();
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(Menus, SeparatorTest,
                         ::testing::Values(SeparatorCase{"a - ~b - c", "a - c"},
                                           SeparatorCase{"a - ~b", "a"},
                                           SeparatorCase{"~a - b", "b"},
                                           SeparatorCase{"- a - - b -", "a - b"},
                                           SeparatorCase{"a - ~b ~c - d", "a - d"}));

// What the separator cases compare is the height of what shows.
TEST_F(KitContractTest, AClosedMenuMeasuresWhatItShows) {
    const int one = Menu("One", "a")->Widget()->sizeHint().height();
    EXPECT_GT(one, 0);
    EXPECT_GT(Menu("Two", "a b")->Widget()->sizeHint().height(), one);
    EXPECT_GT(Menu("Parted", "a - b")->Widget()->sizeHint().height(),
              Menu("Whole", "a b")->Widget()->sizeHint().height());
}

TEST_F(KitContractTest, AClickRunsFromTheEventLoopAfterItsMenuHasClosed) {
    kit::IPopupMenu* menu = Menu("Menu", "a b ~hidden");
    auto* action = new QAction(QStringLiteral("&Act"), form.get());
    action->setObjectName(QStringLiteral("Act"));
    kit::IMenuItem* linked = menu->AddAction(action);
    QStringList runs;
    for (int i = 0; i < menu->ItemCount(); ++i) {
        menu->Items(i)->OnClick = [&](kit::IMenuItem* sender) {
            runs << sender->Name() + (menu->IsOpen() ? "+open" : "");
        };
    }
    QObject::connect(action, &QAction::triggered, form.get(),
                     [&] { runs << QStringLiteral("Act") + (menu->IsOpen() ? "+open" : ""); });
    menu->FindItem(QStringLiteral("b"))->SetEnabled(false);

    for (const char* name : {"a", "b", "~hidden", "Act"}) {
        menu->Popup(40, 40);
        ASSERT_TRUE(menu->IsOpen());
        const qsizetype before = runs.size();
        menu->FindItem(QString::fromLatin1(name))->Click();
        EXPECT_EQ(runs.size(), before) << name;
        ProcessPosted();
        menu->CloseUp();
    }
    EXPECT_EQ(runs, (QStringList{"a", "Act"}));
    EXPECT_EQ(menu->FindItem(QStringLiteral("zzz")), nullptr);

    // The linked item follows its action.
    action->setText(QStringLiteral("Other"));
    action->setEnabled(false);
    EXPECT_EQ(linked->Caption(), QStringLiteral("Other"));
    EXPECT_FALSE(linked->Enabled());
    action->setVisible(false);
    EXPECT_FALSE(linked->Visible());
}

TEST_F(KitContractTest, BarsGoAboveTheContentsAndTheStatusBarBelow) {
    kit::IMenuBar* menuBar = kit::CreateMenuBar(*form, QStringLiteral("MenuBar"));
    menuBar->AddSubmenu(QStringLiteral("FileMenu"), QStringLiteral("&File"));
    kit::IToolbar* first = kit::CreateToolbar(*form, QStringLiteral("First"), QStringLiteral("1"));
    kit::IToolbar* second =
        kit::CreateToolbar(*form, QStringLiteral("Second"), QStringLiteral("2"));
    for (kit::IToolbar* bar : {first, second}) {
        bar->AddAction(new QAction(QStringLiteral("x"), form.get()));
    }
    kit::IStatusBar* status = kit::CreateStatusBar(*form, QStringLiteral("Status"), {150, -1});
    form->resize(400, 300);
    form->show();

    const auto rect = [&](QWidget* w) { return QRect(w->mapTo(form.get(), QPoint()), w->size()); };
    EXPECT_EQ(rect(menuBar->Widget()).top(), 0);
    EXPECT_GE(rect(first->Widget()).top(), rect(menuBar->Widget()).bottom());
    EXPECT_GE(rect(second->Widget()).top(), rect(first->Widget()).bottom());
    EXPECT_GE(rect(content).top(), rect(second->Widget()).bottom());
    EXPECT_GE(rect(status->Widget()).top(), rect(content).bottom());
    EXPECT_EQ(rect(status->Widget()).bottom(), form->height() - 1);
    EXPECT_EQ(menuBar->Items(0)->Caption(), QStringLiteral("&File"));

    EXPECT_EQ(status->PanelCount(), 2);
    EXPECT_EQ(status->PanelWidth(0), 150);
    EXPECT_EQ(status->PanelWidth(1), -1);
    status->SetPanelText(1, QStringLiteral("Ostrelian"));
    EXPECT_EQ(status->PanelText(1), QStringLiteral("Ostrelian"));
}

TEST_F(KitContractTest, ClosingByHandIsReportedAndSetVisibleIsNot) {
    kit::IToolbar* bar = kit::CreateToolbar(*form, QStringLiteral("Bar"), QStringLiteral("Bar"));
    kit::IDockablePanel* panel = kit::CreateDockablePanel(*form, QStringLiteral("Panel"),
                                                          QStringLiteral("Panel"), new QWidget);
    QStringList closed;
    bar->OnClose = [&](kit::IToolbar*) { closed << "bar"; };
    panel->OnClose = [&](kit::IDockablePanel*) { closed << "panel"; };
    form->show();
    bar->SetVisible(false);
    panel->SetVisible(false);
    EXPECT_FALSE(bar->Visible() || panel->Visible());
    bar->SetVisible(true);
    panel->SetVisible(true);
    EXPECT_TRUE(bar->Visible() && panel->Visible());
    EXPECT_TRUE(closed.isEmpty());

    bar->Widget()->close();
    panel->Widget()->close();
    EXPECT_EQ(closed, (QStringList{"bar", "panel"}));
    EXPECT_FALSE(bar->Visible() || panel->Visible());
}

TEST_F(KitContractTest, PanelFloatsWithTheHeightSetWhileItsDockChanges) {
    kit::IDockablePanel* panel = kit::CreateDockablePanel(*form, QStringLiteral("Panel"),
                                                          QStringLiteral("Panel"), new QWidget);
    EXPECT_EQ(panel->Caption(), QStringLiteral("Panel"));
    QList<bool> changes;
    panel->OnDockChanging = [&](kit::IDockablePanel* sender, bool floating) {
        changes << floating;
        sender->SetHeight(123);
    };
    form->resize(300, 300);
    form->show();
    panel->SetFloating(true);
    EXPECT_TRUE(panel->Floating());
    EXPECT_EQ(panel->Height(), 123);
    panel->SetFloating(false);
    EXPECT_FALSE(panel->Floating());
    EXPECT_EQ(changes, (QList<bool>{true, false}));
}

// A palette in a menu: the menu closes before the click is reported, and
// the click selects its cell unless refused or NoAutoSelect is set.
TEST_F(KitContractTest, PaletteClicksCloseTheMenuAndSelectUnlessRefused) {
    kit::ColorSet colors;
    colors.SetSize(3, 1);
    colors.OnGetColorInfo = [](kit::ColorSet*, int col, int row, plat::TColor& color,
                               QString& name) {
        if (col < 2 && row == 0) {
            color = col == 0 ? plat::RGB(0, 0, 0) : plat::RGB(0, 0, 255);
            name = col == 0 ? QStringLiteral("Black") : QStringLiteral("Blue");
        }
    };
    kit::IColorPalette* palette = kit::CreateColorPalette(form.get(), QStringLiteral("Palette"));
    palette->SetColorSet(&colors);
    kit::IPopupMenu* menu = kit::CreatePopupMenu(*form, QStringLiteral("Menu"));
    menu->AddPalette(palette);
    QStringList clicks;
    bool allow = true;
    palette->OnCellClick = [&](kit::IToolPalette*, int col, int row, bool& allowChange) {
        clicks << QStringLiteral("%1,%2%3").arg(col).arg(row).arg(menu->IsOpen() ? "+open" : "");
        allowChange = allow;
    };

    EXPECT_EQ(palette->CellHint(1, 0), QStringLiteral("Blue"));
    EXPECT_FALSE(palette->CellVisible(2, 0)); // clNone: no cell
    menu->Popup(40, 40);
    palette->ClickCell(1, 0);
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(palette->SelectedCell(), QPoint(1, 0));
    EXPECT_EQ(palette->Color(), plat::RGB(0, 0, 255));
    palette->ClickCell(2, 0);
    allow = false;
    palette->ClickCell(0, 0);
    EXPECT_EQ(palette->SelectedCell(), QPoint(1, 0));
    palette->SetNoAutoSelect(true);
    allow = true;
    palette->ClickCell(0, 0);
    EXPECT_EQ(palette->SelectedCell(), QPoint(1, 0));
    EXPECT_EQ(clicks, (QStringList{"1,0", "0,0", "0,0"}));

    // SetColor selects the cell of the same RGB value, or none, and keeps
    // the colour as it was given.
    palette->SetColor(plat::clWindowText);
    EXPECT_EQ(palette->SelectedCell(), QPoint(0, 0));
    EXPECT_EQ(palette->Color(), plat::clWindowText);
    palette->SetColor(plat::RGB(1, 2, 3));
    EXPECT_EQ(palette->SelectedCell(), QPoint(-1, -1));
    EXPECT_EQ(palette->Color(), plat::RGB(1, 2, 3));
}

TEST_F(KitContractTest, ColorItemClicksLeaveTheCheckMarkToTheirHandler) {
    kit::IColorItem* item =
        kit::CreateColorItem(form.get(), QStringLiteral("Default"), QStringLiteral("Default"));
    kit::IPopupMenu* menu = kit::CreatePopupMenu(*form, QStringLiteral("Menu"));
    menu->AddColorItem(item);
    int clicks = 0;
    item->OnClick = [&](kit::IColorItem*) { clicks += menu->IsOpen() ? 100 : 1; };
    menu->Popup(40, 40);
    item->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(item->Checked());
    item->SetChecked(true);
    item->Click();
    EXPECT_TRUE(item->Checked());
}

TEST_F(KitContractTest, SubmenuImageIsDrawnOverWhileEnabled) {
    kit::IToolbar* bar = kit::CreateToolbar(*form, QStringLiteral("Bar"), QStringLiteral("Bar"));
    kit::ISubmenuItem* item = bar->AddSubmenu(QStringLiteral("Item"), QStringLiteral("Item"));
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QColor strip = Qt::red;
    item->OnDrawImage = [&](kit::ISubmenuItem*, QPainter& canvas, const QRect& rect, bool enabled) {
        if (enabled) {
            canvas.fillRect(rect.adjusted(0, 12, 0, 0), strip);
        }
    };
    item->SetImage(image);
    EXPECT_EQ(item->ItemImage(true).pixelColor(8, 14), QColor(Qt::red));
    EXPECT_EQ(item->ItemImage(true).pixelColor(8, 4), QColor(Qt::black));
    EXPECT_NE(item->ItemImage(false).pixelColor(8, 14), QColor(Qt::red));
    strip = Qt::blue;
    item->Repaint();
    EXPECT_EQ(item->ItemImage(true).pixelColor(8, 14), QColor(Qt::blue));
}

} // namespace
