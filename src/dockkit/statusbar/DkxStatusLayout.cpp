#include "dockkit/statusbar/DkxStatusLayout.h"

#include "dockkit/common/DkCommon.h"

#include <algorithm>

namespace dk {

namespace {

constexpr int kKeptPriority = 100;

using Panels = std::span<const StatusPanelSpec>;
using Places = std::vector<StatusPanelPlace>;

const StatusPanelSpec& Spec(Panels panels, int index) {
    return panels[static_cast<size_t>(index)];
}

// 1. Every panel that may show takes its size; answers them by falling view
// priority.
std::vector<int> TakeSizes(Panels panels, Places& places, int& sum) {
    std::vector<int> list;
    for (size_t i = 0; i < panels.size(); ++i) {
        if (panels[i].ViewPriority == 0) {
            continue;
        }
        places[i].Visible = true;
        places[i].Width = std::max(panels[i].Size, 0);
        list.push_back(static_cast<int>(i));
        sum += places[i].Width;
    }
    SortListWithCompare(list, [&](int a, int b) {
        return Spec(panels, b).ViewPriority - Spec(panels, a).ViewPriority;
    });
    return list;
}

// 2. Too wide: the least important panels go, never the last one left.
void DropLeastImportant(Panels panels, Places& places, std::vector<int>& list, int& sum,
                        int available) {
    while (sum > available && list.size() > 1) {
        const int last = list.back();
        if (Spec(panels, last).ViewPriority >= kKeptPriority) {
            break;
        }
        StatusPanelPlace& p = places[static_cast<size_t>(last)];
        p.Visible = false;
        sum -= p.Width;
        list.pop_back();
    }
}

// 3. Room to spare: the stretching panels take it, most eager first.
void Stretch(Panels panels, Places& places, std::vector<int> list, int spare) {
    std::erase_if(list, [&](int index) { return Spec(panels, index).StretchPriority == 0; });
    while (!list.empty() && spare > 0) {
        SortListWithCompare(list, [&](int a, int b) {
            return Spec(panels, a).StretchPriority - Spec(panels, b).StretchPriority;
        });
        const int index = list.back();
        list.pop_back();
        StatusPanelPlace& p = places[static_cast<size_t>(index)];
        int grow = spare;
        if (Spec(panels, index).MaxSize > 0) {
            grow = std::clamp(Spec(panels, index).MaxSize - p.Width, 0, spare);
        }
        p.Width += grow;
        spare -= grow;
    }
}

// 4. Left to right in the panels' own order.
void PlaceLeftToRight(Places& places, const plat::TRect& content) {
    int x = content.Left;
    for (StatusPanelPlace& p : places) {
        if (!p.Visible) {
            continue;
        }
        if (x - content.Left >= content.Width()) {
            p.Visible = false;
            continue;
        }
        p.Rect = plat::TRect(x, content.Top, x + p.Width, content.Bottom);
        p.Last = p.Rect.Right == content.Right;
        x += p.Width;
    }
}

} // namespace

std::vector<StatusPanelPlace> LayoutStatusPanels(std::span<const StatusPanelSpec> panels,
                                                 const plat::TRect& content) {
    Places places(panels.size());
    const int available = content.Width();
    int sum = 0;
    std::vector<int> list = TakeSizes(panels, places, sum);
    DropLeastImportant(panels, places, list, sum, available);
    if (available - sum > 0) {
        Stretch(panels, places, std::move(list), available - sum);
    }
    PlaceLeftToRight(places, content);
    return places;
}

} // namespace dk
