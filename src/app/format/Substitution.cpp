#include "app/format/Substitution.h"

#include <QVarLengthArray>

#include <algorithm>

namespace {

constexpr int kFree = -1;
constexpr int kInside = -2;

// Whether the text fits at position at and only on places no earlier match took.
bool FitsFree(QStringView text, qsizetype at, QStringView find,
              const QVarLengthArray<int, 256>& claim) {
    if (at + find.size() > text.size() || text.sliced(at, find.size()) != find) {
        return false;
    }
    for (qsizetype k = at; k < at + find.size(); ++k) {
        if (claim[k] != kFree) {
            return false;
        }
    }
    return true;
}

// Whether a non-empty end of a equals a start of b, shorter than both.
bool EndMeetsStart(QStringView a, QStringView b) {
    for (qsizetype n = 1; n < a.size() && n < b.size(); ++n) {
        if (a.last(n) == b.first(n)) {
            return true;
        }
    }
    return false;
}

} // namespace

TSubstitution::TSubstitution(std::span<const TSubstitutionRow> rows) : rows_(rows) {
    for (const TSubstitutionRow& row : rows) {
        const char16_t first = row.Find.front().unicode();
        if (first < firstLatin_.size()) {
            firstLatin_[first] = true;
        } else {
            firstWide_ = true;
        }
    }
}

bool TSubstitution::MayStartAt(QChar c) const {
    if (c.unicode() < firstLatin_.size()) {
        return firstLatin_[c.unicode()];
    }
    return firstWide_ && std::any_of(rows_.begin(), rows_.end(), [c](const TSubstitutionRow& row) {
               return row.Find.front() == c;
           });
}

void TSubstitution::AppendTo(QString& out, QStringView text) const {
    // Where a match can start: at a first character of some row.
    QVarLengthArray<qsizetype, 32> starts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (MayStartAt(text[i])) {
            starts.append(i);
        }
    }
    if (starts.isEmpty()) {
        out.append(text);
        return;
    }
    // Per position: free, inside a match, or the row whose match starts there.
    QVarLengthArray<int, 256> claim(text.size());
    std::fill(claim.begin(), claim.end(), kFree);
    for (size_t r = 0; r < rows_.size(); ++r) {
        const QStringView find = rows_[r].Find;
        for (const qsizetype at : starts) {
            if (text[at] == find.front() && FitsFree(text, at, find, claim)) {
                claim[at] = static_cast<int>(r);
                std::fill(claim.begin() + at + 1, claim.begin() + at + find.size(), kInside);
            }
        }
    }
    qsizetype copied = 0;
    for (const qsizetype at : starts) {
        if (claim[at] >= 0) {
            const TSubstitutionRow& row = rows_[static_cast<size_t>(claim[at])];
            out.append(text.sliced(copied, at - copied));
            out.append(row.Replace);
            copied = at + row.Find.size();
        }
    }
    out.append(text.sliced(copied));
}

void AppendSubstituted(QString& out, QStringView text, std::span<const TSubstitutionRow> rows) {
    TSubstitution(rows).AppendTo(out, text);
}

bool SubstitutionRowsInterfere(std::span<const TSubstitutionRow> rows) {
    for (const TSubstitutionRow& a : rows) {
        for (const TSubstitutionRow& b : rows) {
            const QStringView find = a.Find;
            const QStringView replace = b.Replace;
            if (find.isEmpty() || replace.isEmpty() || replace.contains(find) ||
                find.contains(replace) || EndMeetsStart(find, replace) ||
                EndMeetsStart(replace, find)) {
                return true;
            }
        }
    }
    return false;
}
