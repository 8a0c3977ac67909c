#pragma once
// The kit's error and caption texts, and the exception its item tree raises.

#include "platform/core/Exception.h"

#include <QString>

namespace dk {

inline const QString SDockInToolWindow =
    QStringLiteral("A TDkDock control cannot be placed inside a tool window or another TDkDock");
inline const QString SDockPositionChange =
    QStringLiteral("Cannot change Position of a TDkDock if it already contains controls");
inline const QString SSavePositionNoName =
    QStringLiteral("Cannot save dockable window's position because Name property is not set");
inline const QString SSavePositionNoDockName = QStringLiteral(
    "Cannot save dockable window's position because DockedTo's Name property not set");
inline const QString SItemIndexOutOfRange = QStringLiteral("Toolbar item index out of range");
inline const QString SItemAlreadyInserted = QStringLiteral("Toolbar item already inserted");
inline const QString SViewerNotFound =
    QStringLiteral("An item viewer associated the specified item could not be found");
inline const QString SChevronHint = QStringLiteral("More Buttons|");

} // namespace dk

// Raised by the item tree and the views for a bad index, a second insertion or
// a viewer that does not exist.
using TDkException = plat::Exception;
PLAT_DECLARE_EXCEPTION(EDkItemError, TDkException);
