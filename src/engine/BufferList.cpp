#include "engine/BufferList.h"

void TBufferList::Add(const QString& line) {
    if (lines_.isEmpty() || lines_.last() != line) {
        while (lines_.size() >= MaxLines) {
            lines_.removeFirst();
        }
        lines_.append(line);
    }
    ResetPosition();
}

QString TBufferList::Previous() {
    if (lines_.isEmpty()) {
        return QString();
    }
    if (--cursor_ < 0) {
        cursor_ = lines_.size() - 1;
    }
    return lines_[cursor_];
}

QString TBufferList::Next() {
    if (lines_.isEmpty()) {
        return QString();
    }
    if (++cursor_ >= lines_.size()) {
        cursor_ = 0;
    }
    return lines_[cursor_];
}
