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

void AppendSubstituted(QString& out, QStringView text, std::span<const TSubstitutionRow> rows) {
    // Where a match can start: at a first character of some row.
    QVarLengthArray<QChar, 8> firsts;
    for (const TSubstitutionRow& row : rows) {
        if (!firsts.contains(row.Find.front())) {
            firsts.append(row.Find.front());
        }
    }
    QVarLengthArray<qsizetype, 32> starts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (firsts.contains(text[i])) {
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
    for (size_t r = 0; r < rows.size(); ++r) {
        const QStringView find = rows[r].Find;
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
            const TSubstitutionRow& row = rows[static_cast<size_t>(claim[at])];
            out.append(text.sliced(copied, at - copied));
            out.append(row.Replace);
            copied = at + row.Find.size();
        }
    }
    out.append(text.sliced(copied));
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
