#include "app/mainform/MainFormKitHandlers.h"

#include "app/mainform/MainForm.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/statusbar/DkxStatusBar.h"

#include <QAction>

namespace {

// The status bar's third panel stretches and holds nothing else.
constexpr int kHintPanel = 2;

void ShowMenuHint(const QString& hint) {
    if (TMainForm* form = TMainForm::Instance(); form != nullptr && form->StatusBar != nullptr) {
        form->StatusBar->Panels().Items(kHintPanel)->SetCaption(hint);
    }
}

void UpdateMainFormAction(QAction& action) {
    TMainForm* form = TMainForm::Instance();
    if (form == nullptr) {
        return;
    }
    if (&action == form->AwayMessagesAction) {
        form->AwayMessagesActionUpdate();
    } else if (&action == form->ViewStatusBarAction || &action == form->ViewGroupsAction ||
               &action == form->ViewStandardAction || &action == form->ViewEditAction) {
        form->UpdateViewActions();
    }
}

} // namespace

void ConnectKitHandlers() {
    dk::SetMenuHintHandler(&ShowMenuHint);
    dk::SetActionUpdateHandler(&UpdateMainFormAction);
}

void DisconnectKitHandlers() {
    dk::SetMenuHintHandler({});
    if (dk::CurrentActionUpdateHandler() == &UpdateMainFormAction) {
        dk::SetActionUpdateHandler(nullptr);
    }
}
