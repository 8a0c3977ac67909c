#include "platform/gui/ActionList.h"

#include <QAction>
#include <QChildEvent>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace plat {

TActionList::TActionList(QWidget* form) : QObject(form) {}

QList<QAction*> TActionList::Actions() const {
    return findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
}

void TActionList::BuildIndex() const {
    index_.clear();
    for (QAction* action : Actions()) {
        Entry entry{action, action->shortcuts(), {}};
        for (const QKeySequence& sequence : entry.Keys) {
            entry.ShortCuts.push_back(ShortCutFromKeySequence(sequence));
        }
        index_.push_back(std::move(entry));
        connect(action, &QAction::changed, this, &TActionList::ActionChanged, Qt::UniqueConnection);
    }
    indexValid_ = true;
}

void TActionList::ActionChanged() {
    // Only a change of shortcuts matters (the enabled state changes often).
    const auto* action = qobject_cast<const QAction*>(sender());
    for (const Entry& entry : index_) {
        if (entry.Action == action && entry.Keys != action->shortcuts()) {
            indexValid_ = false;
        }
    }
}

void TActionList::childEvent(QChildEvent* event) {
    indexValid_ = false;
    QObject::childEvent(event);
}

QAction* TActionList::FindShortCut(TShortCut shortCut) const {
    if (shortCut == 0) {
        return nullptr;
    }
    if (!indexValid_) {
        BuildIndex();
    }
    for (const Entry& entry : index_) {
        if (entry.Action.isNull()) {
            continue;
        }
        for (const TShortCut own : entry.ShortCuts) {
            if (own == shortCut) {
                return entry.Action;
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
