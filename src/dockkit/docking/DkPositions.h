#pragma once
// Saving and restoring where the dockable windows of a form are: shown or
// not, the dock they are on or floating, row and offset, the floating
// position and values of their own class. Values are read and written
// through callbacks (section = the window's name), so any store will do; the
// registry variant keeps one key per window below a base key.
//
// Windows and docks are the owner's descendants in the order they were made;
// a floating window is found through its floating form, which belongs to the
// window's form.

#include "dockkit/docking/DkPositionData.h"

#include <QString>
#include <QStringList>

class QObject;

namespace plat {
class Registry;
}

namespace dk {

// Writes every placed window's values. A window without a name, or docked on
// a dock without one, cannot be saved: the other windows are still written
// and the first such error is raised at the end.
void SavePositions(QObject* owner, const TPositionWriteIntProc& writeInt,
                   const TPositionWriteStringProc& writeString, void* extraData = nullptr);
// Restores the windows that have values of this format. A stored dock that
// does not exist, does not allow dragging or would not take the window counts
// as unknown (the window keeps its dock) and loading goes on; a window
// without a name is skipped and its error raised at the end. The owner's docks
// arrange once, at the end.
void LoadPositions(QObject* owner, const TPositionReadIntProc& readInt,
                   const TPositionReadStringProc& readString, void* extraData = nullptr);

// The same through the registry: one key per window below `baseKey`
// ("Software\ZELVO\MainForm\Toolbars\"), integers as decimal text. Saving
// writes into the store; the store's owner writes it to disk.
void RegistrySavePositions(QObject* owner, plat::Registry& registry, const QString& baseKey);
void RegistryLoadPositions(QObject* owner, plat::Registry& registry, const QString& baseKey);
// The base key as the store's key path, its key names in order.
void RegistrySavePositions(QObject* owner, plat::Registry& registry, const QStringList& baseKey);
void RegistryLoadPositions(QObject* owner, plat::Registry& registry, const QStringList& baseKey);

} // namespace dk
