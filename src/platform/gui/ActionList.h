#pragma once
// A form's action list: the actions of the form, each with its shortcut. The
// shortcuts are never registered with the toolkit; the application's key
// router asks the action lists of the form a key was typed in first (before
// the tool bars, before any other form), so that a form's own command for a
// key always wins over another form's.
//
// The list's actions are its QAction children, in the order they were made.
// Before a shortcut decides on an action, the action is brought up to date
// (OnUpdate): an action that is disabled or hidden then does not run, and the
// key goes on to the control that has the focus.

#include "platform/gui/ShortCut.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QChildEvent;
class QWidget;

namespace plat {

class TActionList : public QObject {
    Q_OBJECT
public:
    // A list of the form (its owner).
    explicit TActionList(QWidget* form);

    // The actions in list order.
    QList<QAction*> Actions() const;
    // The first action one of whose shortcuts is the key; null when none.
    QAction* FindShortCut(TShortCut shortCut) const;
    // Fires OnUpdate for the action.
    void UpdateAction(QAction* action);

    enum class ShortCutResult {
        NoMatch,  // no action has the key
        Disabled, // the action of the key is disabled or hidden once updated
        Executed, // the action of the key ran
    };
    // The action of the key, brought up to date and run when it is enabled
    // and visible.
    ShortCutResult HandleShortCut(TShortCut shortCut);

    // Brings an action up to date: may enable or disable it.
    std::function<void(TActionList* Sender, QAction* Action)> OnUpdate;

protected:
    void childEvent(QChildEvent* event) override;

private:
    // The actions' shortcuts, looked up for every key typed: kept while no
    // action comes, goes or changes its shortcuts.
    struct Entry {
        QPointer<QAction> Action;
        QList<QKeySequence> Keys;
        std::vector<TShortCut> ShortCuts;
    };
    void BuildIndex() const;
    void ActionChanged();

    mutable std::vector<Entry> index_;
    mutable bool indexValid_ = false;
};

// The action lists of the form (among its direct children), in the order they
// were made.
std::vector<TActionList*> ActionListsOf(const QWidget* form);

} // namespace plat
