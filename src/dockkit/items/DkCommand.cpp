#include "dockkit/items/DkCommand.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkMessages.h"
#include "dockkit/items/DkItem/DkItem.h"

#include "platform/core/Guarded.h"
#include "platform/gui/KitMessage.h"

#include <QWidget>

#include <memory>

namespace dk {

namespace {

class CommandWindow final : public QObject {
public:
    bool event(QEvent* e) override {
        const plat::KitMessageEvent* message = plat::KitMessageEvent::From(e);
        if (message == nullptr || message->Msg() != kRunPendingClickMessage) {
            return QObject::event(e);
        }
        TDkCustomItem* item = std::exchange(pending, nullptr);
        if (item != nullptr) {
            plat::Guarded([item] { item->Click(); });
        }
        return true;
    }

    TDkCustomItem* pending = nullptr;
};

struct CommandState {
    int itemCount = 0;
    std::unique_ptr<CommandWindow> window;
    SysKeyMenuHandler sysKeyMenu;
};

CommandState& State() {
    thread_local CommandState state;
    return state;
}

} // namespace

void ProcessDoneAction(const TDkDoneAction& action) {
    CommandState& state = State();
    switch (action.Kind) {
    case TDkDoneAction::ClickItem: {
        if (action.Item == nullptr) {
            return;
        }
        if (action.PlaySound && SoundSchemeEntrySet(QStringLiteral("MenuCommand"))) {
            PlaySchemeSound(QStringLiteral("MenuCommand"));
        }
        if (!state.window) {
            state.window = std::make_unique<CommandWindow>();
        }
        state.window->pending = action.Item;
        plat::PostMessage(state.window.get(), kRunPendingClickMessage);
        return;
    }
    case TDkDoneAction::SysKeyMenu:
        if (state.sysKeyMenu && action.Window != nullptr) {
            state.sysKeyMenu(action.Window, action.Key);
        }
        return;
    case TDkDoneAction::Help:
    case TDkDoneAction::None:
        return;
    }
}

TDkCustomItem* PendingClickItem() {
    const CommandState& state = State();
    return state.window ? state.window->pending : nullptr;
}

bool CommandWindowExists() {
    return static_cast<bool>(State().window);
}

SysKeyMenuHandler SetSysKeyMenuHandler(SysKeyMenuHandler handler) {
    return std::exchange(State().sysKeyMenu, std::move(handler));
}

void ItemCreated() {
    ++State().itemCount;
}

void ItemDestroyed(TDkCustomItem* item) {
    CommandState& state = State();
    if (state.window && state.window->pending == item) {
        state.window->pending = nullptr;
    }
    if (--state.itemCount == 0) {
        state.window.reset();
    }
}

} // namespace dk
