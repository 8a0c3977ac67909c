#include "dockkit/docking/DkPositions.h"

#include "dockkit/common/DkTexts.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"

#include "platform/core/Registry.h"
#include "platform/gui/StoredValues.h"

#include <QPointer>

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

namespace dk {

namespace {

constexpr int kPositionsRev = 2000;

const QString kRev = QStringLiteral("Rev");
const QString kVisible = QStringLiteral("Visible");
const QString kDockedTo = QStringLiteral("DockedTo");
const QString kLastDock = QStringLiteral("LastDock");
const QString kDockRow = QStringLiteral("DockRow");
const QString kDockPos = QStringLiteral("DockPos");
const QString kFloatLeft = QStringLiteral("FloatLeft");
const QString kFloatTop = QStringLiteral("FloatTop");
const QString kFloating = QStringLiteral("+");

std::vector<TDkCustomDockableWindow*> WindowsOf(QObject* owner) {
    auto windows = owner->findChildren<TDkCustomDockableWindow*>();
    std::vector<TDkCustomDockableWindow*> list(windows.begin(), windows.end());
    std::sort(list.begin(), list.end(), [](const auto* a, const auto* b) {
        return a->CreationSerial() < b->CreationSerial();
    });
    return list;
}

TDkDock* FindDock(const QList<TDkDock*>& docks, const QString& name) {
    if (name.isEmpty()) {
        return nullptr;
    }
    for (TDkDock* dock : docks) {
        if (dock->objectName().compare(name, Qt::CaseInsensitive) == 0) {
            return dock;
        }
    }
    return nullptr;
}

void ApplyPosition(TDkCustomDockableWindow* w, TDkDock* dock, const QList<TDkDock*>& docks,
                   const TDkPositionReadData& data) {
    const QString name = w->objectName();
    // A negative row would stand for "not placed" further on: the first row.
    w->SetDockRow(std::max(data.ReadInt(name, kDockRow, w->DockRow()), 0));
    // Offsets and positions no screen could show count as not stored.
    const auto position = [&](const QString& value, int def) {
        return plat::StoredCoordinate(data.ReadInt(name, value, def)).value_or(def);
    };
    w->SetDockPos(position(kDockPos, w->DockPos()));
    w->SetFloatingPosition(QPoint(position(kFloatLeft, 0), position(kFloatTop, 0)));
    if (dock != nullptr) {
        w->SetCurrentDock(dock);
    } else {
        w->SetFloatingState(true);
        if (w->UseLastDock()) {
            TDkDock* last = FindDock(docks, data.ReadString(name, kLastDock, QString()));
            if (last != nullptr && w->AcceptsDock(last)) {
                w->SetLastDock(last);
            }
        }
    }
    // The stored sizes last: whatever the form does as the window docks or
    // floats (a panel about to float takes a height from its dock) must not
    // replace what the user left it at.
    w->ReadExtraPositionValues(data);
    if (dock == nullptr) {
        w->KeepOnScreen(true);
    }
    w->ArrangeContent();
    w->ExtraPositionValuesRead();
}

// Keeps the first error while the rest goes on.
struct FirstError {
    std::exception_ptr Error;
    template <typename F>
    void Run(F&& f) {
        try {
            f();
        } catch (...) {
            if (!Error) {
                Error = std::current_exception();
            }
        }
    }
    void Raise() const {
        if (Error) {
            std::rethrow_exception(Error);
        }
    }
};

// Reads one window's stored place and puts it there; false when nothing
// placed it (no values of this layout, no place, a dock that is unknown).
bool LoadPosition(TDkCustomDockableWindow* w, const QList<TDkDock*>& docks,
                  const TDkPositionReadData& data) {
    const QString name = w->objectName();
    if (name.isEmpty()) {
        throw TDkException(SSavePositionNoName);
    }
    if (data.ReadInt(name, kRev, 0) != kPositionsRev) {
        return false;
    }
    w->setVisible(data.ReadInt(name, kVisible, w->Visible() ? 1 : 0) != 0);
    const QString dockedTo = data.ReadString(name, kDockedTo, QString());
    if (dockedTo.isEmpty()) {
        return false;
    }
    if (dockedTo == kFloating) {
        ApplyPosition(w, nullptr, docks, data);
        return true;
    }
    // A dock that is gone, fixed, or of a kind the window refuses is
    // unknown: the window stays where it is.
    TDkDock* dock = FindDock(docks, dockedTo);
    if (dock == nullptr || !w->AcceptsDock(dock)) {
        return false;
    }
    ApplyPosition(w, dock, docks, data);
    return true;
}

} // namespace

void SavePositions(QObject* owner, const TPositionWriteIntProc& writeInt,
                   const TPositionWriteStringProc& writeString, void* extraData) {
    if (owner == nullptr) {
        return;
    }
    const TDkPositionWriteData data{writeInt, writeString, extraData};
    FirstError first;
    for (TDkCustomDockableWindow* w : WindowsOf(owner)) {
        first.Run([&] {
            const QString name = w->objectName();
            if (name.isEmpty()) {
                throw TDkException(SSavePositionNoName);
            }
            if (!w->Docked() && !w->Floating()) {
                return;
            }
            TDkDock* dock = w->Docked() ? w->CurrentDock() : nullptr;
            if (dock != nullptr && dock->AllowDrag() && dock->objectName().isEmpty()) {
                throw TDkException(SSavePositionNoDockName);
            }
            data.WriteInt(name, kRev, kPositionsRev);
            data.WriteInt(name, kVisible, w->Visible() ? 1 : 0);
            QString dockedTo;
            if (w->Floating()) {
                dockedTo = kFloating;
            } else if (dock != nullptr && dock->AllowDrag()) {
                dockedTo = dock->objectName();
            }
            data.WriteString(name, kDockedTo, dockedTo);
            data.WriteString(name, kLastDock,
                             w->LastDock() != nullptr ? w->LastDock()->objectName() : QString());
            data.WriteInt(name, kDockRow, w->DockRow());
            data.WriteInt(name, kDockPos, w->DockPos());
            data.WriteInt(name, kFloatLeft, w->FloatingPosition().x());
            data.WriteInt(name, kFloatTop, w->FloatingPosition().y());
            w->WriteExtraPositionValues(data);
        });
    }
    first.Raise();
}

void LoadPositions(QObject* owner, const TPositionReadIntProc& readInt,
                   const TPositionReadStringProc& readString, void* extraData) {
    if (owner == nullptr) {
        return;
    }
    const TDkPositionReadData data{readInt, readString, extraData};
    const QList<TDkDock*> docks = owner->findChildren<TDkDock*>();
    std::vector<QPointer<TDkDock>> locked;
    for (TDkDock* dock : docks) {
        dock->LockArrangement();
        locked.emplace_back(dock);
    }
    struct Unlock {
        std::vector<QPointer<TDkDock>>& docks;
        ~Unlock() {
            for (const auto& dock : docks) {
                if (!dock.isNull()) {
                    dock->UnlockArrangement();
                }
            }
        }
    };

    FirstError first;
    std::vector<QPointer<TDkCustomDockableWindow>> placed;
    {
        const Unlock unlock{locked};
        for (TDkCustomDockableWindow* w : WindowsOf(owner)) {
            first.Run([&] {
                if (LoadPosition(w, docks, data)) {
                    placed.emplace_back(w);
                }
            });
        }
    }
    // Every window is in its place and every dock arranged again.
    for (const auto& w : placed) {
        if (!w.isNull()) {
            first.Run([&] { w->PositionsLoaded(); });
        }
    }
    first.Raise();
}

namespace {

// One key per window below the base key; the key of the last section used
// is kept, as the values of one window come one after another.
class RegistrySections {
public:
    RegistrySections(plat::Registry& registry, QStringList baseKey)
        : registry_(registry), base_(std::move(baseKey)) {}

    std::optional<plat::Registry::Key> Section(const QString& section, bool create) {
        if (section != section_ || !key_ || (create && !exists_)) {
            section_ = section;
            key_ = registry_.OpenKey(base_ + QStringList{section}, create);
            exists_ = key_.has_value();
        }
        return key_;
    }

private:
    plat::Registry& registry_;
    QStringList base_;
    QString section_;
    std::optional<plat::Registry::Key> key_;
    bool exists_ = false;
};

} // namespace

void RegistrySavePositions(QObject* owner, plat::Registry& registry, const QString& baseKey) {
    RegistrySavePositions(owner, registry, plat::Registry::KeyPath(baseKey));
}

void RegistryLoadPositions(QObject* owner, plat::Registry& registry, const QString& baseKey) {
    RegistryLoadPositions(owner, registry, plat::Registry::KeyPath(baseKey));
}

void RegistrySavePositions(QObject* owner, plat::Registry& registry, const QStringList& baseKey) {
    RegistrySections sections(registry, baseKey);
    SavePositions(
        owner,
        [&](const QString& section, const QString& name, int value, void*) {
            if (auto key = sections.Section(section, true)) {
                key->WriteInteger(name, value);
            }
        },
        [&](const QString& section, const QString& name, const QString& value, void*) {
            if (auto key = sections.Section(section, true)) {
                key->WriteString(name, value);
            }
        });
}

void RegistryLoadPositions(QObject* owner, plat::Registry& registry, const QStringList& baseKey) {
    RegistrySections sections(registry, baseKey);
    LoadPositions(
        owner,
        [&](const QString& section, const QString& name, int def, void*) {
            const auto key = sections.Section(section, false);
            return key ? key->ReadInteger(name).value_or(def) : def;
        },
        [&](const QString& section, const QString& name, const QString& def, void*) {
            const auto key = sections.Section(section, false);
            return key ? key->ReadString(name).value_or(def) : def;
        });
}

} // namespace dk
