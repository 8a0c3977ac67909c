#include "dockkit/statusbar/DkxStatusLayout.h"

#include "dockkit/common/DkCommon.h"

#include <algorithm>

namespace dk {

namespace {

constexpr int kKeptPriority = 100;

} // namespace

std::vector<StatusPanelPlace> LayoutStatusPanels(std::span<const StatusPanelSpec> panels,
                                                 const plat::TRect& content) {
    std::vector<StatusPanelPlace> places(panels.size());
    const int available = content.Width();

    // 1. Every panel that may show takes its size.
    std::vector<int> list;
    int sum = 0;
    for (size_t i = 0; i < panels.size(); ++i) {
        if (panels[i].ViewPriority == 0) {
            continue;
        }
        places[i].Visible = true;
        places[i].Width = std::max(panels[i].Size, 0);
        list.push_back(static_cast<int>(i));
        sum += places[i].Width;
    }
    const auto spec = [&](int index) -> const StatusPanelSpec& {
        return panels[static_cast<size_t>(index)];
    };
    const auto place = [&](int index) -> StatusPanelPlace& {
        return places[static_cast<size_t>(index)];
    };
    SortListWithCompare(list,
                        [&](int a, int b) { return spec(b).ViewPriority - spec(a).ViewPriority; });

    // 2. Too wide: the least important panels go, never the last one left.
    while (sum > available && list.size() > 1) {
        const int last = list.back();
        if (spec(last).ViewPriority >= kKeptPriority) {
            break;
        }
        place(last).Visible = false;
        sum -= place(last).Width;
        list.pop_back();
    }

    // 3. Room to spare: the stretching panels take it, most eager first.
    int spare = available - sum;
    if (spare > 0) {
        std::erase_if(list, [&](int index) { return spec(index).StretchPriority == 0; });
        while (!list.empty() && spare > 0) {
            SortListWithCompare(list, [&](int a, int b) {
                return spec(a).StretchPriority - spec(b).StretchPriority;
            });
            const int index = list.back();
            list.pop_back();
            StatusPanelPlace& p = place(index);
            int grow = spare;
            if (spec(index).MaxSize > 0) {
                grow = std::clamp(spec(index).MaxSize - p.Width, 0, spare);
            }
            p.Width += grow;
            spare -= grow;
        }
    }

    // 4. Left to right in the panels' own order.
    int x = content.Left;
    for (StatusPanelPlace& p : places) {
        if (!p.Visible) {
            continue;
        }
        if (x - content.Left >= available) {
            p.Visible = false;
            continue;
        }
        p.Rect = plat::TRect(x, content.Top, x + p.Width, content.Bottom);
        p.Last = p.Rect.Right == content.Right;
        x += p.Width;
    }
    return places;
}

} // namespace dk
