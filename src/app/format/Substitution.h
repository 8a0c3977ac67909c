#pragma once
// Replacing the texts of a table in a text in one pass, with the result that
// replacing each row's text everywhere, row after row, would give.

#include <QString>
#include <QStringView>

#include <array>
#include <span>

struct TSubstitutionRow {
    QStringView Find;    // not empty
    QStringView Replace; // not empty
};

// The rows of a table in order, prepared for replacing them in texts. A text
// becomes what replacing every occurrence of each row's Find (case-sensitive,
// left to right, not overlapping) by its Replace, row by row in table order,
// each row working on what the rows before it left, would make of it. Where
// occurrences overlap, the earlier row wins; for one row, the leftmost. This
// holds as long as no Find can match across or inside a Replace (no Replace
// contains a Find, and no end of a Find is a start or an end of a Replace),
// so the rows' replacements never meet anything that a later row would
// replace: SubstitutionRowsInterfere tells.
class TSubstitution {
public:
    // Keeps the rows, which must outlive it.
    explicit TSubstitution(std::span<const TSubstitutionRow> rows);

    // Appends what text becomes to out.
    void AppendTo(QString& out, QStringView text) const;

private:
    std::span<const TSubstitutionRow> rows_;
    std::array<bool, 256> firstLatin_{}; // a row starts with the character
    bool firstWide_ = false;             // a row starts with a character above 255

    bool MayStartAt(QChar c) const;
};

// The same without preparing: rows in table order.
void AppendSubstituted(QString& out, QStringView text, std::span<const TSubstitutionRow> rows);

// Whether a Find of one row could overlap the Replace of another, or sit
// inside it, in some text: the condition AppendSubstituted relies on.
bool SubstitutionRowsInterfere(std::span<const TSubstitutionRow> rows);
