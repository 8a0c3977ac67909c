#pragma once
// Bringing a top-level window to the front of the others. Behind a seam so
// that tests, whose offscreen windows have no stacking order, can watch which
// windows are raised and when.

#include "platform/core/ScopedOverride.h"

#include <functional>

class QWidget;

namespace plat {

// Raises the window (QWidget::raise), or hands it to the installed handler.
void RaiseWindow(QWidget& window);

using RaiseHandler = std::function<void(QWidget&)>;
struct RaiseHandlerTag;
using ScopedRaiseHandler = ScopedOverride<RaiseHandler, RaiseHandlerTag>;

} // namespace plat
