#pragma once

#include <QString>
#include <QStringList>

// The history of typed input lines, walked through with the history keys.
// Bounded to MaxLines; the oldest lines go first.
class TBufferList {
public:
    static constexpr qsizetype MaxLines = 100;

    // An exact repeat of the last line is not added again. Either way the
    // cursor goes back behind the last line.
    void Add(const QString& line);
    // Older line, wrapping from the first to the last; empty text when the
    // history is empty.
    QString Previous();
    // Newer line, wrapping from the last to the first.
    QString Next();
    void ResetPosition() { cursor_ = lines_.size(); }
    qsizetype Count() const { return lines_.size(); }

private:
    QStringList lines_;
    qsizetype cursor_ = 0;
};
