// Saved positions of bars and a panel (StoredValueInput.h: a window, a value
// name and a typed value, over and over) loaded through the registry into a
// form with four docks, three tool bars and a dockable panel, on monitors the
// input picks.
//
// Checked on every input: loading raises nothing; a floating window shows on
// a monitor's work area and a floating panel is no larger than it; a panel
// docked from the stored values leaves the form's client area 32 pixels while
// the form has room for it and for the bars docked on either side; the
// sanitizers report nothing.
#include "FuzzDocking.h"
#include "FuzzSupport.h"
#include "StoredValueInput.h"

#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkFloatingWindowParent.h"
#include "dockkit/docking/DkPositions.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/themes/DkKitThemes.h"
#include "dockkit/themes/DkThemedItem.h"
#include "platform/core/Registry.h"
#include "platform/gui/AlignLayout.h"

#include "PlatformFakes.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

namespace {

using plat::ScreenArea;
using plat::TRect;

std::unique_ptr<QTemporaryDir> folder; // removed at exit

const QString kBase = QStringLiteral("Software\\ZELVO\\MainForm\\Toolbars\\");

struct Form {
    Form(int width, int height) {
        layout = new plat::AlignLayout(&form);
        const std::pair<const char*, TDkDockPosition> docks[] = {{"TopDock", dpTop},
                                                                 {"BottomDock", dpBottom},
                                                                 {"LeftDock", dpLeft},
                                                                 {"RightDock", dpRight}};
        for (const auto& [name, position] : docks) {
            auto* dock = new TDkxDock(&form, position);
            dock->setObjectName(QString::fromLatin1(name));
        }
        client = new QWidget(&form);
        layout->AddWidget(client, plat::Align::Client);
        panel = new TDkxDockablePanel(&form);
        panel->setObjectName(QStringLiteral("GroupDockablePanel"));
        panel->SetCaption(QStringLiteral("Groups"));
        auto* content = new QLabel(QStringLiteral("Friends"), panel);
        panel->Layout()->AddWidget(content, plat::Align::Client);
        panel->SetCurrentDock(form.findChild<TDkDock*>(QStringLiteral("RightDock")));
        for (const char* name : {"MenuBar", "StandardBar", "EditBar"}) {
            auto* bar = new TDkxToolbar(&form);
            bar->setObjectName(QString::fromLatin1(name));
            for (const char* caption : {"&File", "&Edit", "&View"}) {
                auto* item = new TDkxItem(bar);
                item->SetCaption(QString::fromLatin1(caption));
                bar->Items()->Add(item);
            }
            bar->SetCurrentDock(form.findChild<TDkDock*>(QStringLiteral("TopDock")));
            bars.push_back(bar);
        }
        form.setGeometry(10, 10, width, height);
        form.show();
        Settle();
    }
    void Settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        layout->activate();
        QCoreApplication::processEvents();
    }

    QWidget form;
    plat::AlignLayout* layout = nullptr;
    QWidget* client = nullptr;
    TDkxDockablePanel* panel = nullptr;
    std::vector<TDkxToolbar*> bars;
};

void CheckFloating(const TDkCustomDockableWindow* window, const std::vector<ScreenArea>& areas,
                   bool fitsInside) {
    if (!window->Floating() || window->FloatingParent() == nullptr || areas.empty()) {
        return;
    }
    const TRect frame(window->FloatingParent()->geometry());
    const TRect work = plat::MonitorRectForRect(areas, frame, true);
    check(!plat::IntersectRect(frame, work).IsEmpty());
    if (fitsInside) {
        check(frame.Width() <= work.Width() && frame.Height() <= work.Height());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    OffscreenApplication(argc, argv);
    static const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    folder = std::make_unique<QTemporaryDir>();
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::vector<ScreenArea>> layouts = MonitorLayouts();
    static const std::vector<QString> windows{"GroupDockablePanel", "MenuBar", "StandardBar",
                                              "EditBar"};
    static const std::vector<QString> names = SavedPositionNames();
    static const QStringList words{"2000",      "+",          "TopDock",  "LeftDock",
                                   "RightDock", "BottomDock", "leftdock", "",
                                   "NoDock",    "1",          "-1"};
    StoredValueInput in(data, size);
    const FakeScreens screens(in.Pick(layouts));
    const int width = 40 + in.Byte() * 4;
    const int height = 40 + in.Byte() * 3;
    plat::Registry store(folder->filePath(QStringLiteral("never-saved.ini")));
    while (!in.AtEnd()) {
        const QString& window = in.Pick(windows);
        const QString& name = in.Pick(names);
        if (auto key = store.OpenKey(plat::Registry::KeyPath(kBase) + QStringList{window}, true)) {
            in.WriteValue(*key, name, words);
        }
    }
    // Only a panel whose place was read is fitted to its room.
    const bool panelRead = StoredOnSideDock(
        store, plat::Registry::KeyPath(kBase) + QStringList{QStringLiteral("GroupDockablePanel")});
    {
        Form f(width, height);
        try {
            dk::RegistryLoadPositions(&f.form, store, kBase);
        } catch (const std::exception&) {
            std::abort(); // every window and dock has a name: nothing to refuse
        }
        f.Settle();
        CheckFloating(f.panel, screens.Areas(), true);
        for (const TDkxToolbar* bar : f.bars) {
            CheckFloating(bar, screens.Areas(), false);
        }
        if (panelRead &&
            PanelMustLeaveRoom(f.panel, f.panel->MinClientWidth() + 4, f.form.width())) {
            check(f.client->width() >= 32);
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return 0;
}
