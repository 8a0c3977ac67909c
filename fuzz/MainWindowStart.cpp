#include "MainWindowStart.h"

#include "FuzzDocking.h"
#include "FuzzSupport.h"

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainForm.h"
#include "app/mainform/MainFormControls.h"
#include "app/mainform/MainFormTestSeam.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkFloatingWindowParent.h"
#include "dockkit/themes/DkKitThemes.h"
#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"
#include "platform/gui/StoredValues.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>
#include <memory>

namespace {

bool SaneFont(const QFont& font) {
    const int size = font.pointSize() > 0 ? font.pointSize() : font.pixelSize();
    return size >= 1 && size <= plat::kLargestFontSize;
}

// Whether the settings file docks the panel on a side: only then was its
// width read and fitted to the window's room.
bool PanelDockedFromTheFile() {
    plat::Registry store(plat::Registry::DefaultFilePath());
    return StoredOnSideDock(store, {QStringLiteral("MainForm"), QStringLiteral("Toolbars"),
                                    QStringLiteral("GroupDockablePanel")});
}

void CheckWindow(TMainForm& f, bool panelRead) {
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    if (!f.isMaximized()) {
        check(work.contains(QRect(f.pos(), f.size())));
    }
    TDkxDockablePanel* panel = f.GroupDockablePanel;
    if (panel->Floating() && panel->FloatingParent() != nullptr) {
        const QRect frame = panel->FloatingParent()->geometry();
        check(frame.width() <= work.width() && frame.height() <= work.height());
    }
    for (const TDkxToolbar* bar : {f.MenuBar, f.StandardBar, f.EditBar}) {
        if (bar->Floating() && bar->FloatingParent() != nullptr && bar->isVisible()) {
            check(bar->FloatingParent()->geometry().intersects(work));
        }
    }
    if (panel->Floating() && panel->FloatingParent() != nullptr && panel->isVisible()) {
        check(panel->FloatingParent()->geometry().intersects(work));
    }
    const TQvSplitter& main = *f.MainSplitter;
    if (main.height() >= 18 + 18 + main.SplitterWidth()) {
        check(main.UpperLeft()->height() >= 18 && main.LowerRight()->height() >= 18);
    }
    if (panelRead && PanelMustLeaveRoom(panel, panel->MinClientWidth() + 4, f.width())) {
        check(main.width() >= 32);
    }
    check(SaneFont(f.OutputMemo->Font().font) && SaneFont(f.InputEdit->Font().font) &&
          SaneFont(f.FriendsTreeView->Font().font) && SaneFont(f.GroupsTreeView->Font().font));
}

} // namespace

void InitMainWindowStart(int* argc, char*** argv) {
    OffscreenApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    UseOwnFolder(QStringLiteral("fuzz_startup"));
    check(QDir().mkpath(QFileInfo(SettingsFile()).path()));
    static const plat::ScopedExceptionHandler exceptions(MainFormExceptionHandler());
    static const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    static const dlg::ScopedModalRunner dialogs([](QDialog&) { return int(QDialog::Rejected); });
    static const plat::ScopedMsgBoxHandler boxes(
        [](const plat::MsgBoxRequest&) { return plat::MsgResult::Ok; });
}

QString SettingsFile() {
    return plat::Registry::DefaultFilePath();
}

void KeepLoggingOff() {
    plat::Registry store(SettingsFile());
    if (store.State() != plat::Registry::LoadState::Loaded) {
        return; // read as empty: logging starts off
    }
    if (auto root = store.OpenKey({}, true)) {
        root->WriteBool(QStringLiteral("Logging"), false);
    }
    check(store.Save());
}

void StartMainWindow() {
    const bool panelRead = PanelDockedFromTheFile();
    auto form = std::make_unique<TMainForm>();
    form->FirstActivation = false;
    form->show();
    QCoreApplication::processEvents();
    CheckWindow(*form, panelRead);
    form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
