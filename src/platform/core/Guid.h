#pragma once

#include <QString>

namespace plat {

// A freshly generated GUID in the standard text form: 38 characters, braces
// included, upper-case hexadecimal digits grouped 8-4-4-4-12,
// e.g. "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}".
QString NewGuidString();

} // namespace plat
