#include "dockkit/bars/DkKeyRouter.h"

#include "dockkit/bars/DkToolbar/DkToolbar.h"
#include "dockkit/common/DkModalLoop.h"
#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkFloatingWindowParent.h"
#include "dockkit/menus/DkMenuLoop.h"

#include "platform/core/Guarded.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/KitMessage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <optional>

namespace dk {

namespace {

class KeyFilter;

struct RouterState {
    std::vector<TDkCustomToolbar*> toolbars;
    std::vector<QPointer<TDkCustomToolbar>> shortCutList;
    QPointer<QWidget> mainForm;
    std::unique_ptr<KeyFilter> filter;
};

RouterState& State() {
    thread_local RouterState state;
    return state;
}

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

// The modifiers that make a key something else than the key.
Qt::KeyboardModifiers CommandModifiers(const QKeyEvent& key) {
    return key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

// The character a key types or names: its text, else a letter, digit or
// sign of its own.
QChar CharOf(const QKeyEvent& key) {
    const QString text = key.text();
    if (!text.isEmpty() && text.at(0).isPrint()) {
        return text.at(0).toLower();
    }
    if (key.key() > 0x20 && key.key() < 0x7F) {
        return QChar(key.key()).toLower();
    }
    return {};
}

// Whether the form takes input now: enabled, and no modal window of
// another form stands in front of it.
bool FormEnabled(const QWidget* form) {
    if (form == nullptr || !form->isEnabled()) {
        return false;
    }
    const QWidget* modal = QApplication::activeModalWidget();
    return modal == nullptr || modal == form || form->isAncestorOf(modal);
}

// Visits the widgets of the form depth first, each before its children;
// true as soon as the visitor says so.
template <typename Visit>
bool VisitControls(QWidget* parent, Visit& visit) {
    // A copy: a visit may create or destroy children.
    // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
    const QObjectList children = parent->children();
    for (QObject* object : children) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow()) {
            continue;
        }
        if (visit(child) || VisitControls(child, visit)) {
            return true;
        }
    }
    return false;
}

class KeyFilter final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            altPending_ = false;
            return false;
        }
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
            type != QEvent::ShortcutOverride) {
            return false;
        }
        // Key events reach the window first and then the focus widget; only
        // the widget's is routed, once, not again as it goes up to the
        // parents that the focus widget left it to.
        if (!watched->isWidgetType() || Propagating(static_cast<QWidget*>(watched), event)) {
            return false;
        }
        if (ModalMouseLoop::Current() != nullptr || RunningMenuLoopView() != nullptr) {
            return false;
        }
        bool handled = false;
        plat::Guarded([&] {
            handled = Route(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
        });
        return handled;
    }

private:
    bool Propagating(QWidget* receiver, const QEvent* event) {
        const bool up = event == seenEvent_ && event->type() == seenType_ &&
                        seenReceiver_ != nullptr && receiver->isAncestorOf(seenReceiver_);
        seenEvent_ = event;
        seenType_ = event->type();
        seenReceiver_ = receiver;
        return up;
    }

    bool Route(QWidget* receiver, QKeyEvent* key) {
        QWidget* form = ActiveForm(receiver);
        switch (key->type()) {
        case QEvent::ShortcutOverride:
            return RouteOverride(form, key);
        case QEvent::KeyPress:
            return RoutePress(receiver, form, key);
        case QEvent::KeyRelease:
            if (key->key() == Qt::Key_Alt && altPending_ && !key->isAutoRepeat()) {
                altPending_ = false;
                return RouteSysKeyMenu(form, 0);
            }
            return false;
        default:
            return false;
        }
    }

    bool SameAsOverride(const QKeyEvent* key) const {
        return override_ && override_->Key == key->key() &&
               override_->Modifiers == key->modifiers();
    }

    // The toolkit asks before its own shortcuts: the bars' go first.
    bool RouteOverride(QWidget* form, QKeyEvent* key) {
        if (SameAsOverride(key)) {
            // Asked again for the same press: it was answered.
            if (override_->Handled) {
                key->accept();
            }
            return override_->Handled;
        }
        const bool handled = !IsModifierKey(key->key()) && RouteShortCut(form, *key);
        override_ = Override{key->key(), key->modifiers(), handled};
        if (handled) {
            key->accept();
        }
        return handled;
    }

    bool RoutePress(QWidget* receiver, QWidget* form, QKeyEvent* key) {
        const int code = key->key();
        const bool searched = SameAsOverride(key);
        const bool ranAtOverride = searched && override_->Handled;
        override_.reset();
        if (ranAtOverride) {
            return true; // the shortcut ran at its override
        }
        // (A modifier key's press may or may not carry its own modifier.)
        if (code == Qt::Key_Alt && (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                                        Qt::MetaModifier)) == 0) {
            // Alone so far: released alone, it opens the menu bar.
            if (!key->isAutoRepeat()) {
                altPending_ = true;
                BroadcastDialogKey(form, code, key->modifiers());
            }
            return false;
        }
        altPending_ = false;
        if (!searched && !IsModifierKey(code) && RouteShortCut(form, *key)) {
            return true;
        }
        const Qt::KeyboardModifiers command = CommandModifiers(*key);
        if (command == Qt::AltModifier) {
            const QChar ch = CharOf(*key);
            return !ch.isNull() &&
                   (SendDialogChar(receiver->window(), ch) || RouteSysKeyMenu(form, ch.unicode()));
        }
        if (code == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == 0) {
            return RouteSysKeyMenu(form, 0);
        }
        if (command == 0) {
            // The key went to the focused control: one that takes text keeps
            // its characters.
            const QChar ch = CharOf(*key);
            const bool takesText = receiver->testAttribute(Qt::WA_InputMethodEnabled);
            if (!ch.isNull() && !key->text().isEmpty() && !takesText) {
                return BroadcastDialogChar(form, ch) || SendDialogChar(receiver->window(), ch);
            }
        }
        return false;
    }

    struct Override {
        int Key = 0;
        Qt::KeyboardModifiers Modifiers;
        bool Handled = false;
    };
    std::optional<Override> override_;
    bool altPending_ = false;
    const QEvent* seenEvent_ = nullptr;
    QEvent::Type seenType_ = QEvent::None;
    QPointer<QWidget> seenReceiver_;
};

// The filter is there while a main form is set or a tool bar exists.
void UpdateFilter() {
    RouterState& state = State();
    const bool wanted = !state.toolbars.empty() || !state.mainForm.isNull();
    if (wanted && !state.filter && QCoreApplication::instance() != nullptr) {
        state.filter = std::make_unique<KeyFilter>();
        QCoreApplication::instance()->installEventFilter(state.filter.get());
    } else if (!wanted && state.filter) {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::instance()->removeEventFilter(state.filter.get());
        }
        state.filter.reset();
    }
}

} // namespace

void SetMainForm(QWidget* form) {
    State().mainForm = form;
    UpdateFilter();
}

QWidget* MainForm() {
    return State().mainForm;
}

void RegisterToolbar(TDkCustomToolbar* toolbar) {
    RouterState& state = State();
    if (std::find(state.toolbars.begin(), state.toolbars.end(), toolbar) != state.toolbars.end()) {
        return;
    }
    state.toolbars.push_back(toolbar);
    UpdateFilter();
}

void UnregisterToolbar(TDkCustomToolbar* toolbar) {
    RouterState& state = State();
    state.toolbars.erase(std::remove(state.toolbars.begin(), state.toolbars.end(), toolbar),
                         state.toolbars.end());
    SetShortCutToolbar(toolbar, false);
    UpdateFilter();
}

bool KeyRouterInstalled() {
    return static_cast<bool>(State().filter);
}

void SetShortCutToolbar(TDkCustomToolbar* toolbar, bool listed) {
    auto& list = State().shortCutList;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [toolbar](const QPointer<TDkCustomToolbar>& t) {
                                  return t.isNull() || t == toolbar;
                              }),
               list.end());
    if (listed) {
        list.emplace_back(toolbar);
    }
}

std::vector<TDkCustomToolbar*> ShortCutToolbars() {
    std::vector<TDkCustomToolbar*> result;
    for (const auto& toolbar : State().shortCutList) {
        if (!toolbar.isNull()) {
            result.push_back(toolbar);
        }
    }
    return result;
}

QWidget* ActiveForm(QWidget* fallback) {
    // The key went to the active form; a floating bar's own little form
    // stands for the form it belongs to.
    QWidget* form = fallback != nullptr ? fallback->window() : QApplication::activeWindow();
    if (auto* floating = qobject_cast<TDkFloatingWindowParent*>(form)) {
        if (floating->ParentForm() != nullptr) {
            form = floating->ParentForm();
        }
    }
    return form;
}

ShortCutMatch FormShortCut(QWidget* form, const QKeyEvent& key) {
    const plat::TShortCut shortCut = plat::ShortCutFromKeyEvent(key);
    if (form == nullptr || shortCut == 0) {
        return ShortCutMatch::None;
    }
    const QPointer<QWidget> guard(form);
    for (plat::TActionList* list : plat::ActionListsOf(form)) {
        switch (list->HandleShortCut(shortCut)) {
        case plat::TActionList::ShortCutResult::Executed:
            return ShortCutMatch::Clicked;
        case plat::TActionList::ShortCutResult::Disabled:
            return ShortCutMatch::Disabled;
        case plat::TActionList::ShortCutResult::NoMatch:
            break;
        }
    }
    // A shortcut may change the list (a command closing a form).
    const std::vector<QPointer<TDkCustomToolbar>> bars = State().shortCutList;
    for (const auto& toolbar : bars) {
        if (guard.isNull()) {
            break;
        }
        if (toolbar.isNull() || !toolbar->ProcessShortCuts() || toolbar->ParentForm() != form) {
            continue;
        }
        const ShortCutMatch match = toolbar->MatchShortCut(key);
        if (match != ShortCutMatch::None) {
            return match;
        }
    }
    return ShortCutMatch::None;
}

bool RouteShortCut(QWidget* form, const QKeyEvent& key) {
    std::vector<QPointer<QWidget>> forms{form};
    if (QWidget* main = MainForm(); main != nullptr && main != form) {
        forms.emplace_back(main);
    }
    for (const QPointer<QWidget>& f : forms) {
        if (f.isNull() || !FormEnabled(f)) {
            continue;
        }
        switch (FormShortCut(f, key)) {
        case ShortCutMatch::Clicked:
            return true;
        case ShortCutMatch::Disabled:
            // The command of the key is off: the key is the focused control's.
            return false;
        case ShortCutMatch::None:
            break;
        }
    }
    return false;
}

bool RouteSysKeyMenu(QWidget* form, int key) {
    if (form == nullptr) {
        return false;
    }
    auto visit = [key](QWidget* control) {
        if (!control->isVisible() || !control->isEnabled()) {
            return false;
        }
        if (auto* dock = qobject_cast<TDkDock*>(control)) {
            return dock->SysKeyMenu(key);
        }
        auto* toolbar = qobject_cast<TDkCustomToolbar*>(control);
        return toolbar != nullptr && toolbar->TakesMenuEvents() && toolbar->SysKeyMenu(key);
    };
    return VisitControls(form, visit);
}

bool BroadcastDialogKey(QWidget* form, int key, Qt::KeyboardModifiers shift) {
    if (form == nullptr) {
        return false;
    }
    auto visit = [key, shift](QWidget* control) {
        if (auto* dock = qobject_cast<TDkDock*>(control)) {
            return dock->DialogKey(key, shift);
        }
        auto* toolbar = qobject_cast<TDkCustomToolbar*>(control);
        return toolbar != nullptr && toolbar->DialogKey(key, shift);
    };
    return VisitControls(form, visit);
}

bool BroadcastDialogChar(QWidget* form, QChar ch) {
    if (form == nullptr) {
        return false;
    }
    auto visit = [ch](QWidget* control) {
        if (auto* dock = qobject_cast<TDkDock*>(control)) {
            return dock->DialogChar(ch);
        }
        auto* toolbar = qobject_cast<TDkCustomToolbar*>(control);
        return toolbar != nullptr && toolbar->DialogChar(ch);
    };
    return VisitControls(form, visit);
}

bool SendDialogChar(QWidget* window, QChar ch) {
    if (window == nullptr) {
        return false;
    }
    auto visit = [ch](QWidget* control) {
        return control->isVisible() &&
               plat::SendMessage(control, plat::kDialogCharMessage, ch.unicode()) != 0;
    };
    return VisitControls(window, visit);
}

} // namespace dk
