#include "dockkit/bars/DkToolbarActions.h"

#include "dockkit/bars/DkToolbar/DkToolbar.h"
#include "dockkit/common/DkModalLoop.h"

#include "platform/core/Guarded.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <vector>

namespace dk {

namespace {

struct ActionUpdates {
    std::vector<QPointer<TDkCustomToolbar>> toolbars;
    QMetaObject::Connection idle;
};

ActionUpdates& State() {
    static ActionUpdates state;
    return state;
}

// Shown, on a form that is shown and takes input.
bool Updating(const TDkCustomToolbar& toolbar) {
    const QWidget* form = toolbar.window();
    return toolbar.isVisible() && form->isVisible() && form->isEnabled();
}

} // namespace

void JoinActionUpdates(TDkCustomToolbar* toolbar) {
    ActionUpdates& state = State();
    if (std::find(state.toolbars.begin(), state.toolbars.end(), toolbar) != state.toolbars.end()) {
        return;
    }
    state.toolbars.emplace_back(toolbar);
    if (!state.idle && QCoreApplication::instance() != nullptr) {
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            state.idle = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                          [] { plat::Guarded(&UpdateToolbarActions); });
        }
    }
}

void LeaveActionUpdates(TDkCustomToolbar* toolbar) {
    ActionUpdates& state = State();
    std::erase_if(state.toolbars, [toolbar](const QPointer<TDkCustomToolbar>& listed) {
        return listed.isNull() || listed == toolbar;
    });
    if (state.toolbars.empty() && state.idle) {
        QObject::disconnect(state.idle);
        state.idle = {};
    }
}

bool ActionUpdatesHooked() {
    return static_cast<bool>(State().idle);
}

void UpdateToolbarActions() {
    if (ModalMouseLoop::Current() != nullptr) {
        return;
    }
    // An update handler may create or destroy bars: walk a copy.
    const std::vector<QPointer<TDkCustomToolbar>> toolbars = State().toolbars;
    for (const QPointer<TDkCustomToolbar>& toolbar : toolbars) {
        if (toolbar != nullptr && Updating(*toolbar)) {
            toolbar->InitiateAction();
        }
    }
}

} // namespace dk
