#pragma once
// The component forms use as their context menus: a root item whose
// subitems make the menu, shown at a screen point by Popup (which runs the
// menu loop until the menu closes), with OnPopup fired as it opens. Attached
// to a widget, it opens on the widget's context-menu request.

#include "dockkit/items/DkItem/DkItem.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

enum TDkTrackButton { dkRightButton, dkLeftButton };

class TDkPopupMenu : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    explicit TDkPopupMenu(QObject* owner = nullptr);
    ~TDkPopupMenu() override;
    TDkPopupMenu(const TDkPopupMenu&) = delete;
    TDkPopupMenu& operator=(const TDkPopupMenu&) = delete;

    TDkRootItem* Items() const { return items_; }
    plat::ImageList* Images() const { return items_->SubMenuImages(); }
    void SetImages(plat::ImageList* value) { items_->SetSubMenuImages(value); }
    TDkCustomItem* LinkSubitems() const { return items_->LinkSubitems(); }
    void SetLinkSubitems(TDkCustomItem* value) { items_->SetLinkSubitems(value); }
    TDkItemOptions Options() const { return items_->Options(); }
    void SetOptions(TDkItemOptions value) { items_->SetOptions(value); }
    TDkPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TDkPopupAlignment value) { alignment_ = value; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    TDkTrackButton TrackButton() const { return trackButton_; }
    void SetTrackButton(TDkTrackButton value) { trackButton_ = value; }
    // The widget whose context-menu request opened the menu last.
    QWidget* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(QWidget* value) { popupComponent_ = value; }

    // Runs as the menu opens (before its window shows), with the menu as Sender.
    TNotifyEvent OnPopup;

    // Shows the menu at the screen point and returns when it has closed; the
    // chosen item is clicked once the event loop runs again.
    virtual void Popup(int x, int y);
    // Clicks the item that has the key as its shortcut; false when none.
    bool IsShortCut(const QKeyEvent& key);
    // Opens on the widget's context-menu requests (at the pointer, or below
    // the widget's top-left corner for the keyboard) while AutoPopup holds;
    // null detaches it from every widget.
    void AttachTo(QWidget* widget);

protected:
    // A menu whose items are `items` (made for it, owned by it from now on).
    TDkPopupMenu(QObject* owner, TDkRootItem* items);
    // Fires OnPopup.
    virtual void DoPopup(QObject* sender);

private:
    class ContextWatcher;

    TDkRootItem* items_;
    TDkPopupAlignment alignment_ = dkpaLeft;
    bool autoPopup_ = true;
    TDkTrackButton trackButton_ = dkRightButton;
    QPointer<QWidget> popupComponent_;
    ContextWatcher* watcher_ = nullptr;
};
