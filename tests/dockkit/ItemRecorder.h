#pragma once
// Listens to an item and writes down what it hears, one short text per
// notification: the kind number, with the item's name and index when given
// ("0 A 0"), and "~" before relayed ones.

#include "dockkit/items/DkItem/DkItem.h"

#include <functional>
#include <string>
#include <vector>

class ItemRecorder {
public:
    explicit ItemRecorder(TDkCustomItem* item) : item_(item) {
        item->RegisterNotification(&ItemRecorder::Proc, this);
    }
    ~ItemRecorder() {
        if (item_ != nullptr && registered_) {
            item_->UnregisterNotification(&ItemRecorder::Proc, this);
        }
    }
    ItemRecorder(const ItemRecorder&) = delete;
    ItemRecorder& operator=(const ItemRecorder&) = delete;

    // Stops listening from inside a callback.
    void Leave() {
        item_->UnregisterNotification(&ItemRecorder::Proc, this);
        registered_ = false;
    }
    // The item is gone; nothing to unregister.
    void Forget() { registered_ = false; }

    std::vector<std::string> Heard;
    // Runs inside every notification, after it is written down.
    std::function<void(dk::ItemNotification kind, TDkCustomItem* item)> During;

private:
    static void Proc(void* data, TDkCustomItem* /*sender*/, bool relayed, dk::ItemNotification kind,
                     TDkCustomItem* item, int index) {
        auto* self = static_cast<ItemRecorder*>(data);
        std::string text = (relayed ? "~" : "") + std::to_string(static_cast<int>(kind));
        if (item != nullptr) {
            text += " " + item->objectName().toStdString() + " " + std::to_string(index);
        }
        self->Heard.push_back(text);
        if (self->During) {
            self->During(kind, item);
        }
    }

    TDkCustomItem* item_;
    bool registered_ = true;
};

// An item with a name, owned by `owner`.
inline TDkCustomItem* NamedItem(QObject* owner, const char* name) {
    auto* item = new TDkCustomItem(owner);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}
