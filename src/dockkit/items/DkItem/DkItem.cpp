#include "dockkit/items/DkItem/DkItem.h"

#include "dockkit/items/DkActionLink.h"
#include "dockkit/items/DkCommand.h"
#include "dockkit/items/DkItemViewer.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace dk {

namespace {
thread_local bool hintShortCuts = true;
} // namespace

bool HintShortCuts() {
    return hintShortCuts;
}

void SetHintShortCuts(bool value) {
    hintShortCuts = value;
}

} // namespace dk

using dk::ItemNotification;

namespace {

// The click handler an item takes from its action: it runs the action, and
// it is the same handler as the action's own.
TDkCustomItem::TNotifyEvent ExecuteEventOf(QAction* action) {
    return TDkCustomItem::TNotifyEvent(
        [guard = QPointer<QAction>(action)](QObject*) {
            if (guard != nullptr) {
                guard->trigger();
            }
        },
        action);
}

} // namespace

TDkCustomItem::TDkCustomItem(QObject* owner) : QObject(owner) {
    dk::ItemCreated();
    connect(this, &QObject::objectNameChanged, this, [this] {
        if (parent_ != nullptr) {
            parent_->Notify(ItemNotification::NameChanged, this, parent_->IndexOf(this));
        }
    });
}

TDkCustomItem::~TDkCustomItem() {
    // A kept pop-up window shows the subitems: it goes before they do.
    delete keptPopup_.data();
    // Subitems go first, last first; each leaves this list as it goes.
    while (!items_.empty()) {
        TDkCustomItem* last = items_.back();
        delete last;
        if (!items_.empty() && items_.back() == last) {
            items_.pop_back(); // a subitem that did not remove itself
        }
    }
    if (parent_ != nullptr) {
        parent_->Remove(this);
    }
    actionLink_.reset();
    disconnect(imagesChanged_);
    disconnect(imagesDestroyed_);
    disconnect(subImagesChanged_);
    disconnect(subImagesDestroyed_);
    DropLinkTarget();
    // Items that show this one's subitems show their own from now on.
    const std::vector<TDkCustomItem*> linkParents = std::move(linkParents_);
    linkParents_.clear();
    for (TDkCustomItem* linkParent : linkParents) {
        linkParent->linkSubitems_ = nullptr;
        linkParent->Notify(ItemNotification::SubitemsChanged, nullptr, -1);
    }
    listeners_.clear();
    dk::ItemDestroyed(this);
}

void TDkCustomItem::CheckIndex(int index, int count) const {
    if (index < 0 || index >= count) {
        throw EDkItemError(dk::SItemIndexOutOfRange);
    }
}

TDkCustomItem* TDkCustomItem::Items(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)];
}

int TDkCustomItem::IndexOf(const TDkCustomItem* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it != items_.end() ? static_cast<int>(it - items_.begin()) : -1;
}

void TDkCustomItem::Insert(int index, TDkCustomItem* item) {
    if (item == nullptr) {
        return;
    }
    // An item already in a tree, this one or any of its ancestors included,
    // cannot be inserted: the tree would close into a ring.
    bool inserted = item->parent_ != nullptr;
    for (const TDkCustomItem* a = this; a != nullptr && !inserted; a = a->parent_) {
        inserted = a == item;
    }
    if (inserted) {
        throw EDkItemError(dk::SItemAlreadyInserted);
    }
    CheckIndex(index, Count() + 1);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    const QPointer<TDkCustomItem> self(this);
    const QPointer<TDkCustomItem> child(item);
    Notify(ItemNotification::BeginUpdate, nullptr, -1);
    try {
        if (self != nullptr) {
            Notify(ItemNotification::Inserted, item, index);
        }
        if (child != nullptr) {
            child->RecalcEffectiveOptions();
        }
    } catch (...) {
        if (self != nullptr) {
            NotifyQuietly(ItemNotification::EndUpdate);
        }
        throw;
    }
    if (self != nullptr) {
        Notify(ItemNotification::EndUpdate, nullptr, -1);
    }
}

void TDkCustomItem::Delete(int index) {
    CheckIndex(index, Count());
    TDkCustomItem* item = items_[static_cast<size_t>(index)];
    const QPointer<TDkCustomItem> self(this);
    Notify(ItemNotification::Deleting, item, index);
    if (self == nullptr) {
        return;
    }
    // A listener may have moved or removed the item meanwhile.
    const int now = IndexOf(item);
    if (now < 0) {
        return;
    }
    item->parent_ = nullptr;
    items_.erase(items_.begin() + now);
}

void TDkCustomItem::Remove(TDkCustomItem* item) {
    const int index = IndexOf(item);
    if (index >= 0) {
        Delete(index);
    }
}

void TDkCustomItem::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) {
        return;
    }
    // Both checks come before the update bracket opens, so that a bad index
    // never leaves listeners inside an update.
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    const QPointer<TDkCustomItem> self(this);
    const QPointer<TDkCustomItem> item(items_[static_cast<size_t>(curIndex)]);
    Notify(ItemNotification::BeginUpdate, nullptr, -1);
    try {
        if (self != nullptr) {
            Delete(curIndex);
        }
        if (self != nullptr && item != nullptr && item->parent_ == nullptr) {
            Insert(std::min(newIndex, Count()), item);
        }
    } catch (...) {
        if (self != nullptr) {
            NotifyQuietly(ItemNotification::EndUpdate);
        }
        throw;
    }
    if (self != nullptr) {
        Notify(ItemNotification::EndUpdate, nullptr, -1);
    }
}

void TDkCustomItem::RegisterNotification(dk::ItemNotifyProc proc, void* data) {
    for (Listener& l : listeners_) {
        if (l.Proc == proc && l.Data == data) {
            ++l.Count;
            return;
        }
    }
    listeners_.push_back(Listener{proc, data, 1, nextListenerSerial_++});
}

void TDkCustomItem::UnregisterNotification(dk::ItemNotifyProc proc, void* data) {
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        if (it->Proc == proc && it->Data == data) {
            if (--it->Count == 0) {
                listeners_.erase(it);
                if (listeners_.empty()) {
                    listeners_.shrink_to_fit();
                }
            }
            return;
        }
    }
}

void TDkCustomItem::Notify(ItemNotification kind, TDkCustomItem* item, int index) {
    NotifyFrom(this, kind, item, index);
}

void TDkCustomItem::NotifyQuietly(ItemNotification kind) {
    try {
        Notify(kind, nullptr, -1);
    } catch (...) { // NOLINT(bugprone-empty-catch): the first failure is the one reported
    }
}

void TDkCustomItem::NotifyFrom(TDkCustomItem* ancestor, ItemNotification kind, TDkCustomItem* item,
                               int index) {
    const QPointer<TDkCustomItem> self(this);
    if (ancestor == this) {
        if (HasStyle(dk::StyleEmbeddedGroup) && parent_ != nullptr) {
            parent_->NotifyFrom(ancestor, kind, item, index);
            if (self == nullptr) {
                return;
            }
        }
        const std::vector<TDkCustomItem*> linkParents = linkParents_;
        for (TDkCustomItem* linkParent : linkParents) {
            if (linkParent == parent_ || std::find(linkParents_.begin(), linkParents_.end(),
                                                   linkParent) == linkParents_.end()) {
                continue;
            }
            linkParent->NotifyFrom(ancestor, kind, item, index);
            if (self == nullptr) {
                return;
            }
        }
    }
    // Re-read the list after every call: a listener may unregister itself
    // (or others) while it runs.
    size_t i = 0;
    while (i < listeners_.size()) {
        const Listener called = listeners_[i];
        called.Proc(called.Data, ancestor, ancestor != this, kind, item, index);
        if (self == nullptr) {
            return;
        }
        if (i < listeners_.size() && listeners_[i].Serial == called.Serial) {
            ++i;
        }
    }
}

QAction* TDkCustomItem::Action() const {
    return actionLink_ ? actionLink_->Action() : nullptr;
}

void TDkCustomItem::SetAction(QAction* value) {
    if (value == nullptr) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) {
        actionLink_ = std::make_unique<TDkCustomItemActionLink>(this);
    }
    if (actionLink_->Action() == value) {
        return;
    }
    actionLink_->SetAction(value);
    ActionChange(loading_);
}

void TDkCustomItem::ActionChange(bool checkDefaults) {
    QAction* action = Action();
    if (action == nullptr) {
        return;
    }
    const TDkCustomItemActionLink::Values v = TDkCustomItemActionLink::Read(*action);
    const QPointer<TDkCustomItem> self(this);
    if (!checkDefaults || !autoCheck_) {
        autoCheck_ = v.AutoCheck;
    }
    if (!checkDefaults || helpContext_ == 0) {
        helpContext_ = v.HelpContext;
    }
    if (!checkDefaults || hint_.isEmpty()) {
        hint_ = v.Hint;
    }
    if (!checkDefaults || shortCut_ == 0) {
        shortCut_ = v.ShortCut;
    }
    if (!checkDefaults || !OnClick) {
        OnClick = ExecuteEventOf(action);
    }
    if (!checkDefaults || caption_.isEmpty()) {
        SetCaption(v.Caption);
    }
    if (self != nullptr && (!checkDefaults || !checked_)) {
        SetChecked(v.Checked);
    }
    if (self != nullptr && (!checkDefaults || enabled_)) {
        SetEnabled(v.Enabled);
    }
    if (self != nullptr && (!checkDefaults || imageIndex_ == -1)) {
        SetImageIndex(v.ImageIndex);
    }
    if (self != nullptr && (!checkDefaults || visible_)) {
        SetVisible(v.Visible);
    }
}

void TDkCustomItem::Loaded() {
    loading_ = false;
    if (Action() != nullptr) {
        ActionChange(true);
    }
}

void TDkCustomItem::SetCaption(const QString& value) {
    if (caption_ != value) {
        caption_ = value;
        Change(true);
    }
}

void TDkCustomItem::SetChecked(bool value) {
    if (checked_ != value) {
        checked_ = value;
        const QPointer<TDkCustomItem> self(this);
        Change(false);
        if (self != nullptr && value) {
            UncheckGroup();
        }
    }
}

void TDkCustomItem::SetDisplayMode(TDkItemDisplayMode value) {
    if (displayMode_ != value) {
        displayMode_ = value;
        Change(true);
    }
}

void TDkCustomItem::SetEnabled(bool value) {
    if (enabled_ != value) {
        enabled_ = value;
        EnabledChanged();
    }
}

void TDkCustomItem::SetGroupIndex(int value) {
    if (groupIndex_ != value) {
        groupIndex_ = value;
        if (checked_) {
            UncheckGroup();
        }
    }
}

void TDkCustomItem::UncheckGroup() {
    if (groupIndex_ == 0 || parent_ == nullptr) {
        return;
    }
    std::vector<QPointer<TDkCustomItem>> siblings;
    for (TDkCustomItem* sibling : parent_->items_) {
        if (sibling != this && sibling->groupIndex_ == groupIndex_) {
            siblings.emplace_back(sibling);
        }
    }
    for (const QPointer<TDkCustomItem>& sibling : siblings) {
        if (sibling != nullptr && sibling->groupIndex_ == groupIndex_) {
            sibling->SetChecked(false);
        }
    }
}

void TDkCustomItem::SetImageIndex(int value) {
    if (imageIndex_ != value) {
        const bool shownChanged = (imageIndex_ == -1) != (value == -1);
        imageIndex_ = value;
        Change(shownChanged);
    }
}

void TDkCustomItem::SetImages(plat::ImageList* value) {
    if (images_ == value) {
        return;
    }
    const QSize oldSize =
        images_ != nullptr ? QSize(images_->Width(), images_->Height()) : QSize(-1, -1);
    disconnect(imagesChanged_);
    disconnect(imagesDestroyed_);
    images_ = value;
    if (value != nullptr) {
        imagesChanged_ =
            connect(value, &plat::ImageList::Changed, this, &TDkCustomItem::ImagesChanged);
        imagesDestroyed_ = connect(value, &QObject::destroyed, this, [this] {
            images_ = nullptr;
            Change(true);
        });
    }
    const QSize newSize = value != nullptr ? QSize(value->Width(), value->Height()) : QSize(-1, -1);
    if (value == nullptr || newSize != oldSize) {
        Change(true);
    }
}

void TDkCustomItem::ImagesChanged() {
    Change(true);
}

void TDkCustomItem::SetSubMenuImages(plat::ImageList* value) {
    if (subMenuImages_ == value) {
        return;
    }
    disconnect(subImagesChanged_);
    disconnect(subImagesDestroyed_);
    subMenuImages_ = value;
    if (value != nullptr) {
        subImagesChanged_ = connect(value, &plat::ImageList::Changed, this, [this] {
            Notify(ItemNotification::SubMenuImagesChanged, nullptr, -1);
        });
        subImagesDestroyed_ = connect(value, &QObject::destroyed, this, [this] {
            subMenuImages_ = nullptr;
            Notify(ItemNotification::SubMenuImagesChanged, nullptr, -1);
        });
    }
    Notify(ItemNotification::SubMenuImagesChanged, nullptr, -1);
}

void TDkCustomItem::DropLinkTarget() {
    if (linkSubitems_ != nullptr) {
        auto& parents = linkSubitems_->linkParents_;
        parents.erase(std::remove(parents.begin(), parents.end(), this), parents.end());
        linkSubitems_ = nullptr;
    }
}

void TDkCustomItem::SetLinkSubitems(TDkCustomItem* value) {
    if (value == this) {
        value = nullptr;
    }
    if (linkSubitems_ == value) {
        return;
    }
    DropLinkTarget();
    linkSubitems_ = value;
    if (value != nullptr) {
        value->linkParents_.push_back(this);
    }
    Notify(ItemNotification::SubitemsChanged, nullptr, -1);
}

void TDkCustomItem::SetOptions(TDkItemOptions value) {
    if ((value & dkoToolbarStyle) == 0) {
        value &= static_cast<TDkItemOptions>(~dkoToolbarSize);
    }
    if (options_ != value) {
        options_ = value;
        RecalcEffectiveOptions();
    }
}

void TDkCustomItem::SetMaskOptions(TDkItemOptions value) {
    if (maskOptions_ != value) {
        maskOptions_ = value;
        RecalcEffectiveOptions();
    }
}

void TDkCustomItem::SetInheritOptions(bool value) {
    if (inheritOptions_ != value) {
        inheritOptions_ = value;
        RecalcEffectiveOptions();
    }
}

void TDkCustomItem::RecalcEffectiveOptions() {
    const TDkItemOptions inherited =
        inheritOptions_ && parent_ != nullptr
            ? static_cast<TDkItemOptions>(parent_->effectiveOptions_ & ~dkoDefault)
            : TDkItemOptions(0);
    TDkItemOptions options = static_cast<TDkItemOptions>((inherited & ~maskOptions_) | options_);
    if ((options & dkoToolbarStyle) == 0) {
        options &= static_cast<TDkItemOptions>(~dkoToolbarSize);
    }
    if (options == effectiveOptions_) {
        return;
    }
    const TDkItemOptions changed = options ^ effectiveOptions_;
    effectiveOptions_ = options;
    const QPointer<TDkCustomItem> self(this);
    if ((changed & ~(dkoLongHintInMenuOnly | dkoShowHint)) != 0) {
        Change(true);
    }
    if (self == nullptr) {
        return;
    }
    std::vector<QPointer<TDkCustomItem>> subitems(items_.begin(), items_.end());
    for (const QPointer<TDkCustomItem>& sub : subitems) {
        if (sub != nullptr && sub->inheritOptions_) {
            sub->RecalcEffectiveOptions();
        }
    }
}

void TDkCustomItem::SetVisible(bool value) {
    if (visible_ != value) {
        visible_ = value;
        Change(true);
    }
}

void TDkCustomItem::Change(bool needResize) {
    if (parent_ != nullptr) {
        parent_->Notify(needResize ? ItemNotification::InvalidateAndResize
                                   : ItemNotification::Invalidate,
                        this, parent_->IndexOf(this));
    }
}

void TDkCustomItem::DoPopup(TDkCustomItem* sender, bool fromLink) {
    const QPointer<TDkCustomItem> self(this);
    if (OnPopup) {
        OnPopup(sender, fromLink);
    }
    if (self != nullptr && !HasStyle(dk::StyleCombo)) {
        Click();
    }
}

void TDkCustomItem::EnabledChanged() {
    Change(false);
}

void TDkCustomItem::Click() {
    const bool linked = actionLink_ && actionLink_->Action() != nullptr;
    const QPointer<TDkCustomItem> self(this);
    if (autoCheck_ && (!linked || !actionLink_->IsAutoCheckLinked())) {
        SetChecked(!checked_);
        if (self == nullptr) {
            return;
        }
    }
    if (OnClick && linked && OnClick.Identity() != actionLink_->Action()) {
        OnClick(this);
        return;
    }
    if (linked) {
        actionLink_->Execute();
        return;
    }
    if (OnClick) {
        OnClick(this);
    }
}

void TDkCustomItem::InitiateAction() {
    if (actionLink_) {
        actionLink_->Update();
    }
}

QString TDkCustomItem::GetShortCutText() const {
    const qsizetype tab = caption_.indexOf(u'\t');
    if (tab >= 0) {
        return caption_.mid(tab + 1);
    }
    return shortCut_ != 0 ? plat::ShortCutToText(shortCut_) : QString();
}

QString TDkCustomItem::GetHintText() const {
    const qsizetype bar = hint_.indexOf(u'|');
    QString shortHint = bar >= 0 ? hint_.left(bar) : hint_;
    const QAction* action = Action();
    if (shortHint.isEmpty() || action == nullptr || !dk::HintShortCuts()) {
        return shortHint;
    }
    const plat::TShortCut shortCut = plat::ShortCutFromKeySequence(action->shortcut());
    if (shortCut == 0) {
        return shortHint;
    }
    return QStringLiteral("%1 (%2)").arg(shortHint, plat::ShortCutToText(shortCut));
}

namespace {

// Depth first through the effective subitems in index order. Following a
// LinkSubitems link counts one level; the search gives up beyond the limit.
// `via` receives the first-level subitem a deeper match was found under.
TDkCustomItem* FindShortCut(TDkCustomItem* item, plat::TShortCut shortCut, int linkLevel,
                            TDkCustomItem** via) {
    TDkCustomItem* source = item;
    if (item->LinkSubitems() != nullptr) {
        if (++linkLevel > dk::kMaxLinkDepth) {
            return nullptr;
        }
        source = item->LinkSubitems();
    }
    for (int i = 0; i < source->Count(); ++i) {
        TDkCustomItem* sub = source->Items(i);
        if (sub->ShortCut() == shortCut) {
            return sub;
        }
        if (TDkCustomItem* found = FindShortCut(sub, shortCut, linkLevel, nullptr)) {
            if (via != nullptr) {
                *via = sub;
            }
            return found;
        }
    }
    return nullptr;
}

} // namespace

dk::ShortCutMatch TDkCustomItem::MatchShortCut(plat::TShortCut shortCut) {
    using dk::ShortCutMatch;
    if (shortCut == 0) {
        return ShortCutMatch::None;
    }
    QPointer<TDkCustomItem> current(this);
    for (int level = 0; level <= dk::kMaxLinkDepth; ++level) {
        if (current == nullptr || !current->Enabled()) {
            return ShortCutMatch::None;
        }
        TDkCustomItem* source = current->EffectiveItem();
        const std::vector<QPointer<TDkCustomItem>> subitems(source->items_.begin(),
                                                            source->items_.end());
        for (const QPointer<TDkCustomItem>& sub : subitems) {
            if (sub != nullptr) {
                sub->InitiateAction();
            }
        }
        if (current == nullptr) {
            return ShortCutMatch::None;
        }
        if (!current->HasStyle(dk::StyleEmbeddedGroup)) {
            if (TDkCustomItem* linked = current->LinkSubitems()) {
                linked->DoPopup(linked, true);
            }
            if (current != nullptr) {
                current->DoPopup(current, false);
            }
        }
        if (current == nullptr) {
            return ShortCutMatch::None;
        }
        TDkCustomItem* via = nullptr;
        TDkCustomItem* match = FindShortCut(current, shortCut, 0, &via);
        if (match == nullptr) {
            return ShortCutMatch::None;
        }
        if (via == nullptr) {
            if (!match->Enabled()) {
                return ShortCutMatch::Disabled;
            }
            match->Click();
            return ShortCutMatch::Clicked;
        }
        current = via;
    }
    return ShortCutMatch::None;
}

bool TDkCustomItem::IsShortCut(plat::TShortCut shortCut) {
    return MatchShortCut(shortCut) == dk::ShortCutMatch::Clicked;
}

bool TDkCustomItem::IsShortCut(const QKeyEvent& key) {
    return IsShortCut(plat::ShortCutFromKeyEvent(key));
}

std::unique_ptr<TDkItemViewer> TDkCustomItem::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkItemViewer>(view, this, groupLevel);
}

TDkSeparatorItem::TDkSeparatorItem(QObject* owner) : TDkCustomItem(owner) {
    SetItemStyle(static_cast<dk::ItemStyle>(
        (ItemStyle() &
         ~(dk::StyleSelectable | dk::StyleRedrawOnSelChange | dk::StyleRedrawOnHotChange)) |
        dk::StyleSeparator | dk::StyleClicksTransparent));
}

void TDkSeparatorItem::SetBlank(bool value) {
    if (blank_ != value) {
        blank_ = value;
        Change(false);
    }
}

std::unique_ptr<TDkItemViewer> TDkSeparatorItem::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkSeparatorItemViewer>(view, this, groupLevel);
}

TDkControlItem::TDkControlItem(QObject* owner) : TDkCustomItem(owner) {
    SetItemStyle(static_cast<dk::ItemStyle>((ItemStyle() & ~dk::StyleSelectable) |
                                            dk::StyleClicksTransparent));
}

TDkControlItem::TDkControlItem(QObject* owner, QWidget* control) : TDkControlItem(owner) {
    control_ = control;
    given_ = control;
}

TDkControlItem::~TDkControlItem() {
    if (control_ != nullptr && !dontFreeControl_) {
        delete control_.data();
    }
}

void TDkControlItem::SetControl(QWidget* value) {
    if (control_ != value) {
        control_ = value;
        given_ = value;
        Change(true);
    }
}
