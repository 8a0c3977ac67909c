#pragma once
// The themes the kit comes with, as the program puts them in force.

#include "dockkit/themes/DkNexus.h"

#include <memory>

class QObject;

namespace dk {

// A nexus with the Default theme current and the Flat theme registered as
// "Flat"; in force until it is destroyed.
std::unique_ptr<TDkxNexus> CreateKitThemeNexus(QObject* parent = nullptr);

} // namespace dk
