#pragma once
// The item tree shared by tool bars, menu bars and pop-up menus. An item
// carries what a command looks like (caption, image, check mark, enabled and
// visible state, shortcut) and what it does (OnClick or an action); views
// show the subitems of one item and follow the tree through notifications.

#include "dockkit/common/DkEvent.h"
#include "dockkit/common/DkTexts.h"

#include "platform/gui/ImageList.h"
#include "platform/gui/ShortCut.h"

#include <QMetaObject>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QKeyEvent;

class TDkCustomItem;
class TDkCustomItemActionLink;
class TDkItemViewer;
class TDkPopupWindow;
class TDkView;
struct TDkPopupPositionRec;

enum TDkItemDisplayMode { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

// Which edge of a pop-up menu the point it opens at marks.
enum TDkPopupAlignment { dkpaLeft, dkpaRight, dkpaCenter };

// Item options, one bit each.
using TDkItemOptions = uint8_t;
constexpr TDkItemOptions dkoDefault = 0x01;
constexpr TDkItemOptions dkoDropdownArrow = 0x02;
constexpr TDkItemOptions dkoImageAboveCaption = 0x04;
constexpr TDkItemOptions dkoLongHintInMenuOnly = 0x08;
constexpr TDkItemOptions dkoNoRotation = 0x10;
constexpr TDkItemOptions dkoShowHint = 0x20;
constexpr TDkItemOptions dkoToolbarStyle = 0x40;
constexpr TDkItemOptions dkoToolbarSize = 0x80;

namespace dk {

// How views treat an item (its style, a 16-bit set).
using ItemStyle = uint16_t;
constexpr ItemStyle StyleSubmenu = 0x0001;       // opens a pop-up of its subitems
constexpr ItemStyle StyleSelectable = 0x0002;    // can become the selected viewer
constexpr ItemStyle StyleSeparator = 0x0004;     // a line between groups
constexpr ItemStyle StyleEmbeddedGroup = 0x0008; // subitems shown inline in the parent's views
constexpr ItemStyle StyleClicksTransparent = 0x0010;
constexpr ItemStyle StyleCombo = 0x0020;      // split button
constexpr ItemStyle StyleNoAutoOpen = 0x0040; // no pop-up when selected in drop-down mode
constexpr ItemStyle StyleNoForcedBreak = 0x0100;
constexpr ItemStyle StyleRightAlign = 0x0200;
constexpr ItemStyle StyleDontSelectFirst = 0x0400;
constexpr ItemStyle StyleRedrawOnSelChange = 0x0800;
constexpr ItemStyle StyleRedrawOnHotChange = 0x1000;
constexpr ItemStyle StyleStretch = 0x2000;

// What a notification tells the listeners of an item.
enum class ItemNotification {
    Inserted = 0,        // item inserted at index
    Deleting = 1,        // item about to be deleted from index
    SubitemsChanged = 2, // the subitem source changed: rebuild
    BeginUpdate = 3,
    EndUpdate = 4,
    Invalidate = 5,          // repaint the item's viewers
    InvalidateAndResize = 6, // repaint and lay out again
    RecreateViewers = 7,
    NameChanged = 8,
    SubMenuImagesChanged = 9,
};

// A listener: (data, the item whose tree changed, whether the notification was
// passed on from another item, what happened, the item concerned, its index).
using ItemNotifyProc = void (*)(void* data, TDkCustomItem* sender, bool relayed,
                                ItemNotification kind, TDkCustomItem* item, int index);

// Whether the application adds shortcut texts to hints ("Copy (Ctrl+C)").
bool HintShortCuts();
void SetHintShortCuts(bool value);

// Search depth for LinkSubitems chains in shortcut lookup.
constexpr int kMaxLinkDepth = 25;

// What a shortcut search found: no item of the key, an item of the key that
// is disabled (not clicked), or an item that was clicked.
enum class ShortCutMatch { None, Disabled, Clicked };

} // namespace dk

class TDkCustomItem : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = dk::TDkEvent<QObject*>;
    using TDkPopupEvent = std::function<void(TDkCustomItem* Sender, bool FromLink)>;
    using TDkSelectEvent =
        std::function<void(TDkCustomItem* Sender, TDkItemViewer* Viewer, bool Selecting)>;

    explicit TDkCustomItem(QObject* owner = nullptr);
    ~TDkCustomItem() override;
    TDkCustomItem(const TDkCustomItem&) = delete;
    TDkCustomItem& operator=(const TDkCustomItem&) = delete;

    // --- Subitems ---
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EDkItemError "Toolbar item index out of range" outside 0..Count-1.
    TDkCustomItem* Items(int index) const;
    int IndexOf(const TDkCustomItem* item) const;
    void Add(TDkCustomItem* item) { Insert(Count(), item); }
    // Raises "Toolbar item already inserted" for an item that has a parent and
    // "Toolbar item index out of range" for an index outside 0..Count; both
    // before anything changes.
    void Insert(int index, TDkCustomItem* item);
    void Delete(int index);
    void Remove(TDkCustomItem* item);
    // Both indexes are checked before anything changes.
    void Move(int curIndex, int newIndex);
    // The item whose subitem list holds this one.
    TDkCustomItem* Parent() const { return parent_; }
    // The item whose subitems this one shows: LinkSubitems, else itself.
    TDkCustomItem* EffectiveItem() { return linkSubitems_ != nullptr ? linkSubitems_ : this; }
    // The items whose LinkSubitems point here.
    const std::vector<TDkCustomItem*>& LinkParents() const { return linkParents_; }

    // --- Notifications ---
    void RegisterNotification(dk::ItemNotifyProc proc, void* data);
    void UnregisterNotification(dk::ItemNotifyProc proc, void* data);
    void Notify(dk::ItemNotification kind, TDkCustomItem* item, int index);

    // --- Properties ---
    QAction* Action() const;
    void SetAction(QAction* value);
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool value) { autoCheck_ = value; }
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    TDkItemDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TDkItemDisplayMode value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& value) { hint_ = value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    plat::ImageList* Images() const { return images_; }
    void SetImages(plat::ImageList* value);
    plat::ImageList* SubMenuImages() const { return subMenuImages_; }
    void SetSubMenuImages(plat::ImageList* value);
    TDkCustomItem* LinkSubitems() const { return linkSubitems_; }
    void SetLinkSubitems(TDkCustomItem* value);
    TDkItemOptions Options() const { return options_; }
    void SetOptions(TDkItemOptions value);
    TDkItemOptions MaskOptions() const { return maskOptions_; }
    void SetMaskOptions(TDkItemOptions value);
    bool InheritOptions() const { return inheritOptions_; }
    void SetInheritOptions(bool value);
    TDkItemOptions EffectiveOptions() const { return effectiveOptions_; }
    plat::TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(plat::TShortCut value) { shortCut_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    dk::ItemStyle ItemStyle() const { return itemStyle_; }
    void SetItemStyle(dk::ItemStyle value) { itemStyle_ = value; }
    bool HasStyle(dk::ItemStyle style) const { return (itemStyle_ & style) != 0; }
    // The component shown as the item's owner (a tool bar or pop-up menu sets
    // it on its root item).
    QObject* ParentComponent() const { return parentComponent_; }
    void SetParentComponent(QObject* value) { parentComponent_ = value; }

    // The item is being built: its action's values are copied only where it
    // still holds its defaults, and views hold their layout until Loaded.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    void Loaded();

    // --- Events ---
    TNotifyEvent OnClick;
    TDkPopupEvent OnPopup;
    TDkSelectEvent OnSelect;

    // --- Operations ---
    // Notifies the parent's listeners: repaint, or repaint and lay out again.
    virtual void Change(bool needResize);
    // Fires OnPopup, then Click unless the item is a split button.
    virtual void DoPopup(TDkCustomItem* sender, bool fromLink);
    virtual void EnabledChanged();
    // The tool bar view whose hidden items a chevron shows; none for others.
    virtual TDkView* GetChevronParentView() const { return nullptr; }
    // Makes the viewer that shows this item in the view (the item's viewer class).
    virtual std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel);
    virtual bool NeedToRecreateViewer(TDkItemViewer* /*viewer*/) const { return false; }
    virtual void Click();
    // Asks the action to update its state.
    virtual void InitiateAction();

    // --- Pop-ups ---
    // Fires the pop-up events (the LinkSubitems source's first), makes the
    // pop-up window of the subitems and shows it: as a submenu of the parent
    // viewer, below it, or at `popupPoint` (screen coordinates) when there is
    // no parent view, kept on the monitor. A parent view owns the window as
    // its open pop-up; without one the caller owns it. Null when a pop-up
    // event removed the item or the parent viewer.
    virtual TDkPopupWindow* CreatePopup(TDkView* parentView, TDkItemViewer* parentViewer,
                                        bool positionAsSubmenu, bool selectFirstItem,
                                        bool customizing, QPoint popupPoint,
                                        TDkPopupAlignment alignment);
    // Adjusts where a new pop-up goes (the kit's placement by default).
    virtual void GetPopupPosition(TDkView* parentView, TDkPopupWindow* popupWindow,
                                  TDkPopupPositionRec& rec);
    // Makes the pop-up window showing `shownItem` (themed items make themed
    // windows).
    virtual TDkPopupWindow* CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                              bool customizing);
    // Shows the subitems as a pop-up menu at the screen point and runs the
    // menu loop until it ends; the chosen item is clicked once the menu has
    // closed and the event loop runs again.
    void Popup(int x, int y, bool trackRightButton, TDkPopupAlignment alignment = dkpaLeft);
    // Hides a closed pop-up window of this item's subitems and keeps it for
    // the next CreatePopup at a screen point (no parent view), so that a menu
    // opened again and again reuses its window. The item owns the kept
    // window; one kept before is deleted.
    void KeepPopupWindow(TDkPopupWindow* window);

    // The text after the first Tab of the caption, else the shortcut's text.
    QString GetShortCutText() const;
    // The short part of the hint, with the action's shortcut added when the
    // application shows shortcuts in hints.
    QString GetHintText() const;
    // Looks for the shortcut in the tree and clicks the item it belongs to:
    // every submenu on the way has its actions updated and its pop-up event
    // fired first. A disabled item of the shortcut is not clicked: the key is
    // not taken (dk::ShortCutMatch::Disabled), so that it goes on to the
    // control with the focus.
    dk::ShortCutMatch MatchShortCut(plat::TShortCut shortCut);
    // Whether an item of the shortcut was clicked.
    bool IsShortCut(plat::TShortCut shortCut);
    bool IsShortCut(const QKeyEvent& key);

    // The action link, when an action is set.
    TDkCustomItemActionLink* ActionLink() const { return actionLink_.get(); }
    // Copies the action's values; with checkDefaults only where the item
    // still holds its default.
    void ActionChange(bool checkDefaults);

protected:
    void UncheckGroup();

private:
    // The kept window when it can show this pop-up (else it goes), reset as
    // a new one.
    TDkPopupWindow* TakeKeptPopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                        bool customizing);
    // The steps of CreatePopup: the pop-up events (false when they removed
    // the item or its viewer), and the window, kept or new, set up for a
    // chevron's pop-up where this is a chevron.
    bool FirePopupEvents(TDkView* parentView, TDkItemViewer* parentViewer);
    std::unique_ptr<TDkPopupWindow> MakePopupWindow(TDkView* parentView, bool customizing);

    struct Listener {
        dk::ItemNotifyProc Proc;
        void* Data;
        int Count;
        quint64 Serial;
    };

    void CheckIndex(int index, int count) const;
    void NotifyFrom(TDkCustomItem* ancestor, dk::ItemNotification kind, TDkCustomItem* item,
                    int index);
    void NotifyQuietly(dk::ItemNotification kind);
    void RecalcEffectiveOptions();
    void ImagesChanged();
    void DropLinkTarget();

    std::unique_ptr<TDkCustomItemActionLink> actionLink_;
    bool autoCheck_ = false;
    QString caption_;
    bool checked_ = false;
    TDkItemDisplayMode displayMode_ = nbdmDefault;
    bool enabled_ = true;
    TDkItemOptions effectiveOptions_ = 0;
    int groupIndex_ = 0;
    int helpContext_ = 0;
    QString hint_;
    int imageIndex_ = -1;
    // Guarded: while a list is being destroyed, before its destroyed signal
    // reaches the item, views laid out meanwhile find no list rather than a
    // half-destroyed one.
    QPointer<plat::ImageList> images_;
    QMetaObject::Connection imagesChanged_;
    QMetaObject::Connection imagesDestroyed_;
    std::vector<TDkCustomItem*> items_;
    dk::ItemStyle itemStyle_ =
        dk::StyleSelectable | dk::StyleRedrawOnSelChange | dk::StyleRedrawOnHotChange;
    std::vector<TDkCustomItem*> linkParents_;
    TDkItemOptions maskOptions_ = 0;
    TDkItemOptions options_ = 0;
    bool inheritOptions_ = true;
    std::vector<Listener> listeners_;
    quint64 nextListenerSerial_ = 1;
    TDkCustomItem* parent_ = nullptr;
    QObject* parentComponent_ = nullptr;
    plat::TShortCut shortCut_ = 0;
    QPointer<plat::ImageList> subMenuImages_;
    QPointer<QWidget> keptPopup_; // a hidden pop-up window, for the next pop-up at a point
    QMetaObject::Connection subImagesChanged_;
    QMetaObject::Connection subImagesDestroyed_;
    TDkCustomItem* linkSubitems_ = nullptr;
    bool visible_ = true;
    bool loading_ = false;
};

// The item tool bars and pop-up menus own as their Items.
class TDkRootItem : public TDkCustomItem {
    Q_OBJECT
public:
    using TDkCustomItem::TDkCustomItem;
};

// A line between groups of items.
class TDkSeparatorItem : public TDkCustomItem {
    Q_OBJECT
public:
    explicit TDkSeparatorItem(QObject* owner = nullptr);
    // Keeps the space but draws nothing.
    bool Blank() const { return blank_; }
    void SetBlank(bool value);
    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override;

private:
    bool blank_ = false;
};

// An item that shows an ordinary control in a tool bar.
class TDkControlItem : public TDkCustomItem {
    Q_OBJECT
public:
    explicit TDkControlItem(QObject* owner = nullptr);
    TDkControlItem(QObject* owner, QWidget* control);
    // Deletes the control unless DontFreeControl.
    ~TDkControlItem() override;

    QWidget* Control() const { return control_; }
    void SetControl(QWidget* value);
    // Whether the item was given this control (also once the control is
    // being destroyed, when Control() already answers null).
    bool WasGiven(const QObject* control) const { return control != nullptr && given_ == control; }
    bool DontFreeControl() const { return dontFreeControl_; }
    void SetDontFreeControl(bool value) { dontFreeControl_ = value; }

private:
    QPointer<QWidget> control_;
    const QObject* given_ = nullptr; // compared, never used
    bool dontFreeControl_ = false;
};
