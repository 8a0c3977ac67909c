#pragma once

#include <QString>

namespace plat {

// Asks the desktop to open a web address with the user's browser. Only
// absolute http and https addresses with a host are handed over; anything
// else is refused. Returns whether the address was handed over (the desktop's
// own result is not reported).
bool ShellOpenUrl(const QString& address);

// Whether ShellOpenUrl would hand the address over.
bool IsOpenableWebAddress(const QString& address);

} // namespace plat
