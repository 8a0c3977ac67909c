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

namespace {

// One row of the arrangement at a time, in steps.
class RowArranger {
public:
    RowArranger(const std::vector<DockRowWindow>& w, std::vector<int>& rows, int rowLength,
                bool limitToOneRow)
        : w_(w), rows_(rows), n_(w.size()), length_(std::max(rowLength, 0)),
          limitToOneRow_(limitToOneRow), rec_(n_), order_(n_) {
        // The windows by row, keeping the dock's order within a row.
        std::iota(order_.begin(), order_.end(), size_t{0});
        std::stable_sort(order_.begin(), order_.end(),
                         [&](size_t a, size_t b) { return rows_[a] < rows_[b]; });
    }

    void Run(DockRowResult& result) {
        result.Places.resize(n_);
        rowCount_ = rows_[order_.back()] + 1;
        size_t first = 0; // index in `order_` of the current row's first window
        for (int row = 0; row < rowCount_ && first < n_; ++row) {
            const size_t next = FillRow(row, first);
            int64_t fullSum = 0;
            for (size_t i : kept_) {
                fullSum += rec_[i].full;
            }
            const int64_t overflow = fullSum - length_;
            SetGapsAndOverlaps(overflow > 0);
            if (overflow <= 0) {
                CloseUpAndFit();
            } else {
                Squeeze(overflow, result);
            }
            Place(row, result);
            first = next; // the next row starts with the first window not kept
        }
        result.RowCount = rowCount_;
    }

private:
    // a. Fills the row from `first`; what does not fit starts the next one.
    // Answers where the next row starts in `order_`.
    size_t FillRow(int row, size_t first) {
        kept_.clear();
        int64_t sum = 0;
        size_t k = first;
        for (; k < n_ && rows_[order_[k]] == row; ++k) {
            const size_t i = order_[k];
            Rec& r = rec_[i];
            r = Rec{};
            r.full = std::max(w_[i].FullLength, 0);
            r.cur = r.full;
            r.min = std::clamp<int64_t>(w_[i].MinLength, 0, r.full);
            sum += w_[i].Shrink == dksmChevron ? r.min : r.full;
            if (sum > length_ && !kept_.empty() && !limitToOneRow_) {
                // This window and all after it move one row further.
                for (size_t m = k; m < n_; ++m) {
                    rows_[order_[m]] = SaturatingAdd(rows_[order_[m]], 1);
                }
                ++rowCount_;
                break;
            }
            kept_.push_back(i);
        }
        return k;
    }

    // b. Gaps before the windows that want to start further along, and
    // overlaps of those that want to start before the previous one ends.
    void SetGapsAndOverlaps(bool overflowing) {
        int64_t end = 0;
        int64_t minSum = 0;
        for (size_t m = 0; m < kept_.size(); ++m) {
            const size_t i = kept_[m];
            int64_t wanted = m == 0 && (w_[i].FullSize || w_[i].Stretch) ? 0 : w_[i].Pos;
            wanted = std::max(wanted, minSum);
            if (end < wanted) {
                if (!overflowing) {
                    rec_[i].gap = wanted - end;
                    end = wanted;
                }
            } else if (wanted < end) {
                rec_[i].overlap = end - wanted;
            }
            end += rec_[i].full;
            minSum += rec_[i].min;
        }
    }

    std::vector<size_t>::const_iterator Dragged() const {
        return std::find_if(kept_.begin(), kept_.end(), [&](size_t i) { return w_[i].Dragged; });
    }

    // c. The windows before the dragged one close up towards it, then the
    // row gives up gaps from its end until it fits.
    void CloseUpAndFit() {
        const auto dragged = Dragged();
        if (dragged != kept_.end()) {
            int64_t need = rec_[*dragged].overlap;
            for (auto it = dragged; it != kept_.begin() && need > 0;) {
                --it;
                const int64_t take = std::min(rec_[*it].gap, need);
                rec_[*it].gap -= take;
                need -= take;
            }
        }
        int64_t total = 0;
        for (size_t i : kept_) {
            total += rec_[i].gap + rec_[i].full;
        }
        int64_t excess = total - length_;
        for (auto it = kept_.rbegin(); it != kept_.rend() && excess > 0; ++it) {
            const int64_t take = std::min(rec_[*it].gap, excess);
            rec_[*it].gap -= take;
            excess -= take;
        }
    }

    // d. Overlaps squeeze the chevron windows before them (not past the
    // dragged window); what is still too much comes off the shrinking
    // windows from the end of the row.
    void Squeeze(int64_t overflow, DockRowResult& result) {
        int64_t remaining = overflow;
        int64_t amount = 0;
        for (size_t m = 0; m < kept_.size() && remaining > 0; ++m) {
            amount = std::min(amount + rec_[kept_[m]].overlap, remaining);
            for (size_t j = m; j > 0 && amount > 0 && !w_[kept_[j - 1]].Dragged; --j) {
                const size_t i = kept_[j - 1];
                if (w_[i].Shrink == dksmChevron) {
                    const int64_t take = std::min(amount, rec_[i].cur - rec_[i].min);
                    rec_[i].cur -= take;
                    amount -= take;
                    remaining -= take;
                }
            }
        }
        if (Dragged() != kept_.end() && kept_.size() > 1) {
            result.DraggedSqueezed = true;
        }
        for (auto it = kept_.rbegin(); it != kept_.rend() && remaining > 0; ++it) {
            const size_t i = *it;
            if (w_[i].Shrink == dksmNone || (w_[i].Shrink == dksmWrap && kept_.size() > 1)) {
                continue;
            }
            const int64_t take = std::min(remaining, rec_[i].cur - rec_[i].min);
            rec_[i].cur -= take;
            remaining -= take;
        }
    }

    // e. Stretching and full-size windows take up their gaps; positions
    // follow.
    void Place(int row, DockRowResult& result) {
        int64_t end = 0;
        for (size_t m = 0; m < kept_.size(); ++m) {
            const size_t i = kept_[m];
            int64_t len = rec_[i].cur;
            int64_t gap = rec_[i].gap;
            if (w_[i].FullSize || w_[i].Stretch) {
                len += gap;
                gap = 0;
            }
            if (w_[i].Stretch) {
                if (m + 1 < kept_.size()) {
                    len += rec_[kept_[m + 1]].gap;
                    rec_[kept_[m + 1]].gap = 0;
                } else {
                    len = std::max(len, length_ - end);
                }
            }
            if (w_[i].FullSize) {
                len = std::max(len, length_);
            }
            const int64_t pos = end + gap;
            end = pos + len;
            result.Places[i] =
                DockRowPlace{row, static_cast<int>(std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX)),
                             static_cast<int>(std::clamp<int64_t>(len, 0, INT32_MAX))};
        }
    }

    const std::vector<DockRowWindow>& w_;
    std::vector<int>& rows_;
    const size_t n_;
    const int64_t length_;
    const bool limitToOneRow_;
    std::vector<Rec> rec_;
    std::vector<size_t> order_;
    std::vector<size_t> kept_; // the windows the current row keeps
    int rowCount_ = 0;
};

} // namespace

DockRowResult ArrangeDockRows(const std::vector<DockRowWindow>& w, int rowLength,
                              bool limitToOneRow) {
    DockRowResult result;
    if (w.empty()) {
        return result;
    }
    // Rows by rank first: a push then never nears the limits of int, and
    // closing up empty rows is one pass whatever the stored numbers were.
    std::vector<int> rows(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        rows[i] = limitToOneRow ? 0 : w[i].Row;
    }
    CompactRowsByRank(rows);
    PushOwnRows(w, rows, limitToOneRow);
    CompactRowsByRank(rows);
    RowArranger(w, rows, rowLength, limitToOneRow).Run(result);
    return result;
}

} // namespace dk
