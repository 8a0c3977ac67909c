// Laying out and painting the toolbar kit's views next to Qt's own tool bar
// and menu holding the same actions: a tool bar of 30 buttons with images and
// a menu of 50 items with shortcut texts. Each iteration lays everything out
// anew (the kit re-measures every viewer; Qt is told its layout and item
// rectangles are stale) and paints the whole window into an image.
//
// Docks: a form whose top dock holds 8 bars of 6 buttons in 3 rows is resized
// between 800 and 700 pixels (the bars of the lower rows move; none has to
// shrink on either side), next to a QMainWindow with the same QToolBars in 3 tool bar
// rows; and the saved positions of 10 windows are written to the registry
// store and read back.
#include "BenchMain.h"
#include "BenchQt.h"

#include "dockkit/bars/DkToolbar/DkToolbar.h"
#include "dockkit/common/DkMessages.h"
#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/docking/DkPositions.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkPopupWindow.h"
#include "dockkit/themes/DkKitThemes.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"

#include "platform/core/Registry.h"
#include "platform/gui/AlignLayout.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/KitMessage.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QImage>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kToolbarItems = 30;
constexpr int kMenuItems = 50;

// The actions both sides show, with 16 x 16 images.
struct Actions {
    explicit Actions(int count, bool withImages) : images(16, 16) {
        QImage cell(16, 16, QImage::Format_ARGB32);
        for (int i = 0; i < 8; ++i) {
            cell.fill(QColor::fromHsv(i * 40, 200, 200));
            images.Add(cell);
        }
        for (int i = 0; i < count; ++i) {
            auto* action = new QAction(QStringLiteral("&Command %1").arg(i), &owner);
            if (i % 10 == 9) {
                action->setSeparator(true);
            } else {
                action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i % 26)));
                if (withImages) {
                    action->setIcon(QIcon(QPixmap::fromImage(images.Image(i % 8))));
                    action->setProperty("ImageIndex", i % 8);
                }
            }
            list.push_back(action);
        }
    }
    QObject owner;
    plat::ImageList images;
    std::vector<QAction*> list;
};

// The kit's side: a root item with one item per action and a view in a window.
struct KitSide {
    KitSide(const Actions& actions, bool toolbar) {
        root = new TDkRootItem(&owner);
        root->SetSubMenuImages(const_cast<plat::ImageList*>(&actions.images));
        for (QAction* action : actions.list) {
            if (action->isSeparator()) {
                root->Add(new TDkSeparatorItem(&owner));
                continue;
            }
            auto* item = new TDkCustomItem(&owner);
            item->SetAction(action);
            if (toolbar) {
                item->SetDisplayMode(nbdmDefault);
            }
            root->Add(item);
        }
        view = new TDkView(&window, nullptr, root, &window, toolbar, false, toolbar);
        view->ValidatePositions();
    }
    QObject owner;
    QWidget window;
    TDkRootItem* root;
    TDkView* view;
};

void LayOutAndPaintKit(KitSide& kit, QImage& image) {
    kit.view->InvalidatePositions();
    kit.view->ValidatePositions();
    const QSize size = kit.window.size();
    if (image.size() != size) {
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    }
    QPainter painter(&image);
    kit.view->PaintWindow(painter, QRegion(QRect(QPoint(), size)));
}

void BM_Kit_Toolbar30(benchmark::State& state) {
    Actions actions(kToolbarItems, true);
    KitSide kit(actions, true);
    QImage image;
    for (auto _ : state) {
        LayOutAndPaintKit(kit, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Kit_Toolbar30)->Unit(benchmark::kMicrosecond);

// A QToolBar of the tool bar's actions laid out anew and painted, under the
// given style (the application's when none).
void RunQtToolbar30(benchmark::State& state, QStyle* style) {
    Actions actions(kToolbarItems, true);
    QToolBar bar;
    if (style != nullptr) {
        bar.setStyle(style);
    }
    bar.setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction* action : actions.list) {
        bar.addAction(action);
    }
    if (style != nullptr) {
        for (QWidget* child : bar.findChildren<QWidget*>()) {
            child->setStyle(style);
        }
    }
    bar.adjustSize();
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        bar.layout()->invalidate();
        bar.layout()->activate();
        QPainter painter(&image);
        bar.render(&painter);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Qt_Toolbar30(benchmark::State& state) {
    RunQtToolbar30(state, nullptr);
}
BENCHMARK(BM_Qt_Toolbar30)->Unit(benchmark::kMicrosecond);

void BM_Kit_Menu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    KitSide kit(actions, false);
    QImage image;
    for (auto _ : state) {
        LayOutAndPaintKit(kit, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Kit_Menu50)->Unit(benchmark::kMicrosecond);

// The two halves of the kit's menu figure.
void BM_Kit_Menu50_LayoutOnly(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    KitSide kit(actions, false);
    for (auto _ : state) {
        kit.view->InvalidatePositions();
        kit.view->ValidatePositions();
    }
}
BENCHMARK(BM_Kit_Menu50_LayoutOnly)->Unit(benchmark::kMicrosecond);

void BM_Kit_Menu50_PaintOnly(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    KitSide kit(actions, false);
    QImage image(kit.window.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        kit.view->PaintWindow(painter, QRegion(QRect(QPoint(), image.size())));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Kit_Menu50_PaintOnly)->Unit(benchmark::kMicrosecond);

void BM_Qt_Menu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    QMenu menu;
    for (QAction* action : actions.list) {
        menu.addAction(action);
    }
    menu.adjustSize();
    QImage image(menu.sizeHint(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        // Marks the item rectangles stale; the size hint measures them again.
        QEvent fontChange(QEvent::FontChange);
        QCoreApplication::sendEvent(&menu, &fontChange);
        benchmark::DoNotOptimize(menu.sizeHint());
        QPainter painter(&image);
        menu.render(&painter);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Qt_Menu50)->Unit(benchmark::kMicrosecond);

// --- Docks ---------------------------------------------------------------------

constexpr int kBars = 8;
constexpr int kButtonsPerBar = 6;
constexpr int kBarRows[kBars] = {0, 0, 0, 1, 1, 1, 2, 2};

// A view that keeps its layout's size for its bar instead of sizing it.
class BarView : public TDkView {
public:
    using TDkView::TDkView;
    void DoUpdatePositions(QSize size) override { Size = size; }
    QSize Size;
};

// A dockable bar showing a view of its items, as a tool bar does.
class BenchBar : public TDkCustomDockableWindow {
public:
    BenchBar(QWidget* form, TDkRootItem* root) : TDkCustomDockableWindow(form) {
        view_ = new BarView(this, nullptr, root, this, true, false, true);
    }
    QSize LayoutChildren(bool, PlacementKind, TDkDock*) override { return NaturalSize(); }
    QSize NaturalSize() override {
        view_->ValidatePositions();
        return view_->Size;
    }

private:
    BarView* view_;
};

// The kit's form: a top dock with 8 bars in 3 rows over a client widget.
struct KitDockForm {
    explicit KitDockForm(const Actions& actions) {
        form.setAttribute(Qt::WA_DontShowOnScreen);
        auto* layout = new plat::AlignLayout(&form);
        dock = new TDkDock(&form, dpTop);
        dock->setObjectName(QStringLiteral("TopDock"));
        for (int b = 0; b < kBars; ++b) {
            auto* root = new TDkRootItem(&owner);
            root->SetSubMenuImages(const_cast<plat::ImageList*>(&actions.images));
            for (int i = 0; i < kButtonsPerBar; ++i) {
                auto* item = new TDkCustomItem(&owner);
                item->SetAction(actions.list[static_cast<size_t>(b * kButtonsPerBar + i) % 9]);
                item->SetDisplayMode(nbdmDefault);
                root->Add(item);
            }
            auto* bar = new BenchBar(&form, root);
            bar->setObjectName(QStringLiteral("Bar%1").arg(b));
            bar->SetDockRow(kBarRows[b]);
            bar->SetDockPos(b * 200);
            bar->SetCurrentDock(dock);
            bars.push_back(bar);
        }
        layout->AddWidget(new QWidget(&form), plat::Align::Client);
        form.resize(800, 600);
        form.show();
    }
    QObject owner;
    QWidget form;
    TDkDock* dock;
    std::vector<BenchBar*> bars;
};

void BM_Kit_DockResize8Bars(benchmark::State& state) {
    Actions actions(kBars * kButtonsPerBar, true);
    KitDockForm kit(actions);
    int width = 800;
    for (auto _ : state) {
        width = width == 800 ? 700 : 800;
        kit.form.resize(width, 600);
        benchmark::DoNotOptimize(kit.dock->height());
    }
}
BENCHMARK(BM_Kit_DockResize8Bars)->Unit(benchmark::kMicrosecond);

void BM_Qt_MainWindowResize8Bars(benchmark::State& state) {
    Actions actions(kBars * kButtonsPerBar, true);
    QMainWindow window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    for (int b = 0; b < kBars; ++b) {
        if (b > 0 && kBarRows[b] != kBarRows[b - 1]) {
            window.addToolBarBreak();
        }
        auto* bar = new QToolBar(QStringLiteral("Bar%1").arg(b), &window);
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        for (int i = 0; i < kButtonsPerBar; ++i) {
            QAction* action = actions.list[static_cast<size_t>(b * kButtonsPerBar + i) % 9];
            bar->addAction(action);
        }
        window.addToolBar(Qt::TopToolBarArea, bar);
    }
    window.setCentralWidget(new QWidget(&window));
    window.resize(800, 600);
    window.show();
    int width = 800;
    for (auto _ : state) {
        width = width == 800 ? 700 : 800;
        window.resize(width, 600);
        benchmark::DoNotOptimize(window.centralWidget()->y());
    }
}
BENCHMARK(BM_Qt_MainWindowResize8Bars)->Unit(benchmark::kMicrosecond);

// Ten windows: seven on the top dock, three floating; saved to the registry
// store and read back (the store stays in memory).
void BM_Kit_Positions10_SaveLoad(benchmark::State& state) {
    Actions actions(kBars * kButtonsPerBar, true);
    KitDockForm kit(actions);
    for (int b = kBars; b < 10; ++b) {
        auto* root = new TDkRootItem(&kit.owner);
        auto* bar = new BenchBar(&kit.form, root);
        bar->setObjectName(QStringLiteral("Bar%1").arg(b));
        bar->SetCurrentDock(kit.dock);
        kit.bars.push_back(bar);
    }
    for (int b = 7; b < 10; ++b) {
        kit.bars[static_cast<size_t>(b)]->SetFloatingPosition(QPoint(100 * b, 300));
        kit.bars[static_cast<size_t>(b)]->SetFloatingState(true);
    }
    QTemporaryDir dir;
    plat::Registry store(dir.path() + QStringLiteral("/store.ini"));
    const QString base = QStringLiteral("Software\\ZELVO\\MainForm\\Toolbars\\");
    for (auto _ : state) {
        dk::RegistrySavePositions(&kit.form, store, base);
        dk::RegistryLoadPositions(&kit.form, store, base);
    }
}
BENCHMARK(BM_Kit_Positions10_SaveLoad)->Unit(benchmark::kMicrosecond);
// --- Opening menus -------------------------------------------------------------
// From the call that opens a 50-item menu to the end of its first paint: the
// kit's pop-up (made, laid out, placed on its monitor and shown) against
// QMenu::popup with the same actions, and a 50-item submenu opened from the
// first menu by the Right key on both sides. The windows are closed outside
// the timing.

// Notes which windows have finished a paint: when processEvents returns
// after a paint event, the paint is complete.
class PaintWatch final : public QObject {
public:
    PaintWatch() { QCoreApplication::instance()->installEventFilter(this); }
    ~PaintWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    void WaitFor(const QObject* window) {
        painted_ = nullptr;
        while (painted_ != window) {
            QCoreApplication::processEvents();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            painted_ = static_cast<QWidget*>(watched)->window();
        }
        return false;
    }

private:
    const QObject* painted_ = nullptr;
};

// The kit's items for the actions, under `parent`.
void AddKitItems(const Actions& actions, TDkCustomItem* parent, QObject* owner) {
    for (QAction* action : actions.list) {
        if (action->isSeparator()) {
            parent->Add(new TDkSeparatorItem(owner));
            continue;
        }
        auto* item = new TDkCustomItem(owner);
        item->SetAction(action);
        parent->Add(item);
    }
}

void BM_Kit_OpenMenu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    QObject owner;
    auto* root = new TDkRootItem(&owner);
    root->SetSubMenuImages(&actions.images);
    AddKitItems(actions, root, &owner);
    PaintWatch watch;
    for (auto _ : state) {
        TDkPopupWindow* window =
            root->CreatePopup(nullptr, nullptr, false, false, false, QPoint(100, 100), dkpaLeft);
        watch.WaitFor(window);
        state.PauseTiming();
        delete window;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Kit_OpenMenu50)->Unit(benchmark::kMicrosecond);

void BM_Qt_OpenMenu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    QMenu menu;
    for (QAction* action : actions.list) {
        menu.addAction(action);
    }
    PaintWatch watch;
    for (auto _ : state) {
        menu.popup(QPoint(100, 100));
        watch.WaitFor(&menu);
        state.PauseTiming();
        menu.hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_OpenMenu50)->Unit(benchmark::kMicrosecond);

void BM_Kit_OpenSubmenu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    QObject owner;
    auto* root = new TDkRootItem(&owner);
    root->SetSubMenuImages(&actions.images);
    AddKitItems(actions, root, &owner);
    auto* sub = new TDkCustomItem(&owner);
    sub->SetCaption(QStringLiteral("&Submenu"));
    sub->SetItemStyle(sub->ItemStyle() | dk::StyleSubmenu);
    sub->SetSubMenuImages(&actions.images);
    AddKitItems(actions, sub, &owner);
    root->Insert(0, sub);
    PaintWatch watch;
    std::unique_ptr<TDkPopupWindow> top(
        root->CreatePopup(nullptr, nullptr, false, false, false, QPoint(100, 100), dkpaLeft));
    watch.WaitFor(top.get());
    TDkView* view = top->View();
    view->Select(view->Find(sub));
    for (auto _ : state) {
        int key = Qt::Key_Right;
        view->KeyDown(key, Qt::NoModifier);
        watch.WaitFor(view->OpenWindow());
        state.PauseTiming();
        view->CloseChildPopups();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Kit_OpenSubmenu50)->Unit(benchmark::kMicrosecond);

void BM_Qt_OpenSubmenu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    QMenu menu;
    QMenu* sub = menu.addMenu(QStringLiteral("&Submenu"));
    for (QAction* action : actions.list) {
        menu.addAction(action);
        sub->addAction(action);
    }
    PaintWatch watch;
    menu.popup(QPoint(100, 100));
    watch.WaitFor(&menu);
    menu.setActiveAction(sub->menuAction());
    for (auto _ : state) {
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(&menu, &right);
        watch.WaitFor(sub);
        state.PauseTiming();
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        QCoreApplication::sendEvent(sub, &left);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_OpenSubmenu50)->Unit(benchmark::kMicrosecond);

// --- A docked tool bar and a menu bar ---------------------------------------------
// A tool bar of 30 buttons with images on the top dock of a form, laid out
// anew (its view and the dock's rows) and painted, next to a QToolBar with
// the same actions in a QMainWindow's top tool bar area (its layout and the
// window's redone, the bar rendered). And a menu bar's 50-item menu opened
// from its header to the end of the menu's first paint, next to a QMenuBar
// opening a QMenu with the same actions.

struct KitBarForm {
    explicit KitBarForm(const Actions& actions, bool menuBar) {
        form.resize(800, 600);
        new plat::AlignLayout(&form);
        dock = new TDkDock(&form, dpTop);
        bar = new TDkToolbar(&form);
        bar->SetImages(const_cast<plat::ImageList*>(&actions.images));
        if (menuBar) {
            bar->SetMenuBar(true);
            header = new TDkCustomItem(bar);
            header->SetCaption(QStringLiteral("&File"));
            header->SetItemStyle(header->ItemStyle() | dk::StyleSubmenu);
            header->SetSubMenuImages(const_cast<plat::ImageList*>(&actions.images));
            AddKitItems(actions, header, bar);
            bar->Items()->Add(header);
        } else {
            AddKitItems(actions, bar->Items(), bar);
        }
        bar->SetCurrentDock(dock);
        form.show();
        QCoreApplication::processEvents();
    }
    QWidget form;
    TDkDock* dock = nullptr;
    TDkToolbar* bar = nullptr;
    TDkCustomItem* header = nullptr;
};

void BM_Kit_DockedToolbar30(benchmark::State& state) {
    Actions actions(kToolbarItems, true);
    KitBarForm kit(actions, false);
    QImage image(kit.bar->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        kit.bar->View()->InvalidatePositions();
        kit.bar->ArrangeContent();
        QPainter painter(&image);
        kit.bar->render(&painter);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Kit_DockedToolbar30)->Unit(benchmark::kMicrosecond);

void BM_Qt_DockedToolbar30(benchmark::State& state) {
    Actions actions(kToolbarItems, true);
    QMainWindow window;
    window.resize(800, 600);
    QToolBar* bar = window.addToolBar(QStringLiteral("Bar"));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction* action : actions.list) {
        bar->addAction(action);
    }
    window.show();
    QCoreApplication::processEvents();
    QImage image(bar->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        bar->layout()->invalidate();
        window.layout()->invalidate();
        window.layout()->activate();
        bar->layout()->activate();
        QPainter painter(&image);
        bar->render(&painter);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Qt_DockedToolbar30)->Unit(benchmark::kMicrosecond);

void BM_Kit_OpenMenuBarMenu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    KitBarForm kit(actions, true);
    TDkView* view = kit.bar->View();
    PaintWatch watch;
    for (auto _ : state) {
        view->Select(view->Find(kit.header));
        view->OpenChildPopup(true);
        watch.WaitFor(view->OpenWindow());
        state.PauseTiming();
        view->CloseChildPopups();
        view->Select(nullptr);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Kit_OpenMenuBarMenu50)->Unit(benchmark::kMicrosecond);

void BM_Qt_OpenMenuBarMenu50(benchmark::State& state) {
    Actions actions(kMenuItems, true);
    QMainWindow window;
    window.resize(800, 600);
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&File"));
    for (QAction* action : actions.list) {
        menu->addAction(action);
    }
    window.show();
    QCoreApplication::processEvents();
    PaintWatch watch;
    for (auto _ : state) {
        window.menuBar()->setActiveAction(menu->menuAction());
        watch.WaitFor(menu);
        state.PauseTiming();
        menu->hide();
        window.menuBar()->setActiveAction(nullptr);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_OpenMenuBarMenu50)->Unit(benchmark::kMicrosecond);
// --- Themes ----------------------------------------------------------------------
// Switching the theme with 20 themed windows open (10 menus of 10 items shown
// on the screen, 10 dockable panels docked on a form), each switch followed by
// the repaints it asks for; beside it Qt switching the application's style
// between Fusion and Windows with 10 menus of the same actions shown as
// windows and a main window with 10 dock widgets. And the
// 30-button tool bar of the kit's first benchmark built from themed items,
// laid out and painted under each theme, beside the QToolBar under Fusion.

// A window of a tool bar's view kind, as themed bars answer.
class ToolbarKindWindow final : public QWidget {
protected:
    bool event(QEvent* event) override {
        if (auto* message = plat::KitMessageEvent::From(event)) {
            if (message->Msg() == dk::kViewKindMessage) {
                message->Result = dk::ViewToolbar;
                return true;
            }
        }
        return QWidget::event(event);
    }
};

void BM_Kit_ThemeSwitch20Windows(benchmark::State& state) {
    const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    Actions actions(10, true);
    QObject owner;
    std::vector<std::unique_ptr<TDkxPopupWindow>> menus;
    for (int m = 0; m < 10; ++m) {
        auto* root = new TDkxRootItem(&owner);
        root->SetSubMenuImages(&actions.images);
        for (QAction* action : actions.list) {
            auto* item = new TDkxItem(&owner);
            item->SetAction(action);
            root->Add(item);
        }
        menus.push_back(std::make_unique<TDkxPopupWindow>(nullptr, root, false));
        menus.back()->View()->UpdatePositions();
        menus.back()->move(40 * m, 20 * m);
        menus.back()->show();
    }
    QWidget form;
    auto* layout = new plat::AlignLayout(&form);
    auto* dock = new TDkDock(&form, dpLeft);
    layout->AddWidget(new QWidget(&form), plat::Align::Client);
    for (int p = 0; p < 10; ++p) {
        auto* panel = new TDkxDockablePanel(&form);
        panel->SetDockRow(p);
        panel->SetCurrentDock(dock);
    }
    form.resize(900, 600);
    form.show();
    QCoreApplication::processEvents();
    bool flat = false;
    for (auto _ : state) {
        flat = !flat;
        themes->SelectTheme(flat ? QStringLiteral("Flat") : QStringLiteral("Default"));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_Kit_ThemeSwitch20Windows)->Unit(benchmark::kMicrosecond);

void BM_Qt_StyleSwitch20Windows(benchmark::State& state) {
    Actions actions(10, true);
    // Ten menus shown as windows of their own, and a main window with ten
    // dock widgets on its left.
    std::vector<std::unique_ptr<QMenu>> menus;
    for (int m = 0; m < 10; ++m) {
        menus.push_back(std::make_unique<QMenu>());
        menus.back()->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        for (QAction* action : actions.list) {
            menus.back()->addAction(action);
        }
        menus.back()->move(40 * m, 20 * m);
        menus.back()->show();
    }
    QMainWindow form;
    form.setCentralWidget(new QWidget);
    for (int d = 0; d < 10; ++d) {
        auto* dock = new QDockWidget(QStringLiteral("Panel %1").arg(d), &form);
        dock->setWidget(new QWidget);
        form.addDockWidget(Qt::LeftDockWidgetArea, dock);
    }
    form.resize(900, 600);
    form.show();
    QCoreApplication::processEvents();
    const QString before = QApplication::style()->name();
    bool fusion = false;
    for (auto _ : state) {
        fusion = !fusion;
        QApplication::setStyle(
            QStyleFactory::create(fusion ? QStringLiteral("Fusion") : QStringLiteral("Windows")));
        QCoreApplication::processEvents();
    }
    QApplication::setStyle(QStyleFactory::create(before));
}
BENCHMARK(BM_Qt_StyleSwitch20Windows)->Unit(benchmark::kMicrosecond);

void BM_Kit_ThemedToolbar30(benchmark::State& state) {
    const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    const bool flat = state.range(0) != 0;
    themes->SelectTheme(flat ? QStringLiteral("Flat") : QStringLiteral("Default"));
    state.SetLabel(flat ? "Flat" : "Default");
    Actions actions(kToolbarItems, true);
    QObject owner;
    ToolbarKindWindow window;
    auto* root = new TDkRootItem(&owner);
    root->SetSubMenuImages(&actions.images);
    for (QAction* action : actions.list) {
        if (action->isSeparator()) {
            root->Add(new TDkxSeparatorItem(&owner));
            continue;
        }
        auto* item = new TDkxItem(&owner);
        item->SetAction(action);
        root->Add(item);
    }
    auto* view = new TDkView(&window, nullptr, root, &window, true, false, true);
    view->ValidatePositions();
    QImage image;
    for (auto _ : state) {
        view->InvalidatePositions();
        view->ValidatePositions();
        const QSize size = window.size();
        if (image.size() != size) {
            image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        }
        QPainter painter(&image);
        view->PaintWindow(painter, QRegion(QRect(QPoint(), size)));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Kit_ThemedToolbar30)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Qt_Toolbar30_Fusion(benchmark::State& state) {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    RunQtToolbar30(state, fusion.get());
}
BENCHMARK(BM_Qt_Toolbar30_Fusion)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    PreferOffscreen();
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv) ? 0 : 1;
}
