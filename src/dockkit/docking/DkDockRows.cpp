#include "dockkit/docking/DkDockRows.h"

#include <algorithm>
#include <numeric>

namespace dk {

void CompactRowsByRank(std::vector<int>& rows) {
    std::vector<int> distinct(rows);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (int& row : rows) {
        row = static_cast<int>(std::lower_bound(distinct.begin(), distinct.end(), row) -
                               distinct.begin());
    }
}

namespace {

// The working record of one window.
struct Rec {
    int64_t gap = 0;
    int64_t full = 0;
    int64_t min = 0;
    int64_t cur = 0;
    int64_t overlap = 0;
};

// Gives each window that must start a row of its own (a new-row request, a
// full-size window) its row: every other window at or after that row moves
// one row further.
void PushOwnRows(const std::vector<DockRowWindow>& w, std::vector<int>& rows, bool limitToOneRow) {
    const size_t n = w.size();
    const auto sharesRow = [&](size_t i) {
        for (size_t j = 0; j < n; ++j) {
            if (j != i && rows[j] == rows[i]) {
                return true;
            }
        }
        return false;
    };
    const auto push = [&](size_t i) {
        const int row = rows[i];
        for (size_t j = 0; j < n; ++j) {
            if (j != i && rows[j] >= row) {
                rows[j] = SaturatingAdd(rows[j], 1);
            }
        }
    };
    if (!limitToOneRow) {
        for (size_t i = 0; i < n; ++i) {
            if (w[i].NewRowBefore && sharesRow(i)) {
                push(i);
            }
        }
    }
    for (size_t i = 0; i < n; ++i) {
        if (w[i].FullSize && sharesRow(i)) {
            push(i);
        }
    }
}

} // namespace

DockRowResult ArrangeDockRows(const std::vector<DockRowWindow>& w, int rowLength,
                              bool limitToOneRow) {
    const size_t n = w.size();
    DockRowResult result;
    result.Places.resize(n);
    if (n == 0) {
        return result;
    }
    const int64_t length = std::max(rowLength, 0);

    // Rows by rank first: a push then never nears the limits of int, and
    // closing up empty rows is one pass whatever the stored numbers were.
    std::vector<int> rows(n);
    for (size_t i = 0; i < n; ++i) {
        rows[i] = limitToOneRow ? 0 : w[i].Row;
    }
    CompactRowsByRank(rows);
    PushOwnRows(w, rows, limitToOneRow);
    CompactRowsByRank(rows);

    // The windows by row, keeping the dock's order within a row.
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return rows[a] < rows[b]; });

    std::vector<Rec> rec(n);
    int rowCount = rows[order.back()] + 1;
    size_t first = 0; // index in `order` of the current row's first window
    for (int row = 0; row < rowCount && first < n; ++row) {
        // a. Fill the row; what does not fit starts the next one.
        std::vector<size_t> kept;
        int64_t sum = 0;
        size_t k = first;
        for (; k < n && rows[order[k]] == row; ++k) {
            const size_t i = order[k];
            Rec& r = rec[i];
            r = Rec{};
            r.full = std::max(w[i].FullLength, 0);
            r.cur = r.full;
            r.min = std::clamp<int64_t>(w[i].MinLength, 0, r.full);
            sum += w[i].Shrink == dksmChevron ? r.min : r.full;
            if (sum > length && !kept.empty() && !limitToOneRow) {
                // This window and all after it move one row further.
                for (size_t m = k; m < n; ++m) {
                    rows[order[m]] = SaturatingAdd(rows[order[m]], 1);
                }
                ++rowCount;
                break;
            }
            kept.push_back(i);
        }
        int64_t fullSum = 0;
        for (size_t i : kept) {
            fullSum += rec[i].full;
        }
        const int64_t overflow = fullSum - length;
        const bool overflowing = overflow > 0;

        // b. Gaps before the windows that want to start further along, and
        // overlaps of those that want to start before the previous one ends.
        int64_t end = 0;
        int64_t minSum = 0;
        for (size_t m = 0; m < kept.size(); ++m) {
            const size_t i = kept[m];
            int64_t wanted = m == 0 && (w[i].FullSize || w[i].Stretch) ? 0 : w[i].Pos;
            wanted = std::max(wanted, minSum);
            if (end < wanted) {
                if (!overflowing) {
                    rec[i].gap = wanted - end;
                    end = wanted;
                }
            } else if (wanted < end) {
                rec[i].overlap = end - wanted;
            }
            end += rec[i].full;
            minSum += rec[i].min;
        }

        const auto dragged =
            std::find_if(kept.begin(), kept.end(), [&](size_t i) { return w[i].Dragged; });
        if (!overflowing) {
            // c. The windows before the dragged one close up towards it, then
            // the row gives up gaps from its end until it fits.
            if (dragged != kept.end()) {
                int64_t need = rec[*dragged].overlap;
                for (auto it = dragged; it != kept.begin() && need > 0;) {
                    --it;
                    const int64_t take = std::min(rec[*it].gap, need);
                    rec[*it].gap -= take;
                    need -= take;
                }
            }
            int64_t total = 0;
            for (size_t i : kept) {
                total += rec[i].gap + rec[i].full;
            }
            int64_t excess = total - length;
            for (auto it = kept.rbegin(); it != kept.rend() && excess > 0; ++it) {
                const int64_t take = std::min(rec[*it].gap, excess);
                rec[*it].gap -= take;
                excess -= take;
            }
        } else {
            // d. Overlaps squeeze the chevron windows before them (not past
            // the dragged window); what is still too much comes off the
            // shrinking windows from the end of the row.
            int64_t remaining = overflow;
            int64_t amount = 0;
            for (size_t m = 0; m < kept.size() && remaining > 0; ++m) {
                amount = std::min(amount + rec[kept[m]].overlap, remaining);
                for (size_t j = m; j > 0 && amount > 0; --j) {
                    const size_t i = kept[j - 1];
                    if (w[i].Dragged) {
                        break;
                    }
                    if (w[i].Shrink == dksmChevron) {
                        const int64_t take = std::min(amount, rec[i].cur - rec[i].min);
                        rec[i].cur -= take;
                        amount -= take;
                        remaining -= take;
                    }
                }
            }
            if (dragged != kept.end() && kept.size() > 1) {
                result.DraggedSqueezed = true;
            }
            for (auto it = kept.rbegin(); it != kept.rend() && remaining > 0; ++it) {
                const size_t i = *it;
                if (w[i].Shrink == dksmNone || (w[i].Shrink == dksmWrap && kept.size() > 1)) {
                    continue;
                }
                const int64_t take = std::min(remaining, rec[i].cur - rec[i].min);
                rec[i].cur -= take;
                remaining -= take;
            }
        }

        // e. Stretching and full-size windows take up their gaps; positions
        // follow.
        end = 0;
        for (size_t m = 0; m < kept.size(); ++m) {
            const size_t i = kept[m];
            int64_t len = rec[i].cur;
            int64_t gap = rec[i].gap;
            if (w[i].FullSize || w[i].Stretch) {
                len += gap;
                gap = 0;
            }
            if (w[i].Stretch) {
                if (m + 1 < kept.size()) {
                    len += rec[kept[m + 1]].gap;
                    rec[kept[m + 1]].gap = 0;
                } else {
                    len = std::max(len, length - end);
                }
            }
            if (w[i].FullSize) {
                len = std::max(len, length);
            }
            const int64_t pos = end + gap;
            end = pos + len;
            result.Places[i] =
                DockRowPlace{row, static_cast<int>(std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX)),
                             static_cast<int>(std::clamp<int64_t>(len, 0, INT32_MAX))};
        }
        first = k; // the next row starts with the first window not kept
    }
    result.RowCount = rowCount;
    return result;
}

} // namespace dk
