#include "platform/gui/Metrics.h"

#include "platform/gui/Screens.h"

#include <utility>

namespace plat {

namespace {

constexpr std::pair<int, int> kClassic[] = {
    {SM_CXVSCROLL, 16},  {SM_CYHSCROLL, 16},   {SM_CYCAPTION, 19},        {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},    {SM_CXFIXEDFRAME, 3}, {SM_CYFIXEDFRAME, 3},      {SM_CYVTHUMB, 16},
    {SM_CXHTHUMB, 16},   {SM_CXICON, 32},      {SM_CYICON, 32},           {SM_CYMENU, 19},
    {SM_CYVSCROLL, 16},  {SM_CXHSCROLL, 16},   {SM_CXSIZE, 18},           {SM_CYSIZE, 18},
    {SM_CXSIZEFRAME, 4}, {SM_CYSIZEFRAME, 4},  {SM_CXMINTRACK, 112},      {SM_CYMINTRACK, 27},
    {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4},  {SM_MENUDROPALIGNMENT, 0}, {SM_CXEDGE, 2},
    {SM_CYEDGE, 2},      {SM_CXSMICON, 16},    {SM_CYSMICON, 16},         {SM_CYSMCAPTION, 16},
    {SM_CXSMSIZE, 15},   {SM_CYSMSIZE, 15},    {SM_CXMENUSIZE, 18},       {SM_CYMENUSIZE, 18},
    {SM_CXDRAG, 4},      {SM_CYDRAG, 4},       {SM_CXMENUCHECK, 13},      {SM_CYMENUCHECK, 13},
};

} // namespace

int ClassicMetrics::Metric(int index) const {
    switch (index) {
    case SM_CXSCREEN:
        return CurrentScreens().PrimaryRect(false).Width();
    case SM_CYSCREEN:
        return CurrentScreens().PrimaryRect(false).Height();
    case SM_CMONITORS:
        return CurrentScreens().Count();
    default:
        break;
    }
    for (const auto& [number, value] : kClassic) {
        if (number == index) {
            return value;
        }
    }
    return 0;
}

const SystemMetrics& CurrentSystemMetrics() {
    static const ClassicMetrics classic;
    const SystemMetrics* installed = ScopedSystemMetrics::Current();
    return installed != nullptr ? *installed : classic;
}

} // namespace plat
