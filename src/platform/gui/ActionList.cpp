#include "platform/gui/ActionList.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

namespace plat {

TActionList::TActionList(QWidget* form) : QObject(form) {}

QList<QAction*> TActionList::Actions() const {
    return findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
}

QAction* TActionList::FindShortCut(TShortCut shortCut) const {
    if (shortCut == 0) {
        return nullptr;
    }
    for (QObject* child : children()) {
        auto* action = qobject_cast<QAction*>(child);
        if (action == nullptr) {
            continue;
        }
        for (const QKeySequence& sequence : action->shortcuts()) {
            if (ShortCutFromKeySequence(sequence) == shortCut) {
                return action;
            }
        }
    }
    return nullptr;
}

void TActionList::UpdateAction(QAction* action) {
    if (OnUpdate) {
        OnUpdate(this, action);
    }
}

TActionList::ShortCutResult TActionList::HandleShortCut(TShortCut shortCut) {
    const QPointer<QAction> action = FindShortCut(shortCut);
    if (action.isNull()) {
        return ShortCutResult::NoMatch;
    }
    UpdateAction(action);
    if (action.isNull() || !action->isEnabled() || !action->isVisible()) {
        return ShortCutResult::Disabled;
    }
    action->trigger();
    return ShortCutResult::Executed;
}

std::vector<TActionList*> ActionListsOf(const QWidget* form) {
    std::vector<TActionList*> lists;
    if (form == nullptr) {
        return lists;
    }
    for (QObject* child : form->children()) {
        if (auto* list = qobject_cast<TActionList*>(child)) {
            lists.push_back(list);
        }
    }
    return lists;
}

} // namespace plat
