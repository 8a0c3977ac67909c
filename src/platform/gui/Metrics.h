#pragma once
// System metrics by their classic numbers. The values are fixed (classic
// look at 96 dots per inch) so that layout and drawing are the same on every
// desk; the screen size and monitor count come from the installed screens.
// Tests install their own table through ScopedSystemMetrics.

#include "platform/core/ScopedOverride.h"

namespace plat {

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXFIXEDFRAME = 7;
constexpr int SM_CYFIXEDFRAME = 8;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CYMENU = 15;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXSIZEFRAME = 32;
constexpr int SM_CYSIZEFRAME = 33;
constexpr int SM_CXMINTRACK = 34;
constexpr int SM_CYMINTRACK = 35;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_MENUDROPALIGNMENT = 40;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXSMSIZE = 52;
constexpr int SM_CYSMSIZE = 53;
constexpr int SM_CXMENUSIZE = 54;
constexpr int SM_CYMENUSIZE = 55;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_CMONITORS = 80;

class SystemMetrics {
public:
    virtual ~SystemMetrics() = default;
    // The value of a metric; 0 for a number the table does not know.
    virtual int Metric(int index) const = 0;
};

// The fixed classic table.
class ClassicMetrics : public SystemMetrics {
public:
    int Metric(int index) const override;
};

struct SystemMetricsTag;
using ScopedSystemMetrics = ScopedOverride<const SystemMetrics*, SystemMetricsTag>;
const SystemMetrics& CurrentSystemMetrics();

// The installed table's value (the classic table when none is installed).
inline int GetSystemMetrics(int index) {
    return CurrentSystemMetrics().Metric(index);
}

} // namespace plat
