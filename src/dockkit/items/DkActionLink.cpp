#include "dockkit/items/DkActionLink.h"

#include "dockkit/items/DkItem/DkItem.h"

#include <QAction>
#include <QDynamicPropertyChangeEvent>
#include <QEvent>

namespace dk {

const char* const kActionImageIndexProperty = "ImageIndex";
const char* const kActionHelpContextProperty = "HelpContext";

namespace {

int IntProperty(const QAction& action, const char* name, int absent) {
    bool ok = false;
    const int value = action.property(name).toInt(&ok);
    return ok ? value : absent;
}

ActionUpdateHandler& UpdateHandler() {
    thread_local ActionUpdateHandler handler = nullptr;
    return handler;
}

} // namespace

int ActionImageIndex(const QAction& action) {
    return IntProperty(action, kActionImageIndexProperty, -1);
}

void SetActionImageIndex(QAction& action, int index) {
    action.setProperty(kActionImageIndexProperty, index);
}

int ActionHelpContext(const QAction& action) {
    return IntProperty(action, kActionHelpContextProperty, 0);
}

void SetActionHelpContext(QAction& action, int context) {
    action.setProperty(kActionHelpContextProperty, context);
}

ActionUpdateHandler SetActionUpdateHandler(ActionUpdateHandler handler) {
    return std::exchange(UpdateHandler(), handler);
}

ActionUpdateHandler CurrentActionUpdateHandler() {
    return UpdateHandler();
}

} // namespace dk

TDkCustomItemActionLink::TDkCustomItemActionLink(TDkCustomItem* client) : client_(client) {}

TDkCustomItemActionLink::~TDkCustomItemActionLink() {
    SetAction(nullptr);
}

void TDkCustomItemActionLink::SetAction(QAction* action) {
    if (action_ == action) {
        return;
    }
    if (action_ != nullptr) {
        disconnect(action_, nullptr, this, nullptr);
        action_->removeEventFilter(this);
    }
    action_ = action;
    if (action != nullptr) {
        seen_ = Read(*action);
        connect(action, &QAction::changed, this, &TDkCustomItemActionLink::ActionChanged);
        action->installEventFilter(this);
    }
}

TDkCustomItemActionLink::Values TDkCustomItemActionLink::Read(const QAction& action) {
    Values v;
    v.AutoCheck = action.isCheckable();
    v.Caption = action.text();
    v.Checked = action.isChecked();
    v.Enabled = action.isEnabled();
    v.HelpContext = dk::ActionHelpContext(action);
    v.Hint = action.statusTip();
    v.ImageIndex = dk::ActionImageIndex(action);
    v.ShortCut = plat::ShortCutFromKeySequence(action.shortcut());
    v.Visible = action.isVisible();
    return v;
}

bool TDkCustomItemActionLink::IsAutoCheckLinked() const {
    return action_ != nullptr && client_->AutoCheck() == seen_.AutoCheck;
}
bool TDkCustomItemActionLink::IsCaptionLinked() const {
    return action_ != nullptr && client_->Caption() == seen_.Caption;
}
bool TDkCustomItemActionLink::IsCheckedLinked() const {
    return action_ != nullptr && client_->Checked() == seen_.Checked;
}
bool TDkCustomItemActionLink::IsEnabledLinked() const {
    return action_ != nullptr && client_->Enabled() == seen_.Enabled;
}
bool TDkCustomItemActionLink::IsHelpContextLinked() const {
    return action_ != nullptr && client_->HelpContext() == seen_.HelpContext;
}
bool TDkCustomItemActionLink::IsHintLinked() const {
    return action_ != nullptr && client_->Hint() == seen_.Hint;
}
bool TDkCustomItemActionLink::IsImageIndexLinked() const {
    return action_ != nullptr && client_->ImageIndex() == seen_.ImageIndex;
}
bool TDkCustomItemActionLink::IsShortCutLinked() const {
    return action_ != nullptr && client_->ShortCut() == seen_.ShortCut;
}
bool TDkCustomItemActionLink::IsVisibleLinked() const {
    return action_ != nullptr && client_->Visible() == seen_.Visible;
}
bool TDkCustomItemActionLink::IsOnExecuteLinked() const {
    return action_ != nullptr && client_->OnClick.Identity() == action_.data() &&
           static_cast<bool>(client_->OnClick);
}

void TDkCustomItemActionLink::Execute() {
    if (action_ != nullptr) {
        action_->trigger();
    }
}

void TDkCustomItemActionLink::Update() {
    const dk::ActionUpdateHandler handler = dk::CurrentActionUpdateHandler();
    if (action_ != nullptr && handler != nullptr) {
        handler(*action_);
    }
}

bool TDkCustomItemActionLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == action_ && event->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName();
        if (name == dk::kActionImageIndexProperty || name == dk::kActionHelpContextProperty) {
            ActionChanged();
        }
    }
    return false;
}

void TDkCustomItemActionLink::ActionChanged() {
    if (action_ == nullptr) {
        return;
    }
    // Each value the action changed reaches the item only when the item
    // still held what the action held before.
    const Values now = Read(*action_);
    const Values old = seen_;
    TDkCustomItem& item = *client_;
    const QPointer<TDkCustomItemActionLink> alive(this);
    if (now.AutoCheck != old.AutoCheck && item.AutoCheck() == old.AutoCheck) {
        item.SetAutoCheck(now.AutoCheck);
    }
    if (now.HelpContext != old.HelpContext && item.HelpContext() == old.HelpContext) {
        item.SetHelpContext(now.HelpContext);
    }
    if (now.Hint != old.Hint && item.Hint() == old.Hint) {
        item.SetHint(now.Hint);
    }
    if (now.ShortCut != old.ShortCut && item.ShortCut() == old.ShortCut) {
        item.SetShortCut(now.ShortCut); // shown at the next layout, no repaint
    }
    seen_ = now;
    // The setters notify views, which may do anything; check the link
    // still exists after each.
    if (now.Caption != old.Caption && item.Caption() == old.Caption) {
        item.SetCaption(now.Caption);
    }
    if (alive && now.Checked != old.Checked && item.Checked() == old.Checked) {
        item.SetChecked(now.Checked);
    }
    if (alive && now.Enabled != old.Enabled && item.Enabled() == old.Enabled) {
        item.SetEnabled(now.Enabled);
    }
    if (alive && now.ImageIndex != old.ImageIndex && item.ImageIndex() == old.ImageIndex) {
        item.SetImageIndex(now.ImageIndex);
    }
    if (alive && now.Visible != old.Visible && item.Visible() == old.Visible) {
        item.SetVisible(now.Visible);
    }
}
